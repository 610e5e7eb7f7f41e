// ovdesk-screenshots OUTDIR [--folder DIR]: a picture of every window of the program, rendered on
// the offscreen platform with realistic content, one PNG per window, with its caption drawn above.
#include "print_windows.h"
#include "column_windows.h"
#include "form_windows.h"
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWidget>

#include "app/app_context.h"
#include "app/main_window.h"

namespace {

// Nothing may wait for a user here: questions take their default, the rest goes to stderr.
class ConsoleHost : public ov::Host {
public:
    ov::Answer ask(const std::string& text, const std::string&, ov::Answer def) override {
        std::fprintf(stderr, "domanda: %s\n", text.c_str());
        return def;
    }
    void message(const std::string& text, const std::string&, ov::Icon) override {
        std::fprintf(stderr, "messaggio: %s\n", text.c_str());
    }
    void showError(const ov::Error& e) override {
        std::fprintf(stderr, "errore %d: %s\n", e.number(), e.message().c_str());
    }
    void setCaption(const std::string&) override {}
    void setProgress(int, int) override {}
    void showPrintMenu() override {}
    bool openWithAssociatedProgram(const std::string&) override { return false; }
    bool startProgram(const std::string&, const std::string&) override { return false; }
};

struct ShotEnv {
    ov::AppContext& ctx;
    ov::Host& host;
};

struct Shot {
    const char* name;
    std::function<std::unique_ptr<QWidget>(ShotEnv&)> make;
};

std::unique_ptr<QWidget> mainWindow(ShotEnv& env) {
    auto w = std::make_unique<ov::MainWindow>(env.ctx, env.host);
    const char* texts[] = {"01/05/2024", "31/05/2024", "101", "ZZZZ"};
    for (int i = 0; i < 4; ++i) w->field(i)->setText(texts[i]);
    w->field(0)->setFocus();
    return w;
}

// The main window half-way through a summary: the day in the caption, the progress bar showing.
std::unique_ptr<QWidget> mainWindowRunning(ShotEnv& env) {
    auto w = mainWindow(env);
    auto* main = static_cast<ov::MainWindow*>(w.get());
    main->setWindowTitle("Riepilogo dati Hotel del 12/05/2024");
    main->progressBar()->setRange(0, 31);
    main->progressBar()->setValue(12);
    main->progressBar()->show();
    return w;
}

// One line per window.
const std::vector<Shot> kShots = {
    {"main_window", mainWindow},
    {"main_window_running", mainWindowRunning},
};

// The widget as it looks on screen, with a plain title bar showing its caption.
QImage withCaption(QWidget& w) {
    QPixmap body = w.grab();
    const int bar = 26;
    QImage image(body.width(), body.height() + bar, QImage::Format_ARGB32);
    image.fill(QColor(0x3c, 0x4a, 0x5c));
    QPainter p(&image);
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(10, 0, body.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft, w.windowTitle());
    p.drawPixmap(0, bar, body);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont("Liberation Sans", 9));

    QStringList args = app.arguments().mid(1);
    QString outDir, folder;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--folder" && i + 1 < args.size()) folder = args[++i];
        else if (outDir.isEmpty() && !args[i].startsWith("--")) outDir = args[i];
        else {
            std::fprintf(stderr, "argomento non riconosciuto: %s\n", qPrintable(args[i]));
            return 2;
        }
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "uso: ovdesk-screenshots CARTELLA [--folder CARTELLA_DI_LAVORO]\n");
        return 2;
    }
    // Without a working folder, the windows load in a scratch one (loading creates ColonneOV.mdb).
    QTemporaryDir scratch;
    if (folder.isEmpty()) folder = scratch.path();
    QDir().mkpath(outDir);

    ov::Workspace ws(folder.toStdString());
    ov::ProgramState state;
    ov::AppContext ctx(ws, state, ov::NumberFormat::italian());
    ConsoleHost host;
    ShotEnv env{ctx, host};

    int failures = 0;
    for (const Shot& shot : kShots) {
        std::unique_ptr<QWidget> w = shot.make(env);
        w->show();
        QApplication::processEvents();
        QString file = QDir(outDir).filePath(QString(shot.name) + ".png");
        if (withCaption(*w).save(file)) {
            std::printf("%s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(file));
            ++failures;
        }
    }
    failures += shootPrintWindows(outDir, host, withCaption);
    failures += shootColumnWindows(outDir, host, withCaption);
    failures += shootFormWindows(outDir, host, withCaption);
    return failures == 0 ? 0 : 1;
}
