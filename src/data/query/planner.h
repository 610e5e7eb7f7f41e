#pragma once
// Criteria bound to a table and the choice of how to answer them: a condition's top-level And
// terms of the form `Field = literal` or `Field <, <=, >, >= literal` (and `Between`) can be
// answered by a field's index; the most selective one gives the candidate rows, the other index
// terms are tested by rank, and only the remaining terms are evaluated. Everything is parsed and
// bound before any row is evaluated.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/query/bound.h"
#include "data/query/evaluator.h"
#include "data/query/indexes.h"
#include "data/query/lexer.h"
#include "data/query/syntax.h"

namespace ov::query {

// A part of a criteria's shape an index can answer; its literals are nodes of the shape.
struct ProbeShape {
    int field = -1;
    const Node* equal = nullptr;  // Field = literal
    const Node* low = nullptr;    // or a range
    const Node* high = nullptr;
    bool lowInclusive = true, highInclusive = true;
    std::vector<size_t> terms;    // the terms it answers in full
};

// A criteria shape bound to one table (see splitLiterals and bind).
struct Shape {
    BoundExpr expr;
    std::vector<const Node*> terms;  // the top-level And terms of expr.root
    std::vector<ProbeShape> probes;
    // By term: the probe that tests it (and the terms after it that the probe answers) on the
    // field's value directly; kCovered for those later terms; kEngine for a term the engine tests.
    static constexpr int kEngine = -1, kCovered = -2;
    std::vector<int> direct;

    Shape() = default;
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;
};

// A probe with the values of one text.
struct Probe {
    int field = -1;
    bool equality = false;
    IndexKey key;  // equality, as a hash key...
    Value equal;   // ...and as a value
    std::optional<RangeBound> low, high;
    const std::vector<size_t>* terms = nullptr;
};

// One criteria text bound to a table, ready to test rows.
struct Condition {
    std::string text;
    std::shared_ptr<const Shape> shape;
    Bindings bindings;
    std::vector<Probe> probes;

    bool matches(const Row& row) const;
    // Every term but the ones the probe answers is true.
    bool matchesExcept(const Row& row, const Probe& answered) const;
    // The probe's terms for the row: on the field's value directly when it is of the bounds'
    // kind (as the comparison would answer), through the engine otherwise.
    Tri probeTruth(const Probe& p, const Row& row) const;
};

// The shapes one caller has met, so that a text of a known form costs a comparison of its fixed
// pieces, and a text of a known shape a split and no lookup.
struct ShapeMemo {
    LiteralSplit split;
    std::vector<std::pair<std::string, std::shared_ptr<const Shape>>> shapes;
    std::vector<std::pair<LiteralTemplate, std::shared_ptr<const Shape>>> templates;
};

// Readies `c` for the text, reusing its storage. Errors: 3075 / 3085 for a text that does not
// parse, 3265 for an unknown field, 3464 for a literal text compared with a number that is no
// number. After an error `c.text` is empty.
void prepareCondition(Condition& c, const Table& table, std::string_view text, ShapeMemo& memo);
std::shared_ptr<const Condition> conditionFor(const Table& table, std::string_view text);
// The probes of a condition whose shape and bindings are set.
void prepareProbes(Condition& c);

// The rows of `table` (in table order) for which a condition a query has bound holds, found by the
// table's indexes where they help.
std::vector<uint32_t> matchingRows(const Table& table, BoundExpr expr, Bindings bindings, std::string_view text);

// The positions of the rows a statement selects, in its order (table order without ORDER BY).
// The statement's table name is not looked at: the caller has loaded the table.
std::vector<uint32_t> selectRows(const Table& table, const Statement& statement);

// Runs `body` and adds the criteria text to any engine error it raises while rows are evaluated.
template <typename Body>
auto withExpressionContext(std::string_view text, Body body) -> decltype(body());

}  // namespace ov::query

#include "data/query/errors.h"

template <typename Body>
auto ov::query::withExpressionContext(std::string_view text, Body body) -> decltype(body()) {
    try {
        return body();
    } catch (const Error& e) {
        throw inExpression(e, text);
    }
}
