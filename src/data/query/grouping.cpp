#include "data/query/grouping.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "data/query/errors.h"
#include "data/query/evaluator.h"
#include "data/query/indexes.h"

namespace ov::query {
namespace {

const Value& literalOf(const Node& n, const Bindings& b) {
    return n.param >= 0 && static_cast<size_t>(n.param) < b.values.size() ? b.values[static_cast<size_t>(n.param)]
                                                                           : n.literal;
}

// The same expression, whatever its literals were numbered.
bool sameExpression(const Node& a, const Bindings& ab, const Node& b, const Bindings& bb) {
    if (a.kind != b.kind || a.args.size() != b.args.size()) return false;
    switch (a.kind) {
        case ExprKind::Literal: return literalOf(a, ab) == literalOf(b, bb);
        case ExprKind::Field: return a.field == b.field;
        case ExprKind::Binary: if (a.binary != b.binary) return false; break;
        case ExprKind::Compare: if (a.compare != b.compare) return false; break;
        case ExprKind::Call: if (a.function != b.function) return false; break;
        case ExprKind::Aggregate: if (a.aggregate != b.aggregate || a.star != b.star) return false; break;
        default: break;
    }
    if (a.negated != b.negated) return false;
    for (size_t i = 0; i < a.args.size(); ++i)
        if (!sameExpression(a.args[i], ab, b.args[i], bb)) return false;
    return true;
}

Node columnOfGroupRow(size_t column, StaticKind type) {
    Node n;
    n.kind = ExprKind::Field;
    n.field = static_cast<int>(column);
    n.type = type;
    return n;
}

// Running value of one aggregate over a group.
struct Accumulator {
    Value value;
    int64_t count = 0;
    bool seen = false;
};

Value asNumberForSum(const Value& v) {
    if (!v.isText()) return v;
    auto d = readNumber(v.asText());
    if (!d) throw typeMismatchError();
    return numberValue(*d);
}

void accumulate(Accumulator& acc, const Node& aggregate, const Value& v) {
    switch (aggregate.aggregate) {
        case Aggregate::Count:
            if (aggregate.star || !v.isNull()) ++acc.count;
            return;
        case Aggregate::First:
            if (!acc.seen) acc.value = v;
            acc.seen = true;
            return;
        case Aggregate::Last: acc.value = v; return;
        default: break;
    }
    if (v.isNull()) return;
    switch (aggregate.aggregate) {
        case Aggregate::Sum:
        case Aggregate::Avg: {
            Value n = asNumberForSum(v);
            acc.value = acc.seen ? combine(BinaryOp::Add, acc.value, n) : n;
            break;
        }
        case Aggregate::Min:
            if (!acc.seen || compareForSort(v, acc.value) < 0) acc.value = v;
            break;
        case Aggregate::Max:
            if (!acc.seen || compareForSort(v, acc.value) > 0) acc.value = v;
            break;
        default: break;
    }
    acc.seen = true;
    ++acc.count;
}

Value result(const Accumulator& acc, const Node& aggregate) {
    switch (aggregate.aggregate) {
        case Aggregate::Count: return Value::integer(acc.count);
        case Aggregate::Avg:
            if (acc.count == 0) return Value::null();
            return Value::real(acc.value.toDouble() / static_cast<double>(acc.count));
        default: return acc.value;
    }
}

}  // namespace

Grouping::Grouping(std::vector<BoundValues> keys) : keys_(std::move(keys)) {}

Node Grouping::rewrite(const Node& n, const Bindings& b, const Scope& scope) {
    for (size_t k = 0; k < keys_.size(); ++k)
        if (sameExpression(n, b, keys_[k].expr.root, keys_[k].bindings)) return columnOfGroupRow(k, n.type);
    if (n.kind == ExprKind::Aggregate) {
        aggregates_.push_back(Slot{n, b});
        return columnOfGroupRow(keys_.size() + aggregates_.size() - 1, n.type);
    }
    if (n.kind == ExprKind::Field) {
        const ScopeColumn& c = scope.columns.at(static_cast<size_t>(n.field));
        throw notInAggregateError(c.source + "." + c.field.name);
    }
    Node out = n;
    for (Node& a : out.args) a = rewrite(a, b, scope);
    return out;
}

void Grouping::adopt(BoundValues& expression, const Scope& scope) {
    expression.expr.root = rewrite(expression.expr.root, expression.bindings, scope);
}

std::vector<Row> Grouping::groupRows(const std::vector<Row>& rows) const {
    const size_t keyCount = keys_.size();
    std::vector<Row> groups;  // keys, then accumulators kept aside
    std::vector<std::vector<Accumulator>> accumulators;
    std::unordered_map<std::string, size_t> groupOf;
    std::string key;
    Row keyValues(keyCount);
    auto newGroup = [&](Row values) {
        groups.push_back(std::move(values));
        accumulators.emplace_back(aggregates_.size());
        return groups.size() - 1;
    };
    if (keyCount == 0) newGroup({});
    for (const Row& row : rows) {
        size_t g = 0;
        if (keyCount > 0) {
            key.clear();
            for (size_t k = 0; k < keyCount; ++k) {
                Value s;
                const Value& v = evaluate(keys_[k].expr.root, row, keys_[k].bindings, s);
                keyValues[k] = &v == &s ? std::move(s) : v;
                appendKey(keyValues[k], key);
            }
            auto [it, fresh] = groupOf.try_emplace(key, groups.size());
            if (fresh) newGroup(keyValues);
            g = it->second;
        }
        for (size_t a = 0; a < aggregates_.size(); ++a) {
            const Slot& slot = aggregates_[a];
            Value s;
            static const Value null;
            const Value& v = slot.aggregate.star ? null : evaluate(slot.aggregate.args[0], row, slot.bindings, s);
            accumulate(accumulators[g][a], slot.aggregate, v);
        }
    }
    std::vector<size_t> order(groups.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        for (size_t k = 0; k < keyCount; ++k) {
            int c = compareForSort(groups[x][k], groups[y][k]);
            if (c != 0) return c < 0;
        }
        return false;
    });
    std::vector<Row> out;
    out.reserve(groups.size());
    for (size_t g : order) {
        Row r = std::move(groups[g]);
        for (size_t a = 0; a < aggregates_.size(); ++a) r.push_back(result(accumulators[g][a], aggregates_[a].aggregate));
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace ov::query
