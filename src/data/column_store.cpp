#include "data/column_store.h"

#include "data/sqlite_store.h"

namespace ov {

void EnsureColumnStore(const Workspace& ws) {
    // The name is looked up in any letter case: "colonneov.MDB" is the same file on Windows, and a
    // file of either format is left as it is, whatever it holds.
    const std::string name = "ColonneOV.mdb";
    if (ws.exists(name)) return;
    TableDefinition table{"ColonneOV",
                          {makeField("NumeroHotel", "SHORT"), makeField("NumeroColonna", "SHORT"),
                           makeField("Intestazione", "TEXT(10)"), makeField("CodiceVoce", "SHORT"),
                           makeField("Descrizione", "TEXT(40)")}};
    // Built under a temporary name and renamed into place; when another workstation created the
    // file meanwhile, theirs stays.
    createSqliteDatabase(ws.folder() / name, name, [&](SqliteStore& store) { store.createTable(table); });
}

}  // namespace ov
