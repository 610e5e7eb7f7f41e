// The charts of a period against the hotel data summary they are drawn beside: every day and every
// column of the day rows and the totals row of "Orvalis.csv" on the edge and hotel sets, the
// comparison with the year before, and the charts of an empty period.
#include <gtest/gtest.h>

#include <filesystem>

#include "charts/period_charts.h"
#include "summary/data_summary.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ov::ChartData;
using ov::ChartSeries;
using ov::Money;

namespace {

// A working folder copied from a fixture set, with DIRSH on its history folder when it has one.
class FixtureFolder {
public:
    explicit FixtureFolder(const std::string& set) {
        env_ = {{"PCLocal", "1"}};
        const fs::path history = ovtest::copyFixtureWorkFolder(set, folder_.path());
        if (!history.empty()) env_["DIRSH"] = history.string();
    }
    ov::Workspace workspace() const {
        return ov::Workspace(folder_.path(), std::make_shared<ov::MapEnvironment>(env_),
                             [] { return ov::DateTime{ov::Date{2024, 3, 5}, 9, 0, 0}; });
    }
    std::string read(const std::string& name) const { return folder_.read(name); }

private:
    ovtest::TempFolder folder_;
    std::map<std::string, std::string> env_;
};

const ChartSeries* seriesOf(const ChartData& c, int field) {
    for (const ChartSeries& s : c.bars)
        if (s.field == field) return &s;
    return nullptr;
}

// A chart value as the report prints it: rounded to cents.
int64_t cents(double v) { return Money::fromDouble(v).roundedTo(2); }
int64_t cents(const std::string& cell) { return ovtest::ItalianAmount(cell).roundedTo(2); }

constexpr int kAmountFields[] = {14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29};

// Runs the summary (which writes Orvalis.csv) and the charts over the same selection, and compares
// every day row and the totals row, cell by cell.
void expectChartsEqualSummary(const FixtureFolder& folder, const ov::SummarySelection& sel) {
    const ov::Workspace ws = folder.workspace();
    ov::ProgramState state;
    ovtest::RecordingHost summaryHost;
    ASSERT_TRUE(ov::RunDataSummary(sel, ws, state, ov::NumberFormat::italian(), summaryHost).completed);
    const ovtest::SummaryCsv csv = ovtest::ParseSummaryCsv(folder.read("Orvalis.csv"));

    ovtest::RecordingHost host;
    const auto figures = ov::ComputeChartFigures(sel, false, ws, state, host);
    ASSERT_TRUE(figures.has_value());
    const auto charts = ov::PeriodCharts(*figures, ov::NumberFormat::italian());
    const ChartData& guests = charts[0];
    const ChartData& takings = charts[1];
    const ChartData& totals = charts[2];
    ASSERT_EQ(figures->current.days.size(), csv.days.size());
    ASSERT_EQ(guests.categories.size(), csv.days.size());
    ASSERT_EQ(takings.categories.size(), csv.days.size());
    EXPECT_FALSE(guests.bars.empty());
    EXPECT_FALSE(takings.bars.empty());

    std::map<int, int64_t> guestSums;
    for (size_t i = 0; i < figures->current.days.size(); ++i) {
        const std::string day = figures->current.days[i].dmy.substr(0, 5);
        ASSERT_TRUE(csv.days.count(day)) << day;
        const std::vector<std::string>& row = csv.days.at(day).row;
        for (int f = 2; f <= 13; ++f) {
            const ChartSeries* s = seriesOf(guests, f);
            const double v = s ? s->values[i] : 0;
            EXPECT_EQ(v, std::stol(row.at(f - 1))) << day << " field " << f;
            guestSums[f] += static_cast<int64_t>(v);
        }
        double dayTotal = 0;
        for (int f : kAmountFields) {
            const ChartSeries* s = seriesOf(takings, f);
            const double v = s ? s->values[i] : 0;
            EXPECT_EQ(cents(v), cents(row.at(f - 1))) << day << " field " << f;
            dayTotal += v;
        }
        EXPECT_EQ(cents(dayTotal), cents(row.at(29))) << day << " TOT. INC.";
    }
    ASSERT_EQ(csv.totals.size(), 30u);
    for (int f = 2; f <= 13; ++f) EXPECT_EQ(guestSums[f], std::stol(csv.totals[f - 1])) << "totals field " << f;
    for (int f : kAmountFields) {
        const ChartSeries* s = seriesOf(totals, f);
        double v = 0;
        if (s)
            for (double x : s->values) v += x;  // a column's series holds its total in its own category only
        EXPECT_EQ(cents(v), cents(csv.totals.at(f - 1))) << "totals field " << f;
    }
}

}  // namespace

TEST(PeriodCharts, EqualTheSummaryOnEveryDayAndColumnOfTheEdgeQuarter) {
    FixtureFolder folder("edge");
    expectChartsEqualSummary(folder, {"01/01/2024", "31/03/2024", "", "ZZZZ"});
}

TEST(PeriodCharts, EqualTheSummaryOnANarrowRoomRangeOfTheEdgeSet) {
    FixtureFolder folder("edge");
    expectChartsEqualSummary(folder, {"10/01/2024", "20/01/2024", "10", "20"});
}

TEST(PeriodCharts, EqualTheSummaryOnEveryDayAndColumnOfAMonthOfTheHotelSet) {
    FixtureFolder folder("hotel");
    expectChartsEqualSummary(folder, {"01/08/2024", "31/08/2024", "", "ZZZZ"});
}

// August 2025 has no data in the hotel set: the bars are empty, the line is August 2024 day by day.
TEST(PeriodCharts, ComparisonLineIsTheSameDaysAYearEarlier) {
    FixtureFolder folder("hotel");
    const ov::Workspace ws = folder.workspace();
    ov::ProgramState state;
    ovtest::RecordingHost host;
    const auto later = ov::ComputeChartFigures({"01/08/2025", "10/08/2025", "", "ZZZZ"}, true, ws, state, host);
    const auto earlier = ov::ComputeChartFigures({"01/08/2024", "10/08/2024", "", "ZZZZ"}, false, ws, state, host);
    ASSERT_TRUE(later && earlier && later->previous);
    const auto charts = ov::PeriodCharts(*later, ov::NumberFormat::italian());
    for (const ChartData& c : charts) {
        EXPECT_TRUE(c.bars.empty());
        ASSERT_TRUE(c.comparison.has_value());
        EXPECT_EQ(c.emptyMessage, "");  // the line has something to show
        EXPECT_EQ(c.comparison->label.rfind("Un anno prima: ", 0), 0u) << c.comparison->label;
    }
    for (size_t i = 0; i < earlier->current.days.size(); ++i) {
        const ov::SummaryDay& d = earlier->current.days[i];
        int64_t guests = 0;
        for (int64_t g : ov::dayGuests(d.counters)) guests += g;
        EXPECT_EQ(charts[0].comparison->values[i], static_cast<double>(guests)) << d.dmy;
        EXPECT_EQ(Money::fromDouble(charts[1].comparison->values[i]), d.amounts.dayTotal()) << d.dmy;
    }
    EXPECT_GT(charts[0].axis.maximum, 0);
}

TEST(PeriodCharts, EmptyPeriodGivesEmptyAxesWithAMessage) {
    FixtureFolder folder("edge");
    const ov::Workspace ws = folder.workspace();
    ov::ProgramState state;
    ovtest::RecordingHost host;
    struct Case {
        ov::SummarySelection sel;
        std::vector<std::string> messages;  // guests, takings, totals
        size_t days;
    };
    const Case cases[] = {
        {{"10/02/2024", "01/02/2024", "", "ZZZZ"},
         {"Nessun giorno nel periodo scelto", "Nessun giorno nel periodo scelto", "Nessun giorno nel periodo scelto"}, 0},
        {{"01/06/2023", "30/06/2023", "", "ZZZZ"},
         {"Nessun ospite presente nel periodo", "Nessun incasso nel periodo", "Nessun incasso nel periodo"}, 30},
    };
    for (const Case& c : cases) {
        const auto figures = ov::ComputeChartFigures(c.sel, true, ws, state, host);
        ASSERT_TRUE(figures.has_value());
        const auto charts = ov::PeriodCharts(*figures, ov::NumberFormat::italian());
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(charts[k].emptyMessage, c.messages[k]) << c.sel.firstDay << " chart " << k;
            EXPECT_TRUE(charts[k].bars.empty());
            EXPECT_GE(charts[k].axis.ticks.size(), 2u);
            EXPECT_LT(charts[k].axis.minimum, charts[k].axis.maximum);
        }
        // Days without data are days of zero, not gaps.
        EXPECT_EQ(charts[0].categories.size(), c.days);
        EXPECT_EQ(charts[1].comparison->values, std::vector<double>(c.days, 0.0));
    }
    EXPECT_TRUE(host.errors.empty());
}

TEST(PeriodCharts, RunThatCannotStartTellsWhyAndPutsTheCaptionBack) {
    FixtureFolder folder("edge");
    const ov::Workspace ws = folder.workspace();
    ov::ProgramState state;
    ovtest::RecordingHost host;
    EXPECT_FALSE(ov::ComputeChartFigures({"31/02/2024", "10/03/2024", "", "ZZZZ"}, false, ws, state, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Data non valida: 31/02/2024");
    ASSERT_FALSE(host.captions.empty());
    EXPECT_EQ(host.captions.back(), "Riepilogo dati Hotel");
    EXPECT_EQ(host.lastProgressTotal, 0);
}
