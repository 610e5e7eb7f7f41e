#include "print/page_printing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/error.h"
#include "platform/recording_printer.h"
#include "print/print_fixture.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::SuiteFolder;
using Lines = std::vector<std::string>;

namespace {

const std::string kNormalPrefix("\x1b\x12\0\0\0", 5);
const std::string kCompressedPrefix("\x1b\x0f\0\0\0", 5);

std::string crlf(const Lines& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct Folder {
    SuiteFolder f;
    explicit Folder(const PrintTables& t = {}, const std::optional<std::string>& printFile = std::string()) {
        ovtest::addPrintTables(f, t);
        f.build();
        if (printFile) f.writeText("FD1", *printFile);
    }
    Workspace ws() const { return f.workspace({{"PCLocal", "1"}}); }
};

PrintFileJob fileJob(const std::string& destination, const std::string& options = "") {
    PrintFileJob job;
    job.destination = destination;
    job.optionLetters = options;
    return job;
}

LinesJob linesJob(const std::string& destination, const std::string& options = "") {
    LinesJob job;
    job.destination = destination;
    job.optionLetters = options;
    return job;
}

PrintedJob onlyJob(const RecordingPrinter& p) {
    auto jobs = p.jobs();
    EXPECT_EQ(jobs.size(), 1u);
    return jobs.empty() ? PrintedJob{} : jobs.front();
}

// Fails at the given print call, as a driver that loses its printer would.
class FailingPrinter : public RecordingPrinter {
public:
    explicit FailingPrinter(int failAt) : RecordingPrinter({"Stampante Ufficio"}), failAt_(failAt) {}
    void print(const std::string& text, bool endLine) override {
        if (++prints_ == failAt_) throw Error(err::Device, "stampante spenta");
        RecordingPrinter::print(text, endLine);
    }

private:
    int failAt_;
    int prints_ = 0;
};

}  // namespace

// ---- Driver mode, print file ----

TEST(DriverPrintFile, JobStartsWithBlankLineMarginAndChosenSize) {
    Folder folder(PrintTables{.topMargin = 2}, crlf({"uno", "due"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    EXPECT_EQ(printer.calls(), (Lines{"select Stampante Ufficio", "orientation 1", "bold off", "font Times New Roman",
                                      "size 8", "print ' '", "font Courier New", "print ' '", "print ' '", "size 10",
                                      "print 'uno'", "print 'due'", "enddoc"}));
    PrintedJob job = onlyJob(printer);
    ASSERT_EQ(job.pages.size(), 1u);
    const PrintedPiece& uno = job.pages[0].lines[3].pieces.at(0);
    EXPECT_EQ(uno.font, "Courier New");
    EXPECT_EQ(uno.size, 10);
    EXPECT_FALSE(uno.bold);
    EXPECT_FALSE(job.duplex.has_value());
}

TEST(DriverPrintFile, FullPageRepeatsTheWholeSetUp) {
    Folder folder(PrintTables{.topMargin = 1, .pageLengths = std::make_pair(72, 4)}, crlf({"a", "b", "c", "d", "e"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    PrintedJob job = onlyJob(printer);
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(job.pages[0].texts(), (Lines{" ", " ", "a", "b", "c"}));
    EXPECT_EQ(job.pages[1].texts(), (Lines{" ", " ", "d", "e"}));
    EXPECT_EQ(job.pages[1].lines[0].pieces[0].font, "Times New Roman");
    EXPECT_EQ(job.pages[1].lines[2].pieces[0].size, 10);
}

TEST(DriverPrintFile, FileOfExactlyOnePageBeginsAPageHoldingOnlyTheSetUp) {
    Folder folder(PrintTables{.pageLengths = std::make_pair(72, 3)}, crlf({"a", "b", "c"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    PrintedJob job = onlyJob(printer);
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(job.pages[0].texts(), (Lines{" ", "a", "b", "c"}));
    EXPECT_EQ(job.pages[1].texts(), (Lines{" "}));
}

TEST(DriverPrintFile, FormFeedStartsExactlyOnePageWithTheMarginAndCounts) {
    Folder folder(PrintTables{.topMargin = 1, .pageLengths = std::make_pair(72, 4)},
                  crlf({"a", "\f", "b", "c", "d"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    PrintedJob job = onlyJob(printer);
    ASSERT_EQ(job.pages.size(), 3u);
    EXPECT_EQ(job.pages[0].texts(), (Lines{" ", " ", "a"}));
    // The form-feed line counts: margin 1 + the form feed + b + c reach the length of 4.
    EXPECT_EQ(job.pages[1].texts(), (Lines{" ", "b", "c"}));
    EXPECT_EQ(job.pages[2].texts(), (Lines{" ", " ", "d"}));
    auto ff = std::find(printer.calls().begin(), printer.calls().end(), "newpage");
    ASSERT_NE(ff, printer.calls().end());
    EXPECT_EQ(*(ff + 1), "orientation 1");
}

TEST(DriverPrintFile, BoldMarkersMakeOneLineOfThreePieces) {
    Folder folder({}, crlf({"Totale \xE7GENNAIO\xE7 fine"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    PrintedJob job = onlyJob(printer);
    const PrintedLine& line = job.pages.at(0).lines.at(1);
    EXPECT_EQ(line.text(), "Totale GENNAIO fine");
    ASSERT_EQ(line.pieces.size(), 3u);
    EXPECT_FALSE(line.pieces[0].bold);
    EXPECT_EQ(line.pieces[0].size, 10);
    EXPECT_TRUE(line.pieces[1].bold);
    EXPECT_NEAR(line.pieces[1].size, 9.6, 1e-9);
    EXPECT_FALSE(line.pieces[2].bold);
    EXPECT_NEAR(line.pieces[2].size, 10, 1e-9);
}

TEST(DriverPrintFile, OddMarkerCountLeavesBoldOnForTheFollowingLines) {
    Folder folder({}, crlf({"x\xE7y", "z", "\xE7w"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    const PrintedPage page = onlyJob(printer).pages.at(0);
    EXPECT_TRUE(page.lines[2].pieces.at(0).bold);  // "z"
    EXPECT_NEAR(page.lines[2].pieces[0].size, 9.6, 1e-9);
    // A marker on the next line starts from the line's own state (off): the size drops again.
    EXPECT_TRUE(page.lines[3].pieces.at(0).bold);
    EXPECT_NEAR(page.lines[3].pieces[0].size, 9.2, 1e-9);
    // The next job does not start bold.
    RecordingPrinter again({"Stampante Ufficio"});
    again.setBold(true);
    printPrintFile(folder.ws(), fileJob("LASER"), again);
    EXPECT_FALSE(onlyJob(again).pages.at(0).lines.at(1).pieces.at(0).bold);
}

TEST(DriverPrintFile, AcuteAccentBecomesApostropheUnlessFramesAreKept) {
    const std::string line = "\xC4\xC4\xB4x\xC0";
    Folder folder({}, crlf({line}));
    RecordingPrinter plain({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), plain);
    EXPECT_EQ(onlyJob(plain).pages[0].lines[1].text(), "--'x\xE0");
    RecordingPrinter kept({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER", "K"), kept);
    EXPECT_EQ(onlyJob(kept).pages[0].lines[1].text(), line);
}

TEST(DriverPrintFile, OptionKDrawsTheFrameStrokesAndKeepsTheLetters) {
    const Lines report = {"\xDA\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF",
                          "\xB3\xC0\xD9\xB3\xE7" "BAR-CAFF\xC8\xE7\xB3",
                          "\xC0\xC4\xC4\xC1\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9", "D\xB4" "ANGELO \xC0"};
    Folder folder({}, crlf(report));
    RecordingPrinter kept({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER", "K"), kept);
    const PrintedPage page = onlyJob(kept).pages.at(0);
    ASSERT_EQ(page.lines.size(), 5u);
    EXPECT_EQ(page.lines[1].shown(), "┌──┬─────────┐");
    EXPECT_EQ(page.lines[2].shown(), "│ÀÙ│BAR-CAFFÈ│");  // the heading bold, its letters letters
    EXPECT_EQ(page.lines[3].shown(), "└──┴─────────┘");
    EXPECT_EQ(page.lines[4].shown(), "D´ANGELO À");
    for (const PrintedPiece& piece : page.lines[2].pieces)
        EXPECT_EQ(piece.bold, piece.text == "BAR-CAFF\xC8") << piece.text;
    EXPECT_FALSE(kept.lineDrawing());

    // Without "K" the frames become dashes and no line drawing is asked for.
    RecordingPrinter plain({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), plain);
    EXPECT_EQ(onlyJob(plain).pages.at(0).lines[1].shown(), "--------------");
    EXPECT_EQ(std::count(plain.calls().begin(), plain.calls().end(), "linedrawing on"), 0);
}

TEST(DriverPrintFile, FontShrinksUntilTheWidestLineAndThePageFitTheSheet) {
    struct Case {
        std::string line;
        bool landscape, compressed;
        double size;  // of every printed line; bold text 0.4 less
    };
    // A4 with quarter-inch margins, Courier New; page lengths 72 compressed, 60 normal.
    const std::string summaryWide = std::string(1, '\xB3') + std::string(221, 'x') + "\xB3";  // 223 characters
    // The sizes of every case are in page_fit_test; here the job prints with them.
    const Case cases[] = {
        {summaryWide, false, true, 4.1},           // the width decides
        {std::string(60, 'x'), false, false, 10},  // fits: the configured size
        {std::string(60, 'x'), true, false, 8.0},  // turned, 60 lines at 10 points are too tall
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.line.size()) + (c.landscape ? " landscape" : " portrait") +
                     (c.compressed ? " compressed" : " normal"));
        Folder folder({}, crlf({c.line, "\xE7" "bold\xE7", c.line}));
        RecordingPrinter printer({"Stampante Ufficio"});
        PrintFileJob job = fileJob("LASER");
        job.landscape = c.landscape;
        job.compressed = c.compressed;
        printPrintFile(folder.ws(), job, printer);
        const PrintedPage page = onlyJob(printer).pages.at(0);
        ASSERT_EQ(page.lines.size(), 4u);
        EXPECT_EQ(page.lines[0].pieces.at(0).size, 8);  // the page-start line keeps the compressed size
        EXPECT_DOUBLE_EQ(page.lines[1].pieces.at(0).size, c.size);
        EXPECT_NEAR(page.lines[2].pieces.at(0).size, c.size - 0.4, 1e-9);
        EXPECT_DOUBLE_EQ(page.lines[3].pieces.at(0).size, c.size);
    }
}

TEST(DriverPrintFile, LandscapeAndDuplexThenPortraitAgain) {
    Folder folder({}, crlf({"a", "\f", "b"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    PrintFileJob job = fileJob("LASER");
    job.landscape = true;
    job.duplex = true;
    printPrintFile(folder.ws(), job, printer);
    PrintedJob printed = onlyJob(printer);
    ASSERT_EQ(printed.pages.size(), 2u);
    for (const auto& p : printed.pages) EXPECT_EQ(p.orientation, Orientation::Landscape);
    EXPECT_EQ(printed.duplex, Duplex::LongEdge);
    EXPECT_EQ(printer.calls().back(), "orientation 1");
    EXPECT_EQ(printer.orientation(), Orientation::Portrait);

    RecordingPrinter portrait({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("LASER"), portrait);
    EXPECT_EQ(portrait.calls().back(), "enddoc");
}

TEST(DriverPrintFile, PrinterChoiceAndDeviceSelectTheInstalledPrinter) {
    Folder folder({}, crlf({"a"}));
    RecordingPrinter printer({"Altra", "Stampante Ufficio", "HP"});
    printPrintFile(folder.ws(), fileJob("LASER"), printer);
    EXPECT_EQ(printer.jobs().back().printer, "Stampante Ufficio");

    PrintFileJob chosen = fileJob("LASER");
    chosen.windowsPrinter = "HP";
    printPrintFile(folder.ws(), chosen, printer);
    EXPECT_EQ(printer.jobs().back().printer, "HP");

    // A device that names no installed printer leaves the current one (the last chosen) in place.
    Folder other(PrintTables{.laserDevice = "LPT1"}, crlf({"a"}));
    printPrintFile(other.ws(), fileJob("LASER"), printer);
    EXPECT_EQ(printer.jobs().back().printer, "HP");
}

TEST(DriverPrintFile, NothingWithoutPrintFileOrPrinterRecord) {
    Folder noFile({}, std::nullopt);
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(noFile.ws(), fileJob("LASER"), printer);
    EXPECT_TRUE(printer.jobs().empty());

    Folder folder({}, crlf({"a"}));
    RecordingPrinter untouched({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("NESSUNA"), untouched);
    EXPECT_TRUE(untouched.calls().empty());
}

TEST(DriverPrintFile, FailingPrinterAbandonsTheJob) {
    Folder folder(PrintTables{}, crlf({"a", "b"}));
    FailingPrinter printer(3);
    PrintFileJob job = fileJob("LASER");
    job.landscape = true;
    EXPECT_THROW(printPrintFile(folder.ws(), job, printer), Error);
    const auto& calls = printer.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "killdoc");
    EXPECT_EQ(calls.back(), "orientation 1");
    EXPECT_TRUE(printer.jobs().empty());
}

// ---- Raw device, print file ----

TEST(RawPrintFile, PrefixMarginLinesAndFinalFormFeedExactly) {
    Folder folder(PrintTables{.topMargin = 1}, crlf({"uno", "\xB3" "due\xB3"}));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI"), printer);
    EXPECT_TRUE(printer.calls().empty());
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + " \r\nuno\r\n|due|\r\n\f");

    PrintFileJob compressed = fileJob("AGHI");
    compressed.compressed = true;
    printPrintFile(folder.ws(), compressed, printer);
    EXPECT_EQ(folder.f.read("porta.prn").substr(0, 5), kCompressedPrefix);
}

TEST(RawPrintFile, ExactlyOnePageWithoutMarginEndsOnce) {
    Folder folder(PrintTables{.pageLengths = std::make_pair(72, 3)}, crlf({"a", "b", "c"}));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI"), printer);
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + "a\r\nb\r\nc\r\n\f");
}

TEST(RawPrintFile, WithMarginThePageAfterTheLastLineHoldsOnlyTheMarginAndIsEnded) {
    Folder folder(PrintTables{.topMargin = 2, .pageLengths = std::make_pair(72, 3)}, crlf({"a", "b"}));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI"), printer);
    const std::string margin = " \r\n \r\n";
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + margin + "a\r\n\f" + margin + "b\r\n\f" + margin + "\f");
}

TEST(RawPrintFile, OptionUPadsPagesWithEmptyLinesInsteadOfFormFeeds) {
    Lines lines;
    for (int i = 1; i <= 61; ++i) lines.push_back("riga " + std::to_string(i));
    lines.insert(lines.end(), {"\f", "ultima"});
    Folder folder(PrintTables{.physicalNormal = 72, .pageLengths = std::make_pair(80, 60), .options = "U"},
                  crlf(lines));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI", "U"), printer);
    Lines first(lines.begin(), lines.begin() + 60);
    std::string expected = kNormalPrefix + crlf(first) + repeat("\r\n", 12) +  // 60 lines, 12 empty
                           "riga 61\r\n" + repeat("\r\n", 71) +                  // form feed after one line
                           "ultima\r\n" + repeat("\r\n", 71);                    // end of file
    std::string got = folder.f.read("porta.prn");
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.find('\f'), std::string::npos);
}

TEST(RawPrintFile, OptionKSendsFrameCodesUnchanged) {
    const std::string line = "\xDA\xC4\xBF \xB4 \xC0";
    Folder folder({}, crlf({line}));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI", "KU"), printer);
    EXPECT_EQ(folder.f.read("porta.prn").substr(5, line.size() + 2), line + "\r\n");
    printPrintFile(folder.ws(), fileJob("AGHI", ""), printer);
    EXPECT_EQ(folder.f.read("porta.prn").substr(5), "--- | \xE0\r\n\f");
}

TEST(RawPrintFile, MissingPrintFileLeavesOnlyThePrefix) {
    Folder folder({}, std::nullopt);
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("AGHI"), printer);
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix);
}

TEST(RawPrintFile, DestinationWithoutSettingsSendsNoPrefix) {
    Folder folder({}, crlf({"a"}));
    RecordingPrinter printer;
    printPrintFile(folder.ws(), fileJob("SENZA TIPO"), printer);
    EXPECT_EQ(folder.f.read("senza.prn"), "a\r\n\f");
}

TEST(RawPrintFile, CodeSixDecidesEvenForAPrinterName) {
    Folder folder(PrintTables{.rawDevice = "Stampante Ufficio"}, crlf({"a"}));
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(folder.ws(), fileJob("AGHI"), printer);
    EXPECT_TRUE(printer.calls().empty());
    EXPECT_EQ(folder.f.read("Stampante Ufficio"), kNormalPrefix + "a\r\n\f");
}

TEST(RawPrintFile, DevicesThatCannotBeOpenedStopWithAMessageNamingThem) {
    for (const std::string device : {"LPT1", "lpt1:", "PRN", "/nessuna/cartella/porta", "<nessuna stampante>"}) {
        Folder folder(PrintTables{.rawDevice = device}, crlf({"a"}));
        RecordingPrinter printer;
        try {
            printPrintFile(folder.ws(), fileJob("AGHI"), printer);
            ADD_FAILURE() << device << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Device) << device;
            EXPECT_NE(e.message().find(device), std::string::npos) << e.message();
        }
        // Nothing was created in the working folder.
        EXPECT_FALSE(folder.ws().find(device)) << device;
    }
}

TEST(RawPrintFile, DeviceThatIsThePrintFileItselfIsRefusedFromTheMenuAndFromTheEditablePreview) {
    Folder folder(PrintTables{.rawDevice = "fd1"}, crlf({"\xDA\xC4\xBF", "b"}));
    RecordingPrinter printer;
    for (int source = 0; source < 2; ++source) {
        try {
            if (source == 0)
                printPrintFile(folder.ws(), fileJob("AGHI"), printer);
            else
                printLines(folder.ws(), linesJob("AGHI"), {"---", "b"}, printer);
            ADD_FAILURE() << "printed over the print file";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 68);
            EXPECT_NE(e.message().find("'fd1'"), std::string::npos) << e.message();
        }
        EXPECT_EQ(folder.f.read("FD1"), "\xDA\xC4\xBF\r\nb\r\n");
    }
}

TEST(RawPrintFile, WindowsPrinterChoiceReplacesTheDevice) {
    Folder folder({}, crlf({"a"}));
    RecordingPrinter printer;
    PrintFileJob job = fileJob("AGHI");
    job.windowsPrinter = "scelta.prn";
    printPrintFile(folder.ws(), job, printer);
    EXPECT_EQ(folder.f.read("scelta.prn"), kNormalPrefix + "a\r\n\f");
    EXPECT_FALSE(folder.ws().find("porta.prn"));
}

// ---- The editable preview's lines ----

TEST(DriverLines, NoMarginFormFeedLeavesAnEmptyCountedLine) {
    Folder folder(PrintTables{.topMargin = 2, .pageLengths = std::make_pair(72, 3)});
    RecordingPrinter printer({"Stampante Ufficio"});
    LinesJob job = linesJob("LASER");
    job.landscape = true;
    printLines(folder.ws(), job, {"a", "\f", "\xB4x \xE7y", "c", "d"}, printer);
    EXPECT_EQ(printer.calls(),
              (Lines{"select Stampante Ufficio", "orientation 2", "bold off", "font Times New Roman", "size 8",
                     "print ' '", "font Courier New", "size 10", "print 'a'", "newpage", "print ''",
                     "print '|x \xE7y'", "print 'c'", "newpage", "font Times New Roman", "size 8", "print ' '",
                     "font Courier New", "size 10", "print 'd'", "enddoc", "orientation 1"}));
    PrintedJob printed = onlyJob(printer);
    ASSERT_EQ(printed.pages.size(), 3u);
    EXPECT_EQ(printed.pages[1].texts(), (Lines{"", "|x \xE7y", "c"}));
    EXPECT_FALSE(printed.duplex.has_value());
}

TEST(DriverLines, PortraitJobStillEndsSettingPortrait) {
    Folder folder;
    RecordingPrinter printer({"Stampante Ufficio"});
    printLines(folder.ws(), linesJob("LASER"), {"a"}, printer);
    EXPECT_EQ(printer.calls().back(), "orientation 1");
}

TEST(RawLines, NoMarginAndPageEndsAsConfigured) {
    Folder folder(PrintTables{.topMargin = 2, .pageLengths = std::make_pair(72, 2)});
    RecordingPrinter printer;
    printLines(folder.ws(), linesJob("AGHI"), {"a", "\f", "b", "c", "\xC4"}, printer);
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + "a\r\n\f" + "b\r\nc\r\n\f" + "-\r\n\f");
}

TEST(Lines, EmptyListPrintsNothing) {
    Folder folder;
    RecordingPrinter printer({"Stampante Ufficio"});
    printLines(folder.ws(), linesJob("LASER"), {}, printer);
    printLines(folder.ws(), linesJob("AGHI"), {}, printer);
    EXPECT_TRUE(printer.calls().empty());
    EXPECT_FALSE(folder.ws().find("porta.prn"));
}
