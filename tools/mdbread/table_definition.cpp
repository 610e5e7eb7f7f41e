#include "table_definition.h"

#include <cstdint>
#include <set>

#include "core/cp1252.h"

#include "row_scanner.h"

namespace mdbread {
namespace {

constexpr unsigned char kDefinitionPage = 0x02;
// The definition says what kind of table it defines, five bytes before its field count: a page of
// another table's definition swapped in is told apart at least by that.
constexpr unsigned char kUserTable = 'N';
constexpr unsigned char kSystemTable = 'S';

// Bytes the definition's pages hold for libmdb: the whole first page, then each continuation page
// after its eight-byte header. Damaged when the chain leaves the file, meets a page that is not a
// definition page or goes round in a circle.
uint64_t definitionCapacity(MdbHandle* mdb, uint32_t firstPage, uint32_t pages, const std::string& name,
                            unsigned char kind) {
    const uint64_t pageSize = static_cast<uint64_t>(mdb->fmt->pg_size);
    uint64_t capacity = 0;
    uint32_t page = firstPage;
    for (uint32_t n = 0; page != 0; ++n) {
        if (n >= pages || page >= pages || mdb_read_alt_pg(mdb, page) != mdb->fmt->pg_size ||
            mdb->alt_pg_buf[0] != kDefinitionPage)
            throw Damaged("table " + name + ": definition page " + std::to_string(page) + " lost");
        if (n == 0 && mdb->alt_pg_buf[mdb->fmt->tab_num_cols_offset - 5] != kind)
            throw Damaged("table " + name + ": definition page " + std::to_string(page) + " defines another table");
        capacity += n == 0 ? pageSize : pageSize - 8;
        page = u32(mdb->alt_pg_buf + 4);
    }
    return capacity;
}

// Names as the engine allows them: 1 to 64 characters, no control character, each field's its own
// (without regard to case). Definition pages of another table read in the wrong place give others.
bool namesHoldTogether(const TableDefinition& def) {
    std::set<std::string> seen;
    for (unsigned i = 0; i < def.get()->num_cols; ++i) {
        const std::string name = ov::cp1252::fromUtf8(def.column(i).name);
        if (name.empty() || name.size() > 64 || !seen.insert(ov::cp1252::toUpper(name)).second) return false;
        for (unsigned char c : name)
            if (c < 0x20) return false;
    }
    return true;
}

}  // namespace

TableDefinition::TableDefinition(MdbCatalogEntry& entry, const std::string& name, bool systemTable) {
    MdbHandle* mdb = entry.mdb;
    const uint32_t pages = pageCount(mdb);
    if (entry.table_pg == 0 || entry.table_pg >= pages) throw Damaged("table " + name + ": definition page lost");
    const uint64_t capacity = definitionCapacity(mdb, static_cast<uint32_t>(entry.table_pg), pages, name,
                                                 systemTable ? kSystemTable : kUserTable);
    table_ = mdb_read_table(&entry);
    if (!table_) throw Damaged("table " + name + ": unreadable definition");
    // The field entries and names come after the index entries: all of them inside the pages.
    const MdbFormatConstants& f = *mdb->fmt;
    const uint64_t nameBytes = mdb->f->jet_version == MDB_VER_JET3 ? 1 : 2;
    const uint64_t needed = f.tab_cols_start_offset + uint64_t{table_->num_real_idxs} * f.tab_ridx_entry_size +
                            uint64_t{table_->num_cols} * (f.tab_col_entry_size + nameBytes);
    if (table_->num_cols > MDB_MAX_COLS || needed > capacity || !mdb_read_columns(table_) ||
        table_->columns->len != table_->num_cols) {
        mdb_free_tabledef(table_);
        throw Damaged("table " + name + ": unreadable fields");
    }
    if (!namesHoldTogether(*this)) {
        mdb_free_tabledef(table_);
        throw Damaged("table " + name + ": garbled field names");
    }
}

TableDefinition::~TableDefinition() { mdb_free_tabledef(table_); }

}  // namespace mdbread
