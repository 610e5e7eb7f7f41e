// How a hotel data summary run starts, ends and fails: dates, the closing question, the cash sheet,
// values wider than their cells, a database missing midway.
#include <gtest/gtest.h>

#include "summary/data_summary.h"
#include "summary/hotel_rooms.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using ov::Money;

namespace {

struct SummaryRunner {
    ovtest::SuiteFolder f;
    ovtest::RecordingHost host;
    ov::ProgramState state;
    ov::SummaryOutcome outcome;
    ov::Date today{2024, 1, 31};

    ov::SummaryOutcome go(const std::string& from, const std::string& to, std::vector<std::string> skip = {}) {
        f.build(skip);
        auto ws = f.workspace({{"PCLocal", "7"}}, today);
        outcome = ov::RunDataSummary({from, to, "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
        return outcome;
    }
};

}  // namespace

TEST(SummaryRun, InvalidDatesStopTheRunBeforeAnyFile) {
    for (const char* bad : {"31/02/2021", "29/02/1900", "", "1/1/24", "08x01x2024", "01-01-2024"}) {
        SummaryRunner r;
        auto o = r.go("01/02/2021", bad);
        EXPECT_FALSE(o.completed) << bad;
        ASSERT_EQ(r.host.messages.size(), 1u) << bad;
        EXPECT_EQ(r.host.messages[0].text, std::string("Data non valida: ") + bad);
        EXPECT_EQ(r.host.messages[0].title, "Riepilogo dati Hotel");
        EXPECT_FALSE(std::filesystem::exists(r.f.path() / "fd7"));
        EXPECT_FALSE(std::filesystem::exists(r.f.path() / "Orvalis.csv"));
    }
}

TEST(SummaryRun, EmptyRangeWritesHeaderAndZeroTotalsThenAsksAboutTheSpreadsheet) {
    SummaryRunner r;
    r.f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {1, 1, "Hotel Prova", "", nullptr, nullptr});
    auto o = r.go("05/01/2024", "04/01/2024");
    ASSERT_TRUE(o.completed);
    auto print = ovtest::SplitLines(r.f.read("fd7"));
    ASSERT_EQ(print.size(), 10u);
    EXPECT_EQ(print[8].substr(0, 4), "\xB3T.\xB3");
    ASSERT_EQ(r.host.questions.size(), 1u);
    EXPECT_EQ(r.host.questions[0].text, "Apro il file in formato EXCEL?");
    EXPECT_EQ(r.host.questions[0].title, "Visualizza tabella");
    EXPECT_EQ(r.host.questions[0].defaultButton, ov::Answer::No);
    EXPECT_EQ(r.host.printMenus, 1);
    EXPECT_TRUE(r.host.opened.empty());
    EXPECT_EQ(r.host.captions.back(), "Riepilogo dati Hotel");
}

TEST(SummaryRun, YesOpensTheWorkbookAndNotThePrintMenu) {
    SummaryRunner r;
    r.host.answers.push_back(ov::Answer::Yes);
    auto o = r.go("28/02/2024", "01/03/2024");
    ASSERT_TRUE(o.completed);
    EXPECT_EQ(r.host.printMenus, 0);
    ASSERT_EQ(r.host.opened.size(), 1u);
    EXPECT_EQ(std::filesystem::path(r.host.opened[0]), r.f.path() / "Orvalis.xlsx");
    EXPECT_TRUE(std::filesystem::is_regular_file(r.f.path() / "Orvalis.xlsx"));
    auto csv = ovtest::ParseSummaryCsv(r.f.read("Orvalis.csv"));
    EXPECT_EQ(csv.days.size(), 3u);
    EXPECT_TRUE(csv.days.count("29/02"));
    // Every day is shown in the caption.
    EXPECT_EQ(r.host.captions[0], "Riepilogo dati Hotel del 28/02/2024");
    EXPECT_EQ(r.host.captions[1], "Riepilogo dati Hotel del 29/02/2024");
    EXPECT_EQ(r.host.captions[2], "Riepilogo dati Hotel del 01/03/2024");
}

TEST(SummaryRun, YesWithoutASpreadsheetProgramWarnsThenShowsThePrintMenu) {
    SummaryRunner r;
    r.host.answers.push_back(ov::Answer::Yes);
    r.host.openSucceeds = false;
    ASSERT_TRUE(r.go("28/02/2024", "01/03/2024").completed);
    ASSERT_EQ(r.host.opened.size(), 1u);
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].text, "Impossibile aprire il file Orvalis.xlsx con il programma associato");
    EXPECT_EQ(r.host.messages[0].title, "Visualizza tabella");
    EXPECT_EQ(r.host.messages[0].icon, ov::Icon::Warning);
    // The report can still be printed.
    EXPECT_EQ(r.host.printMenus, 1);
}

TEST(SummaryRun, CashSheetWithoutHotelRecordAndWithTodaysRearrangedRooms) {
    SummaryRunner r;
    r.f.writeText("SC20240131.txt", "Camera 101 -> 102\r\nCamera 7\xE0\r\nultima");
    r.f.writeText("SC20240130.txt", "ieri\r\n");
    auto o = r.go("10/01/2024", "10/01/2024");
    ASSERT_TRUE(o.completed);
    auto lines = ovtest::SplitLines(r.f.read("Orvalis.csv"));
    // No hotel record: every line of the sheet moves up one row.
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(lines[16], "Quantit\xE0;Taglio;Importo;");
    EXPECT_EQ(lines[40], "Acconti Extra Cassa; ;\x80" "0,00;");
    EXPECT_EQ(lines[46], "Differenza +/-; ;=c44-ad12+c42;");
    ASSERT_EQ(lines.size(), 47u + 3u + 3u);
    EXPECT_EQ(lines[47], "");
    EXPECT_EQ(lines[48], "Elenco camere riordinate");
    EXPECT_EQ(lines[50], "Camera 101 -> 102");
    EXPECT_EQ(lines[51], "Camera 7\xE0");
    EXPECT_EQ(lines[52], "ultima");
}

TEST(SummaryRun, ValuesWiderThanTheirCellsAreWrittenWhole) {
    SummaryRunner r;
    r.f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {1, 1, "Hotel Prova", "", nullptr, nullptr});
    r.f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "BB", "x", "C"});
    for (long code = 1; code <= 1200; ++code) {
        r.f.add("Scheda_Cliente.mdb", "Scheda_Cliente",
                {1, code, "101", "a", "b", "20240101", "20240110", "20240110", 0, 0, 0, "IT"});
        r.f.add("Arrangiamento.mdb", "Arrangiamento", {1, code, "20240101", "20240201", "BB"});
    }
    r.f.add("Fatture.mdb", "DatiFattura", {1, "20240102", "C", 1, 1, "101", 0, nullptr, 12345678.9, 0, "S", "N"});
    r.go("02/01/2024", "02/01/2024");
    auto print = ovtest::SplitLines(r.f.read("fd7"));
    const std::string& u = print[7];
    EXPECT_EQ(u.substr(0, 9), "\xB3U \xB3" "1200\xB3");
    const std::string& nu = print[8];
    EXPECT_NE(nu.find("\xB3" "12345678,90\xB3"), std::string::npos) << nu;
    // The rule lines keep the layout's width.
    EXPECT_EQ(print[9].size(), 223u);
}

TEST(SummaryRun, MissingDatabaseEndsTheRunWithTheErrorBeforeAnyFileIsWritten) {
    // The takings and the guests of the days are read side by side; a day's takings come first, so
    // with both files gone the takings' file is the one named, as reading day by day would.
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"Registro_Acconti.mdb"}, "Registro_Acconti.mdb"},
        {{"Scheda_Cliente.mdb"}, "Scheda_Cliente.mdb"},
        {{"Scheda_Cliente.mdb", "Registro_Acconti.mdb"}, "Registro_Acconti.mdb"},
    };
    for (const auto& [missing, named] : cases) {
        SummaryRunner r;
        auto o = r.go("10/01/2024", "11/01/2024", missing);
        EXPECT_FALSE(o.completed) << named;
        ASSERT_EQ(r.host.errors.size(), 1u) << named;
        EXPECT_EQ(r.host.errors[0].number(), 3024) << named;
        EXPECT_NE(r.host.errors[0].message().find(named), std::string::npos) << r.host.errors[0].message();
        EXPECT_EQ(r.host.captions.back(), "Riepilogo dati Hotel");
        EXPECT_FALSE(std::filesystem::exists(r.f.path() / "fd7"));
        EXPECT_FALSE(std::filesystem::exists(r.f.path() / "Orvalis.csv"));
        EXPECT_EQ(r.host.printMenus, 0);
        EXPECT_TRUE(r.host.questions.empty());
    }
}

TEST(HotelTwoRooms, RangesCompareAsTextByCharacterCode) {
    ovtest::TempFolder dir;
    ov::Workspace ws(dir.path());
    ov::HotelTwoRooms rooms;
    rooms.fill(ws);
    EXPECT_EQ(rooms.hotelOf("150"), 1);  // no file: every room is hotel 1

    dir.write("HOTEL2.TXT", "101,120\r\n1100,1100\r\nno comma\r\n3,4\r\n5,6\r\n7,8\r\n9,9\r\n");
    rooms.fill(ws);
    for (const char* h2 : {"101", "115", "120", "1100", "12", "3", "7", "8"}) EXPECT_EQ(rooms.hotelOf(h2), 2) << h2;
    for (const char* h1 : {"100", "121", "a3", "A5", "", "9"}) EXPECT_EQ(rooms.hotelOf(h1), 1) << h1;
    EXPECT_EQ(rooms.hotelOf(ov::Value::null()), 1);
    EXPECT_EQ(rooms.ranges()[4].first, "7");  // five ranges loaded, the rest ignored
}
