#include "data/query/planner.h"

#include <algorithm>
#include <numeric>

#include "data/query/errors.h"
#include "data/query/evaluator.h"
#include "data/query/parser.h"

namespace ov::query {
namespace {

void collectTerms(const Node& n, std::vector<const Node*>& out) {
    if (n.kind == ExprKind::And) {
        collectTerms(n.args[0], out);
        collectTerms(n.args[1], out);
    } else {
        out.push_back(&n);
    }
}

CompareOp flipped(CompareOp op) {
    switch (op) {
        case CompareOp::Lt: return CompareOp::Gt;
        case CompareOp::Gt: return CompareOp::Lt;
        case CompareOp::Le: return CompareOp::Ge;
        case CompareOp::Ge: return CompareOp::Le;
        default: return op;
    }
}

bool isFieldAndLiteral(const Node& a, const Node& b) {
    return a.kind == ExprKind::Field && b.kind == ExprKind::Literal && (b.param >= 0 || !b.literal.isNull());
}

ProbeShape& rangeProbe(std::vector<ProbeShape>& probes, int field) {
    for (auto& p : probes)
        if (!p.equal && p.field == field) return p;
    ProbeShape p;
    p.field = field;
    probes.push_back(std::move(p));
    return probes.back();
}

// A bound on a probe that has none on that side yet; otherwise the term stays an ordinary one.
void addBound(std::vector<ProbeShape>& probes, int field, CompareOp op, const Node* literal, size_t term) {
    ProbeShape& p = rangeProbe(probes, field);
    bool lower = op == CompareOp::Gt || op == CompareOp::Ge;
    const Node*& slot = lower ? p.low : p.high;
    if (slot) return;
    slot = literal;
    (lower ? p.lowInclusive : p.highInclusive) = op == CompareOp::Ge || op == CompareOp::Le;
    p.terms.push_back(term);
}

void findProbes(Shape& s) {
    for (size_t i = 0; i < s.terms.size(); ++i) {
        const Node& t = *s.terms[i];
        if (t.kind == ExprKind::Compare && t.compare != CompareOp::Ne) {
            const Node* field = nullptr;
            const Node* lit = nullptr;
            CompareOp op = t.compare;
            if (isFieldAndLiteral(t.args[0], t.args[1])) {
                field = &t.args[0];
                lit = &t.args[1];
            } else if (isFieldAndLiteral(t.args[1], t.args[0])) {
                field = &t.args[1];
                lit = &t.args[0];
                op = flipped(op);
            }
            if (!field) continue;
            if (op == CompareOp::Eq) {
                ProbeShape p;
                p.field = field->field;
                p.equal = lit;
                p.terms.push_back(i);
                s.probes.push_back(std::move(p));
            } else {
                addBound(s.probes, field->field, op, lit, i);
            }
        } else if (t.kind == ExprKind::Between && !t.negated && isFieldAndLiteral(t.args[0], t.args[1]) &&
                   isFieldAndLiteral(t.args[0], t.args[2])) {
            ProbeShape p;
            p.field = t.args[0].field;
            p.low = &t.args[1];
            p.high = &t.args[2];
            p.terms.push_back(i);
            s.probes.push_back(std::move(p));
        }
    }
    // A probe tests its field directly when its terms stand together: the terms then keep the
    // order in which the engine tests them.
    s.direct.assign(s.terms.size(), Shape::kEngine);
    for (size_t k = 0; k < s.probes.size(); ++k) {
        const std::vector<size_t>& ts = s.probes[k].terms;
        bool together = !ts.empty();
        for (size_t i = 1; i < ts.size(); ++i) together = together && ts[i] == ts[0] + i;
        if (!together) continue;
        s.direct[ts[0]] = static_cast<int>(k);
        for (size_t i = 1; i < ts.size(); ++i) s.direct[ts[i]] = Shape::kCovered;
    }
}

const Value& literalValue(const Node& n, const Bindings& b) {
    return n.param >= 0 ? b.values[static_cast<size_t>(n.param)] : n.literal;
}

std::shared_ptr<const Shape> shapeFor(const Table& table, std::string_view text, const std::string& shapeKey) {
    TableIndexes& ix = indexesOf(table);
    {
        std::lock_guard lock(ix.mutex);
        auto it = ix.shapes.find(shapeKey);
        if (it != ix.shapes.end()) return it->second;
    }
    std::shared_ptr<const Expr> parsed = parseCriteriaCached(text, shapeKey);
    auto s = std::make_shared<Shape>();
    s->expr = bind(*parsed, table, text);
    collectTerms(s->expr.root, s->terms);
    findProbes(*s);
    std::lock_guard lock(ix.mutex);
    if (ix.shapes.size() >= 1024) ix.shapes.clear();  // shapes are few; this only guards against odd callers
    ix.shapes.emplace(shapeKey, s);
    return s;
}

// A probe whose field's index can answer it, and the rows it lets through.
struct Answer {
    const Probe* probe = nullptr;
    std::shared_ptr<const FieldIndex> index;
    FieldIndex::Slice slice;
};

std::vector<uint32_t> scanRows(const Table& table, const Condition& c) {
    std::vector<uint32_t> out;
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (c.matches(table.rows[r])) out.push_back(static_cast<uint32_t>(r));
    return out;
}

// Whether a value lies within a probe's bounds, in the order of ORDER BY (which never fails on a
// value of the other kind): exactly the comparison's answer for a value of the bounds' kind, an
// estimate otherwise.
bool withinProbe(const Value& v, const Probe& p) {
    if (v.isNull()) return false;
    if (p.equality) return compareForSort(v, p.equal) == 0;
    if (p.low) {
        int c = compareForSort(v, p.low->value);
        if (p.low->inclusive ? c < 0 : c <= 0) return false;
    }
    if (p.high) {
        int c = compareForSort(v, p.high->value);
        if (p.high->inclusive ? c > 0 : c >= 0) return false;
    }
    return true;
}

// How many rows a probe lets through, judged by rows spread evenly over the table.
size_t sampledCount(const Table& table, const Probe& p) {
    constexpr size_t kSamples = 64;
    const size_t n = table.rows.size();
    const size_t samples = std::min(n, kSamples);
    const size_t f = static_cast<size_t>(p.field);
    size_t hits = 0;
    for (size_t i = 0; i < samples; ++i) {
        const Row& row = table.rows[i * n / samples];
        if (f < row.size() && withinProbe(row[f], p)) ++hits;
    }
    return hits * n / samples;
}

// A range probe that every row of the table passes: the column holds no null and its smallest
// and largest values lie within the bounds (a room range of ' ' to 'ZZZZ').
bool passesEveryRow(const Table& table, const Probe& p) {
    if (p.equality) return false;
    const ColumnStats& stats = columnStatsOf(table, p.field);
    if (stats.nulls > 0 || (stats.kind != ColumnKind::Text && stats.kind != ColumnKind::Number)) return false;
    auto sameKind = [&](const Value& v) { return !v.isNull() && v.isText() == (stats.kind == ColumnKind::Text); };
    if (p.low) {
        if (!sameKind(p.low->value)) return false;
        int c = compareForSort(stats.min, p.low->value);
        if (p.low->inclusive ? c < 0 : c <= 0) return false;
    }
    if (p.high) {
        if (!sameKind(p.high->value)) return false;
        int c = compareForSort(stats.max, p.high->value);
        if (p.high->inclusive ? c > 0 : c >= 0) return false;
    }
    return true;
}

std::vector<uint32_t> filterRows(const Table& table, const Condition& c) {
    const size_t n = table.rows.size();
    if (n < kIndexThreshold || c.probes.empty()) return scanRows(table, c);

    // Probes whose index is built already answer by rank; a probe every row passes needs no test.
    // A field filtered on for the first time gets neither: its rows are tested.
    // Of the others, only the one that looks the most selective on a sample gets its index built,
    // and only when it lets fewer rows through than the built ones, or they leave many.
    std::vector<Answer> answers;
    std::vector<const Probe*> settled;  // answered for every row
    auto answerWith = [&](const Probe& p, std::shared_ptr<const FieldIndex> index) {
        if (p.equality) {
            if (index->canAnswer(p.equal)) answers.push_back(Answer{&p, index, index->equal(p.key)});
        } else if ((!p.low || index->canAnswer(p.low->value)) && (!p.high || index->canAnswer(p.high->value))) {
            answers.push_back(Answer{&p, index, index->range(table, p.low, p.high)});
        }
    };
    const Probe* unbuilt = nullptr;
    size_t unbuiltCount = n;
    for (const Probe& p : c.probes) {
        const bool before = probedBefore(table, p.field);
        if (before && passesEveryRow(table, p)) {
            settled.push_back(&p);
        } else if (auto index = builtFieldIndex(table, p.field)) {
            answerWith(p, std::move(index));
        } else if (!before) {
            continue;  // a first filter on the field tests its rows: no statistics, no index
        } else if (size_t count = sampledCount(table, p); count < unbuiltCount) {
            unbuilt = &p;
            unbuiltCount = count;
        }
    }
    size_t fewest = n;
    for (const Answer& a : answers) fewest = std::min(fewest, a.slice.size());
    // A second index pays too when the best one still leaves many rows (those arrived by a day
    // among those leaving after it) and the probe lets fewer than all through.
    if (unbuilt && (unbuiltCount < fewest || (fewest > n / 16 && unbuiltCount < n)))
        answerWith(*unbuilt, fieldIndexOf(table, unbuilt->field));

    // The terms left, in their order; a probe no index answered is tested on its field's value
    // directly when the value is of its bounds' kind (what the comparison would do), by the
    // engine otherwise.
    struct Check {
        const Probe* probe = nullptr;
        const Node* term = nullptr;
    };
    std::vector<Check> rest;
    const auto& terms = c.shape->terms;
    auto answers_ = [&](const Probe& p, size_t t) { return std::find(p.terms->begin(), p.terms->end(), t) != p.terms->end(); };
    for (size_t t = 0; t < terms.size(); ++t) {
        bool answered = false;
        for (const Answer& a : answers) answered = answered || answers_(*a.probe, t);
        for (const Probe* p : settled) answered = answered || answers_(*p, t);
        if (answered) continue;
        const int d = c.shape->direct[t];
        if (d >= 0) rest.push_back(Check{&c.probes[static_cast<size_t>(d)], nullptr});
        else if (d == Shape::kEngine) rest.push_back(Check{nullptr, terms[t]});
    }
    auto passes = [&](const Check& k, const Row& row) {
        return (k.probe ? c.probeTruth(*k.probe, row) : truth(*k.term, row, c.bindings)) == Tri::True;
    };
    size_t best = 0;
    for (size_t i = 1; i < answers.size(); ++i)
        if (answers[i].slice.size() < answers[best].slice.size()) best = i;
    auto accept = [&](uint32_t r) {
        for (size_t i = 0; i < answers.size(); ++i)
            if (i != best && !answers[i].slice.holds(answers[i].index->rankOf(r))) return false;
        for (const Check& k : rest)
            if (!passes(k, table.rows[r])) return false;
        return true;
    };

    std::vector<uint32_t> out;
    if (answers.empty()) {
        for (uint32_t r = 0; r < n; ++r)
            if (accept(r)) out.push_back(r);
        return out;
    }
    const Answer& a = answers[best];
    const auto& order = a.index->order();
    if (a.probe->equality) {
        // Equal values stand in table order.
        for (size_t k = a.slice.first; k < a.slice.last; ++k)
            if (accept(order[k])) out.push_back(order[k]);
        return out;
    }
    if (answers.size() > 1) {
        // The other ranges are tested on their ranks laid out along this one's order; the few rows
        // left are put back in table order before the terms no index answers.
        std::vector<std::pair<std::shared_ptr<const std::vector<uint32_t>>, FieldIndex::Slice>> others;
        for (size_t i = 0; i < answers.size(); ++i)
            if (i != best) others.emplace_back(ranksAlong(table, *a.index, *answers[i].index), answers[i].slice);
        std::vector<uint32_t> candidates;
        for (size_t k = a.slice.first; k < a.slice.last; ++k) {
            bool held = true;
            for (const auto& [ranks, slice] : others) held = held && slice.holds((*ranks)[k]);
            if (held) candidates.push_back(order[k]);
        }
        std::sort(candidates.begin(), candidates.end());
        for (uint32_t r : candidates) {
            bool kept = true;
            for (const Check& k : rest) kept = kept && passes(k, table.rows[r]);
            if (kept) out.push_back(r);
        }
        return out;
    }
    // A range is in value order; a bit per row gives the candidates back in table order.
    std::vector<uint64_t> bits((n + 63) / 64, 0);
    for (size_t k = a.slice.first; k < a.slice.last; ++k) bits[order[k] >> 6] |= uint64_t{1} << (order[k] & 63);
    for (size_t w = 0; w < bits.size(); ++w) {
        for (uint64_t word = bits[w]; word; word &= word - 1) {
            uint32_t r = static_cast<uint32_t>(w * 64 + static_cast<size_t>(__builtin_ctzll(word)));
            if (accept(r)) out.push_back(r);
        }
    }
    return out;
}

void orderRows(const Table& table, const std::vector<std::pair<size_t, bool>>& order, std::vector<uint32_t>& rows) {
    // Ranks make each comparison two integers; a field holding both texts and numbers is compared
    // value by value.
    struct SortKey {
        size_t field;
        bool descending;
        std::shared_ptr<const FieldIndex> index;
    };
    std::vector<SortKey> keys;
    for (auto [f, desc] : order) {
        auto index = fieldIndexOf(table, static_cast<int>(f));
        keys.push_back({f, desc, index->kind() == ColumnKind::Mixed ? nullptr : index});
    }
    auto valueAt = [&](uint32_t r, size_t f) -> const Value& {
        static const Value null;
        return f < table.rows[r].size() ? table.rows[r][f] : null;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        for (const SortKey& k : keys) {
            int c;
            if (k.index) {
                uint32_t ra = k.index->rankOf(a), rb = k.index->rankOf(b);
                c = ra < rb ? -1 : ra > rb ? 1 : 0;
            } else {
                c = compareForSort(valueAt(a, k.field), valueAt(b, k.field));
            }
            if (c != 0) return k.descending ? c > 0 : c < 0;
        }
        return false;
    });
}

}  // namespace

Tri Condition::probeTruth(const Probe& p, const Row& row) const {
    const size_t f = static_cast<size_t>(p.field);
    static const Value kNull;
    const Value& v = f < row.size() ? row[f] : kNull;
    if (v.isNull()) return Tri::Null;  // null compares to nothing
    auto sameKind = [&](const Value& b) { return !b.isNull() && b.isText() == v.isText(); };
    if (p.equality ? sameKind(p.equal) : (!p.low || sameKind(p.low->value)) && (!p.high || sameKind(p.high->value)))
        return withinProbe(v, p) ? Tri::True : Tri::False;
    Tri all = Tri::True;
    for (size_t t : *p.terms) {
        Tri r = truth(*shape->terms[t], row, bindings);
        if (r == Tri::False) return r;
        if (r == Tri::Null) all = Tri::Null;
    }
    return all;
}

// The terms in order, as the engine's AND takes them: the first false one ends the test, a null
// one does not.
bool Condition::matches(const Row& row) const {
    const auto& terms = shape->terms;
    bool unknown = false;
    for (size_t t = 0; t < terms.size(); ++t) {
        const int d = shape->direct[t];
        if (d == Shape::kCovered) continue;
        Tri r = d >= 0 ? probeTruth(probes[static_cast<size_t>(d)], row) : truth(*terms[t], row, bindings);
        if (r == Tri::False) return false;
        if (r == Tri::Null) unknown = true;
    }
    return !unknown;
}

bool Condition::matchesExcept(const Row& row, const Probe& answered) const {
    const auto& terms = shape->terms;
    for (size_t i = 0; i < terms.size(); ++i) {
        if (std::find(answered.terms->begin(), answered.terms->end(), i) != answered.terms->end()) continue;
        if (truth(*terms[i], row, bindings) != Tri::True) return false;
    }
    return true;
}

namespace {

constexpr size_t kMemoForms = 8;
constexpr size_t kTableForms = 64;

// The shape of a text of a form met before, by this caller or by any caller on the table; its
// literals in `values`.
std::shared_ptr<const Shape> knownForm(const Table& table, std::string_view text, ShapeMemo& memo,
                                       std::vector<Value>& values) {
    for (auto it = memo.templates.rbegin(); it != memo.templates.rend(); ++it)
        if (matchLiteralTemplate(it->first, text, values)) return it->second;
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    for (auto& [form, shape] : ix.templates) {
        if (!matchLiteralTemplate(form, text, values)) continue;
        if (memo.templates.size() >= kMemoForms) memo.templates.erase(memo.templates.begin());
        memo.templates.emplace_back(form, shape);
        return shape;
    }
    return nullptr;
}

void rememberForm(const Table& table, std::string_view text, const std::shared_ptr<const Shape>& shape, ShapeMemo& memo) {
    LiteralTemplate form;
    if (!makeLiteralTemplate(text, form)) return;
    if (memo.templates.size() >= kMemoForms) memo.templates.erase(memo.templates.begin());
    memo.templates.emplace_back(form, shape);
    TableIndexes& ix = indexesOf(table);
    std::lock_guard lock(ix.mutex);
    if (ix.templates.size() >= kTableForms) ix.templates.erase(ix.templates.begin());
    ix.templates.emplace_back(std::move(form), shape);
}

}  // namespace

void prepareCondition(Condition& c, const Table& table, std::string_view text, ShapeMemo& memo) {
    c.text.clear();
    std::shared_ptr<const Shape> shape = knownForm(table, text, memo, memo.split.values);
    if (!shape) {
        try {
            splitLiterals(text, memo.split);
        } catch (const LexError&) {
            parseCriteria(text);  // raises the error the text deserves
            throw syntaxError(text);
        }
        for (auto it = memo.shapes.rbegin(); it != memo.shapes.rend() && !shape; ++it)
            if (it->first == memo.split.shape) shape = it->second;
        if (!shape) {
            shape = shapeFor(table, text, memo.split.shape);
            if (memo.shapes.size() >= 8) memo.shapes.erase(memo.shapes.begin());
            memo.shapes.emplace_back(memo.split.shape, shape);
        }
        rememberForm(table, text, shape, memo);
    }
    c.shape = shape;
    c.bindings.values.swap(memo.split.values);
    bindValues(shape->expr, c.bindings, text);
    prepareProbes(c);
    c.text.assign(text);
}

void prepareProbes(Condition& c) {
    const Shape* shape = c.shape.get();
    c.probes.resize(shape->probes.size());
    for (size_t i = 0; i < shape->probes.size(); ++i) {
        const ProbeShape& ps = shape->probes[i];
        Probe& p = c.probes[i];
        p.field = ps.field;
        p.terms = &ps.terms;
        p.equality = ps.equal != nullptr;
        if (p.equality) {
            p.equal = literalValue(*ps.equal, c.bindings);
            makeIndexKey(p.equal, p.key);
        }
        p.low.reset();
        p.high.reset();
        if (ps.low) p.low = RangeBound{literalValue(*ps.low, c.bindings), ps.lowInclusive};
        if (ps.high) p.high = RangeBound{literalValue(*ps.high, c.bindings), ps.highInclusive};
    }
}

std::shared_ptr<const Condition> conditionFor(const Table& table, std::string_view text) {
    auto c = std::make_shared<Condition>();
    ShapeMemo memo;
    prepareCondition(*c, table, text, memo);
    return c;
}

std::vector<uint32_t> matchingRows(const Table& table, BoundExpr expr, Bindings bindings, std::string_view text) {
    auto shape = std::make_shared<Shape>();
    shape->expr = std::move(expr);
    collectTerms(shape->expr.root, shape->terms);
    findProbes(*shape);
    Condition c;
    c.text.assign(text);
    c.shape = shape;
    c.bindings = std::move(bindings);
    prepareProbes(c);
    return withExpressionContext(text, [&] { return filterRows(table, c); });
}

std::vector<uint32_t> selectRows(const Table& table, const Statement& st) {
    std::vector<std::pair<size_t, bool>> order;  // field position, descending
    for (const OrderKey& k : st.orderBy) {
        int f = table.fieldIndex(k.field);
        if (f < 0) throw unknownFieldError(k.field, table.name);
        order.emplace_back(static_cast<size_t>(f), k.descending);
    }
    std::shared_ptr<const Condition> cond;
    if (st.where) cond = conditionFor(table, st.whereText);

    std::vector<uint32_t> rows;
    if (cond) {
        rows = withExpressionContext(st.whereText, [&] { return filterRows(table, *cond); });
    } else {
        rows.resize(table.rows.size());
        std::iota(rows.begin(), rows.end(), 0u);
    }
    if (!order.empty()) orderRows(table, order, rows);
    return rows;
}

}  // namespace ov::query
