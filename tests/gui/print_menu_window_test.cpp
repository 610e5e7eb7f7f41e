// The print menu on the offscreen platform.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recording_printer.h"
#include "print/print_fixture.h"
#include "print/print_menu_window.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

struct Menu {
    SuiteFolder folder;
    Workspace ws = folder.workspace({{"PCLocal", "1"}});  // clock: 31/01/2024 10:15
    ProgramState state;
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};
    std::vector<std::string> installed{"Ufficio_HP", "Canon_Sala"};
    int previews = 0;
    int editablePreviews = 0;
    std::unique_ptr<PrintMenuWindow> window;

    explicit Menu(const std::optional<std::string>& printFile, const PrintTables& tables = {},
                  std::vector<std::string> skip = {}, bool withTables = true) {
        if (withTables) ovtest::addPrintTables(folder, tables);
        folder.build(skip);
        if (printFile) folder.writeText("fd1", *printFile);
    }
    PrintMenuWindow& open(std::function<void(QWidget*)> preview = {}) {
        PrintMenuServices services;
        services.printer = &printer;
        services.installedPrinters = [this] { return installed; };
        services.showPreview = preview ? preview : [this](QWidget*) { ++previews; };
        services.showEditablePreview = [this](QWidget*) { ++editablePreviews; };
        window = std::make_unique<PrintMenuWindow>(ws, state, host, services);
        return *window;
    }
    void click(int index) { QTest::mouseClick(window->button(index), Qt::LeftButton); }
};

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
}

}  // namespace

TEST(PrintMenu, ControlsAndCaptions) {
    Menu m(std::string("riga\r\n"));
    PrintMenuWindow& w = m.open();
    ASSERT_TRUE(w.activate());
    EXPECT_EQ(w.windowTitle(), "Stampe non modificabili");
    EXPECT_EQ(w.frame()->title(), "Selezione");
    EXPECT_EQ(w.duplex()->text(), "Stampa fronte / retro");
    EXPECT_EQ(w.landscape()->text(), "Stampa orizzontale");
    EXPECT_EQ(w.compressed()->text(), "Stampa Compressa");
    const char* captions[] = {"&Stampa", "&Anteprima (senza modifica)", "&Esci", "&Anteprima (con modifica)",
                              "&Anteprima (Word)"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.button(i)->text(), QString::fromUtf8(captions[i]));
    EXPECT_EQ(items(w.destinations()), (QStringList{"LASER", "AGHI", "SENZA TIPO"}));
    EXPECT_EQ(w.destinations()->currentText(), "LASER");
    EXPECT_EQ(items(w.printers()), (QStringList{"Ufficio_HP", "Canon_Sala"}));
    EXPECT_EQ(w.printers()->currentText(), "");
}

TEST(PrintMenu, WithoutInstalledPrintersTheComboSaysSo) {
    Menu m(std::string("riga\r\n"));
    m.installed.clear();
    PrintMenuWindow& w = m.open();
    EXPECT_EQ(items(w.printers()), (QStringList{"<nessuna stampante>"}));
    EXPECT_EQ(w.printers()->currentText(), "");
}

TEST(PrintMenu, LoadingMakesTheDatedCopyAndWordOpensIt) {
    Menu m(std::string("riga 1\r\nriga 2\r\n"));
    m.state.hotelNumber = 0;
    PrintMenuWindow& w = m.open();
    EXPECT_EQ(m.state.hotelNumber, 1);
    const auto copy = m.folder.path() / "doc" / "fd1202401311015.doc";
    EXPECT_EQ(w.documentCopy(), copy.string());
    EXPECT_EQ(m.folder.read("doc/fd1202401311015.doc"), "riga 1\r\nriga 2\r\n");
    ASSERT_TRUE(w.activate());
    m.click(PrintMenuWindow::AnteprimaWord);
    EXPECT_EQ(m.host.opened, (std::vector<std::string>{copy.string()}));
}

TEST(PrintMenu, WithoutPrintFileNoCopyAndPrintingPrintsNothing) {
    Menu m(std::nullopt);
    PrintMenuWindow& w = m.open();
    EXPECT_TRUE(w.documentCopy().empty());
    EXPECT_TRUE(std::filesystem::is_directory(m.folder.path() / "doc"));
    ASSERT_TRUE(w.activate());
    m.click(PrintMenuWindow::AnteprimaWord);
    m.click(PrintMenuWindow::Stampa);
    EXPECT_TRUE(m.host.opened.empty());
    EXPECT_TRUE(m.printer.jobs().empty());
    EXPECT_TRUE(m.host.errors.empty());
}

TEST(PrintMenu, ClosesWithoutDestinations) {
    Menu m(std::string("riga\r\n"), {}, {}, false);  // printer tables without rows
    PrintMenuWindow& w = m.open();
    w.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000));
    EXPECT_TRUE(m.host.errors.empty());
}

TEST(PrintMenu, MissingPrinterDatabaseIsReportedAndTheMenuCloses) {
    Menu m(std::string("riga\r\n"), {}, {"Stampanti.mdb"});
    PrintMenuWindow& w = m.open();
    EXPECT_FALSE(w.activate());
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_EQ(m.host.errors[0].number(), 3024);
}

TEST(PrintMenu, StampaPrintsWithTheChoicesAndStaysOpen) {
    Menu m(std::string("riga\r\n"), PrintTables{.options = "K"});
    PrintMenuWindow& w = m.open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.optionLetters(), "K");
    w.landscape()->setChecked(true);
    w.duplex()->setChecked(true);
    w.compressed()->setChecked(true);
    m.printer.setPaper(Paper{842, 1191, 18, 18, 18, 18});  // A3: 72 compressed lines fit turned on its side
    m.click(PrintMenuWindow::Stampa);
    auto jobs = m.printer.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].pages.at(0).orientation, Orientation::Landscape);
    EXPECT_EQ(jobs[0].duplex, Duplex::LongEdge);
    EXPECT_EQ(jobs[0].pages[0].lines.back().pieces.at(0).size, 8);  // compressed size
    EXPECT_TRUE(w.isVisible());

    // A raw destination with the chosen printer text as its device.
    w.destinations()->setCurrentIndex(1);
    w.printers()->setEditText("scelta.prn");
    w.compressed()->setChecked(false);
    m.click(PrintMenuWindow::Stampa);
    EXPECT_EQ(m.folder.read("scelta.prn").substr(5), "riga\r\n\f");
}

TEST(PrintMenu, DeviceErrorsAreReportedAndTheMenuStays) {
    Menu m(std::string("riga\r\n"), [] { PrintTables t; t.rawDevice = "LPT1"; return t; }());
    PrintMenuWindow& w = m.open();
    w.show();
    w.destinations()->setCurrentText("AGHI");
    m.click(PrintMenuWindow::Stampa);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_EQ(m.host.errors[0].number(), 68);
    EXPECT_NE(m.host.errors[0].message().find("LPT1"), std::string::npos);
    EXPECT_TRUE(w.isVisible());
}

TEST(PrintMenu, ReturningFromThePreviewRefillsTheDestinations) {
    Menu m(std::string("riga\r\n"));
    PrintMenuWindow* menu = nullptr;
    PrintMenuWindow& w = m.open([&](QWidget* parent) {
        ++m.previews;
        EXPECT_EQ(parent, menu);
        menu->destinations()->setCurrentIndex(2);
    });
    menu = &w;
    ASSERT_TRUE(w.activate());
    m.click(PrintMenuWindow::Anteprima);
    EXPECT_EQ(m.previews, 1);
    EXPECT_EQ(w.destinations()->currentIndex(), 0);
    EXPECT_EQ(w.destinations()->count(), 3);
    menu->destinations()->setCurrentIndex(2);
    m.click(PrintMenuWindow::AnteprimaModifica);
    EXPECT_EQ(m.editablePreviews, 1);
    EXPECT_EQ(w.destinations()->currentIndex(), 0);
}

TEST(PrintMenu, EsciCloses) {
    Menu m(std::string("riga\r\n"));
    PrintMenuWindow& w = m.open();
    w.show();
    m.click(PrintMenuWindow::Esci);
    EXPECT_FALSE(w.isVisible());
}
