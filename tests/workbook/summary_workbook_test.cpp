// The summary's hand-off to "Orvalis.xlsx": written beside Orvalis.csv without changing it, opened
// by "Sì", and a workbook that cannot be written reported while the other files stay. What the
// workbook holds is read back by LibreOffice in office/workbook_recalc_test.cpp.
#include <gtest/gtest.h>

#include "summary/data_summary.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

namespace fs = std::filesystem;

namespace {

struct WorkbookRun {
    ovtest::SuiteFolder f;
    ovtest::RecordingHost host;
    ov::SummaryOutcome outcome;

    WorkbookRun() {
        f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {1, 1, "Hotel Prova", "", nullptr, nullptr});
        f.add("Fatture.mdb", "DatiFattura", {1, "20240108", "R", 1, 1, "101", nullptr, nullptr, ov::Money::fromInteger(90),
                                             ov::Money::fromInteger(90), "S", "N"});
        f.add("Fatture.mdb", "Incassi", {1, "20240108", "R", 1, 1, "CON", ov::Money::fromInteger(90), nullptr});
        f.add("CodiciVari.mdb", "CodiciVari", {1, 4, "CON", "Contanti", nullptr});
        f.build();
    }
    void go(ov::SummaryWorkbook workbook) {
        ov::ProgramState state;
        outcome = ov::RunDataSummary({"07/01/2024", "09/01/2024", "", "ZZZZ"}, f.workspace({{"PCLocal", "2"}}), state,
                                     ov::NumberFormat::italian(), host, workbook);
    }
};

}  // namespace

TEST(SummaryWorkbook, IsWrittenBesideTheCsvWhichStaysAsWithoutIt) {
    WorkbookRun r;
    r.go(ov::SummaryWorkbook::Skip);
    ASSERT_TRUE(r.outcome.completed);
    EXPECT_FALSE(fs::exists(r.f.path() / "Orvalis.xlsx"));
    const std::string csv = r.f.read("Orvalis.csv"), print = r.f.read("fd2");
    ASSERT_NE(csv.find("90,00"), std::string::npos);

    r.go(ov::SummaryWorkbook::Write);
    ASSERT_TRUE(r.outcome.completed);
    EXPECT_EQ(r.f.read("Orvalis.csv"), csv);
    EXPECT_EQ(r.f.read("fd2"), print);
    EXPECT_EQ(r.outcome.written.back(), r.f.path() / "Orvalis.xlsx");
    EXPECT_EQ(r.f.read("Orvalis.xlsx").substr(0, 2), "PK");
    EXPECT_TRUE(r.host.errors.empty());
}

TEST(SummaryWorkbook, OneThatCannotBeWrittenIsReportedAndYesOpensTheCsv) {
    WorkbookRun r;
    r.go(ov::SummaryWorkbook::Skip);
    const std::string csv = r.f.read("Orvalis.csv");
    r.host = {};

    fs::create_directory(r.f.path() / "Orvalis.xlsx");
    r.host.answers.push_back(ov::Answer::Yes);
    r.go(ov::SummaryWorkbook::Write);
    EXPECT_FALSE(r.outcome.completed);
    ASSERT_EQ(r.host.errors.size(), 1u);
    EXPECT_EQ(r.host.errors[0].number(), 75);
    EXPECT_EQ(r.host.errors[0].message(), "Impossibile scrivere il file 'Orvalis.xlsx'.");
    EXPECT_EQ(r.f.read("Orvalis.csv"), csv);
    // The run is otherwise complete: the question follows and "Sì" opens what there is.
    ASSERT_EQ(r.host.questions.size(), 1u);
    ASSERT_EQ(r.host.opened.size(), 1u);
    EXPECT_EQ(fs::path(r.host.opened[0]), r.f.path() / "Orvalis.csv");
    EXPECT_EQ(r.host.captions.back(), "Riepilogo dati Hotel");
}
