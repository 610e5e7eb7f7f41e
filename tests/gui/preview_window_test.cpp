// The read-only preview on the offscreen platform.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/qt_host.h"
#include "print/preview_window.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

std::string linesOf(int n, size_t length, char letter) {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(length, letter) + "\r\n";
    return s;
}

int lineCount(const QPlainTextEdit* text) { return text->document()->blockCount(); }

struct Preview {
    SuiteFolder folder;
    Workspace ws = folder.workspace({{"PCLocal", "1"}});
    RecordingHost host;
    std::unique_ptr<PreviewWindow> window;
    explicit Preview(const std::optional<std::string>& printFile) {
        if (printFile) folder.writeText("fd1", *printFile);
        window = std::make_unique<PreviewWindow>(ws, host);
    }
    void click(int index) { QTest::mouseClick(window->button(index), Qt::LeftButton); }
};

}  // namespace

TEST(PreviewWindow, CaptionsAndLayoutOnActivation) {
    Preview p(std::string("riga\r\n"));
    p.window->resize(900, 600);
    ASSERT_TRUE(p.window->activate());
    EXPECT_EQ(p.window->windowTitle(), "Anteprima di Stampa");
    const char* captions[] = {"&Esci", "&Riduci", "E&spandi", "&Avanti", "&Inizio", "E-&mail", "Sa&lva", "E&xcel"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p.window->button(i)->text(), QString::fromUtf8(captions[i]));
    const double twip = p.window->logicalDpiX() / 1440.0;
    EXPECT_EQ(p.window->textBox()->width(), 900 - static_cast<int>(200 * twip));
    // One row of buttons, below the text box and inside the window.
    const int top = p.window->button(0)->y();
    for (int i = 1; i < 8; ++i) EXPECT_EQ(p.window->button(i)->y(), top);
    EXPECT_GT(top, p.window->textBox()->geometry().bottom());
    EXPECT_LE(p.window->button(7)->geometry().bottom(), 600);
}

TEST(PreviewWindow, ShowsPortionsForwardAndFromTheStart) {
    Preview p(linesOf(300, 100, 'a') + linesOf(10, 100, 'b'));
    p.window->show();  // activation runs on the first show
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.window.get()));
    QPlainTextEdit* text = p.window->textBox();
    p.window->button(PreviewWindow::Avanti)->setFocus();
    EXPECT_EQ(lineCount(text), 200);
    EXPECT_TRUE(text->isReadOnly());
    p.click(PreviewWindow::Avanti);
    EXPECT_EQ(lineCount(text), 110);
    EXPECT_TRUE(text->toPlainText().endsWith(QString(100, 'b')));
    EXPECT_TRUE(text->hasFocus());
    p.click(PreviewWindow::Avanti);  // nothing more: nothing changes
    EXPECT_EQ(lineCount(text), 110);
    p.click(PreviewWindow::Inizio);
    EXPECT_EQ(lineCount(text), 260);
    EXPECT_TRUE(text->toPlainText().startsWith(QString(100, 'a')));
}

TEST(PreviewWindow, FramesShowRewrittenAndSaveWritesThem) {
    Preview p(std::string("\xDA\xC4\xBF\r\n\xB3" "Citt\xC0\xB3\r\n\f\r\n"));
    ASSERT_TRUE(p.window->activate());
    EXPECT_EQ(p.window->textBox()->toPlainText(), QString::fromUtf8("---\n|Città|\n\f"));
    p.click(PreviewWindow::Salva);
    EXPECT_EQ(p.folder.read("fd1"), "---\r\n|Citt\xE0|\r\n\f\r\n");
    EXPECT_TRUE(p.host.errors.empty());
}

TEST(PreviewWindow, TextSizeStopsAtOnePoint) {
    Preview p(std::string("riga\r\n"));
    ASSERT_TRUE(p.window->activate());
    const int start = p.window->textSize();
    p.click(PreviewWindow::Espandi);
    EXPECT_EQ(p.window->textSize(), start + 1);
    for (int i = 0; i < start + 5; ++i) p.click(PreviewWindow::Riduci);
    EXPECT_EQ(p.window->textSize(), 1);
}

TEST(PreviewWindow, ClosesWithoutAPrintFile) {
    Preview p(std::nullopt);
    p.window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !p.window->isVisible(); }, 2000));
    EXPECT_EQ(p.window->result(), QDialog::Rejected);
}

TEST(PreviewWindow, ButtonErrorsCarryTheSourceRiportoClienti) {
    Preview p(std::string("riga\r\n"));
    ASSERT_TRUE(p.window->activate());
    std::filesystem::remove(p.folder.path() / "fd1");
    p.click(PreviewWindow::Inizio);
    ASSERT_EQ(p.host.errors.size(), 1u);
    EXPECT_EQ(p.host.errors[0].source(), "Riporto Clienti");
    EXPECT_EQ(p.host.errors[0].number(), 53);
}

TEST(PreviewWindow, MailHandsTheShownTextToTheMailProgram) {
    Preview p(std::string("\xB3" "1.234,50\xB3\r\nseconda\r\n"));
    ASSERT_TRUE(p.window->activate());
    p.click(PreviewWindow::Email);
    EXPECT_EQ(p.folder.read("e-mail1.txt"), "OGGETTO\r\n|1.234,50|\r\nseconda\r\n\r\n");
    EXPECT_EQ(p.host.started, std::vector<std::string>{"Pelmar.exe"});
    EXPECT_TRUE(p.host.errors.empty());

    p.host.startSucceeds = false;
    p.click(PreviewWindow::Email);
    ASSERT_EQ(p.host.errors.size(), 1u);
    EXPECT_EQ(p.host.errors[0].source(), "Riporto Clienti");
    EXPECT_EQ(p.host.errors[0].message(), "Impossibile avviare il programma di posta Pelmar.exe");
    EXPECT_TRUE(std::filesystem::exists(p.folder.path() / "e-mail1.txt"));
}

TEST(PreviewWindow, ExcelConvertsThePrintFileAndOpensTheWorkbook) {
    Preview p(std::string("\xB3  1.234,50\xB3\r\n"));
    ASSERT_TRUE(p.window->activate());
    p.click(PreviewWindow::Excel);
    EXPECT_TRUE(p.host.errors.empty());
    EXPECT_EQ(p.folder.read("fd1.csv"), ", \x80" "1234.50,\r\n");
    ASSERT_EQ(p.host.opened.size(), 1u);
    EXPECT_EQ(std::filesystem::path(p.host.opened[0]), p.folder.path() / "fd1.xlsx");
    EXPECT_TRUE(std::filesystem::is_regular_file(p.folder.path() / "fd1.xlsx"));

    // The print file gone meanwhile: the error carries the preview's source name.
    std::filesystem::remove(p.folder.path() / "fd1");
    p.click(PreviewWindow::Excel);
    ASSERT_EQ(p.host.errors.size(), 1u);
    EXPECT_EQ(p.host.errors[0].source(), "Riporto Clienti");
    EXPECT_EQ(p.host.errors[0].number(), 53);
    EXPECT_EQ(p.host.opened.size(), 1u);
}

TEST(PreviewWindow, MailStartsTheMailProgramOfTheWorkingFolderThroughTheDesktop) {
    SuiteFolder folder;
    folder.writeText("fd1", "riga\r\n");
    const auto program = folder.path() / "pelmar.EXE";
    std::ofstream(program) << "#!/bin/sh\n/bin/cat e-mail1.txt > ricevuto.tmp; /bin/mv ricevuto.tmp ricevuto.txt\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    Workspace ws = folder.workspace({{"PCLocal", "1"}});
    QtHost host;
    PreviewWindow window(ws, host);
    ASSERT_TRUE(window.activate());
    QTest::mouseClick(window.button(PreviewWindow::Email), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(folder.path() / "ricevuto.txt"); }, 5000));
    EXPECT_EQ(folder.read("ricevuto.txt"), "OGGETTO\r\nriga\r\n\r\n");
}

TEST(PreviewWindow, EsciCloses) {
    Preview p(std::string("riga\r\n"));
    p.window->show();
    p.click(PreviewWindow::Esci);
    EXPECT_FALSE(p.window->isVisible());
}
