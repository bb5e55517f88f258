#pragma once
// The modal window of "Параметры поиска...": the addresses to probe, the
// standard step or a fast one with its time per address, and the line
// settings to try in turn (rates, parities, stop bits). It edits the plan
// only when the technician confirms.

#include "app/SearchOptions.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace zor::ui {

class SearchOptionsWindow final : public QDialog, public SearchOptionsDialog {
    Q_OBJECT
public:
    explicit SearchOptionsWindow(QWidget* parent = nullptr);

    bool edit(SearchPlan& plan, uint32_t shortestProbeMs) override;

private:
    void load(const SearchPlan& plan, uint32_t shortestProbeMs);
    void store(SearchPlan& plan) const;
    void check();

    QSpinBox* first_;
    QSpinBox* last_;
    QRadioButton* standard_;
    QRadioButton* fast_;
    QSpinBox* probeMs_;
    QLabel* shortest_;
    QGroupBox* sweep_;
    std::vector<QCheckBox*> rates_;
    std::vector<QCheckBox*> parities_;
    std::vector<QCheckBox*> stopBits_;
    QDialogButtonBox* buttons_;
};

} // namespace zor::ui
