#pragma once
// Parses the engine's query dialect into syntax trees. Every failure is an ov::Error: 3075 quoting
// the expression that does not parse, 3085 for a function the dialect lacks, 3131 for a statement
// whose frame (SELECT * FROM table ...) is broken.
#include <memory>
#include <string_view>

#include "data/query/syntax.h"

namespace ov::query {

// A criteria expression: "NumeroHotel = 1 and Sigla = 'CC'".
Expr parseCriteria(std::string_view text);
// "SELECT * FROM t [WHERE ...] [ORDER BY ...] [;]" or a bare table name ("Fatture", "[Nomi tabella]").
Statement parseStatement(std::string_view text);

// The tree of a criteria text, remembered by the text's shape (see splitLiterals): the literals in
// it are numbered, and any text of that shape supplies its own values for them.
std::shared_ptr<const Expr> parseCriteriaCached(std::string_view text, const std::string& shape);
// A statement, remembered by its text: reports open the same texts day after day.
std::shared_ptr<const Statement> parseStatementCached(std::string_view text);

// A query of the engine's SQL (select_parser.cpp): [PARAMETERS ...;] SELECT [DISTINCT | DISTINCTROW]
// [TOP n [PERCENT]] items FROM tables and joins [WHERE] [GROUP BY] [HAVING] [ORDER BY], selects
// joined by UNION [ALL]. Errors: 3131 for a broken frame, 3075 / 3085 for an expression, 3067
// for a select without FROM.
QueryStatement parseQuery(std::string_view text);
// The parameters a query text declares in its PARAMETERS clause, as written; none without one. A
// query that declares parameters cannot run here, whatever the rest of its text holds.
std::vector<std::string> declaredParameters(std::string_view text);
std::shared_ptr<const QueryStatement> parseQueryCached(std::string_view text);

}  // namespace ov::query
