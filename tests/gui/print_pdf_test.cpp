// Page printing through a real QPrinter writing PDF: what the pages hold, read back with poppler.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>

#include "platform/driver_printer_qt.h"
#include "print/page_printing.h"
#include "print/print_fixture.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::SuiteFolder;

namespace {

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) out.append(buf.data(), n);
    return out;
}

int pageCount(const std::string& pdf) {
    std::smatch m;
    std::string info = run("pdfinfo '" + pdf + "'");
    static const std::regex pages(R"(Pages:\s+(\d+))");
    return std::regex_search(info, m, pages) ? std::stoi(m[1]) : -1;
}

// Width and height in points of every page, after the page's rotation.
std::vector<std::pair<double, double>> pageSizes(const std::string& pdf, int pages) {
    std::string info = run("pdfinfo -f 1 -l " + std::to_string(pages) + " '" + pdf + "'");
    std::vector<std::pair<double, double>> sizes;
    static const std::regex size(R"(Page\s+\d+\s+size:\s+([\d.]+) x ([\d.]+))");
    static const std::regex rot(R"(Page\s+\d+\s+rot:\s+(\d+))");
    std::vector<int> rotations;
    for (std::sregex_iterator it(info.begin(), info.end(), rot), end; it != end; ++it)
        rotations.push_back(std::stoi((*it)[1]));
    size_t i = 0;
    for (std::sregex_iterator it(info.begin(), info.end(), size), end; it != end; ++it, ++i) {
        double w = std::stod((*it)[1]), h = std::stod((*it)[2]);
        if (i < rotations.size() && rotations[i] % 180 == 90) std::swap(w, h);
        sizes.emplace_back(w, h);
    }
    return sizes;
}

std::string pageText(const std::string& pdf, int page) {
    return run("pdftotext -layout -enc UTF-8 -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf +
               "' -");
}

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

TEST(PrintPdf, FrameCodesKeptReachTheDriverAsCodePageCharacters) {
    PdfJob job("\xB3" "Camera\xB3\r\n", PrintTables{.options = "K"});
    PrintFileJob options;
    options.optionLetters = "K";
    job.print(options);
    // Code 179 is the superscript three of code page 1252.
    EXPECT_NE(pageText(job.pdf, 1).find("\xC2\xB3" "Camera\xC2\xB3"), std::string::npos);
}
