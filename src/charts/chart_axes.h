#pragma once
// The axes of a chart worked out without drawing: the labels of the days, a value axis of round
// steps, and numbers in the user's notation.
#include <string>
#include <vector>

#include "core/dates.h"
#include "core/money.h"
#include "core/number_format.h"

namespace ov {

struct AxisTick {
    double value = 0;
    std::string label;  // UTF-8, in the user's notation
};

// Labels of the days of a period, one per day and all different (a category axis drops repeats):
// the day of the month when the period lies in one month, "DD/MM" within a year, "DD/MM/YY" when a
// day of the month would come back.
std::vector<std::string> DayLabels(const Date& first, long days);

// More days than this get a label a month rather than a label a day.
inline constexpr long kMostDaysLabelledOneByOne = 62;
// The first day of each month of the period, labelled "ago 2024", at the day's index.
std::vector<AxisTick> MonthTicks(const Date& first, long days);


struct ValueAxis {
    double minimum = 0;
    double maximum = 0;
    std::vector<AxisTick> ticks;  // from minimum to maximum, one every step
};

// A value axis that covers `low` to `high` (and 0) in at most about eight round steps (1, 2 or 5
// times a power of ten). Counts never step by less than 1; an empty range still gets an axis.
ValueAxis RoundValueAxis(double low, double high, bool counts, const NumberFormat& fmt);

// "12.345,60" in the user's notation: grouped thousands and two decimals (UTF-8).
std::string ChartAmount(Money m, const NumberFormat& fmt);
// "1.234" (UTF-8).
std::string ChartCount(int64_t n, const NumberFormat& fmt);

}  // namespace ov
