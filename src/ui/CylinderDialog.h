#pragma once
// The test-gas cylinder of the span calibrations, set once and remembered:
// its lot, its certified concentration and the day it expires. Reached from
// the concentration dialog.

#include "app/ServiceJournal.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace zor::ui {

class CylinderDialog final : public QDialog {
    Q_OBJECT
public:
    CylinderDialog(const JournalSettings& settings, QWidget* parent);
    // The cylinder as entered, into settings.
    void store(JournalSettings& settings) const;

private:
    QLineEdit* lot_;
    QLineEdit* conc_;
    QCheckBox* expires_;
    QDateEdit* expiry_;
};

} // namespace zor::ui
