#include "catalog.h"

#include <cstdio>
#include <cstring>

#include "jet_text.h"
#include "row_scanner.h"
#include "table_definition.h"

namespace mdbread {
namespace {

constexpr unsigned long kCatalogPage = 2;        // the definition of MSysObjects
constexpr uint32_t kSystemObjectFlags = 0x80000002;

}  // namespace

std::vector<UserTable> readUserTables(MdbHandle* mdb) {
    MdbCatalogEntry catalog{};
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = kCatalogPage;
    std::snprintf(catalog.object_name, sizeof catalog.object_name, "MSysObjects");

    TableDefinition def(catalog, "MSysObjects", true);
    int id = -1, name = -1, type = -1, flags = -1;
    for (unsigned i = 0; i < def.get()->num_cols; ++i) {
        const MdbColumn* col = &def.column(i);
        if (!std::strcmp(col->name, "Id") && col->col_type == MDB_LONGINT) id = static_cast<int>(i);
        if (!std::strcmp(col->name, "Name") && col->col_type == MDB_TEXT) name = static_cast<int>(i);
        if (!std::strcmp(col->name, "Type") && col->col_type == MDB_INT) type = static_cast<int>(i);
        if (!std::strcmp(col->name, "Flags") && col->col_type == MDB_LONGINT) flags = static_cast<int>(i);
    }
    if (id < 0 || name < 0 || type < 0 || flags < 0) throw Damaged("catalog without its fields");

    bool jet4 = mdb->f->jet_version != MDB_VER_JET3;
    std::vector<MdbField> fields(def.get()->num_cols);
    std::vector<UserTable> tables;
    RowScanner rows(def.get());
    rows.forEachRow([&](int start, int end) {
        if (mdb_crack_row(def.get(), start, static_cast<size_t>(end - start), fields.data()) < 0)
            rows.damaged("unreadable catalog row");
        auto fixed = [&](int i, int size) -> const unsigned char* {
            const MdbField& f = fields[static_cast<size_t>(i)];
            if (f.is_null) return nullptr;
            if (f.start < start || f.start + size > end) rows.damaged("catalog row out of bounds");
            return mdb->pg_buf + f.start;
        };
        const unsigned char* t = fixed(type, 2);
        const unsigned char* fl = fixed(flags, 4);
        const unsigned char* pg = fixed(id, 4);
        if (!t || !pg || (u16(t) & 0x7F) != MDB_TABLE || (fl && (u32(fl) & kSystemObjectFlags))) return;
        const MdbField& n = fields[static_cast<size_t>(name)];
        if (n.is_null || n.siz <= 0 || n.start < start || n.start + n.siz > end) rows.damaged("catalog name");
        const unsigned char* text = mdb->pg_buf + n.start;
        UserTable user{jet4 ? jet4Text(text, static_cast<size_t>(n.siz)) : jet3Text(text, static_cast<size_t>(n.siz)),
                       MdbCatalogEntry{}};
        user.entry.mdb = mdb;
        user.entry.object_type = MDB_TABLE;
        user.entry.table_pg = u32(pg) & 0x00FFFFFF;
        user.entry.flags = fl ? static_cast<int>(u32(fl)) : 0;
        std::snprintf(user.entry.object_name, sizeof user.entry.object_name, "%s", user.name.c_str());
        tables.push_back(std::move(user));
    });
    return tables;
}

}  // namespace mdbread
