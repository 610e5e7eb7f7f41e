#include "charts/chart_axes.h"

#include <algorithm>
#include <cmath>

#include "core/cp1252.h"

namespace ov {

std::vector<std::string> DayLabels(const Date& first, long days) {
    std::vector<std::string> labels;
    if (days <= 0) return labels;
    const Date last = first.plusDays(days - 1);
    const bool oneMonth = first.year == last.year && first.month == last.month;
    // Within a year no day of the month comes back: 01/05/2024 to 30/04/2025 is the longest.
    const bool withinYear = last < Date{first.year + 1, first.month, first.day};
    labels.reserve(static_cast<size_t>(days));
    for (long i = 0; i < days; ++i) {
        const std::string dmy = first.plusDays(i).dmy();
        if (oneMonth) labels.push_back(std::to_string(first.plusDays(i).day));
        else if (withinYear) labels.push_back(dmy.substr(0, 5));
        else labels.push_back(dmy.substr(0, 6) + dmy.substr(8, 2));
    }
    return labels;
}

std::vector<AxisTick> MonthTicks(const Date& first, long days) {
    static const char* const kMonths[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                          "lug", "ago", "set", "ott", "nov", "dic"};
    std::vector<AxisTick> ticks;
    for (long i = 0; i < days; ++i) {
        const Date d = first.plusDays(i);
        if (d.day == 1)
            ticks.push_back({static_cast<double>(i), std::string(kMonths[d.month - 1]) + " " + std::to_string(d.year)});
    }
    return ticks;
}

std::string ChartAmount(Money m, const NumberFormat& fmt) {
    const int64_t cents = m.roundedTo(2);
    const int64_t whole = (cents < 0 ? -cents : cents) / 100;
    const int64_t frac = (cents < 0 ? -cents : cents) % 100;
    std::string out = cents < 0 ? "-" : "";
    out += fmt.grouped(whole);
    out += fmt.decimal;
    out += static_cast<char>('0' + frac / 10);
    out += static_cast<char>('0' + frac % 10);
    return cp1252::toUtf8(out);
}

std::string ChartCount(int64_t n, const NumberFormat& fmt) { return cp1252::toUtf8(fmt.grouped(n)); }

ValueAxis RoundValueAxis(double low, double high, bool counts, const NumberFormat& fmt) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high - low <= 0) high = counts ? 5 : 100;
    // The smallest round step that covers the range in eight steps or fewer.
    const double rough = (high - low) / 8;
    double step = std::pow(10.0, std::floor(std::log10(rough)));
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        if (step * f >= rough) {
            step *= f;
            break;
        }
    }
    if (counts) step = std::max(step, 1.0);
    ValueAxis axis;
    // A bound that is a whole number of steps but for the last bits of a double stays put.
    axis.minimum = std::floor(low / step + 1e-9) * step;
    axis.maximum = std::ceil(high / step - 1e-9) * step;
    const long n = std::lround((axis.maximum - axis.minimum) / step);
    for (long i = 0; i <= n; ++i) {
        const double v = axis.minimum + static_cast<double>(i) * step;
        std::string label;
        if (counts) label = ChartCount(std::llround(v), fmt);
        else if (step >= 1) label = cp1252::toUtf8(fmt.grouped(v));
        else label = ChartAmount(Money::fromDouble(v), fmt);
        axis.ticks.push_back({v, label});
    }
    return axis;
}

}  // namespace ov
