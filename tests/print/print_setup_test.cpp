#include "print/print_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/error.h"
#include "platform/recording_printer.h"
#include "print/page_printing.h"
#include "print/preview.h"
#include "print/print_file.h"
#include "print/print_fixture.h"
#include "summary/data_summary.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::SuiteFolder;

namespace {

struct Folder {
    SuiteFolder f;
    explicit Folder(const PrintTables& t = {}) {
        ovtest::addPrintTables(f, t);
        f.build();
    }
    Workspace ws(std::map<std::string, std::string> env = {{"PCLocal", "1"}}) const { return f.workspace(env); }
};

PrintSetup setupFor(const Workspace& ws, const std::string& destination, bool compressed,
                    std::optional<std::string> windowsPrinter = std::nullopt) {
    auto s = assemblePrintSetup(ws, {destination, compressed, windowsPrinter, "", 1});
    EXPECT_TRUE(s.has_value()) << destination;
    return s.value_or(PrintSetup{});
}

}  // namespace

TEST(PrintFileNames, WritersAndReadersNameTheSameFile) {
    SuiteFolder f;
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    EXPECT_EQ(printFileWriteName(ws), "fd1");
    EXPECT_EQ(printFileReadName(ws), "FD1");
    EXPECT_EQ(printFileSaveName(ws), "fd1");
    f.writeText(printFileWriteName(ws), "riga\r\n");
    ASSERT_TRUE(ws.find(printFileReadName(ws)));
    EXPECT_EQ(ws.find(printFileReadName(ws))->filename(), "fd1");
}

TEST(PrintFileNames, WithoutPCLocalEveryNameCarriesWorkstationZero) {
    SuiteFolder f;
    Workspace ws = f.workspace({});
    EXPECT_EQ(printFileWriteName(ws), "fd0");
    EXPECT_EQ(printFileReadName(ws), "FD0");
    EXPECT_EQ(documentCopyName(ws, DateTime{Date{2024, 3, 5}, 9, 7, 59}), "doc\\fd0202403050907.doc");
    f.writeText(printFileWriteName(ws), "riga\r\n");
    EXPECT_TRUE(ws.find(printFileReadName(ws)));
}

// A first run without PCLocal: the summary's print file is the one the preview shows and the print
// menu prints.
TEST(PrintFileNames, WithoutPCLocalTheSummaryIsPreviewedAndPrinted) {
    Folder folder;
    Workspace ws = folder.ws({});
    ovtest::RecordingHost host;
    ProgramState state;
    ASSERT_TRUE(RunDataSummary({"01/01/2024", "02/01/2024", "", "ZZZZ"}, ws, state, NumberFormat::italian(), host)
                    .completed);
    EXPECT_EQ(host.printMenus, 1);
    PreviewDocument preview(ws);
    ASSERT_TRUE(preview.hasFile());
    preview.activate();
    EXPECT_EQ(preview.text().rfind("RIEPILOGO DATI HOTEL DAL 01/01/2024 AL 02/01/2024", 0), 0u) << preview.text();
    RecordingPrinter printer({"Stampante Ufficio"});
    printPrintFile(ws, PrintFileJob{"AGHI"}, printer);
    EXPECT_NE(folder.f.read("porta.prn").find("RIEPILOGO DATI HOTEL DAL 01/01/2024"), std::string::npos);
}

TEST(PrintFileNames, DatedCopyCarriesTheWorkstationTextAndTheMinute) {
    SuiteFolder f;
    Workspace ws = f.workspace({{"PCLocal", "12"}});
    EXPECT_EQ(documentCopyName(ws, DateTime{Date{2024, 3, 5}, 9, 7, 59}), "doc\\fd12202403050907.doc");
}

namespace {

std::vector<std::string> readAllLines(const std::filesystem::path& path) {
    LineReader reader(path);
    std::vector<std::string> lines;
    while (!reader.atEnd()) lines.push_back(reader.readLine());
    return lines;
}

}  // namespace

TEST(PrintFileNames, LinesEndAtCrLfAndALastLineNeedsNoEnd) {
    SuiteFolder f;
    f.writeText("a", "uno\r\n\r\ntre\rquattro\nfine");
    EXPECT_EQ(readAllLines(f.path() / "a"), (std::vector<std::string>{"uno", "", "tre", "quattro", "fine"}));
    f.writeText("b", "");
    EXPECT_TRUE(readAllLines(f.path() / "b").empty());
    f.writeText("c", "\f\r\n");
    EXPECT_EQ(readAllLines(f.path() / "c"), (std::vector<std::string>{"\f"}));
}

TEST(PrintSetupGroups, ThreeCharacterGroupsShortTextsLeaveZeros) {
    auto g = parseCodeGroups("027 15  0  0  0  0 27 18");
    EXPECT_EQ(g[0], 27);
    EXPECT_EQ(g[1], 15);
    EXPECT_EQ(g[6], 27);
    EXPECT_EQ(g[7], 18);
    for (int k = 8; k < 12; ++k) EXPECT_EQ(g[k], 0);
    EXPECT_EQ(parseCodeGroups("")[0], 0);
    EXPECT_EQ(parseCodeGroups("  9 1")[1], 1);  // a group cut short
}

TEST(PrintSetupAssembly, DriverDestinationTakesSizesMarginAndPageLengths) {
    Folder folder(PrintTables{.topMargin = 3, .physicalCompressed = 90, .physicalNormal = 66});
    Workspace ws = folder.ws();
    PrintSetup c = setupFor(ws, "LASER", true);
    EXPECT_TRUE(c.driverMode);
    EXPECT_EQ(c.printerType, 1);
    EXPECT_EQ(c.device, "Stampante Ufficio");
    EXPECT_EQ(c.compressedFontSize, 8);
    EXPECT_EQ(c.normalFontSize, 10);
    EXPECT_EQ(c.topMargin, 3);
    EXPECT_EQ(c.physicalPageLines, 90);
    EXPECT_EQ(c.pageLength, 72);
    EXPECT_EQ(c.fontName, "Courier New");

    PrintSetup n = setupFor(ws, "laser", false);  // names compare without regard to case
    EXPECT_EQ(n.physicalPageLines, 66);
    EXPECT_EQ(n.pageLength, 60);
}

TEST(PrintSetupAssembly, RawDestinationBuildsBothPrefixesFromTheCodes) {
    Folder folder;
    PrintSetup s = setupFor(folder.ws(), "AGHI", true);
    EXPECT_FALSE(s.driverMode);
    EXPECT_EQ(s.compressedPrefix, std::string("\x1b\x0f\0\0\0", 5));
    EXPECT_EQ(s.normalPrefix, std::string("\x1b\x12\0\0\0", 5));
    EXPECT_EQ(s.prefix(), s.compressedPrefix);
}

TEST(PrintSetupAssembly, MissingRecordsFallBack) {
    Folder folder(PrintTables{.pageLengths = std::nullopt});
    Workspace ws = folder.ws();
    PrintSetup s = setupFor(ws, "SENZA TIPO", false);
    EXPECT_EQ(s.pageLength, 60);
    EXPECT_FALSE(s.hasCodes);
    EXPECT_FALSE(s.driverMode);
    EXPECT_EQ(s.physicalPageLines, 66);
    EXPECT_EQ(s.topMargin, 0);
    EXPECT_EQ(s.prefix(), "");
    EXPECT_FALSE(assemblePrintSetup(ws, {"NESSUNA", false, std::nullopt, "", 1}).has_value());
}

TEST(PrintSetupAssembly, FontFileFirstLineTrimmed) {
    Folder folder;
    folder.f.writeText("FONTSTP.TXT", "  Lucida Console  \r\nArial\r\n");
    EXPECT_EQ(setupFor(folder.ws(), "LASER", false).fontName, "Lucida Console");
}

TEST(PrintSetupAssembly, EnvironmentBeatsLineaAndAChosenPrinterBeatsBoth) {
    Folder folder;
    Workspace ws = folder.ws({{"PCLocal", "1"}, {"AGHI", "/dev/usb/lp0"}});
    EXPECT_EQ(setupFor(ws, "AGHI", false).device, "/dev/usb/lp0");
    EXPECT_EQ(setupFor(ws, "AGHI", false, std::string("  HP_LaserJet ")).device, "HP_LaserJet");
    EXPECT_EQ(setupFor(ws, "AGHI", false, std::string("   ")).device, "/dev/usb/lp0");
    Workspace emptyVar = folder.ws({{"AGHI", ""}});
    EXPECT_EQ(setupFor(emptyVar, "AGHI", false).device, "porta.prn");
}

TEST(PrintSetupAssembly, ApostropheInADestinationCannotBreakTheCriteria) {
    SuiteFolder f;
    ovtest::addPrintTables(f);
    f.add("Stampanti.mdb", "Stampanti", {1, 5, "SALA D'ATTESA", 2, "attesa.prn"});
    f.build();
    auto s = assemblePrintSetup(f.workspace(), {"SALA D'ATTESA", false, std::nullopt, "", 1});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->device, "attesa.prn");
}

TEST(PrintSetupLists, DestinationsOfHotelOneInTableOrderAndItsOptionLetters) {
    Folder folder(PrintTables{.options = "KU"});
    Workspace ws = folder.ws();
    EXPECT_EQ(readDestinations(ws), (std::vector<std::string>{"LASER", "AGHI", "SENZA TIPO"}));
    EXPECT_EQ(readOptionLetters(ws), "KU");
}

TEST(PrintSetupLists, MissingDatabaseIsAnErrorNamingIt) {
    SuiteFolder f;
    f.build({"Stampanti.mdb"});
    try {
        readDestinations(f.workspace());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_NE(e.message().find("Stampanti.mdb"), std::string::npos);
    }
}

// The suite's own Jet files of the "edge" set.
TEST(PrintSetupJet, EdgeFolderPrintersAndPageSettings) {
    if (!std::getenv("OVDESK_MDBREAD")) GTEST_SKIP() << "OVDESK_MDBREAD not set";
    Workspace ws(ovtest::fixturesDir() / "edge" / "work", std::make_shared<MapEnvironment>());
    EXPECT_EQ(readDestinations(ws), (std::vector<std::string>{"UFFICIO", "SCARTO", "ARCHIVIO"}));
    EXPECT_EQ(readOptionLetters(ws), "K");
    auto office = assemblePrintSetup(ws, {"UFFICIO", true, std::nullopt, "K", 1});
    ASSERT_TRUE(office);
    EXPECT_TRUE(office->driverMode);
    EXPECT_EQ(office->device, "LPT1");
    EXPECT_EQ(office->topMargin, 2);
    EXPECT_EQ(office->physicalPageLines, 90);
    EXPECT_EQ(office->pageLength, 72);
    auto scrap = assemblePrintSetup(ws, {"SCARTO", false, std::nullopt, "K", 1});
    ASSERT_TRUE(scrap);
    EXPECT_FALSE(scrap->driverMode);
    EXPECT_EQ(scrap->normalPrefix, std::string("\x1b\x12\0\0\0", 5));
    EXPECT_EQ(scrap->pageLength, 60);
}
