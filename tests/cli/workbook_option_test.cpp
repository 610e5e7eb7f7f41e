// --xlsx of ovdesk summary and ovdesk convert, run as separate processes: the workbooks are written
// beside the CSV files only when asked for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/ovdesk_process.h"
#include "support/suite_folder.h"

using ovtest::runOvdesk;
namespace fs = std::filesystem;

TEST(WorkbookOption, SummaryWritesOrvalisXlsxOnlyWithTheOption) {
    ovtest::SuiteFolder f;
    f.build();
    setenv("PCLocal", "5", 1);
    const std::vector<std::string> summary{"summary", "--folder", f.path().string(), "--from", "01/02/2024", "--to",
                                           "02/02/2024"};
    auto plain = runOvdesk(summary);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, (f.path() / "fd5").string() + "\n" + (f.path() / "Orvalis.csv").string() + "\n");
    EXPECT_FALSE(fs::exists(f.path() / "Orvalis.xlsx"));
    const std::string csv = f.read("Orvalis.csv");

    auto withWorkbook = summary;
    withWorkbook.push_back("--xlsx");
    auto r = runOvdesk(withWorkbook);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, plain.out + (f.path() / "Orvalis.xlsx").string() + "\n");
    EXPECT_EQ(f.read("Orvalis.xlsx").substr(0, 2), "PK");
    EXPECT_EQ(f.read("Orvalis.csv"), csv);

    // A workbook that cannot be written fails the command with the Italian message naming it.
    fs::remove(f.path() / "Orvalis.xlsx");
    fs::create_directory(f.path() / "Orvalis.xlsx");
    r = runOvdesk(withWorkbook);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Impossibile scrivere il file 'Orvalis.xlsx'"), std::string::npos) << r.err;
    EXPECT_EQ(f.read("Orvalis.csv"), csv);
    unsetenv("PCLocal");
}

TEST(WorkbookOption, ConvertWritesTheWorkbookAfterTheCsvOnlyWithTheOption) {
    ovtest::TempFolder dir;
    dir.write("fd4", "\xB3  1.234,56\xB3Rossi\xB4\r\n");
    setenv("PCLocal", "4", 1);
    auto plain = runOvdesk({"convert", "--folder", dir.path().string()});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_FALSE(fs::exists(dir / "fd4.xlsx"));
    auto r = runOvdesk({"convert", "--folder", dir.path().string(), "--xlsx"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (dir / "fd4.csv").string() + "\n" + (dir / "fd4.xlsx").string() + "\n");
    EXPECT_EQ(dir.read("fd4.xlsx").substr(0, 2), "PK");
    unsetenv("PCLocal");
}
