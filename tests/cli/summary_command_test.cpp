// ovdesk summary on a copy of the "edge" working folder: the report on the terminal and as a PDF
// printed through the driver path, as paper from the print menu would show it.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/pdf_pages.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;

namespace fs = std::filesystem;

namespace {

class SummaryCommand : public ovtest::EdgeFolderCommand {
protected:
    // January of the edge hotel: option letters "K", destination UFFICIO printing through the
    // driver at 8 points compressed and 10 normal, page lengths 72 and 60, a top margin of 2.
    ovtest::ProcessResult january(std::vector<std::string> args) {
        args.insert(args.begin(), {"summary", "--folder", dir.path().string(), "--from", "01/01/2024", "--to", "31/01/2024"});
        return runOvdesk(args);
    }
};

}  // namespace

TEST_F(SummaryCommand, PdfOfAMonthShowsEveryColumnAndRealFramesOnThePagesThePageLengthGives) {
    struct Case {
        std::vector<std::string> options;
        bool landscape;
    };
    // 165 lines; a page holds the page length less the top margin: 70 compressed, 58 normal.
    const Case cases[] = {{{}, false}, {{"--compressed"}, false}, {{"--landscape"}, true},
                          {{"--landscape", "--compressed"}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "portrait" : c.options.front() + (c.options.size() > 1 ? " compressed" : ""));
        const fs::path pdf = dir.path() / "gennaio.pdf";
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"--pdf", pdf.string()});
        auto r = january(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(pdf.string() + "\n"), std::string::npos) << r.out;
        ASSERT_EQ(ovtest::pdfPageCount(pdf), 3);
        for (auto [w, h] : ovtest::pdfPageSizes(pdf)) EXPECT_EQ(w > h, c.landscape);
        const std::string first = ovtest::pdfPageText(pdf, 1);
        for (const char* text : {"RIEPILOGO DATI HOTEL DAL 01/01/2024 AL 31/01/2024", "PRIVATI", "HOTEL", "ACCONTI",
                                 "BAR-CAFFÈ", "MINIBAR", "SPESE", "OSPITI", "TOT. INC.", "┌──┬───────────┬",
                                 "─┐", "│CC │MP │PC │CC │MP │PC │", "├──┼───┼"})
            EXPECT_NE(first.find(text), std::string::npos) << text << "\n" << first;
        // The totals row closes the last page, its last cell whole.
        const std::string last = ovtest::pdfPageText(pdf, 3);
        EXPECT_NE(last.find("│T.│"), std::string::npos) << last;
        EXPECT_NE(last.find("│\n"), std::string::npos) << last;
        EXPECT_NE(last.find("─┘"), std::string::npos) << last;
    }
}

TEST_F(SummaryCommand, PdfNeedsADestinationThatPrintsThroughTheDriver) {
    const fs::path pdf = dir.path() / "gennaio.pdf";
    auto raw = january({"--pdf", pdf.string(), "--destination", "SCARTO"});
    EXPECT_EQ(raw.exitCode, 2);
    EXPECT_NE(raw.err.find("SCARTO"), std::string::npos) << raw.err;
    auto unknown = january({"--pdf", pdf.string(), "--destination", "CANTINA"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("CANTINA"), std::string::npos) << unknown.err;
    auto alone = january({"--landscape"});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_FALSE(fs::exists(pdf));
    EXPECT_FALSE(fs::exists(dir.path() / "fd1"));  // a wrong command line costs no run
}

TEST_F(SummaryCommand, ShowPrintsFramesAsLineDrawingAndLettersInUtf8) {
    auto r = january({"--show"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n┌──┬───────────┬"), std::string::npos);
    EXPECT_NE(r.out.find("│BAR-CAFFÈ│"), std::string::npos);
    EXPECT_NE(r.out.find("\n│ 1│"), std::string::npos);
    EXPECT_NE(r.out.find("─┘\n"), std::string::npos);
    EXPECT_EQ(r.out.find("\xC3\x9A\xC3\x84"), std::string::npos);  // no "ÚÄ" of code page 1252 frames
}

TEST_F(SummaryCommand, DemoFolderPrintsItsFramesWithItsOwnSettings) {
    ovtest::TempFolder demo;
    auto made = runOvdesk({"demo", (demo.path() / "hotel").string(), "--today", "15/06/2024"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const fs::path pdf = demo.path() / "maggio.pdf";
    auto r = runOvdesk({"summary", "--folder", (demo.path() / "hotel").string(), "--from", "01/05/2024", "--to",
                        "31/05/2024", "--pdf", pdf.string(), "--landscape", "--compressed"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_GE(ovtest::pdfPageCount(pdf), 1);
    const std::string first = ovtest::pdfPageText(pdf, 1);
    EXPECT_NE(first.find("┌──┬"), std::string::npos) << first;
    EXPECT_NE(first.find("TOT. INC."), std::string::npos) << first;
}

TEST_F(SummaryCommand, PresencePdfHoldsTheReportLines) {
    const fs::path pdf = dir.path() / "presenze.pdf";
    auto r = runOvdesk({"presence", "--folder", dir.path().string(), "--from", "13/02/2024", "--to", "20/02/2024",
                        "--pdf", pdf.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(ovtest::pdfPageCount(pdf), 1);
    const std::string text = ovtest::pdfPageText(pdf, 1);
    EXPECT_NE(text.find("RIEPILOGO PRESENZE HOTEL DAL 13/02/2024 AL 20/02/2024"), std::string::npos) << text;
    EXPECT_NE(text.find("1.234"), std::string::npos) << text;
}
