// The whole hotel data summary on the hand-designed Jet data set "edge": the figures its README
// documents, day by day.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/error.h"
#include "summary/data_summary.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ov::Money;

namespace {

Money m(const char* s) { return *Money::parse(s); }

class EdgeReport : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& e : fs::directory_iterator(ovtest::fixturesDir() / "edge" / "work"))
            fs::copy_file(e.path(), folder.path() / e.path().filename());
        for (const auto& e : fs::directory_iterator(folder.path()))
            fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    }

    ovtest::SummaryCsv run(const std::string& from, const std::string& to, const std::string& r1 = "",
                           const std::string& r2 = "ZZZZ") {
        ov::Workspace ws(folder.path(), std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}),
                         [] { return ov::DateTime{ov::Date{2024, 3, 5}, 9, 0, 0}; });
        ov::ProgramState state;
        outcome = ov::RunDataSummary({from, to, r1, r2}, ws, state, ov::NumberFormat::italian(), host);
        EXPECT_TRUE(host.errors.empty()) << (host.errors.empty() ? "" : host.errors[0].message());
        EXPECT_TRUE(outcome.completed);
        return ovtest::ParseSummaryCsv(folder.read("Orvalis.csv"));
    }

    // A run expected to fail: the error it showed; the earlier report files must be left alone.
    ov::Error failedRun(const std::string& from, const std::string& to) {
        folder.write("fd1", "stampa precedente\r\n");
        folder.write("Orvalis.csv", "foglio precedente\r\n");
        ov::Workspace ws(folder.path(), std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}),
                         [] { return ov::DateTime{ov::Date{2024, 3, 5}, 9, 0, 0}; });
        ov::ProgramState state;
        outcome = ov::RunDataSummary({from, to, "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
        EXPECT_FALSE(outcome.completed);
        EXPECT_TRUE(outcome.written.empty());
        EXPECT_EQ(folder.read("fd1"), "stampa precedente\r\n");
        EXPECT_EQ(folder.read("Orvalis.csv"), "foglio precedente\r\n");
        EXPECT_TRUE(host.questions.empty()) << "the run went on to ask about the spreadsheet";
        if (host.errors.size() != 1) {
            ADD_FAILURE() << host.errors.size() << " errors shown";
            return ov::Error(0, "");
        }
        return host.errors[0];
    }
    void replace(const std::string& name, const fs::path& with) {
        fs::copy_file(with, folder.path() / name, fs::copy_options::overwrite_existing);
    }

    ovtest::TempFolder folder;
    ovtest::RecordingHost host;
    ov::SummaryOutcome outcome;
};

// Cells of the U line: 13 HOTEL, 14 CAMP., 16 ACCONTI, 17-26 columns 1-10, 27 SPESE, 28 OSPITI.
struct DayTakings {
    const char* day;
    std::map<int, const char*> u;   // cell -> amount
    std::map<int, const char*> nu;  // cell -> amount (13 HOTEL, 14 CAMP., 17-26 columns 11-20)
};

}  // namespace

TEST_F(EdgeReport, QuarterOfTakingsAndGuestsMatchesTheDocumentedDays) {
    auto csv = run("01/01/2024", "31/03/2024");
    ASSERT_EQ(csv.days.size(), 91u);

    const std::vector<DayTakings> documented = {
        {"08/01", {{13, "199"}, {14, "110"}, {17, "19.5"}, {18, "8"}, {27, "-5.5"}, {28, "-20"}}, {{17, "19.5"}}},
        {"10/01", {{13, "125"}, {16, "1210"}, {17, "25.2"}, {19, "48"}, {21, "15"}}, {{19, "2.4"}}},
        {"12/01", {{17, "9"}, {27, "-9.9"}, {28, "15"}}, {{13, "40"}, {14, "37.5"}, {17, "9"}}},
        {"16/01", {{13, "74"}, {14, "80"}}, {}},
        {"17/01", {{13, "25"}}, {}},
        {"22/01", {{17, "10"}, {18, "2"}, {27, "-4.8"}, {28, "-30"}}, {{17, "10"}, {19, "7.5"}}},
        {"29/02", {{13, "210"}, {17, "12"}, {19, "19.9"}, {27, "-45"}}, {{14, "33"}, {17, "12"}}},
        {"01/03", {{14, "95"}, {17, "6.6"}, {28, "-10"}}, {{13, "17.5"}}},
    };
    std::map<std::string, const DayTakings*> byDay;
    for (const auto& d : documented) byDay[d.day] = &d;

    for (const auto& [day, fig] : csv.days) {
        const DayTakings* doc = byDay.count(day) ? byDay[day] : nullptr;
        for (int cell : {13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28}) {
            Money want = doc && doc->u.count(cell) ? m(doc->u.at(cell)) : Money();
            EXPECT_EQ(ovtest::ItalianAmount(fig.u.at(cell)), want) << day << " U cell " << cell;
        }
        for (int cell : {13, 14, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26}) {
            Money want = doc && doc->nu.count(cell) ? m(doc->nu.at(cell)) : Money();
            EXPECT_EQ(ovtest::ItalianAmount(fig.nu.at(cell)), want) << day << " NU cell " << cell;
        }
        EXPECT_EQ(fig.u.at(15), "0,00") << day;
        for (int cell : {15, 16, 27, 28}) EXPECT_EQ(fig.nu.at(cell), "") << day;
    }
}

TEST_F(EdgeReport, GuestCountersOfEveryDay) {
    auto csv = run("01/01/2024", "31/03/2024");
    using Counts = std::map<int, long>;
    std::map<std::string, Counts> want;
    auto span = [&](int d1, int d2, int month, const Counts& c) {
        for (int d = d1; d <= d2; ++d) {
            char key[6];
            std::snprintf(key, sizeof key, "%02d/%02d", d, month);
            want[key] = c;
        }
    };
    span(8, 8, 1, {{1, 3}, {12, 1}});
    span(9, 9, 1, {{1, 3}, {12, 1}, {22, 1}});
    span(10, 10, 1, {{0, 1}, {1, 3}, {6, 1}, {16, 1}, {22, 1}});
    span(11, 11, 1, {{0, 1}, {1, 3}, {6, 1}, {16, 1}});
    span(12, 13, 1, {{0, 1}, {6, 1}});
    span(15, 18, 1, {{0, 1}, {1, 1}, {4, 1}, {5, 1}, {7, 1}, {11, 1}});
    span(22, 24, 1, {{0, 1}, {14, 1}});
    span(5, 8, 2, {{3, 2}, {5, 1}, {11, 1}});
    span(12, 13, 2, {{5, 1}, {17, 1}, {20, 1}});
    span(14, 15, 2, {{17, 1}, {20, 1}});
    span(19, 20, 2, {{0, 1}, {12, 1}});
    span(21, 21, 2, {{12, 2}});
    span(26, 27, 2, {{0, 1}, {12, 2}, {13, 1}, {19, 1}});
    span(28, 29, 2, {{2, 1}, {12, 2}, {13, 1}, {19, 1}});
    span(1, 1, 3, {{2, 1}, {12, 2}, {13, 1}, {19, 1}});
    span(18, 20, 3, {{1, 1}});

    for (const auto& [day, fig] : csv.days) {
        Counts expected = want.count(day) ? want[day] : Counts{};
        for (int i = 0; i < 24; ++i) {
            long w = expected.count(i) ? expected[i] : 0;
            EXPECT_EQ(fig.counters[i], w) << day << " counter " << i;
        }
    }
}

TEST_F(EdgeReport, TotalsRowIsTheSumOfTheDayRowsAndEveryLineHasTheLayoutWidth) {
    auto csv = run("01/01/2024", "31/03/2024");
    ASSERT_EQ(csv.totals.size(), 30u);
    for (int cell = 1; cell <= 12; ++cell) {
        long sum = 0;
        for (const auto& [day, fig] : csv.days) sum += std::stol(fig.row.at(cell));
        EXPECT_EQ(std::stol(csv.totals[cell]), sum) << "count cell " << cell;
    }
    for (int cell = 13; cell <= 29; ++cell) {
        Money sum;
        for (const auto& [day, fig] : csv.days) sum += ovtest::ItalianAmount(fig.row.at(cell));
        EXPECT_EQ(ovtest::ItalianAmount(csv.totals[cell]), sum) << "amount cell " << cell;
    }
    auto print = ovtest::SplitLines(folder.read("fd1"));
    ASSERT_GT(print.size(), 2u);
    EXPECT_EQ(print[0], "RIEPILOGO DATI HOTEL DAL 01/01/2024 AL 31/03/2024 DALLA CAMERA  ALLA CAMERA ZZZZ");
    EXPECT_EQ(print[1], "");
    for (size_t i = 2; i < print.size(); ++i) EXPECT_EQ(print[i].size(), 223u) << "line " << i + 1;
    // 91 days of five lines each (U, NU, rule, day row, rule), the header, the closing rule, totals and bottom border.
    EXPECT_EQ(print.size(), 2u + 5u + 91u * 5u + 3u);
}

TEST_F(EdgeReport, NarrowRoomRangeAndOneDayCashSheet) {
    auto csv = run("10/01/2024", "10/01/2024", "10", "199");
    const auto& day = csv.days.at("10/01");
    EXPECT_EQ(ovtest::ItalianAmount(day.u.at(16)), m("710"));
    EXPECT_EQ(ovtest::ItalianAmount(day.u.at(13)), m("90"));
    // One day: the totals row is line 12 of the file, as the sheet's formulas expect.
    ASSERT_GE(csv.lines.size(), 48u);
    EXPECT_EQ(csv.lines[11].substr(0, 3), "T.;");
    EXPECT_EQ(csv.lines[15], "Hotel Bellavista S.r.l.");
    EXPECT_EQ(csv.lines[17], "Quantit\xE0;Taglio;Importo;");
    EXPECT_EQ(csv.lines[19], "0;\x80 500,00;=a20*b20;");
    EXPECT_EQ(csv.lines[41], "Acconti Extra Cassa; ;\x80" "150,00;");
    EXPECT_EQ(csv.lines[47], "Differenza +/-; ;=c44-ad12+c42;");
    EXPECT_EQ(csv.lines.size(), 48u);
    // Headings: È is byte 200, RISTORANTE cut to nine characters.
    EXPECT_NE(csv.lines[1].find("BAR-CAFF\xC8;MINIBAR  ;RISTORANT;"), std::string::npos);

    auto narrow = run("16/01/2024", "16/01/2024", "10", "199");
    EXPECT_EQ(ovtest::ItalianAmount(narrow.days.at("16/01").u.at(13)), Money());
    EXPECT_EQ(ovtest::ItalianAmount(narrow.days.at("16/01").u.at(14)), m("80"));
}

TEST_F(EdgeReport, ADamagedPaymentFileIsError3049NotJanuaryWithoutItsTakings) {
    // One data page of the payment lines zeroed: read as a table, January's 2030,40 would shrink to
    // 129,90 without a word.
    replace("Fatture.mdb", ovtest::fixturesDir() / "damaged/Fatture-data-page-27-zeroed.mdb");
    ov::Error e = failedRun("01/01/2024", "31/01/2024");
    EXPECT_EQ(e.number(), ov::err::Damaged);
    EXPECT_NE(e.message().find("'Fatture.mdb'"), std::string::npos) << e.message();
}

TEST_F(EdgeReport, AnAmountAtTheSmallestCurrencyValueIsOverflowNotAWrappedTotal) {
    replace("Fatture.mdb", ovtest::fixturesDir() / "damaged/Fatture-currency-at-minimum.mdb");
    ov::Error e = failedRun("01/01/2024", "31/01/2024");
    EXPECT_EQ(e.number(), ov::err::Overflow) << e.message();
}

TEST_F(EdgeReport, WhenOrvalisCsvCannotBeWrittenThePrintFileKeepsItsEarlierContent) {
    fs::remove(folder.path() / "Orvalis.csv");
    fs::create_directory(folder.path() / "Orvalis.csv");  // in the way of the new file
    folder.write("fd1", "stampa precedente\r\n");
    ov::Workspace ws(folder.path(), std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}));
    ov::ProgramState state;
    outcome = ov::RunDataSummary({"08/01/2024", "08/01/2024", "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
    EXPECT_FALSE(outcome.completed);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].message().find("Orvalis.csv"), std::string::npos) << host.errors[0].message();
    EXPECT_EQ(folder.read("fd1"), "stampa precedente\r\n");
    // Nothing is left beside them either.
    for (const auto& e : fs::directory_iterator(folder.path()))
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
}

TEST_F(EdgeReport, SettingsFilesThatCannotBeReadAreErrorsNamingThem) {
    // Hotel2.txt a folder would count every room as hotel 1; today's list of rearranged rooms a
    // pipe would hang the run.
    for (const char* name : {"Hotel2.txt", "SC20240305.txt"}) {
        SCOPED_TRACE(name);
        host = {};
        fs::remove_all(folder.path() / name);
        if (std::string(name) == "Hotel2.txt") fs::create_directory(folder.path() / name);
        else ASSERT_EQ(mkfifo((folder.path() / name).c_str(), 0644), 0);
        ov::Error e = failedRun("08/01/2024", "08/01/2024");
        EXPECT_EQ(e.number(), ov::err::FileAccess);
        EXPECT_NE(e.message().find(name), std::string::npos) << e.message();
        fs::remove_all(folder.path() / name);
    }
}
