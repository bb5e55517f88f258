#pragma once
// The trend beside the device panel: the concentration of the detector read
// automatically over the period picked, with its thresholds 1 and 2 as lines,
// the time axis in local time, and a break in the line wherever the detector
// did not answer. The shown period goes to a CSV table or the chart to a PNG
// picture through the save dialog.
//
// However many points the period holds, the chart gets at most two a pixel
// column (the lowest and the highest, so that no peak is lost), and the
// line breaks at the column of a gap.

#include <QList>
#include <QPointF>
#include <QWidget>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace zor {
class TrendRecorder;
namespace forms {
class Dialogs;
}
} // namespace zor

namespace zor::ui {

class TrendView : public QWidget {
    Q_OBJECT
public:
    // The periods offered, in minutes.
    static constexpr int kPeriods[] = { 10, 60, 6 * 60, 24 * 60 };

    TrendView(TrendRecorder& trend, forms::Dialogs& dialogs, QWidget* parent);
    ~TrendView() override;

    // Redraws from the trend of the detector read last. New points call it
    // from the loop, once for the points that came together.
    void refresh();
    void setPeriodIndex(int index);

    // What the chart shows: the pieces of the line between gaps (points as
    // milliseconds since the epoch and concentration), single points among
    // gaps, and the two threshold lines.
    QList<QList<QPointF>> lineSegments() const;
    QList<QPointF> singlePoints() const;
    QList<QPointF> threshold(int which) const;
    QChartView* chartView() const { return view_; }
    QSize sizeHint() const override;

    void saveCsv();
    void savePng();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineSeries* segment(int i);
    // The span shown: [from, to] in ms since the epoch, and the indices of
    // its points.
    struct Shown {
        int64_t from = 0;
        int64_t to = 0;
        size_t first = 0;
        size_t last = 0;
    };
    Shown shown() const;
    int64_t periodMs() const;

    TrendRecorder& trend_;
    forms::Dialogs& dialogs_;
    QComboBox* period_;
    QChart* chart_;
    QChartView* view_;
    QDateTimeAxis* time_;
    QValueAxis* value_;
    QList<QLineSeries*> segments_;
    int segmentsUsed_ = 0;
    bool refreshDue_ = false;
    QScatterSeries* singles_;
    QLineSeries* limits_[2];
};

} // namespace zor::ui
