#pragma once
// An expression bound to one table: field names resolved to positions and every check that needs
// no row done. Its number and text literals stay open (parameters, numbered in text order): any
// text of the same shape binds its own values (Bindings), so a criteria rebuilt with another code
// for every guest is parsed and bound once per table.
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
    bool negated = false;
    StaticKind type = StaticKind::Unknown;
    std::vector<Node> args;
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
// Readies the values of a text of the expression's shape (already in b.values): Error 3464 for a
// text compared with a number that does not read as one, 3075 for a Like pattern with an unclosed "[".
void bindValues(const BoundExpr& expr, Bindings& b, std::string_view text);

}  // namespace ov::query
