#include "platform/qt_host.h"

#include <algorithm>
#include <utility>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QUrl>
#include <QWidget>

namespace ov {
namespace {

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

// The title of an error report that names no source of its own.
const char* const kErrorTitle = "Errore";

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The standard buttons in Italian even when the Qt translation is missing.
void italianButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
        {QMessageBox::Yes, "Sì"}, {QMessageBox::No, "No"}, {QMessageBox::Ok, "OK"}};
    for (const auto& [button, text] : texts)
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(text));
}

// Let the window repaint without running the user's clicks and keys in the middle of a run;
// they wait until the run is over, as they would on a busy thread.
void repaintNow() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

Answer QtHost::ask(const std::string& text, const std::string& title, Answer defaultButton) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No, window_);
    italianButtons(box);
    box.setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtHost::message(const std::string& text, const std::string& title, Icon icon) {
    QMessageBox box(boxIcon(icon), qs(title), qs(text), QMessageBox::Ok, window_);
    italianButtons(box);
    box.exec();
}

void QtHost::showError(const Error& error) {
    QString text = QStringLiteral("Errore %1: %2").arg(error.number()).arg(qs(error.message()));
    const std::string title = error.source().empty() ? kErrorTitle : error.source();
    QMessageBox box(QMessageBox::Critical, qs(title), text, QMessageBox::Ok, window_);
    italianButtons(box);
    box.exec();
}

void QtHost::setCaption(const std::string& caption) {
    if (!window_) return;
    window_->setWindowTitle(qs(caption));
    window_->repaint();
    repaintNow();
}

void QtHost::setProgress(int done, int total) {
    if (!progressBar_) return;
    if (total <= 0) {
        progressBar_->hide();
    } else {
        progressBar_->setRange(0, total);
        progressBar_->setValue(std::clamp(done, 0, total));
        progressBar_->show();
        progressBar_->repaint();
    }
    repaintNow();
}

void QtHost::showPrintMenu() {
    if (printMenu_) {
        printMenu_();
        return;
    }
    message("Menu di stampa non ancora disponibile", "Menu di stampa", Icon::Information);
}

bool QtHost::openWithAssociatedProgram(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

bool QtHost::startProgram(const std::string& program, const std::string& workingFolder) {
    // The command line names the program first, then its arguments ("excel orvalis.csv").
    QStringList parts = QProcess::splitCommand(qs(program));
    if (parts.isEmpty()) return false;
    QString executable = parts.takeFirst();
    return QProcess::startDetached(executable, parts, qs(workingFolder));
}

}  // namespace ov
