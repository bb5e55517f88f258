#include "ui/TrendView.h"

#include "app/FileReplace.h"
#include "app/TrendCsv.h"
#include "app/TrendRecorder.h"
#include "forms/Dialogs.h"
#include "ui/Bind.h"
#include "ui/ErrorReport.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QToolButton>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace zor::ui {

namespace {

constexpr int64_t kLeastSpanMs = 60000;
constexpr const char* kPeriodNames[] = { "10 мин", "1 ч", "6 ч", "24 ч" };

const QColor kLine(0, 90, 200);
const QColor kLimitColours[2] = { QColor(230, 140, 0), QColor(210, 0, 0) };

// Collects the points of one piece of line, at most the lowest and the
// highest of each pixel column, in time order.
class Thinner {
public:
    Thinner(int64_t from, double msPerColumn)
        : from_(from)
        , msPerColumn_(msPerColumn)
    {
    }
    void add(const TrendPoint& p)
    {
        const int64_t column = msPerColumn_ > 0 ? static_cast<int64_t>((p.timeMs - from_) / msPerColumn_) : 0;
        if (count_ > 0 && column != column_)
            flush();
        column_ = column;
        const QPointF q(static_cast<double>(p.timeMs), p.value);
        if (count_ == 0 || q.y() < low_.y())
            low_ = q;
        if (count_ == 0 || q.y() > high_.y())
            high_ = q;
        ++count_;
        // Without thinning every point stays.
        if (msPerColumn_ <= 0)
            flush();
    }
    // The points so far; the column open is closed.
    QList<QPointF> take()
    {
        flush();
        return std::exchange(points_, {});
    }

private:
    void flush()
    {
        if (count_ == 0)
            return;
        if (low_ == high_)
            points_ << low_;
        else if (low_.x() <= high_.x())
            points_ << low_ << high_;
        else
            points_ << high_ << low_;
        count_ = 0;
    }
    int64_t from_;
    double msPerColumn_;
    int64_t column_ = 0;
    int count_ = 0;
    QPointF low_, high_;
    QList<QPointF> points_;
};

} // namespace

TrendView::TrendView(TrendRecorder& trend, forms::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , trend_(trend)
    , dialogs_(dialogs)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addStretch(1);
    row->addWidget(new QLabel("Период:", this));
    period_ = new QComboBox(this);
    period_->setObjectName("TrendPeriod");
    for (const char* name : kPeriodNames)
        period_->addItem(name);
    connect(period_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    row->addWidget(period_);
    auto button = [this, row](const char* name, const char* text, const char* hint, void (TrendView::*save)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(hint);
        connect(b, &QToolButton::clicked, this, [this, save] { Guarded([this, save] { (this->*save)(); }); });
        row->addWidget(b);
    };
    button("BtTrendCsv", "CSV...", "Сохранить показанный период в файл CSV", &TrendView::saveCsv);
    button("BtTrendPng", "PNG...", "Сохранить график в файл PNG", &TrendView::savePng);
    column->addLayout(row);

    chart_ = new QChart;
    chart_->setTitle("Нет показаний: тренд строится при автоматическом чтении");
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setBackgroundRoundness(0);
    time_ = new QDateTimeAxis;
    time_->setTickCount(5);
    value_ = new QValueAxis;
    value_->setLabelFormat("%g");
    chart_->addAxis(time_, Qt::AlignBottom);
    chart_->addAxis(value_, Qt::AlignLeft);
    for (int i = 0; i < 2; ++i) {
        limits_[i] = new QLineSeries;
        limits_[i]->setName(i == 0 ? "Порог 1" : "Порог 2");
        QPen pen(kLimitColours[i]);
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        limits_[i]->setPen(pen);
        chart_->addSeries(limits_[i]);
        limits_[i]->attachAxis(time_);
        limits_[i]->attachAxis(value_);
    }
    singles_ = new QScatterSeries;
    singles_->setMarkerSize(5);
    singles_->setColor(kLine);
    singles_->setBorderColor(kLine);
    chart_->addSeries(singles_);
    singles_->attachAxis(time_);
    singles_->attachAxis(value_);
    chart_->legend()->markers(singles_).first()->setVisible(false);
    segment(0)->setName("Концентрация");

    view_ = new QChartView(chart_, this);
    view_->setObjectName("TrendChart");
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumSize(300, 200);
    column->addWidget(view_, 1);

    // Points that come together are drawn together, once the loop is free.
    trend_.SetObserver([this](uint8_t) {
        if (!refreshDue_) {
            refreshDue_ = true;
            QMetaObject::invokeMethod(this, &TrendView::refresh, Qt::QueuedConnection);
        }
    });
    refresh();
}

TrendView::~TrendView()
{
    trend_.SetObserver({});
}

QLineSeries* TrendView::segment(int i)
{
    while (segments_.size() <= i) {
        auto* s = new QLineSeries;
        QPen pen(kLine);
        pen.setWidthF(1.5);
        s->setPen(pen);
        chart_->addSeries(s);
        s->attachAxis(time_);
        s->attachAxis(value_);
        if (!segments_.isEmpty())
            chart_->legend()->markers(s).first()->setVisible(false);
        segments_ << s;
    }
    return segments_[i];
}

void TrendView::setPeriodIndex(int index)
{
    period_->setCurrentIndex(index);
}

TrendView::Shown TrendView::shown() const
{
    Shown s;
    const TrendOf* t = trend_.Of(trend_.Current());
    if (!t || t->points.Size() == 0)
        return s;
    s.to = t->points.At(t->points.Size() - 1).timeMs;
    // A trend shorter than the period fills the chart, but a chart spans a
    // minute at least, so that a first point has a time axis to stand on.
    s.from = std::min(std::max(t->points.At(0).timeMs, s.to - periodMs()), s.to - kLeastSpanMs);
    std::tie(s.first, s.last) = t->points.Span(s.from, s.to);
    return s;
}

void TrendView::refresh()
{
    refreshDue_ = false;
    const TrendOf* t = trend_.Of(trend_.Current());
    Shown s = shown();
    if (!t) {
        // Nothing read yet: the period up to now.
        s.to = QDateTime::currentMSecsSinceEpoch();
        s.from = s.to - periodMs();
    }
    const double span = static_cast<double>(s.to - s.from);
    const int columns = std::max(100, static_cast<int>(chart_->plotArea().width()));
    // Thinned only when there are more points than two a column.
    const double msPerColumn = s.last - s.first > static_cast<size_t>(2 * columns) ? span / columns : 0;

    QList<QList<QPointF>> pieces;
    QList<QPointF> singles;
    double low = 0, high = 1;
    if (t) {
        Thinner thin(s.from, msPerColumn);
        auto close = [&] {
            QList<QPointF> piece = thin.take();
            if (piece.size() == 1)
                singles << piece;
            else if (!piece.isEmpty())
                pieces << piece;
        };
        for (size_t i = s.first; i < s.last; ++i) {
            const TrendPoint p = t->points.At(i);
            if (p.gap()) {
                close();
                continue;
            }
            thin.add(p);
            low = std::min(low, static_cast<double>(p.value));
            high = std::max(high, static_cast<double>(p.value));
        }
        close();
        high = std::max({ high, static_cast<double>(t->limit1), static_cast<double>(t->limit2) });
        // The title names what the chart shows, also in a saved picture.
        chart_->setTitle(QString("Прибор %1, концентрация, %2").arg(trend_.Current()).arg(qs(t->unit)));
        value_->setTitleText(qs(t->unit));
    }

    for (int i = 0; i < pieces.size(); ++i)
        segment(i)->replace(pieces[i]);
    for (int i = static_cast<int>(pieces.size()); i < segmentsUsed_; ++i)
        segments_[i]->clear();
    segmentsUsed_ = static_cast<int>(pieces.size());
    singles_->replace(singles);
    for (int i = 0; i < 2; ++i) {
        if (!t) {
            limits_[i]->clear();
            continue;
        }
        const double y = i == 0 ? t->limit1 : t->limit2;
        limits_[i]->replace(QList<QPointF> { { static_cast<double>(s.from), y }, { static_cast<double>(s.to), y } });
    }

    const int64_t minutes = periodMs() / 60000;
    // As many time labels as fit side by side.
    time_->setTickCount(std::clamp(columns / 110, 2, 8));
    time_->setFormat(minutes <= 60 ? "HH:mm:ss" : minutes < 24 * 60 ? "HH:mm" : "dd.MM HH:mm");
    time_->setRange(QDateTime::fromMSecsSinceEpoch(s.from), QDateTime::fromMSecsSinceEpoch(std::max(s.to, s.from + 1)));
    value_->setRange(low, high * 1.1);
    value_->applyNiceNumbers();
}

int64_t TrendView::periodMs() const
{
    return int64_t { kPeriods[std::max(0, period_->currentIndex())] } * 60000;
}

QSize TrendView::sizeHint() const
{
    return { 560, 400 };
}

void TrendView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    refresh();
}

QList<QList<QPointF>> TrendView::lineSegments() const
{
    QList<QList<QPointF>> pieces;
    for (int i = 0; i < segmentsUsed_; ++i)
        pieces << segments_[i]->points();
    return pieces;
}

QList<QPointF> TrendView::singlePoints() const
{
    return singles_->points();
}

QList<QPointF> TrendView::threshold(int which) const
{
    return limits_[which]->points();
}

void TrendView::saveCsv()
{
    const TrendOf* t = trend_.Of(trend_.Current());
    if (!t)
        return dialogs_.inform(forms::DialogOwner::Main, "Нет показаний для сохранения.");
    const auto path = dialogs_.saveFileName("Таблица CSV (*.csv)|*.csv|Все файлы (*.*)|*.*", "csv");
    if (!path)
        return;
    const Shown s = shown();
    const std::string csv = TrendCsv(*t, s.first, s.last, locale().decimalPoint().at(0).toLatin1());
    const std::string error = ReplaceFile(*path, [&](const ByteSink& sink) { sink(csv); });
    if (!error.empty())
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, error, forms::MessageButtons::Ok);
}

void TrendView::savePng()
{
    const auto path = dialogs_.saveFileName("Рисунок PNG (*.png)|*.png|Все файлы (*.*)|*.*", "png");
    if (!path)
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    view_->grab().save(&buffer, "PNG");
    const std::string error
        = ReplaceFile(*path, [&](const ByteSink& sink) { sink(std::string_view(bytes.constData(), bytes.size())); });
    if (!error.empty())
        dialogs_.message(forms::DialogOwner::Main, forms::MessageKind::Error, error, forms::MessageButtons::Ok);
}

} // namespace zor::ui
