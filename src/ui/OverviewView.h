#pragma once
// The bus overview on screen: "Обзор" and its hint above a table with a row
// per detector of the tree. Rows over a threshold or in a fault are marked
// in colour, a silent row is greyed, and the state column says it in words
// too. A double click on a row selects and reads that detector.

#include <QAbstractTableModel>
#include <QWidget>

class QTableView;

namespace zor {
class TFormMain;
}

namespace zor::ui {

class OverviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OverviewModel(TFormMain& form, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The rows as the overview holds them now.
    void refresh();

private:
    TFormMain& form_;
    int rows_ = 0;
};

class OverviewView : public QWidget {
    Q_OBJECT
public:
    OverviewView(TFormMain& form, QWidget* parent);
    ~OverviewView() override;
    QTableView* table() const { return table_; }
    OverviewModel* model() const { return model_; }

private:
    TFormMain& form_;
    OverviewModel* model_;
    QTableView* table_;
};

} // namespace zor::ui
