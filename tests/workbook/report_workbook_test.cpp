// The converted report as a workbook: which fields become numbers, and what a workbook that
// cannot be written leaves behind. What the cells hold is read back by LibreOffice in
// office/workbook_recalc_test.cpp.
#include "workbook/report_workbook.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "print/preview_handoffs.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using namespace ov;
using Kind = ConvertedCell::Kind;
using ovtest::SuiteFolder;
namespace fs = std::filesystem;

namespace {

// The files of a folder, hidden ones included.
std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void expectWriteError(const std::function<void()>& action, const std::string& file, const std::string& detail = "") {
    try {
        action();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_NE(e.message().find("'" + file + "'"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find(detail), std::string::npos) << e.message();
    }
}

}  // namespace

TEST(ReportWorkbook, FieldsOfTheConversionBecomeNumbersOnlyWhenTheyAreOne) {
    const SpreadsheetSettings defaults;                   // "," between fields, "." decimals, euro
    const SpreadsheetSettings italian{";", ",", "\x80"};  // as Italian sites set them
    const SpreadsheetSettings noSymbol{";", ",", ""};
    struct Case {
        const char* field;
        const SpreadsheetSettings& settings;
        Kind kind;
        double number;
    } cases[] = {
        {"   \x80" "1234.50", defaults, Kind::Amount, 1234.5},
        {"  \x80-12.00", defaults, Kind::Amount, -12},
        {"999999.99", defaults, Kind::Amount, 999999.99},  // a full cell: no room for the symbol
        {"\x80" "0.5", defaults, Kind::Amount, 0.5},
        {"1.5", defaults, Kind::Decimal, 1.5},
        {"  \x80" "1234,56", italian, Kind::Amount, 1234.56},
        {"0,1234", italian, Kind::Decimal, 0.1234},
        {"1250,50", noSymbol, Kind::Amount, 1250.5},
        {"  42", defaults, Kind::Whole, 42},
        {" 0", defaults, Kind::Whole, 0},
        {"-7", defaults, Kind::Whole, -7},
        {"123456789012345", defaults, Kind::Whole, 123456789012345.0},
        {"   ", defaults, Kind::Empty, 0},
        {"", defaults, Kind::Empty, 0},
    };
    for (const auto& c : cases) {
        const ConvertedCell cell = ClassifyConvertedField(c.field, c.settings);
        EXPECT_EQ(cell.kind, c.kind) << c.field;
        EXPECT_DOUBLE_EQ(cell.number, c.number) << c.field;
        EXPECT_EQ(cell.text, "") << c.field;
    }
    // Codes with leading zeros, dates, numbers too long to keep every digit, a symbol without an
    // amount and words stay texts, without the blanks around them.
    for (const char* text : {"007", "00", "01/01/2024", "1234567890123456", "\x80" "12", "\x80", "-", "1.2.3",
                             "12,50", "U", "Rossi  Mario", "1.234,56"}) {
        const ConvertedCell cell = ClassifyConvertedField(std::string("  ") + text + " ", defaults);
        EXPECT_EQ(cell.kind, Kind::Text) << text;
        EXPECT_EQ(cell.text, text);
    }
}

TEST(ReportWorkbook, IsWrittenBesideTheCsvUnderTheWorkstationsName) {
    SuiteFolder f;
    f.writeText("FD3", "\xB3  1.234,50\xB3 Rossi\xB3\r\n\f\r\n\xB3 12\xB3\r\n");
    const Workspace ws = f.workspace({{"PCLocal", "3"}});
    EXPECT_EQ(ReportWorkbookName(ws), "fd3.xlsx");
    EXPECT_EQ(ConvertToWorkbook(ws, "fd3"), f.path() / "fd3.xlsx");
    EXPECT_EQ(f.read("fd3.xlsx").substr(0, 2), "PK");  // a zip package
    EXPECT_EQ(filesIn(f.path()), (std::vector<std::string>{"FD3", "fd3.xlsx"}));
}

TEST(ReportWorkbook, MissingPrintFileIsAnErrorNamingIt) {
    SuiteFolder f;
    try {
        ConvertToWorkbook(f.workspace({{"PCLocal", "1"}}), "fd1");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_NE(e.message().find("'fd1'"), std::string::npos) << e.message();
    }
    EXPECT_EQ(filesIn(f.path()), std::vector<std::string>{});
}

TEST(ReportWorkbook, AFailedWriteLeavesTheEarlierWorkbookAndNoTemporaryFile) {
    SuiteFolder f;
    const Workspace ws = f.workspace({{"PCLocal", "1"}});
    f.writeText("fd1.xlsx", "earlier workbook");

    // A line with more fields than a sheet has columns.
    std::string wide;
    for (int i = 0; i < 16400; ++i) wide += "\xB3 1";
    f.writeText("fd1", "riga\r\n" + wide + "\r\n");
    expectWriteError([&] { ConvertToWorkbook(ws, "fd1"); }, "fd1.xlsx", "riga 2");
    EXPECT_EQ(f.read("fd1.xlsx"), "earlier workbook");
    EXPECT_EQ(filesIn(f.path()), (std::vector<std::string>{"fd1", "fd1.xlsx"}));

    // A target that cannot be replaced: a folder of that name.
    fs::remove(f.path() / "fd1.xlsx");
    fs::create_directory(f.path() / "fd1.xlsx");
    f.writeText("fd1", "riga\r\n");
    expectWriteError([&] { ConvertToWorkbook(ws, "fd1"); }, "fd1.xlsx");
    EXPECT_EQ(filesIn(f.path()), (std::vector<std::string>{"fd1", "fd1.xlsx"}));
}

TEST(ReportWorkbook, PreviewReportsAWorkbookThatCannotBeWrittenAndKeepsTheCsv) {
    SuiteFolder f;
    f.writeText("fd1", "\xB3  1.234,50\xB3\r\n");
    fs::create_directory(f.path() / "fd1.xlsx");
    ovtest::RecordingHost host;
    expectWriteError([&] { openPreviewAsSpreadsheet(f.workspace({{"PCLocal", "1"}}), host); }, "fd1.xlsx");
    EXPECT_EQ(f.read("fd1.csv"), ", \x80" "1234.50,\r\n");
    EXPECT_TRUE(host.opened.empty());
}
