#include "ui/JournalWindow.h"

#include "app/FileReplace.h"
#include "journal/CalibrationDue.h"
#include "journal/JournalCsv.h"
#include "journal/Operation.h"
#include "ui/Certificate.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zor::ui {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

const char* const kColumns[] { "Дата и время", "Зав. номер", "Модель", "Объект", "Операция", "Итог" };
constexpr int kColumnCount = 6;

} // namespace

JournalListModel::JournalListModel(const journal::JournalStore& store, QObject* parent)
    : QAbstractTableModel(parent)
    , store_(store)
{
    ids_ = store_.Find({});
}

void JournalListModel::setFilter(const journal::Filter& filter)
{
    beginResetModel();
    ids_ = store_.Find(filter);
    cache_.clear();
    endResetModel();
}

const journal::JournalRecord& JournalListModel::recordAt(int row) const
{
    const int64_t id = idAt(row);
    auto it = cache_.find(id);
    if (it == cache_.end()) {
        if (cache_.size() > 2000)
            cache_.clear();
        it = cache_.emplace(id, store_.Get(id).value_or(journal::JournalRecord {})).first;
    }
    return it->second;
}

int JournalListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int JournalListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant JournalListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ForegroundRole))
        return {};
    const journal::JournalRecord& r = recordAt(index.row());
    if (role == Qt::ForegroundRole)
        return r.success ? QVariant() : QVariant(QColor(Qt::darkRed));
    switch (index.column()) {
    case 0:
        return qs(r.when);
    case 1:
        return QString::number(r.serial);
    case 2:
        return qs(r.model);
    case 3:
        return qs(r.site);
    case 4:
        return qs(r.operation);
    default:
        return r.success ? QString("успешно") : QString("ошибка");
    }
}

QVariant JournalListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return QString(kColumns[section]);
    return {};
}

JournalWindow::JournalWindow(
    ServiceJournal& journal, forms::Dialogs& dialogs, std::function<void()> remember, QWidget* parent)
    : QDialog(parent)
    , journal_(journal)
    , dialogs_(dialogs)
    , remember_(std::move(remember))
{
    setObjectName("JournalWindow");
    setWindowTitle("Журнал");
    resize(1200, 640);

    technician_ = new QLineEdit(qs(journal_.Settings.technician), this);
    technician_->setObjectName("EditTechnician");
    technician_->setPlaceholderText("Фамилия И.О.");
    interval_ = new QSpinBox(this);
    interval_->setObjectName("EditInterval");
    interval_->setRange(1, 60);
    interval_->setValue(journal_.Settings.intervalMonths);
    interval_->setSuffix(" мес.");
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Техник:", this));
    top->addWidget(technician_, 1);
    top->addSpacing(16);
    top->addWidget(new QLabel("Интервал калибровки:", this));
    top->addWidget(interval_);
    top->addSpacing(16);
    filterKind_ = new QComboBox(this);
    filterKind_->setObjectName("CBoxFilter");
    filterKind_->addItems({ "Текст", "Зав. номер" });
    filter_ = new QLineEdit(this);
    filter_->setObjectName("EditFilter");
    filter_->setPlaceholderText("Фильтр");
    filter_->setClearButtonEnabled(true);
    top->addWidget(new QLabel("Отбор:", this));
    top->addWidget(filterKind_);
    top->addWidget(filter_, 1);

    model_ = new JournalListModel(*journal_.Store(), this);
    list_ = new QTableView(this);
    list_->setObjectName("JournalList");
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Widths from the texts the columns hold: sized to content, the view
    // would read every record of a long journal.
    const QFontMetrics fm = fontMetrics();
    const char* const widest[] { "2026-12-11 13:03:11 +00:00", "00000000", "ZOR-10", "Котельная", "", "успешно" };
    for (int c = 0; c < kColumnCount; ++c)
        list_->setColumnWidth(c, fm.horizontalAdvance(QString::fromUtf8(widest[c])) + 16);
    list_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

    header_ = new QLabel(this);
    header_->setObjectName("RecordHeader");
    header_->setWordWrap(true);
    header_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    header_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    values_ = new QTableWidget(0, 3, this);
    values_->setObjectName("RecordValues");
    values_->setHorizontalHeaderLabels({ "Величина", "До", "После" });
    values_->verticalHeader()->hide();
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    values_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    values_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    values_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    site_ = new QLineEdit(this);
    site_->setObjectName("EditSite");
    site_->setPlaceholderText("цех, позиция, метка");
    siteButton_ = new QPushButton("Запомнить", this);
    siteButton_->setObjectName("BtSite");
    auto* siteRow = new QHBoxLayout;
    siteRow->addWidget(new QLabel("Объект прибора:", this));
    siteRow->addWidget(site_, 1);
    siteRow->addWidget(siteButton_);
    auto* detail = new QWidget(this);
    auto* detailColumn = new QVBoxLayout(detail);
    detailColumn->setContentsMargins(0, 0, 0, 0);
    detailColumn->addWidget(header_);
    detailColumn->addWidget(values_, 1);
    detailColumn->addLayout(siteRow);

    auto* split = new QSplitter(this);
    split->addWidget(list_);
    split->addWidget(detail);
    split->setSizes({ 680, 520 });

    due_ = new QListWidget(this);
    due_->setObjectName("DueList");
    due_->setMaximumHeight(90);

    certificate_ = new QPushButton("Протокол PDF...", this);
    certificate_->setObjectName("BtCertificate");
    csv_ = new QPushButton("Экспорт CSV...", this);
    csv_->setObjectName("BtCsv");
    auto* close = new QPushButton("Закрыть", this);
    close->setObjectName("BtClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(certificate_);
    buttons->addWidget(csv_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(split, 1);
    column->addWidget(new QLabel("Калибровка просрочена, не записана или нужна в ближайшие 30 дней:", this));
    column->addWidget(due_);
    column->addLayout(buttons);

    connect(filter_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(filterKind_, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { showRecord(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { showRecord(); });
    connect(technician_, &QLineEdit::editingFinished, this, [this] {
        journal_.Settings.technician = technician_->text().trimmed().toStdString();
        remember_();
    });
    connect(interval_, &QSpinBox::valueChanged, this, [this](int months) {
        journal_.Settings.intervalMonths = months;
        remember_();
        showDue();
    });
    connect(siteButton_, &QPushButton::clicked, this, [this] { saveSite(); });
    connect(certificate_, &QPushButton::clicked, this, [this] { exportCertificate(); });
    connect(csv_, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    if (model_->rowCount() > 0)
        list_->selectRow(0);
    showRecord();
    showDue();
}

void JournalWindow::applyFilter()
{
    journal::Filter f;
    const QString text = filter_->text().trimmed();
    if (filterKind_->currentIndex() == 1) {
        bool ok = false;
        const int serial = text.toInt(&ok);
        // A number not yet whole shows nothing rather than everything.
        f.serial = ok ? serial : -1;
    } else {
        f.text = text.toStdString();
    }
    model_->setFilter(f);
    if (model_->rowCount() > 0)
        list_->selectRow(0);
}

std::vector<int> JournalWindow::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : list_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void JournalWindow::showRecord()
{
    const std::vector<int> rows = selectedRows();
    values_->setRowCount(0);
    certificate_->setEnabled(rows.size() == 1);
    csv_->setEnabled(!rows.empty());
    site_->setEnabled(rows.size() == 1);
    siteButton_->setEnabled(rows.size() == 1);
    if (rows.size() != 1) {
        header_->setText(rows.empty() ? "Записей: " + QString::number(model_->rowCount())
                                      : "Выбрано записей: " + QString::number(rows.size()));
        site_->clear();
        return;
    }
    const journal::JournalRecord& r = model_->recordAt(rows[0]);
    QString text = QString("<b>%1</b> — %2<br>%3 № %4, версия %5, адрес %6; %7, %8, диапазон %9")
                       .arg(qs(r.operation).toHtmlEscaped(),
                           r.success ? QString("успешно") : QString("<font color='darkred'>ошибка</font>"), qs(r.model),
                           QString::number(r.serial), qs(r.firmware), QString::number(r.address),
                           qs(r.gas).toHtmlEscaped(), qs(r.unit).toHtmlEscaped(), qs(r.range));
    text += "<br>" + qs(r.when) + (r.technician.empty() ? QString() : ", " + qs(r.technician).toHtmlEscaped());
    text += "<br>" + qs(r.result).toHtmlEscaped();
    if (!r.stoppedAt.empty())
        text += " (шаг: " + qs(r.stoppedAt).toHtmlEscaped() + ")";
    for (const journal::Detail& d : r.details)
        text += "<br>" + qs(d.label).toHtmlEscaped() + ": " + qs(d.text).toHtmlEscaped();
    header_->setText(text);
    values_->setRowCount(static_cast<int>(r.readings.size()));
    for (int i = 0; i < static_cast<int>(r.readings.size()); ++i) {
        const journal::Reading& x = r.readings[static_cast<size_t>(i)];
        const QString cells[] { qs(x.name), x.found.empty() ? "—" : qs(x.found), x.left.empty() ? "—" : qs(x.left) };
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            if (x.changed()) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 233, 168));
                item->setToolTip(cells[c] + " — значение изменилось");
            }
            values_->setItem(i, c, item);
        }
    }
    site_->setText(qs(journal_.Store()->Site(r.serial)));
}

void JournalWindow::showDue()
{
    due_->clear();
    const journal::JournalStore& store = *journal_.Store();
    for (const journal::Due& d : journal::DueList(store, journal_.Clock()->now(), journal_.Settings.intervalMonths)) {
        auto* item = new QListWidgetItem(
            QString("%1 № %2 — %3").arg(qs(d.model), QString::number(d.serial), qs(journal::DueHint(d))), due_);
        if (d.state != journal::DueState::Soon)
            item->setForeground(QColor(Qt::darkRed));
    }
    if (due_->count() == 0)
        new QListWidgetItem("Нет", due_);
}

void JournalWindow::saveSite()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    journal_.Store()->SetSite(model_->recordAt(rows[0]).serial, site_->text().trimmed().toStdString());
}

void JournalWindow::exportCertificate()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    const journal::JournalRecord r = model_->recordAt(rows[0]);
    const auto path = dialogs_.saveFileName("Документ PDF (*.pdf)|*.pdf|Все файлы (*.*)|*.*", "pdf");
    if (!path)
        return;
    std::optional<std::string> due;
    if (r.success && r.kind == static_cast<int>(journal::Operation::Span)) {
        const journal::Due d = journal::DueOf(r.unixTime, journal_.Clock()->now(), journal_.Settings.intervalMonths);
        due = journal::DateText(*d.due);
    }
    if (!WriteCertificate(r, due, qs(*path)))
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, "Не удалось записать файл " + *path,
            forms::MessageButtons::Ok);
}

void JournalWindow::exportCsv()
{
    std::vector<journal::JournalRecord> records;
    for (int row : selectedRows())
        records.push_back(model_->recordAt(row));
    if (records.empty())
        return;
    const auto path = dialogs_.saveFileName("Таблица CSV (*.csv)|*.csv|Все файлы (*.*)|*.*", "csv");
    if (!path)
        return;
    const std::string csv = journal::JournalCsv(records);
    const std::string error = ReplaceFile(*path, [&csv](const ByteSink& sink) { sink(csv); });
    if (!error.empty())
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, error, forms::MessageButtons::Ok);
}

} // namespace zor::ui
