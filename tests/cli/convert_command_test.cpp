// ovdesk convert: the print file of the working folder converted for the spreadsheet, run as a
// separate process.
#include <gtest/gtest.h>

#include "cli/ovdesk_process.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;
using ovtest::TempFolder;

TEST(ConvertCommand, ConvertsThePrintFileAndPrintsTheFileWritten) {
    TempFolder dir;
    dir.write("fd4", "\xB3  1.234,56\xB3Rossi, Mario\xB4\r\n\xC4\xC4\r\n");
    dir.write("SeparatoreXLS.txt", ";\r\n,\r\n\x80\r\n");
    ovtest::ScopedEnv pc("PCLocal", "4");
    auto r = runOvdesk({"convert", "--folder", dir.path().string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (dir.path() / "fd4.csv").string() + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.read("fd4.csv"), "; \x80" "1234,56;Rossi  Mario;\r\n  \r\n");
}

TEST(ConvertCommand, MissingPrintFileFailsOnStderrAndWrongArgumentsAreUsageErrors) {
    TempFolder dir;
    ovtest::ScopedEnv pc("PCLocal", "2");
    auto r = runOvdesk({"convert", "--folder", dir.path().string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("fd2"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "fd2.csv"));

    EXPECT_EQ(runOvdesk({"convert", "--folder", dir.path().string(), "fd2"}).exitCode, 2);
    EXPECT_EQ(runOvdesk({"convert", "--from", "01/01/2024"}).exitCode, 2);
}
