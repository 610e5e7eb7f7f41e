// How the charts are laid out from hand-made figures: day labels, the value axis in the user's
// notation, which columns the totals chart names, and the day a year earlier.
#include <gtest/gtest.h>

#include <set>

#include "charts/period_charts.h"

using ov::ChartData;
using ov::Date;
using ov::Money;
using ov::NumberFormat;

namespace {

Money m(const char* s) { return *Money::parse(s); }

// Figures of consecutive days from `first`, each with the HOTEL takings given.
ov::SummaryFigures figuresFrom(Date first, const std::vector<const char*>& hotel) {
    ov::SummaryFigures f;
    for (auto& h : f.headings) h = std::string(9, ' ');
    for (size_t i = 0; i < hotel.size(); ++i) {
        ov::SummaryDay& d = f.days.emplace_back();
        d.date = first.plusDays(static_cast<long>(i));
        d.dmy = d.date.dmy();
        d.amounts.hotelU = m(hotel[i]);
        f.totals.add(d.counters, d.amounts);
    }
    return f;
}

ov::ChartFigures chartFigures(ov::SummaryFigures current) {
    return {{current.days.empty() ? "" : current.days.front().dmy, current.days.empty() ? "" : current.days.back().dmy, "",
             "ZZZZ"},
            std::move(current),
            std::nullopt};
}

}  // namespace

TEST(ChartBuilding, DayLabelsAreShortAndNeverRepeat) {
    struct Case {
        Date first;
        long days;
        std::vector<std::string> some;  // first, second and last label
    };
    const Case cases[] = {
        {{2024, 5, 1}, 31, {"1", "2", "31"}},                 // one month: the day of the month
        {{2024, 4, 30}, 3, {"30/04", "01/05", "02/05"}},      // two months
        {{2024, 5, 1}, 365, {"01/05", "02/05", "30/04"}},     // up to a year
        {{2024, 1, 1}, 367, {"01/01/24", "02/01/24", "01/01/25"}},  // 01/01 would come back
    };
    for (const Case& c : cases) {
        const auto labels = ov::DayLabels(c.first, c.days);
        ASSERT_EQ(labels.size(), static_cast<size_t>(c.days));
        EXPECT_EQ((std::vector<std::string>{labels[0], labels[1], labels.back()}), c.some) << c.first.dmy();
        EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), labels.size()) << c.first.dmy();
    }
    EXPECT_TRUE(ov::DayLabels({2024, 5, 1}, 0).empty());

    // A long period is labelled at the start of each month, at the day's place.
    const auto months = ov::MonthTicks({2024, 1, 15}, 80);
    ASSERT_EQ(months.size(), 3u);
    EXPECT_EQ(months[0].label, "feb 2024");
    EXPECT_EQ(months[0].value, 17);
    EXPECT_EQ(months[2].label, "apr 2024");
    EXPECT_EQ(months[2].value, 17 + 29 + 31);
}

TEST(ChartBuilding, OnlyPeriodsOfMoreThanTwoMonthsAreLabelledByMonth) {
    for (const auto& [days, byMonth] : {std::pair{62, false}, std::pair{63, true}}) {
        std::vector<const char*> hotel(static_cast<size_t>(days), "1");
        const ChartData c = ov::TakingsChart(chartFigures(figuresFrom({2024, 5, 1}, hotel)), NumberFormat::italian());
        EXPECT_EQ(c.categories.size(), static_cast<size_t>(days));
        EXPECT_EQ(!c.monthTicks.empty(), byMonth) << days;
    }
}

TEST(ChartBuilding, ValueAxisTakesRoundStepsInTheUserNotation) {
    struct Case {
        double low, high;
        bool counts;
        NumberFormat fmt;
        double min, max;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {0, 7, true, NumberFormat::italian(), 0, 7, {"0", "1", "2", "3", "4", "5", "6", "7"}},
        {0, 3, true, NumberFormat::italian(), 0, 3, {"0", "1", "2", "3"}},  // guests never step by halves
        {-1200, 13500, false, NumberFormat::italian(), -2000, 14000,
         {"-2.000", "0", "2.000", "4.000", "6.000", "8.000", "10.000", "12.000", "14.000"}},
        {0, 4500, false, NumberFormat::english(), 0, 5000,
         {"0", "1,000", "2,000", "3,000", "4,000", "5,000"}},
        {0, 0.7, false, NumberFormat::italian(), 0, 0.7, {"0,00", "0,10", "0,20", "0,30", "0,40", "0,50", "0,60", "0,70"}},
        {0, 0, false, NumberFormat::italian(), 0, 100, {"0", "20", "40", "60", "80", "100"}},  // nothing to show
        {0, 0, true, NumberFormat::italian(), 0, 5, {"0", "1", "2", "3", "4", "5"}},
    };
    for (const Case& c : cases) {
        const ov::ValueAxis axis = ov::RoundValueAxis(c.low, c.high, c.counts, c.fmt);
        EXPECT_DOUBLE_EQ(axis.minimum, c.min) << c.high;
        EXPECT_DOUBLE_EQ(axis.maximum, c.max) << c.high;
        std::vector<std::string> labels;
        for (const auto& t : axis.ticks) labels.push_back(t.label);
        EXPECT_EQ(labels, c.labels) << c.high;
    }
}

TEST(ChartBuilding, AmountsAndCountsInTheUserNotation) {
    const NumberFormat it = NumberFormat::italian(), en = NumberFormat::english();
    NumberFormat blank = it;
    blank.thousands = static_cast<char>(0xA0);  // a no-break space in code page 1252
    EXPECT_EQ(ov::ChartAmount(m("1234567.891"), it), "1.234.567,89");
    EXPECT_EQ(ov::ChartAmount(m("-0.5"), it), "-0,50");
    EXPECT_EQ(ov::ChartAmount(m("-1234"), en), "-1,234.00");
    EXPECT_EQ(ov::ChartAmount(m("0"), it), "0,00");
    EXPECT_EQ(ov::ChartAmount(m("1234"), blank), "1\u00a0234,00");
    EXPECT_EQ(ov::ChartCount(63619, it), "63.619");
}

TEST(ChartBuilding, TotalsChartNamesFixedColumnsAndConfiguredOnesWithAHeadingOrATotal) {
    ov::SummaryFigures f = figuresFrom({2024, 5, 1}, {"100", "50"});
    f.headings[0] = "BAR      ";
    f.headings[2] = "BAR      ";       // the same heading twice
    f.headings[4] = "BAR-CAFF\xC8  ";  // code page 1252
    f.days[0].amounts.columnTakings[17] = m("30");  // column 7 has no heading but a total
    f.totals = {};
    for (const auto& d : f.days) f.totals.add(d.counters, d.amounts);

    const ChartData c = ov::TotalsChart(chartFigures(f), NumberFormat::italian());
    EXPECT_EQ(c.categories, (std::vector<std::string>{"HOTEL", "CAMP.", "ACCONTI", "BAR (colonna 1)", "BAR (colonna 3)",
                                                      "BAR-CAFF\u00c8", "Colonna 7", "SPESE", "OSPITI"}));
    ASSERT_EQ(c.bars.size(), 2u);  // only the columns with a total have a bar
    EXPECT_EQ(c.bars[0].label, "HOTEL: 150,00");
    EXPECT_EQ(c.bars[0].values, (std::vector<double>{150, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(c.bars[1].field, 24);
    EXPECT_EQ(c.bars[1].values[6], 30);
    EXPECT_FALSE(c.barLegend);
    EXPECT_NE(c.title.find("TOT. INC. 180,00"), std::string::npos) << c.title;
    EXPECT_EQ(c.title.find("camere"), std::string::npos);  // all rooms: not named
}

TEST(ChartBuilding, OutgoingsStackBelowZeroAndTheAxisCoversThem) {
    ov::SummaryFigures f = figuresFrom({2024, 5, 1}, {"100", "20"});
    f.days[1].amounts.expenses = m("-45");
    f.totals = {};
    for (const auto& d : f.days) f.totals.add(d.counters, d.amounts);
    const ChartData c = ov::TakingsChart(chartFigures(f), NumberFormat::italian());
    ASSERT_EQ(c.bars.size(), 2u);
    EXPECT_EQ(c.bars[1].label, "SPESE: -45,00");
    EXPECT_LE(c.axis.minimum, -45);
    EXPECT_GE(c.axis.maximum, 100);
}

TEST(ChartBuilding, TheDayAYearEarlierOfALeapDayIsThe28th) {
    const std::pair<Date, Date> cases[] = {
        {{2024, 2, 29}, {2023, 2, 28}},
        {{2025, 3, 1}, {2024, 3, 1}},
        {{2025, 2, 28}, {2024, 2, 28}},
        {{2024, 12, 31}, {2023, 12, 31}},
    };
    for (const auto& [day, earlier] : cases) EXPECT_EQ(ov::OneYearEarlier(day), earlier) << day.dmy();

    // 28/02 to 01/03/2024 against 2023: the leap day takes the 28th's figures; the totals of the
    // earlier period are its own.
    ov::ChartFigures f = chartFigures(figuresFrom({2024, 2, 28}, {"1", "2", "3"}));
    f.previous = figuresFrom({2023, 2, 28}, {"10", "30"});
    const ChartData c = ov::TakingsChart(f, NumberFormat::italian());
    ASSERT_TRUE(c.comparison.has_value());
    EXPECT_EQ(c.comparison->values, (std::vector<double>{10, 10, 30}));
    EXPECT_EQ(c.comparison->label, "Un anno prima: TOT. INC. 40,00");
}
