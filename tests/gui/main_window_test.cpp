#include <filesystem>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "state/workstation.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

using namespace ov;
namespace fs = std::filesystem;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : ws(folder.path()), ctx(ws, state, NumberFormat::italian()) {}

    void open() {
        window = std::make_unique<MainWindow>(ctx, host);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->field(0)->setFocus();
        QApplication::processEvents();
    }

    // Types into a field and confirms it with Enter.
    void enter(int index, const QString& typed) {
        QLineEdit* f = window->field(index);
        f->setFocus();
        QApplication::processEvents();
        f->clear();
        QTest::keyClicks(f, typed);
        QTest::keyClick(f, Qt::Key_Return);
        QApplication::processEvents();
    }

    QWidget* focused() const { return QApplication::focusWidget(); }
    QString text(int index) const { return window->field(index)->text(); }

    ovtest::TempFolder folder;
    Workspace ws;
    ProgramState state;
    AppContext ctx;
    ovtest::RecordingHost host;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ShowsTheSelectionControls) {
    open();
    EXPECT_EQ(window->windowTitle(), "Riepilogo dati Hotel");
    EXPECT_EQ(window->objectName(), "OVDeskTop");
    const int maxLengths[] = {10, 10, 6, 6};
    const char* labels[] = {"Dalla data", "Alla data", "Dalla cam.", "Alla cam."};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->field(i)->objectName(), QString("Text1_%1").arg(i));
        EXPECT_EQ(window->field(i)->maxLength(), maxLengths[i]);
        auto* label = window->findChild<QWidget*>(QString("Label1_%1").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->property("text").toString(), labels[i]);
    }
    EXPECT_EQ(text(0), "");
    EXPECT_EQ(text(3), "ZZZZ");
    EXPECT_EQ(window->button(0)->text(), "&Stampa");
    EXPECT_EQ(window->button(1)->text(), "&Esci");
    EXPECT_EQ(window->tablesAction()->text(), "Tabelle");
    auto* frame = window->findChild<QWidget*>("Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->property("title").toString(), "Selezione dati ");
    EXPECT_FALSE(window->progressBar()->isVisible());
}

TEST_F(MainWindowTest, LoadingCreatesTheColumnStoreAndResetsTheSharedState) {
    state.hotelNumber = 7;
    state.monthLengths[1] = 29;
    state.monthLengths[5] = 0;
    open();
    EXPECT_EQ(state.hotelNumber, 1);
    EXPECT_EQ(state.monthLengths, (std::array<int16_t, 12>{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}));
    EXPECT_TRUE(ws.exists("ColonneOV.mdb"));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(MainWindowTest, SaysOnceAtStartWhichWorkstationNumberItUsesWithoutPCLocal) {
    ws.setEnvironment(std::make_shared<MapEnvironment>());
    open();
    QApplication::processEvents();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Postazione di lavoro");
    EXPECT_EQ(host.messages[0].icon, Icon::Information);
    EXPECT_EQ(host.messages[0].text, workstationNotice(ws));
    EXPECT_NE(host.messages[0].text.find("fd0"), std::string::npos);
    QApplication::processEvents();
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(MainWindowTest, SaysNothingAboutTheWorkstationWhenPCLocalGivesIt) {
    ws.setEnvironment(std::make_shared<MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "3"}}));
    open();
    QApplication::processEvents();
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MainWindowTest, EnterWalksThroughAValidSelection) {
    open();
    enter(0, "010520");
    EXPECT_EQ(text(0), "01/05/2020");
    EXPECT_EQ(focused(), window->field(1));
    enter(1, "31052020");
    EXPECT_EQ(text(1), "31/05/2020");
    EXPECT_EQ(focused(), window->field(2));
    enter(2, "a'1");
    EXPECT_EQ(text(2), QString::fromUtf8("A´1"));
    EXPECT_EQ(focused(), window->field(3));
    enter(3, "zzzz");
    EXPECT_EQ(text(3), "ZZZZ");
    EXPECT_EQ(focused(), window->button(0));
}

TEST_F(MainWindowTest, InvalidDateIsEmptiedAndKeepsTheFocus) {
    open();
    enter(0, "31022021");
    EXPECT_EQ(text(0), "");
    EXPECT_EQ(focused(), window->field(0));
    enter(0, "290224");
    EXPECT_EQ(text(0), "29/02/2024");
    enter(1, "290221");
    EXPECT_EQ(text(1), "");
    EXPECT_EQ(focused(), window->field(1));
}

TEST_F(MainWindowTest, RangesOutOfOrderSendTheFocusBack) {
    open();
    enter(0, "10052024");
    enter(1, "01052024");
    EXPECT_EQ(focused(), window->field(0));
    EXPECT_EQ(text(0), "10/05/2024");
    EXPECT_EQ(text(1), "01/05/2024");
    // Coming back selects the whole text, so typing replaces it.
    EXPECT_EQ(window->field(0)->selectedText(), "10/05/2024");

    enter(2, "9");
    enter(3, "10");
    EXPECT_EQ(focused(), window->field(2));
    EXPECT_EQ(window->field(2)->selectedText(), "9");
}

TEST_F(MainWindowTest, TypingAfterFocusReplacesTheText) {
    open();
    window->button(0)->setFocus();
    QApplication::processEvents();
    QTest::keyClick(window->button(0), Qt::Key_Tab, Qt::ShiftModifier);  // back to "Alla cam."
    QApplication::processEvents();
    ASSERT_EQ(focused(), window->field(3));
    QTest::keyClicks(window->field(3), "205");
    EXPECT_EQ(text(3), "205");
    window->field(2)->setFocus(Qt::OtherFocusReason);
    window->field(3)->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(window->field(3), "7");
    EXPECT_EQ(text(3), "7");
    // A click into a field selects its text too, once the click is through.
    QTest::mouseClick(window->field(0), Qt::LeftButton);
    window->field(0)->setText("01/05/2024");
    QTest::mouseClick(window->field(3), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(focused(), window->field(3));
    EXPECT_EQ(window->field(3)->selectedText(), "7");
}

TEST_F(MainWindowTest, StampaAsksAndNoRunsTheDataSummaryWithTheFieldTexts) {
    Selection seen;
    int data = 0, presence = 0;
    ctx.runDataSummary = [&](const Selection& s, Host&) { ++data; seen = s; };
    ctx.runPresenceSummary = [&](const Selection&, Host&) { ++presence; };
    open();
    enter(0, "010524");
    enter(1, "310524");
    enter(2, "d'1");
    host.answers = {Answer::No};
    QTest::keyClick(window->button(0), Qt::Key_Return);  // the focused button takes Enter

    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].text, "Stampo le presenze ospiti?");
    EXPECT_EQ(host.questions[0].title, "Stampa riepilogativa persenze");
    EXPECT_EQ(host.questions[0].defaultButton, Answer::No);
    EXPECT_EQ(data, 1);
    EXPECT_EQ(presence, 0);
    EXPECT_EQ(seen.firstDay(), "01/05/2024");
    EXPECT_EQ(seen.lastDay(), "31/05/2024");
    EXPECT_EQ(seen.firstRoom(), "D\xB4" "1");  // code page 1252 bytes
    EXPECT_EQ(seen.lastRoom(), "ZZZZ");
}

TEST_F(MainWindowTest, StampaYesRunsThePresenceSummary) {
    int data = 0, presence = 0;
    ctx.runDataSummary = [&](const Selection&, Host&) { ++data; };
    ctx.runPresenceSummary = [&](const Selection&, Host&) { ++presence; };
    open();
    host.answers = {Answer::Yes};
    QTest::mouseClick(window->button(0), Qt::LeftButton);
    EXPECT_EQ(presence, 1);
    EXPECT_EQ(data, 0);
}

TEST_F(MainWindowTest, AFailedRunIsReportedAndTheCaptionRestored) {
    ctx.runDataSummary = [&](const Selection&, Host&) {
        window->setWindowTitle("Riepilogo dati Hotel del 03/05/2024");
        window->progressBar()->show();
        throw Error(err::FileNotFound, "File \"Fatture.mdb\" non trovato");
    };
    open();
    host.answers = {Answer::No};
    QTest::mouseClick(window->button(0), Qt::LeftButton);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].number(), err::FileNotFound);
    EXPECT_EQ(window->windowTitle(), "Riepilogo dati Hotel");
    EXPECT_FALSE(window->progressBar()->isVisible());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, TabelleOpensTheColumnDialogOverTheWindow) {
    QWidget* parent = nullptr;
    ctx.openColumnDialog = [&](QWidget* p, Host&) { parent = p; };
    open();
    window->tablesAction()->trigger();
    EXPECT_EQ(parent, window.get());
}

TEST_F(MainWindowTest, GraficiNextToTabelleOpensTheChartsOfTheFieldTexts) {
    QWidget* parent = nullptr;
    Selection seen;
    ctx.openCharts = [&](QWidget* p, const Selection& s, Host&) {
        parent = p;
        seen = s;
    };
    open();
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "Tabelle");
    EXPECT_EQ(menus[1]->text(), "Grafici");
    EXPECT_EQ(menus[1], window->chartsAction());
    window->field(0)->setText("01/05/2024");
    window->field(1)->setText("31/05/2024");
    window->field(2)->setText("101");
    window->chartsAction()->trigger();
    EXPECT_EQ(parent, window.get());
    EXPECT_EQ(seen.fields, (std::array<std::string, 4>{"01/05/2024", "31/05/2024", "101", "ZZZZ"}));
    EXPECT_EQ(window->windowTitle(), "Riepilogo dati Hotel");
}

TEST_F(MainWindowTest, EsciDeletesTheSpreadsheetFileInAnyLetterCaseAndCloses) {
    folder.write("ORVALIS.CSV", "x;y\r\n");
    folder.write("Orvalis.txt", "kept");
    open();
    QTest::mouseClick(window->button(1), Qt::LeftButton);
    EXPECT_FALSE(fs::exists(folder / "ORVALIS.CSV"));
    EXPECT_TRUE(fs::exists(folder / "Orvalis.txt"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(MainWindowTest, EsciWithoutSpreadsheetFileOnlyCloses) {
    open();
    QTest::mouseClick(window->button(1), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(host.errors.empty());
}

}  // namespace
