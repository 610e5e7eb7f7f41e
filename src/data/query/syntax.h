#pragma once
// The syntax tree of the engine's query dialect: criteria expressions and SELECT statements as
// parsed, before field names are resolved against a table.
#include <cstdint>
#include <memory>
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
    Aggregate, // Count, Sum, Avg, Min, Max, First, Last over the rows of a group (queries only)
    Subquery,  // (SELECT ...) giving one value (queries only)
    InSubquery,  // value [Not] In (SELECT ...) (queries only)
    Exists,    // [Not] Exists (SELECT ...) (queries only)
};

enum class BinaryOp { Add, Sub, Mul, Div, Concat };
enum class CompareOp { Eq, Ne, Lt, Gt, Le, Ge };
enum class Function {
    Val, Left, Right, Mid, InStr, Len, Trim, LTrim, RTrim, UCase, LCase, Nz, CStr, CLng, CDbl,
    CCur, CInt, CSng, CBool, IIf, Abs, Int, Fix, Year, Month, Day, DatePart,
};
enum class Aggregate { Count, Sum, Avg, Min, Max, First, Last };

struct SelectQuery;

struct Expr {
    ExprKind kind = ExprKind::Literal;
    Value literal;            // Literal
    int param = -1;           // Literal: ordinal of the number or text literal in the text (-1 for Null, True, False)
    std::string name;         // Field: the name as written, without brackets
    std::string qualifier;    // Field: "Table" of "Table.Field", empty when bare
    BinaryOp binary = BinaryOp::Add;
    CompareOp compare = CompareOp::Eq;
    Function function = Function::Val;
    Aggregate aggregate = Aggregate::Count;
    bool star = false;        // Count(*)
    bool negated = false;     // Not Like, Is Not Null, Not In, Not Between, Not Exists
    std::vector<Expr> args;   // operands in order: Between is (value, low, high), In is (value, items...)
    std::shared_ptr<const SelectQuery> subquery;  // Subquery, InSubquery (args: the value), Exists
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

namespace ov::query {

// ---- queries: SELECT with joins, grouping and unions ---------------------------------------------

struct SelectItem {
    Expr expr;
    std::string alias;      // AS name; empty when none
    bool star = false;      // * or Table.*
    std::string starOf;     // Table of Table.*; empty for *
};

enum class JoinKind { Inner, Left, Right };

// A table or query of the FROM clause, or two of them joined.
struct FromItem {
    std::string table;      // a table or stored query; empty for a join or a derived table
    std::string alias;
    std::shared_ptr<const struct QueryStatement> derived;  // (SELECT ...) AS alias
    JoinKind join = JoinKind::Inner;
    std::shared_ptr<const FromItem> left, right;  // a join
    std::optional<Expr> on;
    std::string onText;

    bool isJoin() const { return left != nullptr; }
};

struct SortItem {
    Expr expr;
    bool descending = false;
    std::string text;
};

struct SelectQuery {
    bool distinct = false;
    bool distinctRow = false;
    std::optional<int64_t> top;
    bool topPercent = false;
    std::vector<SelectItem> items;
    std::vector<std::shared_ptr<const FromItem>> from;  // the comma list
    std::string externalDatabase;                       // FROM ... IN 'file'
    std::optional<Expr> where;
    std::string whereText;
    std::vector<Expr> groupBy;
    std::optional<Expr> having;
    std::string havingText;
    std::vector<SortItem> orderBy;
    std::string text;  // the select as written
};

// A select, or selects joined by UNION [ALL]; PARAMETERS declared before it.
struct QueryStatement {
    std::vector<std::string> parameters;
    std::vector<SelectQuery> parts;
    std::vector<bool> unionAll;       // between part i and i + 1
    std::vector<SortItem> orderBy;    // of a union: the last select's ORDER BY, over the whole
    std::string text;
};

}  // namespace ov::query
