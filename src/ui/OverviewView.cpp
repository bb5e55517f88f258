#include "ui/OverviewView.h"

#include "app/TFormMain.h"
#include "ui/Bind.h"
#include "ui/ErrorReport.h"
#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

namespace zor::ui {

namespace {

QColor Background(RowMark mark)
{
    switch (mark) {
    case RowMark::Limit1:
        return QColor(255, 236, 150);
    case RowMark::Limit2:
        return QColor(255, 190, 190);
    case RowMark::Fault:
        return QColor(255, 205, 150);
    case RowMark::Silent:
        return QColor(225, 225, 225);
    case RowMark::None:
        break;
    }
    return {};
}

} // namespace

OverviewModel::OverviewModel(TFormMain& form, QObject* parent)
    : QAbstractTableModel(parent)
    , form_(form)
{
}

int OverviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int OverviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : OverviewColumns;
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const
{
    const auto& rows = form_.Overview.Rows();
    if (!index.isValid() || index.row() >= static_cast<int>(rows.size()))
        return {};
    const OverviewRow& row = rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return qs(form_.Overview.Texts(row, form_.Separator()).cells[static_cast<size_t>(index.column())]);
    case Qt::BackgroundRole: {
        const QColor colour = Background(form_.Overview.Texts(row, form_.Separator()).mark);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ForegroundRole:
        return row.missed >= BusOverview::kSilentAfter ? QVariant(QColor(110, 110, 110)) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == ColState || index.column() == ColRelays ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                                         : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::UserRole:
        return row.address;
    default:
        return {};
    }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= OverviewColumns)
        return {};
    return qs(std::string(BusOverview::Heads[static_cast<size_t>(section)]));
}

void OverviewModel::refresh()
{
    const int rows = static_cast<int>(form_.Overview.Rows().size());
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, OverviewColumns - 1));
    }
}

OverviewView::OverviewView(TFormMain& form, QWidget* parent)
    : QWidget(parent)
    , form_(form)
    , model_(new OverviewModel(form, this))
    , table_(new QTableView(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* bar = new QHBoxLayout;
    auto* button = new QToolButton(this);
    button->setObjectName("BtOverview");
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const ButtonLook look { true,
        [this](const forms::Action* a) { return Icon(a == &form_.ActOverview ? "read" : "stop"); } };
    BindActionButton(form_.BtOverview, { &form_.ActOverview, &form_.ActOverviewStop }, button, look,
        [this] { form_.BtOverviewClick(); });
    bar->addWidget(button);
    auto* hint = new QLabel("Все приборы шины по очереди. Двойной щелчок по строке выбирает прибор.", this);
    bar->addWidget(hint, 1);
    column->addLayout(bar);

    table_->setObjectName("OverviewTable");
    // Ten columns beside the device panel of a field laptop's screen: the
    // narrow cut of the face, as on the button bar.
    QFont narrow = font();
    narrow.setFamily("DejaVu Sans Condensed");
    narrow.setStretch(QFont::Condensed);
    table_->setFont(narrow);
    table_->horizontalHeader()->setFont(narrow);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(ColState, QHeaderView::Stretch);
    table_->setWordWrap(false);
    column->addWidget(table_, 1);

    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const QVariant address = model_->data(index, Qt::UserRole);
        if (address.isValid())
            Guarded([this, address] { form_.OverviewRowDblClick(static_cast<uint8_t>(address.toInt())); });
    });
    // The rows change with every answer; the table follows once the loop is
    // back, however many changed together.
    auto* due = new QTimer(this);
    due->setSingleShot(true);
    due->setInterval(0);
    connect(due, &QTimer::timeout, model_, &OverviewModel::refresh);
    form_.Overview.SetObserver([due] { due->start(); });
    model_->refresh();
}

OverviewView::~OverviewView()
{
    form_.Overview.SetObserver({});
}

} // namespace zor::ui
