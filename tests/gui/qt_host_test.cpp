#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/qt_host.h"

using namespace ov;

namespace {

// What a message box showed before the test answered it.
struct SeenBox {
    QString title, text, defaultText;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

// Answers the next message box once it is up: records it, then lets `answer` act on it.
void answerNextBox(SeenBox& seen, std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        if (box->defaultButton()) seen.defaultText = box->defaultButton()->text();
        answer(box);
    });
}

void pressEnter(QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }

TEST(QtHost, QuestionsHaveItalianButtonsAndHonourTheDefault) {
    QtHost host;
    SeenBox seen;
    answerNextBox(seen, pressEnter);
    EXPECT_EQ(host.ask("Stampo le presenze ospiti?", "Stampa riepilogativa persenze", Answer::No), Answer::No);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Stampa riepilogativa persenze");
    EXPECT_EQ(seen.text, "Stampo le presenze ospiti?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_TRUE(seen.buttons.contains(QString::fromUtf8("Sì")));
    EXPECT_TRUE(seen.buttons.contains("No"));
    EXPECT_EQ(seen.defaultText, "No");

    SeenBox second;
    answerNextBox(second, pressEnter);
    EXPECT_EQ(host.ask("Apro il file in formato EXCEL?", "Visualizza tabella", Answer::Yes), Answer::Yes);
    EXPECT_EQ(second.defaultText, QString::fromUtf8("Sì"));

    SeenBox third;
    answerNextBox(third, [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(host.ask("Domanda?", "Titolo", Answer::No), Answer::Yes);

    SeenBox escaped;
    answerNextBox(escaped, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(host.ask("Domanda?", "Titolo", Answer::Yes), Answer::No);
}

TEST(QtHost, MessagesAndErrorsShowTheirTexts) {
    QtHost host;
    SeenBox info;
    answerNextBox(info, pressEnter);
    host.message("Stampa completata", "Stampa", Icon::Warning);
    ASSERT_TRUE(info.seen);
    EXPECT_EQ(info.title, "Stampa");
    EXPECT_EQ(info.icon, QMessageBox::Warning);
    EXPECT_EQ(info.buttons, QStringList{"OK"});

    SeenBox error;
    answerNextBox(error, pressEnter);
    host.showError(Error(3024, "File \"Fatture.mdb\" non trovato", "Riporto Clienti"));
    ASSERT_TRUE(error.seen);
    EXPECT_EQ(error.title, "Riporto Clienti");
    EXPECT_EQ(error.text, "Errore 3024: File \"Fatture.mdb\" non trovato");
    EXPECT_EQ(error.icon, QMessageBox::Critical);

    // An error of the program itself carries an Italian title, never the program's file name.
    SeenBox own;
    answerNextBox(own, pressEnter);
    host.showError(Error(3078, "Tabella \"ColonneOV\" non trovata"));
    ASSERT_TRUE(own.seen);
    EXPECT_EQ(own.title, "Errore");
}

TEST(QtHost, PrintMenuUsesTheInjectedMenuOrSaysItIsMissing) {
    QtHost host;
    SeenBox notice;
    answerNextBox(notice, pressEnter);
    host.showPrintMenu();
    ASSERT_TRUE(notice.seen);
    EXPECT_EQ(notice.text, "Menu di stampa non ancora disponibile");

    int shown = 0;
    host.setPrintMenu([&] { ++shown; });
    host.showPrintMenu();
    EXPECT_EQ(shown, 1);
}

TEST(QtHost, CaptionAndProgressShowOnTheWindow) {
    QMainWindow window;
    auto* bar = new QProgressBar(&window);
    window.setCentralWidget(bar);
    window.show();
    QtHost host(&window);
    host.setProgressBar(bar);

    host.setCaption("Riepilogo dati Hotel del 01/05/2024");
    EXPECT_EQ(window.windowTitle(), "Riepilogo dati Hotel del 01/05/2024");
    host.setProgress(3, 31);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(bar->maximum(), 31);
    host.setProgress(0, 0);
    EXPECT_FALSE(bar->isVisible());
}

TEST(QtHost, StartingAProgramThatDoesNotExistFails) {
    QtHost host;
    EXPECT_FALSE(host.startProgram("/nonexistent/ovdesk-no-such-program orvalis.csv", "/tmp"));
    EXPECT_FALSE(host.startProgram("", "/tmp"));
}

}  // namespace
