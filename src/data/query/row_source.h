#pragma once
// The rows a query's FROM clause gives: the fields of its tables side by side, one row for every
// combination its joins let through.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/query/bound.h"
#include "data/table.h"

namespace ov::query {

// A bound expression with the values of its literals.
struct BoundValues {
    BoundExpr expr;
    Bindings bindings;
    std::string text;  // as written, for messages
};

struct RowSource {
    Scope scope;
    std::vector<Row> rows;
    // Which row of each table a row was made of (-1 where an outer join added nulls): tableCount
    // entries per row. DISTINCTROW tells records apart by them.
    size_t tableCount = 0;
    std::vector<int32_t> origins;
    std::vector<size_t> tableOfColumn;  // by column of the scope
    const Table* whole = nullptr;       // the table, when the rows are all of its rows in table order

    // One table, or the given rows of it (in that order); `source` is the name the query gives it.
    static RowSource ofTable(const Table& table, const std::string& source, const std::vector<uint32_t>* rows = nullptr);
};

// The scope of `left` and `right` side by side, as a join of the two sees it.
Scope joinedScope(const RowSource& left, const RowSource& right);

// `left` joined with `right` on a condition bound in joinedScope(left, right). An equality of a
// field of each side finds the matching rows by hashing (by the table's index when `right` holds a
// whole table) instead of trying every pair; the rows keep the order of the side that leads
// (left for inner and left joins, right for right joins).
RowSource joinRows(RowSource left, RowSource right, JoinKind kind, const BoundValues& on);

// Keeps the rows for which the condition, bound in the source's scope, is true.
void keepRows(RowSource& source, const BoundValues& condition);

}  // namespace ov::query
