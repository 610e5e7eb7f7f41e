#pragma once
// The syntax tree of the engine's query dialect: criteria expressions and SELECT statements as
// parsed, before field names are resolved against a table.
#include <optional>
#include <string>
#include <vector>

#include "data/value.h"

namespace ov::query {

enum class ExprKind {
    Literal,   // number, text, Null, True, False
    Field,     // a field name, bare or in brackets, optionally qualified by the table name
    Negate,    // unary minus
    Binary,    // + - * / &
    Compare,   // = <> < > <= >=
    Like,      // [Not] Like
    IsNull,    // Is [Not] Null
    In,        // [Not] In (...)
    Between,   // [Not] Between ... And ...
    Not,
    And,
    Or,
    Call,      // one of the built-in functions
};

enum class BinaryOp { Add, Sub, Mul, Div, Concat };
enum class CompareOp { Eq, Ne, Lt, Gt, Le, Ge };
enum class Function { Val, Left, Right, Mid, InStr, Len, Trim, LTrim, RTrim, UCase, LCase, Nz, CStr, CLng, CDbl };

struct Expr {
    ExprKind kind = ExprKind::Literal;
    Value literal;            // Literal
    int param = -1;           // Literal: ordinal of the number or text literal in the text (-1 for Null, True, False)
    std::string name;         // Field: the name as written, without brackets
    std::string qualifier;    // Field: "Table" of "Table.Field", empty when bare
    BinaryOp binary = BinaryOp::Add;
    CompareOp compare = CompareOp::Eq;
    Function function = Function::Val;
    bool negated = false;     // Not Like, Is Not Null, Not In, Not Between
    std::vector<Expr> args;   // operands in order: Between is (value, low, high), In is (value, items...)
};

struct OrderKey {
    std::string field;
    bool descending = false;
};

// SELECT * FROM table [WHERE expr] [ORDER BY field [ASC|DESC], ...] [;], or a bare table name.
struct Statement {
    std::string table;
    std::optional<Expr> where;
    std::string whereText;    // the condition as written, quoted by error messages
    std::vector<OrderKey> orderBy;
};

}  // namespace ov::query
