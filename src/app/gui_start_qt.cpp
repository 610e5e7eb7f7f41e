// Start of the windowed program: Italian standard buttons, the working folder, the main window.
#include "app/gui_start.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/app_context.h"
#include "app/main_window.h"
#include "core/cp1252.h"
#include "platform/qt_host.h"

namespace ov {
namespace {

// The separators of the system's regional settings; "C" means not configured and falls back to
// Italian, the language of the program.
NumberFormat numberFormatFromSystem() {
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) return NumberFormat::italian();
    auto byte = [](const QString& s) -> char {
        return s.size() == 1 ? cp1252::fromUnicode(s.at(0).unicode()) : '?';
    };
    NumberFormat f;
    f.decimal = byte(locale.decimalPoint());
    f.thousands = byte(locale.groupSeparator());
    if (f.decimal == '?') return NumberFormat::italian();
    // A narrow no-break space and the like have no byte of their own: the non-breaking space does.
    if (f.thousands == '?') f.thousands = static_cast<char>(0xA0);
    return f;
}

}  // namespace

int runGui(int argc, char** argv, const std::filesystem::path& folder) {
    QApplication app(argc, argv);
    app.setApplicationName("ovdesk");

    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    Workspace workspace(folder);
    ProgramState state;
    AppContext ctx(workspace, state, numberFormatFromSystem());
    wireApplication(ctx);

    QtHost host;
    MainWindow window(ctx, host);
    host.setWindow(&window);
    host.setProgressBar(window.progressBar());
    if (ctx.showPrintMenu) host.setPrintMenu([&] { ctx.showPrintMenu(&window, host); });
    window.show();
    return app.exec();
}

}  // namespace ov
