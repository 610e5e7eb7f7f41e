#pragma once
// The three charts of a period, worked out from the summary's figures without drawing anything:
// which series, their labels, colours and values, the axes and the message of an empty chart. The
// Qt side (chart_view_qt) only draws what is here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "charts/chart_axes.h"
#include "core/number_format.h"
#include "summary/summary_figures.h"

namespace ov {

enum class ChartKind { Guests, Takings, Totals };

struct ChartSeries {
    // The field of the summary's day row and totals row the values come from (2-13 the guest
    // cells, 14 HOTEL, 15 CAMP., 17 ACCONTI, 18-27 the configured columns, 28 SPESE, 29 OSPITI,
    // 30 TOT. INC.).
    int field = 0;
    std::string label;           // legend text with the period's total (UTF-8)
    uint32_t colour = 0;         // 0xRRGGBB
    std::vector<double> values;  // one per category
};

struct ChartData {
    ChartKind kind = ChartKind::Guests;
    std::string title;       // UTF-8, like every text here
    std::string valueTitle;  // title of the value axis
    std::vector<std::string> categories;
    // A period too long for a label a day is labelled at the start of each month instead (the
    // tick's value is the day's index); empty when every day has its label.
    std::vector<AxisTick> monthTicks;
    std::vector<ChartSeries> bars;          // stacked, first at the bottom; series that hold a value only
    bool barLegend = true;                  // the totals chart names its columns on the axis instead
    bool legendBelow = false;               // a legend of the comparison only, under the chart
    std::optional<ChartSeries> comparison;  // the same period a year earlier, drawn as a line
    ValueAxis axis;
    std::string emptyMessage;  // drawn over the empty axes when there is nothing to show
};

// What the charts are drawn from: the selection's figures, and those of the same period a year
// earlier when asked.
struct ChartFigures {
    SummarySelection selection;
    SummaryFigures current;
    std::optional<SummaryFigures> previous;
};

// Guests present per day, stacked as the day row splits them.
ChartData GuestChart(const ChartFigures& f, const NumberFormat& fmt);
// Takings per day stacked by the day row's amount columns.
ChartData TakingsChart(const ChartFigures& f, const NumberFormat& fmt);
// The period's total of each amount column.
ChartData TotalsChart(const ChartFigures& f, const NumberFormat& fmt);
// The three, in that order.
std::vector<ChartData> PeriodCharts(const ChartFigures& f, const NumberFormat& fmt);

// The same day a year earlier; 29 February becomes the 28th.
Date OneYearEarlier(const Date& d);

// Computes the figures of the selection (and of the same period a year earlier) as the summary
// does, its day in the host's caption and its progress in the host's bar, both put back at the
// end. Nothing when the run cannot start (the host has told the user why). Throws Error when a
// database cannot be read.
std::optional<ChartFigures> ComputeChartFigures(const SummarySelection& sel, bool comparePreviousYear,
                                                const Workspace& ws, ProgramState& state, Host& host);

}  // namespace ov
