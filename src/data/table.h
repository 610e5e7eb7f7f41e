#pragma once
// A table loaded whole into memory: its fields in order and its rows in table order.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"

namespace ov {

namespace query { struct TableIndexes; }

using Row = std::vector<Value>;

struct Table {
    std::string name;
    std::vector<Field> fields;
    std::vector<Row> rows;
    // Row identities of a writable store (SQLite rowid), parallel to rows; empty for Jet tables.
    std::vector<int64_t> rowIds;
    // The rows of a query rather than of a stored table: never written.
    bool derived = false;
    // Read with only the columns of these names (data/column_needs.h); unset: every column.
    std::optional<std::vector<std::string>> onlyColumns;
    const std::vector<std::string>* columnsRead() const { return onlyColumns ? &*onlyColumns : nullptr; }

    // Position of a field, matched without regard to case; -1 when the table has none.
    int fieldIndex(std::string_view fieldName) const;

    // Indexes built on first use by the query engine; a loaded table never changes, so they stay valid.
    mutable std::shared_ptr<query::TableIndexes> indexes;
};

}  // namespace ov
