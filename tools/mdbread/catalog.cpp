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
constexpr int kQueryObject = 5;                   // MSysObjects.Type of a saved query
constexpr const char* kQueryTable = "MSysQueries";

}  // namespace

Catalog readCatalog(MdbHandle* mdb) {
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
    Catalog out;
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
        if (!t || !pg) return;
        const int kind = u16(t) & 0x7F;
        const uint32_t objectFlags = fl ? u32(fl) : 0;
        const bool system = (objectFlags & kSystemObjectFlags) != 0;
        if (kind != MDB_TABLE && kind != kQueryObject) return;
        const MdbField& n = fields[static_cast<size_t>(name)];
        if (n.is_null || n.siz <= 0 || n.start < start || n.start + n.siz > end) rows.damaged("catalog name");
        const unsigned char* text = mdb->pg_buf + n.start;
        std::string objectName =
            jet4 ? jet4Text(text, static_cast<size_t>(n.siz)) : jet3Text(text, static_cast<size_t>(n.siz));
        if (kind == kQueryObject) {
            out.queries.push_back(QueryObject{std::move(objectName), static_cast<int32_t>(u32(pg)), objectFlags});
            return;
        }
        if (system && objectName != kQueryTable) return;
        UserTable user{std::move(objectName), MdbCatalogEntry{}, system};
        user.entry.mdb = mdb;
        user.entry.object_type = MDB_TABLE;
        user.entry.table_pg = u32(pg) & 0x00FFFFFF;
        user.entry.flags = static_cast<int>(objectFlags);
        std::snprintf(user.entry.object_name, sizeof user.entry.object_name, "%s", user.name.c_str());
        if (system)
            out.queryRows = std::move(user);
        else
            out.tables.push_back(std::move(user));
    });
    return out;
}

}  // namespace mdbread
