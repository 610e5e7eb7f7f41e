#include "column_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "state/program_state.h"
#include "columns/column_dialog.h"
#include "core/cp1252.h"
#include "core/workspace.h"
#include "data/sqlite_store.h"
#include "shot_tables.h"

namespace {

ov::Row item(int code, int group, const char* utf8Description) {
    return {ov::Value::integer(1), ov::Value::integer(code), ov::Value::integer(group),
            ov::Value::text(ov::cp1252::fromUtf8(utf8Description))};
}

ov::Row column(int number, const char* heading, int code, const char* utf8Description) {
    return {ov::Value::integer(1), ov::Value::integer(number), ov::Value::text(ov::cp1252::fromUtf8(heading)),
            ov::Value::integer(code), ov::Value::text(ov::cp1252::fromUtf8(utf8Description))};
}

// The invoice items of a hotel and the columns configured on them.
void fillFolder(const std::filesystem::path& root) {
    writeShotTable(root / "VociFattura.mdb", "VociFattura",
               {{"NumeroHotel", "SHORT"}, {"Codice", "SHORT"}, {"GruppoFatturazione", "SHORT"}, {"Descrizione", "TEXT(40)"}},
               {item(1, 1, "Pernottamento"), item(2, 1, "Pernottamento bambini"), item(3, 3, "Mezza pensione"),
                item(4, 4, "Pensione completa"), item(7, 7, "Minibar"), item(8, 7, "Minibar - bevande"),
                item(12, 12, "Bar"), item(13, 12, "Bar - caffè"), item(14, 14, "Caffetteria e pasticceria"),
                item(15, 15, "Ristorante à la carte"), item(16, 16, "Enoteca - vini rosé"), item(18, 18, "Bar esterni"),
                item(19, 19, "Ristorante esterni"), item(21, 21, "Telefono"), item(22, 22, "Lavanderia"),
                item(25, 25, "Garage"), item(30, 30, "Centro benessere - attività"), item(31, 31, "Escursioni in città"),
                item(40, 40, "Tassa di soggiorno")});
    writeShotTable(root / "ColonneOV.mdb", "ColonneOV",
               {{"NumeroHotel", "SHORT"}, {"NumeroColonna", "SHORT"}, {"Intestazione", "TEXT(10)"},
                {"CodiceVoce", "SHORT"}, {"Descrizione", "TEXT(40)"}},
               {column(1, "BAR", 12, "Bar"), column(1, "BAR", 14, "Caffetteria e pasticceria"),
                column(1, "BAR", 16, "Enoteca - vini rosé"), column(2, "RISTORANTE", 15, "Ristorante à la carte"),
                column(3, "MINIBAR", 7, "Minibar"), column(4, "TELEFONO", 21, "Telefono"),
                column(5, "LAVANDERIA", 22, "Lavanderia"), column(6, "GARAGE", 25, "Garage"),
                column(11, "BAR", 18, "Bar esterni"), column(12, "RISTORANTE", 19, "Ristorante esterni")});
}

}  // namespace

int shootColumnWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render) {
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    ov::Workspace ws(root);
    ov::ProgramState state;
    try {
        fillFolder(root);
        ov::ColumnDialog dialog(ws, state, ov::NumberFormat::italian(), host);
        dialog.show();
        dialog.columnSelector()->setFocus();
        QApplication::processEvents();
        QString file = QDir(outDir).filePath(QStringLiteral("column_dialog.png"));
        if (!render(dialog).save(file)) {
            std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        return 0;
    } catch (const ov::Error& e) {
        std::fprintf(stderr, "errore %d: %s\n", e.number(), e.message().c_str());
        return 1;
    }
}
