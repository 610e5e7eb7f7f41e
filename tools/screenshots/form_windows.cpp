#include "form_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <memory>

#include "state/program_state.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "data/sqlite_store.h"
#include "tableform/print_form_window.h"
#include "shot_tables.h"

namespace {

using ov::Value;

void text(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// The column table of a working hotel, its layout and a filter saved on an earlier day.
void fillFolder(const std::filesystem::path& root) {
    writeShotTable(root / "Stampanti.mdb", "Stampanti",
          {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"Destinazione", "TEXT(30)"}, {"TipoStampa", "SHORT"},
           {"Linea", "TEXT(100)"}},
          {{Value::integer(1), Value::integer(1), Value::text("UFFICIO"), Value::integer(1), Value::text("HP_LaserJet")},
           {Value::integer(1), Value::integer(2), Value::text("RECEPTION"), Value::integer(2), Value::text("/dev/usb/lp0")},
           {Value::integer(1), Value::integer(3), Value::text("CASSA"), Value::integer(2), Value::text("/dev/usb/lp1")}});
    auto column = [](int number, const char* heading, int item, const char* description) {
        return ov::Row{Value::integer(1), Value::integer(number), Value::text(heading), Value::integer(item),
                       Value::text(description)};
    };
    writeShotTable(root / "ColonneOV.mdb", "ColonneOV",
          {{"NumeroHotel", "SHORT"}, {"NumeroColonna", "SHORT"}, {"Intestazione", "TEXT(10)"},
           {"CodiceVoce", "SHORT"}, {"Descrizione", "TEXT(40)"}},
          {column(1, "BAR-CAFF\xC8", 12, "Bar"), column(1, "BAR-CAFF\xC8", 14, "Caffetteria e pasticceria"),
           column(2, "RISTORANTE", 15, "Ristorante \xE0 la carte"), column(3, "MINIBAR", 7, "Minibar")});
    text(root / "ColonneOV.stp",
         "1,Colonne configurate,ColonneOV.mdb,ColonneOV,,,,,,\r\n2,Col.,,,NumeroColonna,4,N,N,,\r\n"
         "3,Intestazione,,,Intestazione,12,N,S,,\r\n4,Codice,,,CodiceVoce,6,N,S,,\r\n"
         "5,Descrizione,,,Descrizione,30,N,S,,\r\n");
    text(root / "ColonneOV.fil",
         "Compresso = N\r\nIn Ordine di NumeroColonna\r\nNumeroColonna <= 10\r\nIntestazione In BAR\r\n");
}

}  // namespace

int shootFormWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render) {
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    fillFolder(root);
    ov::Workspace ws(root, std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}));
    ov::ProgramState state;
    state.printTableName = "ColonneOV";

    ov::PrintFormWindow form(ws, state, ov::NumberFormat::italian(), host);
    if (!form.activate()) {
        std::fprintf(stderr, "il modulo di stampa non si apre\n");
        return 1;
    }
    // The user adds a third row of their own, not saved yet.
    form.fieldCombo(2)->setCurrentText("CodiceVoce");
    form.operatorCombo(2)->setCurrentIndex(5);
    form.valueBox(2)->setText("14");
    form.show();
    form.valueBox(2)->setFocus();
    QApplication::processEvents();
    QString file = QDir(outDir).filePath("print_form.png");
    if (!render(form).save(file)) {
        std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}
