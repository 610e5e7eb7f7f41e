#pragma once
// An expression bound to one table, or to the tables of a query side by side: field names
// resolved to positions and every check that needs no row done. Its number and text literals stay
// open (parameters, numbered in text order): any text of the same shape binds its own values
// (Bindings), so a criteria rebuilt with another code for every guest is parsed and bound once per
// table.
#include <memory>
#include <string_view>
#include <vector>

#include "data/query/like.h"
#include "data/query/syntax.h"
#include "data/table.h"

namespace ov::query {

// What a node yields, as far as it is known without looking at rows.
enum class StaticKind : uint8_t { Unknown, Text, Number };

struct Node {
    ExprKind kind = ExprKind::Literal;
    int field = -1;            // Field
    int param = -1;            // Literal taken from the bindings; -1 for the constants Null, True, False
    Value literal;             // Literal constant
    BinaryOp binary = BinaryOp::Add;
    CompareOp compare = CompareOp::Eq;
    Function function = Function::Val;
    Aggregate aggregate = Aggregate::Count;  // Aggregate: computed over a group, never by evaluate()
    bool star = false;                       // Count(*)
    bool negated = false;
    StaticKind type = StaticKind::Unknown;
    std::vector<Node> args;
};

// The columns an expression may name: one table's fields, or the fields of the tables of a
// query's FROM clause side by side, each with the name of its table (or the table's alias).
struct ScopeColumn {
    std::string source;
    Field field;
};

struct Scope {
    std::vector<ScopeColumn> columns;
    std::string name;  // the table the messages name

    // The fields of one table, under the name the query gives it (the table's own by default).
    static Scope ofTable(const Table& table, const std::string& source = {});
    // Position of the column a (qualified) name means; -1 when there is none. Error 3079 for a bare
    // name that several tables have.
    int find(std::string_view qualifier, std::string_view field) const;
};

// What a query adds to binding: its subqueries run once (a subquery that refers to the outer
// query is not supported), aggregates allowed where the query allows them, names that are no
// field taken as parameters.
class QueryBinding {
public:
    virtual ~QueryBinding() = default;
    // Where aggregates stand ("WHERE", "JOIN"...) when they are not allowed; null when they are.
    virtual const char* aggregatesRefusedIn() const = 0;
    // The values of the subquery's first column, in its order.
    virtual std::vector<Value> subqueryValues(const SelectQuery& subquery, const Scope& outer) = 0;
    // A name that is no field of the scope: raises the error the query gives for it.
    [[noreturn]] virtual void unknownName(const Expr& field, const Scope& scope) = 0;
};

// What a parameter's value goes through before use.
struct ParamRule {
    bool toNumber = false;  // a text compared with a number: read as a number now (Error 3464 otherwise)
    bool negate = false;    // "-5": the number negated
    bool pattern = false;   // a Like pattern: compiled once
};

struct BoundExpr {
    Node root;
    std::vector<ParamRule> rules;  // by parameter
};

// The values of one text for a bound expression's parameters.
struct Bindings {
    std::vector<Value> values;
    std::vector<std::shared_ptr<const LikePattern>> patterns;  // by parameter, for Like patterns
};

// Error 3265 for a field the table lacks. `text` is the expression as written, for messages.
BoundExpr bind(const Expr& expr, const Table& table, std::string_view text);
// The same over a query's scope.
BoundExpr bind(const Expr& expr, const Scope& scope, QueryBinding& query);
// Readies the values of a text of the expression's shape (already in b.values): Error 3464 for a
// text compared with a number that does not read as one, 3075 for a Like pattern with an unclosed "[".
void bindValues(const BoundExpr& expr, Bindings& b, std::string_view text);

}  // namespace ov::query
