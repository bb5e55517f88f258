#pragma once
// The "Журнал" window: the records of the service journal newest first,
// filtered by serial number or by text; the chosen record's values as found
// and as left side by side, the changed ones marked; the technician's name
// and the calibration interval; the detectors due for calibration within 30
// days; a record as a PDF certificate and any selection as CSV.

#include "app/ServiceJournal.h"
#include "forms/Dialogs.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>
#include <map>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

namespace zor::ui {

// The journal's records as table rows, read from the store as they are shown.
class JournalListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit JournalListModel(const journal::JournalStore& store, QObject* parent = nullptr);
    void setFilter(const journal::Filter& filter);
    int64_t idAt(int row) const { return ids_[static_cast<size_t>(row)]; }
    const journal::JournalRecord& recordAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const journal::JournalStore& store_;
    std::vector<int64_t> ids_;
    // The records shown so far; a few screens of them.
    mutable std::map<int64_t, journal::JournalRecord> cache_;
};

class JournalWindow final : public QDialog {
    Q_OBJECT
public:
    // remember: the technician's name and the interval changed are kept.
    JournalWindow(
        ServiceJournal& journal, forms::Dialogs& dialogs, std::function<void()> remember, QWidget* parent = nullptr);

    JournalListModel* model() const { return model_; }

private:
    void applyFilter();
    void showRecord();
    void showDue();
    void saveSite();
    void exportCertificate();
    void exportCsv();
    std::vector<int> selectedRows() const;

    ServiceJournal& journal_;
    forms::Dialogs& dialogs_;
    std::function<void()> remember_;
    JournalListModel* model_;
    QLineEdit* technician_;
    QSpinBox* interval_;
    QComboBox* filterKind_;
    QLineEdit* filter_;
    QTableView* list_;
    QLabel* header_;
    QTableWidget* values_;
    QLineEdit* site_;
    QPushButton* siteButton_;
    QListWidget* due_;
    QPushButton* certificate_;
    QPushButton* csv_;
};

} // namespace zor::ui
