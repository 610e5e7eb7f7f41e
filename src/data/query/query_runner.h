#pragma once
// Runs a query of the engine's SQL (parseQuery) over the tables and saved queries of one database,
// with the engine's semantics:
// - FROM: tables and saved queries, with aliases, comma lists, INNER / LEFT / RIGHT JOIN ... ON and
//   derived tables (SELECT ...) AS name. WHERE conditions on one table filter it first (by its
//   indexes), equalities between tables join by hashing;
// - the select list: *, Table.*, expressions with or without AS; a field keeps its name, qualified
//   as Table.Field when two columns would share it; other expressions are Expr1000, Expr1001...;
// - GROUP BY with Count, Sum, Avg, Min, Max, First, Last, HAVING; groups come in key order;
// - DISTINCT (rows sorted by their values), DISTINCTROW (one row per record of the tables shown),
//   ORDER BY on expressions or on the names the select list gives, TOP n [PERCENT] with the ties
//   of the last row;
// - subqueries that do not refer to the outer query, run once;
// - UNION (sorted, without repeats) and UNION ALL.
// Rows of a query without ORDER BY follow the first table of its FROM clause, then the joined ones.
#include <functional>
#include <memory>
#include <string>

#include "data/query/syntax.h"
#include "data/table.h"

namespace ov::query {

// The table or saved query of that name, loaded; Error 3078 when the database has neither.
using SourceLoader = std::function<std::shared_ptr<const Table>(const std::string& name)>;

struct QueryContext {
    SourceLoader load;
    // A saved query: a name that is no field of its tables is a parameter it would ask for, which
    // ends the run with Error 3061 naming them all; a query text gets Error 3265 for it.
    bool savedQuery = false;
};

// The query's rows as a table of their own, named `resultName` and marked derived (never written).
std::shared_ptr<Table> runQuery(const QueryStatement& statement, const QueryContext& context,
                                const std::string& resultName);

}  // namespace ov::query
