#include "print_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <memory>

#include "state/program_state.h"
#include "core/workspace.h"
#include "data/sqlite_store.h"
#include "platform/recording_printer.h"
#include "print/editable_preview_window.h"
#include "print/preview_window.h"
#include "print/print_menu_window.h"
#include "shot_tables.h"

namespace {

// A working folder with the printer tables and the print file of a short hotel data summary.
struct PrintFolder {
    QTemporaryDir dir;
    std::unique_ptr<ov::Workspace> ws;
    ov::ProgramState state;

    PrintFolder() {
        const std::filesystem::path root = dir.path().toStdString();
        ws = std::make_unique<ov::Workspace>(
            root, std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}));
        writeShotTable(root / "Stampanti.mdb", "Stampanti",
              {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"Destinazione", "TEXT(30)"}, {"TipoStampa", "SHORT"},
               {"Linea", "TEXT(100)"}},
              {{ov::Value::integer(1), ov::Value::integer(1), ov::Value::text("UFFICIO"), ov::Value::integer(1),
                ov::Value::text("HP_LaserJet_Ufficio")},
               {ov::Value::integer(1), ov::Value::integer(2), ov::Value::text("RECEPTION"), ov::Value::integer(2),
                ov::Value::text("/dev/usb/lp0")},
               {ov::Value::integer(1), ov::Value::integer(3), ov::Value::text("CASSA"), ov::Value::integer(2),
                ov::Value::text("/dev/usb/lp1")}});
        writeShotTable(root / "AnagraficaHotels.mdb", "AnagraficaHotels",
              {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"RagioneSociale", "TEXT(60)"},
               {"CodiceAssistenza", "TEXT(20)"}},
              {{ov::Value::integer(1), ov::Value::integer(1), ov::Value::text("Hotel Bellavista S.r.l."),
                ov::Value::text("")}});
        std::ofstream(root / "fd1", std::ios::binary) << summaryReport();
    }

    // A framed report in the DOS frame codes, as the summary writes it.
    static std::string summaryReport() {
        auto rule = [](char left, char mid, char right) {
            std::string s(1, left);
            const int widths[] = {12, 9, 11, 11, 11, 11, 11};
            for (int i = 0; i < 7; ++i) s += std::string(widths[i], '\xC4') + (i < 6 ? mid : right);
            return s;
        };
        std::string out;
        auto line = [&out](const std::string& s) { out += s + "\r\n"; };
        line("\xE7Riepilogo dati Hotel\xE7 dal 01/05/2024 al 07/05/2024 - camere da 1 a ZZZZ");
        line("Hotel Bellavista S.r.l.");
        line("");
        line(rule('\xDA', '\xC2', '\xBF'));
        line("\xB3 Giorno     \xB3 Ospiti  \xB3 Hotel U   \xB3 Camp. U   \xB3 ACCONTI   \xB3 BAR-CAFF\xC8 \xB3 RISTORANT \xB3");
        line(rule('\xC3', '\xC5', '\xB4'));
        const char* days[] = {"01/05/2024", "02/05/2024", "03/05/2024", "04/05/2024",
                              "05/05/2024", "06/05/2024", "07/05/2024"};
        const char* amounts[][5] = {{"42", "1.240,00", "310,00", "500,00", "86,40"},
                                    {"45", "980,50", "0,00", "0,00", "102,10"},
                                    {"47", "1.512,00", "95,00", "250,00", "77,80"},
                                    {"51", "2.104,20", "140,00", "0,00", "131,00"},
                                    {"49", "1.330,00", "80,00", "120,00", "96,50"},
                                    {"38", "870,00", "0,00", "0,00", "54,30"},
                                    {"35", "1.025,40", "60,00", "300,00", "68,90"}};
        char buf[200];
        for (int d = 0; d < 7; ++d) {
            std::snprintf(buf, sizeof buf, "\xB3 %-10s \xB3 %7s \xB3 %9s \xB3 %9s \xB3 %9s \xB3 %9s \xB3 %9s \xB3", days[d],
                          amounts[d][0], amounts[d][1], amounts[d][2], amounts[d][3], amounts[d][4], "210,00");
            line(buf);
        }
        line(rule('\xC3', '\xC5', '\xB4'));
        line("\xB3 TOTALI     \xB3     307 \xB3  9.062,10 \xB3    685,00 \xB3  1.170,00 \xB3    617,00 \xB3  1.470,00 \xB3");
        line(rule('\xC0', '\xC1', '\xD9'));
        return out;
    }
};

// Keeps a folder alive as long as the window that works on it.
class FolderHolder : public QObject {
public:
    FolderHolder(QObject* parent, std::unique_ptr<PrintFolder> folder) : QObject(parent), folder_(std::move(folder)) {}

private:
    std::unique_ptr<PrintFolder> folder_;
};

int save(QWidget& w, const QString& outDir, const char* name, const std::function<QImage(QWidget&)>& render) {
    w.show();
    QApplication::processEvents();
    QString file = QDir(outDir).filePath(QString(name) + ".png");
    if (!render(w).save(file)) {
        std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}

}  // namespace

int shootPrintWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render) {
    int failures = 0;
    {
        auto folder = std::make_unique<PrintFolder>();
        ov::PrintMenuServices services;
        services.installedPrinters = [] {
            return std::vector<std::string>{"HP_LaserJet_Ufficio", "Epson_LQ_Reception"};
        };
        ov::PrintMenuWindow menu(*folder->ws, folder->state, host, services);
        new FolderHolder(&menu, std::move(folder));
        menu.activate();
        menu.compressed()->setChecked(true);
        failures += save(menu, outDir, "print_menu", render);
    }
    {
        auto folder = std::make_unique<PrintFolder>();
        ov::PreviewWindow preview(*folder->ws, host);
        new FolderHolder(&preview, std::move(folder));
        preview.resize(900, 560);
        failures += save(preview, outDir, "preview", render);
    }
    {
        // A correction under way: the hotel line being retyped, one line already added at the end.
        auto folder = std::make_unique<PrintFolder>();
        ov::RecordingPrinter printer;  // never printed on here
        ov::EditablePreviewWindow editable(*folder->ws, host, printer, folder->state.hotelNumber);
        new FolderHolder(&editable, std::move(folder));
        editable.show();  // activation
        QApplication::processEvents();
        editable.button(ov::EditablePreviewWindow::AggiungiRiga)->click();
        editable.list()->setCurrentRow(1);
        editable.editBox()->setText("Hotel Bellavista S.r.l. - Via del Lungomare 12, Rimini");
        editable.editBox()->setFocus();
        editable.editBox()->end(false);
        editable.list()->scrollToTop();
        editable.compressed()->setChecked(true);
        failures += save(editable, outDir, "editable_preview", render);
    }
    return failures;
}
