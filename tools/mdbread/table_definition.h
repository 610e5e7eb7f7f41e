#pragma once
// A table's definition as libmdb reads it (fields, sizes, usage map), read only once the pages it
// spans have been checked: libmdb follows the definition's continuation pages and skips over its
// index entries wherever the counts in the file send it.
#include <string>

#include "libmdb.h"

namespace mdbread {

class TableDefinition {
public:
    // Throws Damaged naming the table when the definition's pages do not hold together, define
    // a table of the other kind (user or system), or its fields cannot be read or have names the
    // engine would not allow.
    TableDefinition(MdbCatalogEntry& entry, const std::string& name, bool systemTable = false);
    ~TableDefinition();
    TableDefinition(const TableDefinition&) = delete;
    TableDefinition& operator=(const TableDefinition&) = delete;

    MdbTableDef* get() const { return table_; }
    MdbColumn& column(unsigned i) const { return *static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i)); }

private:
    MdbTableDef* table_ = nullptr;
};

}  // namespace mdbread
