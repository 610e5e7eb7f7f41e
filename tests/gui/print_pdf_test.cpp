// Page printing through a real QPrinter writing PDF: what the pages hold, read back with poppler.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/number_format.h"
#include "platform/driver_printer_qt.h"
#include "print/page_printing.h"
#include "print/print_fixture.h"
#include "state/program_state.h"
#include "support/pdf_pages.h"
#include "support/temp_folder.h"
#include "tableprint/print_table.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::SuiteFolder;

namespace {

using ovtest::pdfPageCount;
using ovtest::pdfPageText;

int pageCount(const std::string& pdf) { return pdfPageCount(pdf); }
std::vector<std::pair<double, double>> pageSizes(const std::string& pdf, int) { return ovtest::pdfPageSizes(pdf); }
std::string pageText(const std::string& pdf, int page) { return pdfPageText(pdf, page); }
std::string run(const std::string& command) { return ovtest::commandOutput(command); }

struct PdfJob {
    SuiteFolder folder;
    std::string pdf;
    explicit PdfJob(const std::string& printFile, const PrintTables& tables = {}) {
        ovtest::addPrintTables(folder, tables);
        folder.build();
        folder.writeText("fd1", printFile);
        pdf = (folder.path() / "pagine.pdf").string();
    }
    void print(PrintFileJob job) {
        auto printer = QtDriverPrinter::toPdf(pdf);
        job.destination = "LASER";
        printPrintFile(folder.workspace({{"PCLocal", "1"}}), job, *printer);
    }
};

std::string numberedLines(int from, int to) {
    std::string s;
    char buf[32];
    for (int i = from; i <= to; ++i) {
        std::snprintf(buf, sizeof buf, "Riga %02d\r\n", i);
        s += buf;
    }
    return s;
}

}  // namespace

TEST(PrintPdf, PagesFollowThePageLengthAndTheFormFeed) {
    PdfJob job(numberedLines(1, 30) + "\f\r\nUltima pagina\r\n", PrintTables{.pageLengths = std::make_pair(72, 20)});
    job.print({});
    ASSERT_EQ(pageCount(job.pdf), 3);
    std::string first = pageText(job.pdf, 1), second = pageText(job.pdf, 2), third = pageText(job.pdf, 3);
    EXPECT_NE(first.find("Riga 01"), std::string::npos);
    EXPECT_NE(first.find("Riga 20"), std::string::npos);
    EXPECT_EQ(first.find("Riga 21"), std::string::npos);
    EXPECT_NE(second.find("Riga 21"), std::string::npos);
    EXPECT_NE(second.find("Riga 30"), std::string::npos);
    EXPECT_NE(third.find("Ultima pagina"), std::string::npos);
    for (auto [w, h] : pageSizes(job.pdf, 3)) EXPECT_LT(w, h);
}

TEST(PrintPdf, LandscapePagesAreReallyLandscape) {
    PdfJob job(numberedLines(1, 5) + "\f\r\n" + numberedLines(6, 8));
    PrintFileJob options;
    options.landscape = true;
    job.print(options);
    ASSERT_EQ(pageCount(job.pdf), 2);
    auto sizes = pageSizes(job.pdf, 2);
    ASSERT_EQ(sizes.size(), 2u);
    for (auto [w, h] : sizes) EXPECT_GT(w, h);
    EXPECT_NE(pageText(job.pdf, 2).find("Riga 08"), std::string::npos);
}

TEST(PrintPdf, BoldMarkersAndFrameTextReachThePage) {
    // Without "K" the frame becomes dashes; the word between the markers is set in a bold face.
    PdfJob job("\xDA\xC4\xC4\xBF\r\nTotale \xE7GENNAIO\xE7 fine\r\n");
    job.print({});
    std::string text = pageText(job.pdf, 1);
    EXPECT_NE(text.find("----"), std::string::npos);
    EXPECT_NE(text.find("GENNAIO"), std::string::npos);
    EXPECT_EQ(text.find("\xC3\xA7"), std::string::npos);  // no "ç" printed
    std::string fonts = run("pdffonts '" + job.pdf + "'");
    EXPECT_NE(fonts.find("Bold"), std::string::npos) << fonts;
}

TEST(PrintPdf, FramesKeptDrawAsLinesWhileAccentedCapitalsStayLetters) {
    // The box of a report with "K": a frame line, a heading row and a data row with accented
    // capitals (192 À, 200 È, 217 Ù, 218 Ú: frame corners in the DOS code page), and a line of
    // text outside the box.
    const std::string report =
        "\xDA\xC4\xC4\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF\r\n"
        "\xB3\xC0\xD9\xDA \xB3" "BAR-CAFF\xC8\xB3\r\n"
        "\xC3\xC4\xC4\xC4\xC4\xC5\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xB4\r\n"
        "\xB3" "D\xB4" "A\xB3" "CAFF\xC8 \xC0 \xB3\r\n"
        "\xC0\xC4\xC4\xC4\xC4\xC1\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9\r\n"
        "Nota: \xC0 \xD9 \xB3 \xC4\r\n";
    PdfJob job(report, PrintTables{.options = "K"});
    PrintFileJob options;
    options.optionLetters = "K";
    job.print(options);
    const std::string text = pageText(job.pdf, 1);
    EXPECT_NE(text.find("┌────┬─────────┐"), std::string::npos) << text;
    EXPECT_NE(text.find("│ÀÙÚ │BAR-CAFFÈ│"), std::string::npos) << text;
    EXPECT_NE(text.find("├────┼─────────┤"), std::string::npos) << text;
    EXPECT_NE(text.find("│D´A│CAFFÈ À │"), std::string::npos) << text;
    EXPECT_NE(text.find("└────┴─────────┘"), std::string::npos) << text;
    EXPECT_NE(text.find("Nota: À Ù ³ Ä"), std::string::npos) << text;
}

TEST(PrintPdf, JobsOfThePdfPrinterFollowOneAnotherInOneFile) {
    PdfJob job("Prima\r\n");
    auto printer = QtDriverPrinter::toPdf(job.pdf);
    PrintFileJob options;
    options.destination = "LASER";
    printPrintFile(job.folder.workspace({{"PCLocal", "1"}}), options, *printer);
    printer->setOrientation(Orientation::Landscape);
    printer->print("Seconda");
    printer->endDoc();
    printer->closePdf();
    ASSERT_EQ(pageCount(job.pdf), 2);
    EXPECT_NE(pageText(job.pdf, 1).find("Prima"), std::string::npos);
    EXPECT_NE(pageText(job.pdf, 2).find("Seconda"), std::string::npos);
    auto sizes = pageSizes(job.pdf, 2);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_LT(sizes[0].first, sizes[0].second);
    EXPECT_GT(sizes[1].first, sizes[1].second);
}

TEST(PrintPdf, TableListingThroughTheDriverDrawsItsBoxOnPortraitPages) {
    ovtest::TempFolder folder;
    std::filesystem::copy(ovtest::fixturesDir() / "edge" / "work", folder.path(), std::filesystem::copy_options::recursive);
    const std::string pdf = (folder.path() / "colonne.pdf").string();
    {
        auto printer = QtDriverPrinter::toPdf(pdf);
        ProgramState state;
        state.optionLetters = "K";  // as the summary loads them
        TableJob job{"ColonneOV.stp", "UFFICIO", "NumeroColonna > 0", "NumeroColonna", false};
        Workspace ws(folder.path(), std::make_shared<MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}));
        PrintTable(ws, state, NumberFormat::italian(), job, *printer);
    }
    ASSERT_EQ(pageCount(pdf), 1);
    for (auto [w, h] : pageSizes(pdf, 1)) EXPECT_LT(w, h);
    const std::string text = pageText(pdf, 1);
    EXPECT_NE(text.find("Hotel : Hotel Bellavista S.r.l."), std::string::npos) << text;
    EXPECT_NE(text.find("┌"), std::string::npos) << text;
    EXPECT_NE(text.find("│MINIBAR"), std::string::npos) << text;
    EXPECT_NE(text.find("┘"), std::string::npos) << text;
}
