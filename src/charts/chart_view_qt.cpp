#include "charts/chart_view_qt.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBrush>
#include <QCategoryAxis>
#include <QChart>
#include <QFont>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QStackedBarSeries>

namespace ov {
namespace {

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
QColor colour(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// The value axis: round steps labelled in the user's notation, not in Qt's printf format.
QCategoryAxis* valueAxis(const ChartData& data) {
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(data.axis.minimum, data.axis.maximum);
    axis->setStartValue(data.axis.minimum);
    for (const AxisTick& t : data.axis.ticks) axis->append(qs(t.label), t.value);
    axis->setTitleText(qs(data.valueTitle));
    axis->setGridLineColor(QColor(0xdd, 0xdd, 0xdd));
    return axis;
}

// A label a day, or for a long period a label at the start of each month.
QAbstractAxis* categoryAxis(const ChartData& data) {
    if (data.monthTicks.empty()) {
        auto* axis = new QBarCategoryAxis;
        for (const std::string& c : data.categories) axis->append(qs(c));
        return axis;
    }
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, static_cast<double>(data.categories.size()) - 0.5);
    axis->setStartValue(-0.5);
    for (const AxisTick& t : data.monthTicks) axis->append(qs(t.label), t.value);
    axis->setGridLineVisible(false);
    return axis;
}

// The message of an empty chart, kept in the middle of the plot area.
void addEmptyMessage(QChart* chart, const std::string& message) {
    auto* text = new QGraphicsSimpleTextItem(qs(message), chart);
    QFont f = text->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    text->setFont(f);
    text->setBrush(QColor(0x60, 0x60, 0x60));
    auto place = [chart, text](const QRectF& area) {
        const QRectF r = text->boundingRect();
        text->setPos(area.center() - QPointF(r.width() / 2, r.height() / 2));
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place(chart->plotArea());
}

}  // namespace

QChart* MakeChart(const ChartData& data) {
    auto* chart = new QChart;
    chart->setTitle(qs(data.title));
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    chart->setTitleFont(titleFont);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(data.legendBelow ? Qt::AlignBottom : Qt::AlignRight);

    QAbstractAxis* categories = categoryAxis(data);
    chart->addAxis(categories, Qt::AlignBottom);
    QCategoryAxis* values = valueAxis(data);
    chart->addAxis(values, Qt::AlignLeft);

    auto* bars = new QStackedBarSeries;
    bars->setBarWidth(0.8);
    for (const ChartSeries& s : data.bars) {
        auto* set = new QBarSet(qs(s.label));
        for (double v : s.values) set->append(v);
        set->setColor(colour(s.colour));
        set->setBorderColor(colour(s.colour));
        bars->append(set);
    }
    chart->addSeries(bars);
    bars->attachAxis(categories);
    bars->attachAxis(values);
    if (!data.barLegend)
        for (QLegendMarker* m : chart->legend()->markers(bars)) m->setVisible(false);

    if (data.comparison) {
        auto* line = new QLineSeries;
        line->setName(qs(data.comparison->label));
        for (size_t i = 0; i < data.comparison->values.size(); ++i)
            line->append(static_cast<qreal>(i), data.comparison->values[i]);
        QPen pen(colour(data.comparison->colour));
        pen.setWidthF(2);
        line->setPen(pen);
        line->setPointsVisible(data.comparison->values.size() <= 62);
        chart->addSeries(line);
        line->attachAxis(categories);
        line->attachAxis(values);
    }
    chart->legend()->setVisible(data.barLegend ? !data.bars.empty() || data.comparison.has_value()
                                               : data.comparison.has_value());
    if (!data.emptyMessage.empty()) addEmptyMessage(chart, data.emptyMessage);
    return chart;
}

}  // namespace ov
