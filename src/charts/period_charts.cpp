#include "charts/period_charts.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "core/cp1252.h"

namespace ov {
namespace {

// The twelve count cells of the day row: hotel and group, then board type.
constexpr const char* kGuestGroups[] = {"Hotel privati", "Hotel agenzie", "Camp. privati", "Camp. agenzie"};
constexpr const char* kBoards[] = {"CC", "MP", "PC"};
// A colour family per group, dark to light by board type.
constexpr uint32_t kGuestColours[12] = {0x1f4e79, 0x2e75b6, 0x9dc3e6, 0x385723, 0x70ad47, 0xb4d89a,
                                        0x843c0c, 0xed7d31, 0xf8c09a, 0x3f3151, 0x7030a0, 0xc3a6dc};
constexpr uint32_t kComparisonColour = 0x202020;

// An amount column of the day row and of the totals row.
struct AmountColumn {
    int field;
    std::string label;
    uint32_t colour;
    std::function<Money(const DayAmounts&)> day;
    std::function<Money(const PeriodTotals&)> total;
    bool configured;  // one of the ten configured columns
    bool named;       // has a heading of its own
};

std::vector<AmountColumn> amountColumns(const SummaryFigures& f) {
    // Apart from the blue and orange of HOTEL and CAMP.
    static constexpr uint32_t kColumnColours[10] = {0x4e79a7, 0x59a14f, 0xb07aa1, 0xedc948, 0x76b7b2,
                                                    0xff9da7, 0x9c755f, 0x8cd17d, 0x499894, 0xd37295};
    std::vector<AmountColumn> cols;
    cols.push_back({14, "HOTEL", 0x1f4e79, [](const DayAmounts& a) { return a.dayHotel(); },
                    [](const PeriodTotals& t) { return t.hotel(); }, false, true});
    cols.push_back({15, "CAMP.", 0xc55a11, [](const DayAmounts& a) { return a.dayCamp(); },
                    [](const PeriodTotals& t) { return t.camp(); }, false, true});
    cols.push_back({17, "ACCONTI", 0x7f7f7f, [](const DayAmounts& a) { return a.deposits; },
                    [](const PeriodTotals& t) { return t.deposits; }, false, true});
    for (int k = 1; k <= 10; ++k) {
        std::string heading(cp1252::trim(f.headings[static_cast<size_t>(k - 1)]));
        const bool named = !heading.empty();
        cols.push_back({17 + k, named ? cp1252::toUtf8(heading) : "Colonna " + std::to_string(k),
                        kColumnColours[k - 1], [k](const DayAmounts& a) { return a.dayColumn(k); },
                        [k](const PeriodTotals& t) { return t.columns[static_cast<size_t>(k)]; }, true, named});
    }
    cols.push_back({28, "SPESE", 0xc00000, [](const DayAmounts& a) { return a.expenses; },
                    [](const PeriodTotals& t) { return t.expenses; }, false, true});
    cols.push_back({29, "OSPITI", 0x806000, [](const DayAmounts& a) { return a.guestOutgoings; },
                    [](const PeriodTotals& t) { return t.guestOutgoings; }, false, true});
    return cols;
}

int64_t guestTotal(const PeriodTotals& t) {
    int64_t n = 0;
    for (int64_t g : t.guests) n += g;
    return n;
}

int64_t dayGuestTotal(const GuestCounters& c) {
    int64_t n = 0;
    for (int64_t g : dayGuests(c)) n += g;
    return n;
}

std::string utf8(const std::string& cp1252Text) { return cp1252::toUtf8(cp1252Text); }

// "dal 01/05/2024 al 31/05/2024", with the rooms when they are not all of them.
std::string periodText(const SummarySelection& sel) {
    std::string text = "dal " + utf8(sel.firstDay) + " al " + utf8(sel.lastDay);
    const std::string_view first = cp1252::trim(sel.firstRoom), last = cp1252::trim(sel.lastRoom);
    if (!first.empty() || last != "ZZZZ")
        text += ", camere da " + utf8(std::string(first)) + " a " + utf8(std::string(last));
    return text;
}

// For each day of the period, the index of the same day a year earlier in `previous` (or -1).
std::vector<long> previousDayIndex(const SummaryFigures& current, const SummaryFigures& previous) {
    std::map<long, long> bySerial;
    for (size_t i = 0; i < previous.days.size(); ++i) bySerial[previous.days[i].date.serial()] = static_cast<long>(i);
    std::vector<long> index;
    for (const SummaryDay& d : current.days) {
        auto it = bySerial.find(OneYearEarlier(d.date).serial());
        index.push_back(it == bySerial.end() ? -1 : it->second);
    }
    return index;
}

// One value per day of the period from the same day a year earlier; 0 where there is none.
std::vector<double> previousByDay(const ChartFigures& f, const std::function<double(const SummaryDay&)>& value) {
    std::vector<double> values;
    for (long i : previousDayIndex(f.current, *f.previous))
        values.push_back(i < 0 ? 0.0 : value(f.previous->days[static_cast<size_t>(i)]));
    return values;
}

// The line of the same period a year earlier.
ChartSeries comparisonLine(int field, const std::string& total, std::vector<double> values) {
    ChartSeries line;
    line.field = field;
    line.label = "Un anno prima: " + total;
    line.colour = kComparisonColour;
    line.values = std::move(values);
    return line;
}

// A chart with a category a day.
ChartData dayChart(ChartKind kind, const ChartFigures& f, std::string title, std::string valueTitle) {
    ChartData c;
    c.kind = kind;
    c.title = std::move(title);
    c.valueTitle = std::move(valueTitle);
    const long days = static_cast<long>(f.current.days.size());
    if (days > 0) {
        c.categories = DayLabels(f.current.days.front().date, days);
        if (days > kMostDaysLabelledOneByOne) c.monthTicks = MonthTicks(f.current.days.front().date, days);
    }
    return c;
}

bool anyValue(const std::vector<double>& v) {
    return std::any_of(v.begin(), v.end(), [](double x) { return x != 0; });
}

// The value axis over the stacked bars (positives up, negatives down) and the comparison line,
// and the message when there is nothing to draw.
void finish(ChartData& c, bool counts, const NumberFormat& fmt, const std::string& nothingMessage) {
    double low = 0, high = 0;
    for (size_t i = 0; i < c.categories.size(); ++i) {
        double up = 0, down = 0;
        for (const ChartSeries& s : c.bars) (s.values[i] > 0 ? up : down) += s.values[i];
        low = std::min(low, down);
        high = std::max(high, up);
        if (c.comparison) {
            low = std::min(low, c.comparison->values[i]);
            high = std::max(high, c.comparison->values[i]);
        }
    }
    c.axis = RoundValueAxis(low, high, counts, fmt);
    if (c.categories.empty()) c.emptyMessage = "Nessun giorno nel periodo scelto";
    else if (c.bars.empty() && !(c.comparison && anyValue(c.comparison->values))) c.emptyMessage = nothingMessage;
}

// Unique names for a category axis, which drops a repeated name: a configured column whose heading
// repeats another name takes its number.
void makeUnique(std::vector<std::string>& names, const std::vector<int>& fields) {
    std::map<std::string, int> seen;
    for (const auto& n : names) ++seen[n];
    for (size_t i = 0; i < names.size(); ++i)
        if (seen[names[i]] > 1 && fields[i] >= 18 && fields[i] <= 27)
            names[i] += " (colonna " + std::to_string(fields[i] - 17) + ")";
}

}  // namespace

Date OneYearEarlier(const Date& d) {
    Date e{d.year - 1, d.month, d.day};
    if (!Date::isReal(e.year, e.month, e.day)) e.day = 28;
    return e;
}

ChartData GuestChart(const ChartFigures& f, const NumberFormat& fmt) {
    ChartData c = dayChart(ChartKind::Guests, f,
                           "Ospiti presenti per giorno " + periodText(f.selection) + " - presenze: " +
                               ChartCount(guestTotal(f.current.totals), fmt),
                           "Ospiti");
    for (size_t k = 0; k < 12; ++k) {
        ChartSeries s;
        s.field = 2 + static_cast<int>(k);
        s.label = std::string(kGuestGroups[k / 3]) + " " + kBoards[k % 3] + ": " +
                  ChartCount(f.current.totals.guests[k], fmt);
        s.colour = kGuestColours[k];
        for (const SummaryDay& d : f.current.days) s.values.push_back(static_cast<double>(dayGuests(d.counters)[k]));
        if (anyValue(s.values)) c.bars.push_back(std::move(s));
    }
    if (f.previous)
        c.comparison = comparisonLine(
            0 /* every count cell */, "presenze " + ChartCount(guestTotal(f.previous->totals), fmt),
            previousByDay(f, [](const SummaryDay& d) { return static_cast<double>(dayGuestTotal(d.counters)); }));
    finish(c, true, fmt, "Nessun ospite presente nel periodo");
    return c;
}

ChartData TakingsChart(const ChartFigures& f, const NumberFormat& fmt) {
    ChartData c = dayChart(ChartKind::Takings, f,
                           "Incassi per giorno " + periodText(f.selection) + " - TOT. INC. " +
                               ChartAmount(f.current.totals.grandTotal(), fmt),
                           "Importo");
    for (const AmountColumn& col : amountColumns(f.current)) {
        ChartSeries s;
        s.field = col.field;
        s.label = col.label + ": " + ChartAmount(col.total(f.current.totals), fmt);
        s.colour = col.colour;
        for (const SummaryDay& d : f.current.days) s.values.push_back(col.day(d.amounts).toDouble());
        if (anyValue(s.values)) c.bars.push_back(std::move(s));
    }
    if (f.previous)
        c.comparison =
            comparisonLine(30, "TOT. INC. " + ChartAmount(f.previous->totals.grandTotal(), fmt),
                           previousByDay(f, [](const SummaryDay& d) { return d.amounts.dayTotal().toDouble(); }));
    finish(c, false, fmt, "Nessun incasso nel periodo");
    return c;
}

ChartData TotalsChart(const ChartFigures& f, const NumberFormat& fmt) {
    ChartData c;
    c.kind = ChartKind::Totals;
    c.title = "Totali del periodo per colonna " + periodText(f.selection) + " - TOT. INC. " +
              ChartAmount(f.current.totals.grandTotal(), fmt);
    c.valueTitle = "Importo";
    c.barLegend = false;
    c.legendBelow = true;
    // The fixed columns always; a configured one when it has a heading or a total.
    std::vector<AmountColumn> shown;
    for (AmountColumn& col : amountColumns(f.current)) {
        const bool hasTotal = col.total(f.current.totals) != Money() ||
                              (f.previous && col.total(f.previous->totals) != Money());
        if (!col.configured || col.named || hasTotal) shown.push_back(std::move(col));
    }
    std::vector<int> fields;
    for (const AmountColumn& col : shown) {
        c.categories.push_back(col.label);
        fields.push_back(col.field);
    }
    makeUnique(c.categories, fields);
    for (size_t i = 0; i < shown.size(); ++i) {
        const Money total = shown[i].total(f.current.totals);
        if (total == Money()) continue;
        ChartSeries s;
        s.field = shown[i].field;
        s.label = c.categories[i] + ": " + ChartAmount(total, fmt);
        s.colour = shown[i].colour;
        s.values.assign(shown.size(), 0.0);
        s.values[i] = total.toDouble();
        c.bars.push_back(std::move(s));
    }
    if (f.previous) {
        std::vector<double> earlier;
        for (const AmountColumn& col : shown) earlier.push_back(col.total(f.previous->totals).toDouble());
        c.comparison = comparisonLine(30, "TOT. INC. " + ChartAmount(f.previous->totals.grandTotal(), fmt),
                                      std::move(earlier));
    }
    finish(c, false, fmt, "Nessun incasso nel periodo");
    if (f.current.days.empty()) c.emptyMessage = "Nessun giorno nel periodo scelto";
    return c;
}

std::vector<ChartData> PeriodCharts(const ChartFigures& f, const NumberFormat& fmt) {
    return {GuestChart(f, fmt), TakingsChart(f, fmt), TotalsChart(f, fmt)};
}

std::optional<ChartFigures> ComputeChartFigures(const SummarySelection& sel, bool comparePreviousYear,
                                                const Workspace& ws, ProgramState& state, Host& host) {
    // The caption and the bar are put back however the run ends.
    struct Restore {
        Host& host;
        ~Restore() {
            host.setCaption("Riepilogo dati Hotel");
            host.setProgress(0, 0);
        }
    } restore{host};
    const std::optional<SummaryPeriod> period = PrepareSummaryRun(sel, ws, state, host);
    if (!period) return std::nullopt;
    ChartFigures f{sel, ComputeSummaryFigures(sel, period->first, period->last, ws, state, host), std::nullopt};
    if (comparePreviousYear) {
        SummarySelection earlier = sel;
        earlier.firstDay = OneYearEarlier(period->first).dmy();
        earlier.lastDay = OneYearEarlier(period->last).dmy();
        f.previous = ComputeSummaryFigures(earlier, OneYearEarlier(period->first), OneYearEarlier(period->last), ws,
                                           state, host);
    }
    return f;
}

}  // namespace ov
