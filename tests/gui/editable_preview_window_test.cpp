// The editable preview on the offscreen platform.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/recording_printer.h"
#include "print/editable_preview_window.h"
#include "print/print_fixture.h"
#include "print/print_menu_window.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;
using Lines = std::vector<std::string>;

namespace {

struct Preview {
    SuiteFolder folder;
    Workspace ws = folder.workspace({{"PCLocal", "1"}});
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};
    std::unique_ptr<EditablePreviewWindow> window;

    explicit Preview(const std::optional<std::string>& printFile, const PrintTables& tables = {},
                     bool withTables = true) {
        if (withTables) ovtest::addPrintTables(folder, tables);
        folder.build();
        if (printFile) folder.writeText("fd1", *printFile);
        window = std::make_unique<EditablePreviewWindow>(ws, host, printer);
    }
    // Shown and activated, as the print menu leaves it.
    EditablePreviewWindow& shown() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    void click(int index) { QTest::mouseClick(window->button(index), Qt::LeftButton); }
    void clickEntry(int row) {
        QListWidget* list = window->list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    void enter() { QTest::keyClick(window->editBox(), Qt::Key_Return); }
};

QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

}  // namespace

TEST(EditablePreviewWindow, ControlsCaptionsRewrittenLinesAndTextSize) {
    Preview p(std::string("\xDA\xC4\xBF\r\n\xB3" "Citt\xC0\xB3\r\n\f\r\n"));
    ASSERT_TRUE(p.window->activate());
    EditablePreviewWindow& w = *p.window;
    EXPECT_EQ(w.windowTitle(), "Anteprima di Stampa");
    const std::pair<int, const char*> captions[] = {
        {0, "&Esci"}, {1, "&Riduci"}, {2, "E&spandi"}, {3, "&Aggiungi Riga"}, {5, "&Stampa"}};
    for (const auto& [i, caption] : captions) EXPECT_EQ(w.button(i)->text(), QString::fromUtf8(caption));
    EXPECT_EQ(w.button(4), nullptr);
    bool labelFound = false;
    for (auto* label : w.findChildren<QLabel*>()) labelFound |= label->text() == "Stampante ......:";
    EXPECT_TRUE(labelFound);
    EXPECT_EQ(w.landscape()->text(), "orizz.");
    EXPECT_EQ(w.compressed()->text(), "Compr.");
    EXPECT_EQ(w.email()->text(), "e-mail");
    EXPECT_EQ(w.destinations()->count(), 3);
    EXPECT_EQ(w.destinations()->currentText(), "LASER");

    EXPECT_EQ(entries(w.list()), (QStringList{"---", QString::fromUtf8("|Città|"), "\f"}));
    EXPECT_EQ(w.list()->currentRow(), -1);
    EXPECT_TRUE(QFontInfo(w.list()->font()).fixedPitch());
    const int height = static_cast<int>(5808 * w.logicalDpiY() / 1440.0);
    EXPECT_EQ(w.list()->minimumHeight(), height);

    const int start = w.textSize();
    p.click(EditablePreviewWindow::Espandi);
    EXPECT_EQ(w.textSize(), start + 1);
    for (int i = 0; i < start + 5; ++i) p.click(EditablePreviewWindow::Riduci);
    EXPECT_EQ(w.textSize(), 1);
    EXPECT_EQ(w.list()->minimumHeight(), height);
}

// Lines stay whole and the list scrolls sideways whatever line was added last, at any text size,
// and the list takes the height the window gains.
TEST(EditablePreviewWindow, LinesStayWholeAndTheListFollowsTheWindow) {
    const std::string longLine = "RIEPILOGO " + std::string(300, '=') + " FINE";
    Preview p("titolo\r\n" + longLine + "\r\n");
    EditablePreviewWindow& w = p.shown();
    QListWidget* list = w.list();
    auto wholeAndScrollable = [&](const char* when) {
        QApplication::processEvents();
        const int needed = QFontMetrics(list->font()).horizontalAdvance(QString::fromStdString(longLine));
        EXPECT_GE(list->visualItemRect(list->item(1)).width(), needed) << when;
        EXPECT_GE(list->horizontalScrollBar()->maximum(), needed - list->viewport()->width()) << when;
        EXPECT_GT(list->horizontalScrollBar()->maximum(), 0) << when;
    };
    wholeAndScrollable("loaded");
    p.click(EditablePreviewWindow::AggiungiRiga);
    wholeAndScrollable("after Aggiungi Riga");
    p.clickEntry(2);
    p.enter();  // Enter on the last line adds another blank one
    ASSERT_EQ(list->count(), 4);
    wholeAndScrollable("after Enter on the last line");
    p.click(EditablePreviewWindow::Espandi);
    wholeAndScrollable("after Espandi");
    p.click(EditablePreviewWindow::Riduci);
    p.click(EditablePreviewWindow::Riduci);
    wholeAndScrollable("after Riduci");

    const int listBefore = list->height(), windowBefore = w.height();
    w.resize(w.width(), windowBefore + 200);
    QApplication::processEvents();
    EXPECT_EQ(list->height(), listBefore + (w.height() - windowBefore));
    EXPECT_GT(list->height(), listBefore);
}

TEST(EditablePreviewWindow, ClickEditEnterAndRepeatedEnterGrowsTheList) {
    Preview p(std::string("uno\r\ndue\r\n"));
    EditablePreviewWindow& w = p.shown();
    QTest::keyClicks(w.editBox(), "scritto");
    p.enter();  // nothing selected yet: ignored
    EXPECT_EQ(entries(w.list()), (QStringList{"uno", "due"}));

    w.button(EditablePreviewWindow::Stampa)->setFocus();
    p.clickEntry(0);
    EXPECT_EQ(w.editBox()->text(), "uno");
    EXPECT_TRUE(w.editBox()->hasFocus());
    w.editBox()->selectAll();
    QTest::keyClicks(w.editBox(), "UNO pi");
    w.editBox()->insert(QString::fromUtf8("ù"));  // typed text reaches the list in the code page
    p.enter();
    EXPECT_EQ(w.document().lines()[0], "UNO pi\xF9");
    EXPECT_EQ(w.list()->currentRow(), 1);
    EXPECT_EQ(w.editBox()->text(), "due");

    p.enter();  // on the last entry: a blank entry is added and selected, each time
    p.enter();
    p.click(EditablePreviewWindow::AggiungiRiga);
    EXPECT_EQ(entries(w.list()), (QStringList{QString::fromUtf8("UNO più"), "due", " ", " ", " "}));
    EXPECT_EQ(w.list()->currentRow(), 3);
    EXPECT_EQ(w.document().selected(), 3u);

    // Arrow keys in the list show each entry in the edit box and keep the focus in the list.
    w.list()->setFocus();
    QTest::keyClick(w.list(), Qt::Key_Up);
    EXPECT_EQ(w.document().selected(), 2u);
    EXPECT_EQ(w.editBox()->text(), " ");
    EXPECT_TRUE(w.list()->hasFocus());
    EXPECT_EQ(p.folder.read("fd1"), "uno\r\ndue\r\n");
}

TEST(EditablePreviewWindow, LineEditedToAFormFeedPrintsAsAPageBreak) {
    const std::string file = "prima\r\nda togliere\r\ndopo\r\n";
    Preview p(file);
    EditablePreviewWindow& w = p.shown();
    p.clickEntry(1);
    w.editBox()->setText("\f");
    p.enter();
    EXPECT_EQ(w.document().lines()[1], "\f");

    // A line longer than an edit box holds by default survives a round through the box.
    const std::string longLine(40000, 'x');
    p.clickEntry(2);
    w.editBox()->setText(QString::fromStdString(longLine));
    p.enter();
    EXPECT_EQ(w.document().lines()[2], longLine);

    w.landscape()->setChecked(true);
    p.click(EditablePreviewWindow::Stampa);
    ASSERT_TRUE(p.host.errors.empty());
    auto jobs = p.printer.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_EQ(jobs[0].pages.size(), 2u);
    EXPECT_EQ(jobs[0].pages[0].texts(), (Lines{" ", "prima"}));
    EXPECT_EQ(jobs[0].pages[1].texts(), (Lines{"", longLine, " "}));
    EXPECT_EQ(jobs[0].pages[0].orientation, Orientation::Landscape);

    p.click(EditablePreviewWindow::Stampa);  // the same edited text prints again
    EXPECT_EQ(p.printer.jobs().size(), 2u);
    EXPECT_EQ(p.folder.read("fd1"), file);
    EXPECT_TRUE(w.isVisible());
}

TEST(EditablePreviewWindow, EmailTickedWritesTheHandOffAndPrintsNothingElseErrorsAreReported) {
    PrintTables tables;
    tables.rawDevice = "LPT1";
    Preview p(std::string("uno\r\n\xC4\xC4\r\n"), tables);
    EditablePreviewWindow& w = p.shown();
    p.clickEntry(1);
    w.editBox()->setText(QString::fromUtf8("fine €"));
    p.enter();
    w.email()->setChecked(true);
    p.click(EditablePreviewWindow::Stampa);
    EXPECT_EQ(p.folder.read("e-mail1.txt"), "<oggetto>\r\n<destinatario>\r\nuno\r\nfine \x80\r\n \r\n");
    EXPECT_EQ(p.host.started, (Lines{"Pelmar.exe"}));
    EXPECT_TRUE(p.printer.calls().empty());
    EXPECT_EQ(p.folder.read("fd1"), "uno\r\n\xC4\xC4\r\n");

    // Untick it and print on a device that cannot be opened: reported under "Riporto Clienti".
    w.email()->setChecked(false);
    w.destinations()->setCurrentText("AGHI");
    p.click(EditablePreviewWindow::Stampa);
    ASSERT_EQ(p.host.errors.size(), 1u);
    EXPECT_EQ(p.host.errors[0].source(), "Riporto Clienti");
    EXPECT_EQ(p.host.errors[0].number(), 68);
    EXPECT_TRUE(w.isVisible());
}

TEST(EditablePreviewWindow, ClosesWithoutPrintFileOrDestination) {
    Preview noFile(std::nullopt);
    noFile.window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !noFile.window->isVisible(); }, 2000));

    Preview noDestination(std::string("uno\r\n"), {}, false);
    noDestination.window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !noDestination.window->isVisible(); }, 2000));
    EXPECT_TRUE(noDestination.host.errors.empty());
    EXPECT_TRUE(noDestination.host.messages.empty());

    // Shown the print menu's way, it returns at once instead of waiting on a window.
    bool stuck = false;
    QTimer guard;  // dies with the test, so it never fires into a later one
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) stuck = true, modal->close();
    });
    guard.start(2000);
    showEditablePreview(nullptr, noFile.ws, noFile.host, noFile.printer, 1);
    showEditablePreview(nullptr, noDestination.ws, noDestination.host, noDestination.printer, 1);
    EXPECT_FALSE(stuck);
}

TEST(EditablePreviewWindow, PrintMenuOpensItModallyAndPrintsOnTheMenusPrinter) {
    SuiteFolder folder;
    ovtest::addPrintTables(folder);
    folder.build();
    folder.writeText("fd1", "dal menu\r\n");
    Workspace ws = folder.workspace({{"PCLocal", "1"}});
    ProgramState state;
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};
    PrintMenuServices services;
    services.printer = &printer;
    services.installedPrinters = [] { return std::vector<std::string>{}; };
    PrintMenuWindow menu(ws, state, host, services);
    ASSERT_TRUE(menu.activate());

    bool opened = false;
    QTimer driver;  // runs inside the modal window's loop; dies with the test
    driver.setSingleShot(true);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* preview = qobject_cast<EditablePreviewWindow*>(modal);
        if (!preview) {
            if (modal) modal->close();
            return;
        }
        opened = true;
        EXPECT_EQ(preview->list()->count(), 1);
        QTest::mouseClick(preview->button(EditablePreviewWindow::Stampa), Qt::LeftButton);
        QTest::mouseClick(preview->button(EditablePreviewWindow::Esci), Qt::LeftButton);
    });
    driver.start(0);
    QTest::mouseClick(menu.button(PrintMenuWindow::AnteprimaModifica), Qt::LeftButton);
    EXPECT_TRUE(opened);
    ASSERT_EQ(printer.jobs().size(), 1u);
    EXPECT_EQ(printer.jobs()[0].pages.at(0).texts(), (Lines{" ", "dal menu"}));
    EXPECT_TRUE(host.errors.empty());
}
