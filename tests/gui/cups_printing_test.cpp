// Printing through a real CUPS scheduler started by the test (support/private_cups.h): raw jobs on
// a queue, the list of queues read afresh, and driver jobs coming out of cups-pdf as PDF pages.
#include <QComboBox>
#include <QPrinter>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/error.h"
#include "core/number_format.h"
#include "platform/driver_printer_qt.h"
#include "platform/recording_printer.h"
#include "print/page_printing.h"
#include "print/print_fixture.h"
#include "print/print_menu_window.h"
#include "print/print_setup.h"
#include "state/program_state.h"
#include "summary/data_summary.h"
#include "support/pdf_pages.h"
#include "support/private_cups.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "tableprint/print_table.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::PrivateCups;
using ovtest::SuiteFolder;

namespace fs = std::filesystem;

#define START_CUPS(cups)                                                                     \
    PrivateCups cups;                                                                        \
    if (!cups.running()) GTEST_SKIP() << "cupsd privato non avviato: " << cups.whyNot()

namespace {

// A report with frames, accented capitals, a bold marker and a form feed.
const std::string kReport =
    "\xDA\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF\r\n"
    "\xB3\xC0\xD9\xB3" "BAR-CAFF\xC8\xB3\r\n"
    "\xC0\xC4\xC4\xC1\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9\r\n"
    "\f\r\n"
    "Totale \xE7" "GENNAIO\xE7\r\n";

struct Folder {
    SuiteFolder f;
    explicit Folder(const PrintTables& t) {
        ovtest::addPrintTables(f, t);
        f.build();
        f.writeText("fd1", kReport);
    }
    Workspace ws() const { return f.workspace({{"PCLocal", "1"}}); }
};

PrintFileJob rawJob(const std::string& printerChoice = "") {
    PrintFileJob job;
    job.destination = "AGHI";
    job.windowsPrinter = printerChoice;
    job.optionLetters = "K";
    return job;
}

// Width and height of the part of a page that holds ink, in pixels of a small rendering.
struct Ink {
    int width = 0, height = 0;
};
Ink inkBox(const fs::path& pdf, int page) {
    const std::string pgm = ovtest::commandOutput("pdftoppm -gray -r 20 -f " + std::to_string(page) + " -l " +
                                                  std::to_string(page) + " '" + pdf.string() + "' 2>/dev/null");
    std::istringstream in(pgm);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    const std::string pixels = pgm.substr(static_cast<size_t>(in.tellg()));
    if (magic != "P5" || pixels.size() < static_cast<size_t>(w) * h) return {};
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<unsigned char>(pixels[static_cast<size_t>(y) * w + x]) < 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 ? Ink{} : Ink{right - left + 1, bottom - top + 1};
}

}  // namespace

TEST(CupsPrinting, RawDestinationNamingAQueueSendsTheBytesTheRawPathWritesToAFile) {
    START_CUPS(cups);
    cups.addRawQueue("PDF");
    cups.addRawQueue("Aghi_Ufficio");
    RecordingPrinter unused;

    // The bytes of the raw path on a file: prefix, frames unchanged ("K"), form feeds.
    Folder toFile(PrintTables{.options = "K"});
    printPrintFile(toFile.ws(), rawJob(), unused);
    const std::string expected = toFile.f.read("porta.prn");
    ASSERT_GT(expected.size(), kReport.size());

    // The same job on the queue chosen in the menu's printer list, and on the queue that Linea
    // names in another letter case: raw jobs, nothing written in the working folder.
    Folder toQueue(PrintTables{.options = "K", .rawDevice = "aghi_ufficio"});
    printPrintFile(toQueue.ws(), rawJob("PDF"), unused);
    printPrintFile(toQueue.ws(), rawJob(), unused);
    EXPECT_EQ(cups.waitForJobs("PDF", 1).size(), 1u);
    EXPECT_EQ(cups.waitForJobs("Aghi_Ufficio", 1).size(), 1u);
    const auto files = cups.rawJobFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(ovtest::readBytes(files[0]), expected);
    EXPECT_EQ(ovtest::readBytes(files[1]), expected);
    EXPECT_FALSE(fs::exists(toQueue.f.path() / "PDF"));
    EXPECT_FALSE(fs::exists(toQueue.f.path() / "aghi_ufficio"));

    // The table print engine on the queue: its control characters, heading and page ends.
    toQueue.f.writeText("ColonneOV.stp", "1,Colonne,Stampanti.mdb,Stampanti,,,,,,\r\n2,Destinazione,,,Destinazione,12,N,S,,\r\n");
    ProgramState state;
    PrintTable(toQueue.ws(), state, NumberFormat::italian(), {"ColonneOV.stp", "AGHI", "Numero > 0", "Numero", false},
               unused);
    EXPECT_EQ(cups.waitForJobs("Aghi_Ufficio", 2).size(), 2u);
    ASSERT_EQ(cups.rawJobFiles().size(), 3u);
    const std::string table = ovtest::readBytes(cups.rawJobFiles()[2]);
    EXPECT_EQ(table.substr(0, 5), std::string("\x1b\x12\0\0\0", 5));
    EXPECT_NE(table.find("|Destinazione|"), std::string::npos) << table;
    EXPECT_EQ(table.back(), '\f');
}

TEST(CupsPrinting, PortNameOfAnotherSystemIsErrorSixtyEightListingTheQueues) {
    START_CUPS(cups);
    cups.addRawQueue("Aghi_Ufficio");
    cups.addRawQueue("Etichette");
    PrintTables tables;
    tables.rawDevice = "LPT1";
    Folder folder(tables);
    RecordingPrinter unused;
    try {
        printPrintFile(folder.ws(), rawJob(), unused);
        ADD_FAILURE() << "LPT1 printed";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 68);
        EXPECT_NE(e.message().find("'LPT1'"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find("Aghi_Ufficio, Etichette"), std::string::npos) << e.message();
    }
    EXPECT_TRUE(cups.rawJobFiles().empty());
}

TEST(CupsPrinting, QueueSetUpWhileTheProgramRunsIsListedAndPrintsAsTheDefault) {
    START_CUPS(cups);
    QtDriverPrinter printer;  // made at start-up, before any queue exists
    EXPECT_TRUE(QtDriverPrinter::installedPrinters().empty());
    EXPECT_EQ(printer.currentPrinter(), "");

    cups.addRawQueue("Sala");
    cups.addRawQueue("Ufficio");
    cups.setDefault("Ufficio");
    EXPECT_EQ(QtDriverPrinter::installedPrinters(), (std::vector<std::string>{"Sala", "Ufficio"}));
    EXPECT_EQ(printer.currentPrinter(), "Ufficio");

    // The print menu opened now lists them.
    Folder folder(PrintTables{});
    ProgramState state;
    ovtest::RecordingHost host;
    const Workspace ws = folder.ws();
    PrintMenuServices services;
    services.printer = &printer;
    PrintMenuWindow menu(ws, state, host, services);
    ASSERT_EQ(menu.printers()->count(), 2);
    EXPECT_EQ(menu.printers()->itemText(1), "Ufficio");

    // A driver job whose device names no queue goes to the default one: the pages as the driver
    // hands them over (a raw queue passes them on unfiltered).
    PrintFileJob job;
    job.destination = "LASER";
    printPrintFile(ws, job, printer);
    EXPECT_EQ(cups.waitForJobs("Ufficio", 1).size(), 1u);
    ASSERT_EQ(cups.rawJobFiles().size(), 1u);
    EXPECT_EQ(ovtest::readBytes(cups.rawJobFiles()[0]).substr(0, 5), "%PDF-");
}

TEST(CupsPrinting, DuplexOfTheMenuReachesThePrinterAsLongEdgeBinding) {
    START_CUPS(cups);
    cups.addDuplexPrinterQueue("Fronte_Retro");
    QtDriverPrinter printer;

    // What the driver is given for the suite's 2, and then for 3.
    ASSERT_TRUE(printer.selectPrinter("Fronte_Retro"));
    printer.setDuplex(Duplex::LongEdge);
    printer.print("lato lungo");
    ASSERT_NE(printer.jobPrinter(), nullptr);
    EXPECT_EQ(printer.jobPrinter()->duplex(), QPrinter::DuplexLongSide);
    printer.endDoc();
    printer.setDuplex(Duplex::ShortEdge);
    printer.print("lato corto");
    EXPECT_EQ(printer.jobPrinter()->duplex(), QPrinter::DuplexShortSide);
    printer.endDoc();

    // "Stampa fronte / retro" of the print menu: what reaches the printer.
    Folder folder(PrintTables{});
    PrintFileJob job;
    job.destination = "LASER";
    job.windowsPrinter = "Fronte_Retro";
    job.duplex = true;
    printPrintFile(folder.ws(), job, printer);

    ASSERT_EQ(cups.waitForJobs("Fronte_Retro", 3, 60000).size(), 3u);
    const auto files = cups.rawJobFiles();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_NE(ovtest::readBytes(files[0]).find("BINDING=LONGEDGE"), std::string::npos);
    EXPECT_NE(ovtest::readBytes(files[1]).find("BINDING=SHORTEDGE"), std::string::npos);
    EXPECT_NE(ovtest::readBytes(files[2]).find("BINDING=LONGEDGE"), std::string::npos);
}

TEST(CupsPrinting, MonthSummaryThroughTheDriverComesOutOfCupsPdfWithEveryColumnAndRealFrames) {
    START_CUPS(cups);
    if (!cups.addPdfQueue("PDF")) GTEST_SKIP() << cups.whyNot();

    // January of the "edge" hotel, whose option letters hold "K".
    ovtest::TempFolder folder;
    fs::copy(ovtest::fixturesDir() / "edge" / "work", folder.path(), fs::copy_options::recursive);
    for (const auto& e : fs::directory_iterator(folder.path()))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    Workspace ws(folder.path(), std::make_shared<MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}),
                 [] { return DateTime{Date{2024, 3, 5}, 9, 0, 0}; });
    ProgramState state;
    ovtest::RecordingHost host;
    ASSERT_TRUE(RunDataSummary({"01/01/2024", "31/01/2024", "", "ZZZZ"}, ws, state, NumberFormat::italian(), host).completed);

    QtDriverPrinter printer;
    PrintFileJob job;
    job.destination = "UFFICIO";
    job.windowsPrinter = "PDF";  // the system printer chosen in the menu
    job.landscape = true;
    job.compressed = true;
    job.optionLetters = readOptionLetters(ws);
    printPrintFile(ws, job, printer);

    const std::vector<int> done = cups.waitForJobs("PDF", 1, 60000);
    ASSERT_EQ(done.size(), 1u);
    const auto pdf = cups.pdfOutput(done[0]);
    ASSERT_TRUE(pdf) << "nessun PDF di cups-pdf per il lavoro " << done[0];
    // 165 lines, 72 a page with a top margin of 2: 70, 70 and 25 lines, and no page the driver
    // broke by itself. cups-pdf renders the pages again through Ghostscript, without a text layer,
    // and puts landscape pages on upright sheets turned, as a printer does: the lines run down
    // the sheet. The text of the same pages is checked on the driver's own PDF (summary --pdf).
    ASSERT_EQ(ovtest::pdfPageCount(*pdf), 3);
    for (int page = 1; page <= 3; ++page) {
        const auto ink = inkBox(*pdf, page);
        EXPECT_GT(ink.height, 1.3 * ink.width) << "pagina " << page;
    }
}

