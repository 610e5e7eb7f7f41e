#include "data/query/row_source.h"

#include <unordered_map>

#include "data/query/evaluator.h"
#include "data/query/indexes.h"
#include "data/query/planner.h"

namespace ov::query {
namespace {

// A value as a hash key of a join; false for null, which matches nothing.
bool joinKey(const Value& v, std::string& key) {
    if (v.isNull()) return false;
    key.clear();
    appendKey(v, key);
    return true;
}

bool isTextColumn(const Scope& s, int column) {
    return isTextType(s.columns[static_cast<size_t>(column)].field.type);
}

// An equality between a field of each side, usable to find matching rows by value.
struct EquiJoin {
    int left = -1;   // column of the left source
    int right = -1;  // column of the right source
};

EquiJoin findEquality(const Node& root, const Scope& joined, size_t leftWidth) {
    std::vector<const Node*> terms{&root};
    for (size_t i = 0; i < terms.size(); ++i) {
        const Node& t = *terms[i];
        if (t.kind == ExprKind::And) {
            terms.push_back(&t.args[0]);
            terms.push_back(&t.args[1]);
            continue;
        }
        if (t.kind != ExprKind::Compare || t.compare != CompareOp::Eq) continue;
        if (t.args[0].kind != ExprKind::Field || t.args[1].kind != ExprKind::Field) continue;
        int a = t.args[0].field, b = t.args[1].field;
        if (static_cast<size_t>(a) >= leftWidth) std::swap(a, b);
        if (static_cast<size_t>(a) >= leftWidth || static_cast<size_t>(b) < leftWidth) continue;
        // Text against number converts row by row: only like with like is found by hashing.
        if (isTextColumn(joined, a) != isTextColumn(joined, b)) continue;
        return EquiJoin{a, static_cast<int>(static_cast<size_t>(b) - leftWidth)};
    }
    return {};
}

Row sideBySide(const Row* left, size_t leftWidth, const Row* right, size_t rightWidth) {
    Row r;
    r.reserve(leftWidth + rightWidth);
    if (left) r.insert(r.end(), left->begin(), left->end());
    else r.resize(leftWidth);
    if (right) r.insert(r.end(), right->begin(), right->end());
    else r.resize(leftWidth + rightWidth);
    return r;
}

}  // namespace

RowSource RowSource::ofTable(const Table& table, const std::string& source, const std::vector<uint32_t>* rows) {
    RowSource s;
    s.scope = Scope::ofTable(table, source);
    s.tableCount = 1;
    s.tableOfColumn.assign(table.fields.size(), 0);
    auto add = [&](uint32_t r) {
        s.rows.push_back(table.rows[r]);
        s.rows.back().resize(table.fields.size());
        s.origins.push_back(static_cast<int32_t>(r));
    };
    if (rows) {
        s.rows.reserve(rows->size());
        for (uint32_t r : *rows) add(r);
    } else {
        s.whole = &table;
        s.rows.reserve(table.rows.size());
        for (uint32_t r = 0; r < table.rows.size(); ++r) add(r);
    }
    return s;
}

Scope joinedScope(const RowSource& left, const RowSource& right) {
    Scope s;
    s.name = left.scope.name;
    s.columns = left.scope.columns;
    s.columns.insert(s.columns.end(), right.scope.columns.begin(), right.scope.columns.end());
    return s;
}

RowSource joinRows(RowSource left, RowSource right, JoinKind kind, const BoundValues& on) {
    const Table* rightTable = right.whole;
    RowSource out;
    out.scope = joinedScope(left, right);
    out.tableCount = left.tableCount + right.tableCount;
    out.tableOfColumn = left.tableOfColumn;
    for (size_t t : right.tableOfColumn) out.tableOfColumn.push_back(t + left.tableCount);
    const size_t lw = left.scope.columns.size(), rw = right.scope.columns.size();

    const bool rightLeads = kind == JoinKind::Right;
    const RowSource& lead = rightLeads ? right : left;
    const RowSource& other = rightLeads ? left : right;
    EquiJoin eq = findEquality(on.expr.root, out.scope, lw);
    const int leadColumn = rightLeads ? eq.right : eq.left;
    const int otherColumn = rightLeads ? eq.left : eq.right;

    // The rows of the other side that may match a value: by the table's index, by a hash of the
    // other side, or all of them.
    std::shared_ptr<const FieldIndex> index;
    if (eq.left >= 0 && !rightLeads && rightTable) {
        index = fieldIndexOf(*rightTable, otherColumn);
        if (index->kind() == ColumnKind::Mixed) index.reset();
    }
    std::unordered_map<std::string, std::vector<uint32_t>> hashed;
    IndexKey scratch;
    std::string key;
    if (eq.left >= 0 && !index) {
        for (uint32_t j = 0; j < other.rows.size(); ++j)
            if (joinKey(other.rows[j][static_cast<size_t>(otherColumn)], key)) hashed[key].push_back(j);
    }
    std::vector<uint32_t> everyRow;
    if (eq.left < 0) {
        everyRow.resize(other.rows.size());
        for (uint32_t j = 0; j < everyRow.size(); ++j) everyRow[j] = j;
    }

    auto emit = [&](Row row, uint32_t leadRow, const uint32_t* otherRow) {
        const uint32_t* l = rightLeads ? otherRow : &leadRow;
        const uint32_t* r = rightLeads ? &leadRow : otherRow;
        out.rows.push_back(std::move(row));
        for (size_t t = 0; t < left.tableCount; ++t)
            out.origins.push_back(l ? left.origins[*l * left.tableCount + t] : -1);
        for (size_t t = 0; t < right.tableCount; ++t)
            out.origins.push_back(r ? right.origins[*r * right.tableCount + t] : -1);
    };
    withExpressionContext(on.text, [&] {
        static const std::vector<uint32_t> none;
        for (uint32_t i = 0; i < lead.rows.size(); ++i) {
            const uint32_t* first = nullptr;
            const uint32_t* last = nullptr;
            if (eq.left < 0) {
                first = everyRow.data();
                last = first + everyRow.size();
            } else if (index) {
                const Value& v = lead.rows[i][static_cast<size_t>(leadColumn)];
                if (makeIndexKey(v, scratch) && index->canAnswer(v)) {
                    FieldIndex::Slice slice = index->equal(scratch);
                    first = index->order().data() + slice.first;
                    last = index->order().data() + slice.last;
                }
            } else if (joinKey(lead.rows[i][static_cast<size_t>(leadColumn)], key)) {
                auto it = hashed.find(key);
                const std::vector<uint32_t>& hits = it == hashed.end() ? none : it->second;
                first = hits.data();
                last = first + hits.size();
            }
            bool matched = false;
            for (const uint32_t* j = first; j != last; ++j) {
                const uint32_t* l = rightLeads ? j : &i;
                const uint32_t* r = rightLeads ? &i : j;
                Row candidate = sideBySide(&left.rows[*l], lw, &right.rows[*r], rw);
                if (truth(on.expr.root, candidate, on.bindings) != Tri::True) continue;
                matched = true;
                emit(std::move(candidate), i, j);
            }
            if (!matched && kind != JoinKind::Inner) {
                const Row* leadRow = &lead.rows[i];
                emit(rightLeads ? sideBySide(nullptr, lw, leadRow, rw) : sideBySide(leadRow, lw, nullptr, rw), i, nullptr);
            }
        }
        return 0;
    });
    return out;
}

void keepRows(RowSource& source, const BoundValues& condition) {
    withExpressionContext(condition.text, [&] {
        size_t kept = 0;
        const size_t width = source.tableCount;
        for (size_t i = 0; i < source.rows.size(); ++i) {
            if (truth(condition.expr.root, source.rows[i], condition.bindings) != Tri::True) continue;
            if (kept != i) {
                source.rows[kept] = std::move(source.rows[i]);
                for (size_t t = 0; t < width; ++t) source.origins[kept * width + t] = source.origins[i * width + t];
            }
            ++kept;
        }
        source.rows.resize(kept);
        source.origins.resize(kept * width);
        return 0;
    });
}

}  // namespace ov::query
