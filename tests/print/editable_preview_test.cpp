#include "print/editable_preview.h"

#include <gtest/gtest.h>

#include "platform/recording_printer.h"
#include "print/print_fixture.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;
using Lines = std::vector<std::string>;

namespace {

const std::string kReport =
    "\xDA\xC4\xC4\xBF\r\n"      // frame corners and rule
    "\xB3" "Citt\xC0\xB3\r\n"  // upper-case accented vowel between rules
    "\f\r\n"                    // a page break
    "ultima";                   // last line without a line end

struct Folder {
    SuiteFolder f;
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};

    explicit Folder(const std::optional<std::string>& printFile = kReport, const PrintTables& tables = {}) {
        ovtest::addPrintTables(f, tables);
        f.build();
        if (printFile) f.writeText("fd1", *printFile);
    }
    // A document as the window has it after activation.
    EditablePreview loaded(int16_t hotelNumber = 1) {
        EditablePreview doc(ws, hotelNumber);
        doc.readSettings();
        doc.loadLines();
        return doc;
    }
};

PrintTables withOptions(const std::string& letters) {
    PrintTables t;
    t.options = letters;
    return t;
}

EditablePrintChoices on(const std::string& destination) {
    EditablePrintChoices c;
    c.destination = destination;
    return c;
}

}  // namespace

TEST(EditablePreview, LoadsTheWholeFileRewrittenEvenWithFramesKept) {
    Folder folder(kReport, withOptions("K"));
    EditablePreview doc(folder.ws);
    ASSERT_TRUE(doc.hasFile());
    EXPECT_EQ(doc.readSettings(), (Lines{"LASER", "AGHI", "SENZA TIPO"}));
    EXPECT_EQ(doc.optionLetters(), "K");
    doc.loadLines();
    EXPECT_EQ(doc.lines(), (Lines{"----", "|Citt\xE0|", "\f", "ultima"}));
    EXPECT_FALSE(doc.selected().has_value());
    // A second activation shows the file again rather than an emptied list.
    doc.loadLines();
    EXPECT_EQ(doc.lines().size(), 4u);

    Folder none(std::nullopt);
    EXPECT_FALSE(EditablePreview(none.ws).hasFile());
}

TEST(EditablePreview, EnterStoresMovesDownAndGrowsTheListAtTheEnd) {
    Folder folder(std::string("uno\r\ndue\r\n"));
    EditablePreview doc = folder.loaded();
    EXPECT_FALSE(doc.enter("perso"));  // nothing selected: ignored
    EXPECT_EQ(doc.select(5), nullptr);
    EXPECT_EQ(*doc.select(0), "uno");
    EXPECT_TRUE(doc.enter("UNO"));
    EXPECT_EQ(doc.selected(), 1u);
    EXPECT_TRUE(doc.enter("DUE"));  // the last entry: a blank one follows and is selected
    EXPECT_TRUE(doc.enter(""));
    EXPECT_EQ(doc.lines(), (Lines{"UNO", "DUE", "", " "}));
    EXPECT_EQ(doc.selected(), 3u);
    doc.addLine();
    EXPECT_EQ(doc.lines().size(), 5u);
    EXPECT_EQ(doc.lines().back(), " ");
    EXPECT_EQ(doc.selected(), 3u);
}

TEST(EditablePreview, PrintsTheEditedLinesWithTheChoicesAndLeavesTheFile) {
    std::string file = "riga 1\r\nriga 2\r\n\xC4\xC4\r\n";
    for (int i = 0; i < 57; ++i) file += "x\r\n";  // 60 lines: a second page at length 60, none at 72 or 98
    Folder folder(file);
    EditablePreview doc = folder.loaded();
    doc.select(1);
    doc.enter("\f");

    doc.stampa(on("LASER"), folder.host, folder.printer);
    auto job = folder.printer.jobs().at(0);
    ASSERT_EQ(job.pages.size(), 2u);  // the form feed ends the first page; the other 59 lines fit on the second
    EXPECT_EQ(job.pages[0].texts(), (Lines{" ", "riga 1"}));
    EXPECT_EQ(job.pages[1].texts().at(0), "");
    EXPECT_EQ(job.pages[1].texts().at(1), "--");

    doc.select(1);
    doc.enter("riga 2");
    EditablePrintChoices c = on("LASER");
    c.landscape = true;
    c.compressed = true;
    RecordingPrinter compressed({"Stampante Ufficio"});
    compressed.setPaper(Paper{842, 1191, 18, 18, 18, 18});  // A3: 72 compressed lines fit turned on its side
    doc.stampa(c, folder.host, compressed);
    job = compressed.jobs().at(0);
    EXPECT_EQ(job.pages.size(), 1u);  // compressed page length of hotel 1: 72
    EXPECT_EQ(job.pages[0].orientation, Orientation::Landscape);
    EXPECT_EQ(job.pages[0].lines.back().pieces.at(0).size, 8);
    RecordingPrinter normal({"Stampante Ufficio"}), hotelTwo({"Stampante Ufficio"});
    doc.stampa(on("LASER"), folder.host, normal);
    EXPECT_EQ(normal.jobs().at(0).pages.size(), 2u);  // normal page length of hotel 1: 60
    folder.loaded(2).stampa(on("LASER"), folder.host, hotelTwo);
    EXPECT_EQ(hotelTwo.jobs().at(0).pages.size(), 1u);  // hotel 2: 98

    // Raw device: a form feed ends the page, and the last page is ended at the end.
    Folder raw(std::string("a\r\n\f\r\nb\r\n"));
    raw.loaded().stampa(on("AGHI"), raw.host, raw.printer);
    EXPECT_EQ(raw.f.read("porta.prn"), std::string("\x1b\x12\0\0\0", 5) + "a\r\n\fb\r\n\f");

    EXPECT_EQ(folder.f.read("fd1"), file);
    EXPECT_TRUE(folder.host.started.empty());
}
