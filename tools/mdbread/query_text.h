#pragma once
// The SQL text of a saved query, rebuilt from its rows in the system table MSysQueries.
//
// A file keeps a query as rows of (attribute, order, name1, name2, expression, flag):
//   1 kind (flag: 1 select, 2 make-table, 3 append, 4 update, 5 delete, 6 crosstab,
//     7 data definition, 8 pass-through, 9 union; name1 the target table; expression the text of
//     data-definition and pass-through queries)
//   2 parameter (name1, flag the type)        3 options (flag bits: 1 all fields, 2 DISTINCT,
//     4 owner access, 8 DISTINCTROW, 16 TOP, 32 PERCENT; name1 the TOP count; for a union,
//     bit 2 set means UNION, clear UNION ALL)
//   4 external database (name1 path, expression connect string)
//   5 table (name1 table or query, name2 alias; a union's two selects as expression, name2
//     "X7YZ_____1" and "X7YZ_____2")
//   6 column (expression, name1 alias; name2 the target field of an append or update; flag for a
//     crosstab: 1 the pivot, 2 a row heading)
//   7 join (name1 and name2 the two tables, flag 1 inner, 2 left, 3 right, expression the condition)
//   8 WHERE, 9 GROUP BY (one row per expression), 10 HAVING, 11 ORDER BY (name1 "D" descending)
// Rows of one attribute come in their order value, then in table order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/stored_query.h"

namespace mdbread {

struct QueryRow {
    int attribute = 0;
    std::string order;       // the row's order value (bytes in hex), empty when null
    std::string name1;       // code page 1252; empty when null
    std::string name2;
    std::string expression;
    std::optional<int> flag;
};

struct QueryText {
    ov::QueryKind kind = ov::QueryKind::Select;
    std::string sql;
};

// `objectFlags` are the query's flags in MSysObjects, used when its rows do not tell the kind.
// Lines end with CR LF, as the engine shows a query's text.
QueryText rebuildQueryText(std::vector<QueryRow> rows, uint32_t objectFlags);

}  // namespace mdbread
