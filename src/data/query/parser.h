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

}  // namespace ov::query
