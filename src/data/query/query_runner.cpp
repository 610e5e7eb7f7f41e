#include "data/query/query_runner.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <set>
#include <unordered_set>

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/evaluator.h"
#include "data/query/grouping.h"
#include "data/query/indexes.h"
#include "data/query/planner.h"
#include "data/query/row_source.h"

namespace ov::query {
namespace {

// ---- expressions ---------------------------------------------------------------------------

void collectLiterals(const Expr& e, std::vector<Value>& values) {
    if (e.kind == ExprKind::Literal && e.param >= 0) {
        if (values.size() <= static_cast<size_t>(e.param)) values.resize(static_cast<size_t>(e.param) + 1);
        values[static_cast<size_t>(e.param)] = e.literal;
    }
    for (const Expr& a : e.args) collectLiterals(a, values);
}

// A bound expression with the values of the literals it was parsed with.
BoundValues withLiterals(BoundExpr bound, const Expr& e, const std::string& text) {
    BoundValues b;
    b.text = text;
    b.expr = std::move(bound);
    collectLiterals(e, b.bindings.values);
    if (b.bindings.values.size() < b.expr.rules.size()) b.bindings.values.resize(b.expr.rules.size());
    bindValues(b.expr, b.bindings, b.text);
    return b;
}

bool hasAggregate(const Expr& e) {
    if (e.kind == ExprKind::Aggregate) return true;
    for (const Expr& a : e.args)
        if (hasAggregate(a)) return true;
    return false;
}

// Calls `visit` for every field name of the expression, outside its subqueries.
template <typename Visit>
void forEachField(const Expr& e, Visit visit) {
    if (e.kind == ExprKind::Field) visit(e);
    for (const Expr& a : e.args) forEachField(a, visit);
}

std::string writtenName(const Expr& field) {
    return field.qualifier.empty() ? field.name : field.qualifier + "." + field.name;
}

// A parameter as the engine names it: [Name], [Table].[Name], [Forms]![Form]![Control].
std::string parameterName(const Expr& field) {
    if (!field.name.empty() && field.name.front() == '[') return field.name;
    return (field.qualifier.empty() ? "" : "[" + field.qualifier + "].") + "[" + field.name + "]";
}

Expr bothOf(std::vector<Expr> terms) {
    Expr e = std::move(terms.front());
    for (size_t i = 1; i < terms.size(); ++i) {
        Expr a;
        a.kind = ExprKind::And;
        a.args.push_back(std::move(e));
        a.args.push_back(std::move(terms[i]));
        e = std::move(a);
    }
    return e;
}

Expr alwaysTrue() {
    Expr e;
    e.kind = ExprKind::Literal;
    e.literal = Value::boolean(true);
    return e;
}

void splitAnd(const Expr& e, std::vector<const Expr*>& out) {
    if (e.kind == ExprKind::And) {
        splitAnd(e.args[0], out);
        splitAnd(e.args[1], out);
    } else {
        out.push_back(&e);
    }
}

// ---- output --------------------------------------------------------------------------------

struct OutputColumn {
    std::string name;      // the alias, or the field's name; empty until named
    bool aliased = false;
    std::string source;    // a field's table
    std::optional<Field> field;  // a field shown as it is: its type and size
    BoundValues value;
};

FieldType typeOfValue(const Value& v) {
    if (v.isBool()) return FieldType::Boolean;
    if (v.isInteger()) return FieldType::Long;
    if (v.isCurrency()) return FieldType::Currency;
    if (v.isReal()) return FieldType::Double;
    if (v.isDateTime()) return FieldType::DateTime;
    return FieldType::Text;
}

int compareRows(const Row& a, const Row& b, const std::vector<bool>* descending) {
    for (size_t k = 0; k < a.size() && k < b.size(); ++k) {
        int c = compareForSort(a[k], b[k]);
        if (c != 0) return descending && (*descending)[k] ? -c : c;
    }
    return 0;
}

std::string keyOf(const Row& row) {
    std::string key;
    for (const Value& v : row) appendKey(v, key);
    return key;
}

// Keeps the first of the rows that are equal in `keys` (a key per row).
void keepFirstOfEach(std::vector<Row>& rows, std::vector<Row>& sortKeys, const std::vector<std::string>& keys) {
    std::unordered_set<std::string> seen;
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!seen.insert(keys[i]).second) continue;
        if (kept != i) {
            rows[kept] = std::move(rows[i]);
            if (!sortKeys.empty()) sortKeys[kept] = std::move(sortKeys[i]);
        }
        ++kept;
    }
    rows.resize(kept);
    if (!sortKeys.empty()) sortKeys.resize(kept);
}

// Sorts rows by their sort keys, keeping the order of equal ones.
void sortRows(std::vector<Row>& rows, std::vector<Row>& sortKeys, const std::vector<bool>& descending) {
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return compareRows(sortKeys[a], sortKeys[b], &descending) < 0; });
    std::vector<Row> r, k;
    r.reserve(rows.size());
    k.reserve(rows.size());
    for (size_t i : order) {
        r.push_back(std::move(rows[i]));
        k.push_back(std::move(sortKeys[i]));
    }
    rows = std::move(r);
    sortKeys = std::move(k);
}

// ---- one select ------------------------------------------------------------------------------

// A WHERE condition's top-level term and the tables it reads.
struct Term {
    const Expr* expr = nullptr;
    size_t firstTable = 0, lastTable = 0;  // [first, last) of the FROM clause's tables; empty for none
    bool placed = false;
};

class SelectRun final : public QueryBinding {
public:
    SelectRun(const SelectQuery& q, const QueryContext& ctx, const Scope* outer) : q_(q), ctx_(ctx), outer_(outer) {}

    std::shared_ptr<Table> run(const std::string& name);

    const char* aggregatesRefusedIn() const override { return refusedIn_; }
    std::vector<Value> subqueryValues(const SelectQuery& sub, const Scope& scope) override {
        SelectRun inner(sub, ctx_, &scope);
        std::shared_ptr<Table> t = inner.run("");
        std::vector<Value> values;
        values.reserve(t->rows.size());
        for (const Row& r : t->rows) values.push_back(r.empty() ? Value::null() : r[0]);
        return values;
    }
    [[noreturn]] void unknownName(const Expr& field, const Scope& scope) override {
        if (outer_ && outer_->find(field.qualifier, field.name) >= 0)
            throw notSupportedError("una sottoquery che si riferisce al campo '" + cp1252::toUtf8(writtenName(field)) +
                                    "' della query che la contiene");
        if (ctx_.savedQuery) throw parametersError({parameterName(field)});
        throw unknownFieldError(writtenName(field), scope.name);
    }

private:
    struct Leaf {
        const FromItem* item;
        std::string name;  // the name the query gives it
        std::shared_ptr<const Table> table;
    };

    BoundValues bound(const Expr& e, const Scope& scope, const char* refusedIn, const std::string& text) {
        refusedIn_ = refusedIn;
        return withLiterals(query::bind(e, scope, *this), e, text.empty() ? q_.text : text);
    }

    void loadLeaves(const FromItem& item);
    void checkParameters(const Scope& full);
    RowSource build(const FromItem& item, bool filterable);
    std::vector<Expr> termsFor(size_t first, size_t last, bool allowCrossing, size_t split);
    RowSource fromClause();
    std::vector<OutputColumn> outputColumns(const Scope& scope);
    void nameColumns(std::vector<OutputColumn>& columns) const;

    const SelectQuery& q_;
    const QueryContext& ctx_;
    const Scope* outer_;
    const char* refusedIn_ = "WHERE";
    std::vector<Leaf> leaves_;
    std::vector<size_t> leafStart_;  // first column of each leaf in the full scope
    std::vector<Term> terms_;
    size_t nextLeaf_ = 0;
};

void SelectRun::loadLeaves(const FromItem& item) {
    if (item.isJoin()) {
        loadLeaves(*item.left);
        loadLeaves(*item.right);
        return;
    }
    Leaf leaf{&item, item.alias.empty() ? item.table : item.alias, nullptr};
    if (item.derived) {
        QueryContext inner = ctx_;
        leaf.table = runQuery(*item.derived, inner, leaf.name);
    } else {
        leaf.table = ctx_.load(item.table);
    }
    leaves_.push_back(std::move(leaf));
}

// A saved query names its parameters by names that are no field: it cannot run without them.
void SelectRun::checkParameters(const Scope& full) {
    std::vector<std::string> names;
    auto check = [&](const Expr& f) {
        if (full.find(f.qualifier, f.name) >= 0) return;
        if (outer_ && outer_->find(f.qualifier, f.name) >= 0) return;  // raised as a correlated subquery
        std::string n = parameterName(f);
        for (const std::string& known : names)
            if (cp1252::equalNoCase(known, n)) return;
        names.push_back(n);
    };
    std::set<std::string> aliases;
    for (const SelectItem& i : q_.items) {
        if (!i.star) forEachField(i.expr, check);
        if (!i.alias.empty()) aliases.insert(cp1252::toUpper(i.alias));
    }
    std::vector<const FromItem*> joins;
    for (const auto& f : q_.from) joins.push_back(f.get());
    while (!joins.empty()) {
        const FromItem* j = joins.back();
        joins.pop_back();
        if (!j->isJoin()) continue;
        forEachField(*j->on, check);
        joins.push_back(j->left.get());
        joins.push_back(j->right.get());
    }
    if (q_.where) forEachField(*q_.where, check);
    for (const Expr& g : q_.groupBy) forEachField(g, check);
    if (q_.having) forEachField(*q_.having, check);
    for (const SortItem& s : q_.orderBy)
        forEachField(s.expr, [&](const Expr& f) {
            if (f.qualifier.empty() && aliases.count(cp1252::toUpper(f.name))) return;
            check(f);
        });
    if (!names.empty()) throw parametersError(names);
}

// The WHERE terms that read only tables [first, last) (and, when allowCrossing, read tables on both
// sides of `split`), taken out of the WHERE condition.
std::vector<Expr> SelectRun::termsFor(size_t first, size_t last, bool allowCrossing, size_t split) {
    std::vector<Expr> out;
    for (Term& t : terms_) {
        if (t.placed || t.firstTable >= t.lastTable) continue;
        if (t.firstTable < first || t.lastTable > last) continue;
        bool crosses = t.firstTable < split && t.lastTable > split;
        if (allowCrossing != crosses) continue;
        t.placed = true;
        out.push_back(*t.expr);
    }
    return out;
}

// The rows of one item of the FROM clause. Conditions of the WHERE clause on one table filter it
// before it is joined, unless an outer join would give its rows back as nulls.
RowSource SelectRun::build(const FromItem& item, bool filterable) {
    if (item.isJoin()) {
        RowSource left = build(*item.left, filterable && item.join != JoinKind::Right);
        RowSource right = build(*item.right, filterable && item.join != JoinKind::Left);
        Scope scope = joinedScope(left, right);
        BoundValues on = bound(*item.on, scope, "JOIN", item.onText);
        return joinRows(std::move(left), std::move(right), item.join, on);
    }
    const size_t index = nextLeaf_++;
    const Leaf& leaf = leaves_[index];
    std::vector<Expr> own = filterable ? termsFor(index, index + 1, false, index) : std::vector<Expr>{};
    if (own.empty()) return RowSource::ofTable(*leaf.table, leaf.name);
    BoundValues condition = bound(bothOf(std::move(own)), Scope::ofTable(*leaf.table, leaf.name), "WHERE", q_.whereText);
    std::vector<uint32_t> rows =
        matchingRows(*leaf.table, std::move(condition.expr), std::move(condition.bindings), condition.text);
    return RowSource::ofTable(*leaf.table, leaf.name, &rows);
}

RowSource SelectRun::fromClause() {
    for (const auto& f : q_.from) loadLeaves(*f);
    Scope full;
    full.name = leaves_.empty() ? std::string() : leaves_.front().name;
    for (const Leaf& l : leaves_) {
        leafStart_.push_back(full.columns.size());
        Scope own = Scope::ofTable(*l.table, l.name);
        full.columns.insert(full.columns.end(), own.columns.begin(), own.columns.end());
    }
    leafStart_.push_back(full.columns.size());
    if (ctx_.savedQuery) checkParameters(full);

    // Which tables each WHERE term reads; a term naming something that is no field stays for the end.
    std::vector<const Expr*> parts;
    if (q_.where && !hasAggregate(*q_.where)) splitAnd(*q_.where, parts);
    for (const Expr* p : parts) {
        Term t{p, leaves_.size(), 0, false};
        bool resolved = true;
        forEachField(*p, [&](const Expr& f) {
            int column = -1;
            try {
                column = full.find(f.qualifier, f.name);
            } catch (const Error&) {
            }
            if (column < 0) {
                resolved = false;
                return;
            }
            size_t leaf = static_cast<size_t>(
                std::upper_bound(leafStart_.begin(), leafStart_.end(), static_cast<size_t>(column)) - leafStart_.begin() - 1);
            t.firstTable = std::min(t.firstTable, leaf);
            t.lastTable = std::max(t.lastTable, leaf + 1);
        });
        if (!resolved) t.firstTable = t.lastTable = 0;
        terms_.push_back(t);
    }

    RowSource rows = build(*q_.from.front(), true);
    for (size_t k = 1; k < q_.from.size(); ++k) {
        const size_t split = nextLeaf_;
        RowSource next = build(*q_.from[k], true);
        std::vector<Expr> linking = termsFor(0, nextLeaf_, true, split);
        Scope scope = joinedScope(rows, next);
        BoundValues on = bound(linking.empty() ? alwaysTrue() : bothOf(std::move(linking)), scope, "WHERE", q_.whereText);
        rows = joinRows(std::move(rows), std::move(next), JoinKind::Inner, on);
    }
    // What is left of WHERE: terms over no table, naming no field, or with aggregates.
    std::vector<Expr> rest;
    if (q_.where && hasAggregate(*q_.where)) rest.push_back(*q_.where);
    for (const Term& t : terms_)
        if (!t.placed) rest.push_back(*t.expr);
    if (!rest.empty()) keepRows(rows, bound(bothOf(std::move(rest)), rows.scope, "WHERE", q_.whereText));
    return rows;
}

std::vector<OutputColumn> SelectRun::outputColumns(const Scope& scope) {
    std::vector<OutputColumn> columns;
    auto fieldColumn = [&](size_t column) {
        OutputColumn c;
        const ScopeColumn& sc = scope.columns[column];
        c.source = sc.source;
        c.field = sc.field;
        c.name = sc.field.name;
        c.value.text = q_.text;
        c.value.expr.root.kind = ExprKind::Field;
        c.value.expr.root.field = static_cast<int>(column);
        c.value.expr.root.type = isTextType(sc.field.type) ? StaticKind::Text : StaticKind::Number;
        columns.push_back(std::move(c));
    };
    for (const SelectItem& item : q_.items) {
        if (item.star) {
            bool any = false;
            for (size_t i = 0; i < scope.columns.size(); ++i) {
                if (!item.starOf.empty() && !cp1252::equalNoCase(scope.columns[i].source, item.starOf)) continue;
                fieldColumn(i);
                any = true;
            }
            if (!any && !item.starOf.empty()) throw unknownFieldError(item.starOf + ".*", scope.name);
            continue;
        }
        OutputColumn c;
        c.value = bound(item.expr, scope, nullptr, "");
        const Node& root = c.value.expr.root;
        if (root.kind == ExprKind::Field) {
            const ScopeColumn& sc = scope.columns[static_cast<size_t>(root.field)];
            c.source = sc.source;
            c.field = sc.field;
            c.name = sc.field.name;
        }
        if (!item.alias.empty()) {
            c.name = item.alias;
            c.aliased = true;
        }
        columns.push_back(std::move(c));
    }
    return columns;
}

// Fields shown twice under one name take their table's name; other unnamed columns are Expr1000...
void SelectRun::nameColumns(std::vector<OutputColumn>& columns) const {
    int unnamed = 1000;
    std::vector<bool> shared(columns.size(), false);
    for (size_t i = 0; i < columns.size(); ++i)
        for (size_t j = 0; j < columns.size(); ++j)
            if (i != j && !columns[i].name.empty() && cp1252::equalNoCase(columns[i].name, columns[j].name))
                shared[i] = true;
    for (size_t i = 0; i < columns.size(); ++i)
        if (shared[i] && !columns[i].aliased && columns[i].field)
            columns[i].name = columns[i].source + "." + columns[i].field->name;
    for (OutputColumn& c : columns)
        if (c.name.empty()) c.name = "Expr" + std::to_string(unnamed++);
}

std::shared_ptr<Table> SelectRun::run(const std::string& name) {
    if (!q_.externalDatabase.empty())
        throw notSupportedError("una query su una tabella del database esterno '" +
                                cp1252::toUtf8(q_.externalDatabase) + "'");
    RowSource source = fromClause();
    std::vector<OutputColumn> columns = outputColumns(source.scope);
    nameColumns(columns);

    bool grouped = !q_.groupBy.empty() || q_.having.has_value();
    for (const SelectItem& i : q_.items) grouped = grouped || (!i.star && hasAggregate(i.expr));
    for (const SortItem& s : q_.orderBy) grouped = grouped || hasAggregate(s.expr);

    // ORDER BY: an expression of the rows, or a name the select list gives.
    struct Sort {
        std::optional<size_t> column;
        BoundValues value;
    };
    std::vector<Sort> sorts;
    std::vector<bool> descending;
    for (const SortItem& s : q_.orderBy) {
        Sort sort;
        if (s.expr.kind == ExprKind::Field && s.expr.qualifier.empty() && source.scope.find("", s.expr.name) < 0) {
            for (size_t c = 0; c < columns.size() && !sort.column; ++c)
                if (cp1252::equalNoCase(columns[c].name, s.expr.name)) sort.column = c;
        }
        if (!sort.column) sort.value = bound(s.expr, source.scope, grouped ? nullptr : "ORDER BY", s.text);
        sorts.push_back(std::move(sort));
        descending.push_back(s.descending);
    }

    std::vector<Row> rows;
    std::optional<BoundValues> having;
    if (grouped) {
        std::vector<BoundValues> keys;
        for (const Expr& g : q_.groupBy) keys.push_back(bound(g, source.scope, "GROUP BY", ""));
        Grouping groups(std::move(keys));
        for (OutputColumn& c : columns) groups.adopt(c.value, source.scope);
        if (q_.having) {
            having = bound(*q_.having, source.scope, nullptr, q_.havingText);
            groups.adopt(*having, source.scope);
        }
        for (Sort& s : sorts)
            if (!s.column) groups.adopt(s.value, source.scope);
        rows = withExpressionContext(q_.text, [&] { return groups.groupRows(source.rows); });
    } else {
        rows = std::move(source.rows);
    }
    if (having) {
        std::vector<Row> kept;
        withExpressionContext(having->text, [&] {
            for (Row& r : rows)
                if (truth(having->expr.root, r, having->bindings) == Tri::True) kept.push_back(std::move(r));
            return 0;
        });
        rows = std::move(kept);
    }

    // DISTINCTROW: one row per record of the tables the select list shows, when it leaves some out.
    std::vector<size_t> shownTables;
    if (q_.distinctRow && !grouped) {
        std::set<size_t> tables;
        std::vector<const Node*> nodes;
        for (const OutputColumn& c : columns) nodes.push_back(&c.value.expr.root);
        while (!nodes.empty()) {
            const Node* n = nodes.back();
            nodes.pop_back();
            if (n->kind == ExprKind::Field) tables.insert(source.tableOfColumn[static_cast<size_t>(n->field)]);
            for (const Node& a : n->args) nodes.push_back(&a);
        }
        if (tables.size() < source.tableCount) shownTables.assign(tables.begin(), tables.end());
    }

    std::vector<Row> out, sortKeys;
    std::vector<std::string> recordKeys;
    out.reserve(rows.size());
    withExpressionContext(q_.text, [&] {
        for (size_t r = 0; r < rows.size(); ++r) {
            const Row& row = rows[r];
            Row values;
            values.reserve(columns.size());
            for (const OutputColumn& c : columns) {
                Value s;
                const Value& v = evaluate(c.value.expr.root, row, c.value.bindings, s);
                values.push_back(&v == &s ? std::move(s) : v);
            }
            if (!sorts.empty()) {
                Row keys;
                for (const Sort& s : sorts) {
                    if (s.column) {
                        keys.push_back(values[*s.column]);
                        continue;
                    }
                    Value scratch;
                    const Value& v = evaluate(s.value.expr.root, row, s.value.bindings, scratch);
                    keys.push_back(&v == &scratch ? std::move(scratch) : v);
                }
                sortKeys.push_back(std::move(keys));
            }
            if (!shownTables.empty()) {
                std::string key;
                for (size_t t : shownTables) {
                    int32_t o = source.origins[r * source.tableCount + t];
                    key.append(reinterpret_cast<const char*>(&o), sizeof o);
                }
                recordKeys.push_back(std::move(key));
            }
            out.push_back(std::move(values));
        }
        return 0;
    });

    if (!shownTables.empty()) keepFirstOfEach(out, sortKeys, recordKeys);
    if (!sorts.empty()) {
        sortRows(out, sortKeys, descending);
    } else if (q_.distinct) {
        // The engine removes repeats by sorting: the rows come sorted by their values.
        sortKeys = out;
        sortRows(out, sortKeys, std::vector<bool>(columns.size(), false));
        sortKeys.clear();
    }
    if (q_.distinct) {
        std::vector<std::string> keys;
        keys.reserve(out.size());
        for (const Row& r : out) keys.push_back(keyOf(r));
        keepFirstOfEach(out, sortKeys, keys);
    }
    if (q_.top) {
        size_t n = static_cast<size_t>(*q_.top);
        if (q_.topPercent) n = static_cast<size_t>(std::ceil(static_cast<double>(out.size()) * static_cast<double>(*q_.top) / 100.0));
        // Rows that tie with the last one in the ORDER BY values come too.
        if (n > 0 && n < out.size() && !sortKeys.empty())
            while (n < out.size() && compareRows(sortKeys[n], sortKeys[n - 1], nullptr) == 0) ++n;
        if (n < out.size()) out.resize(n);
    }

    auto table = std::make_shared<Table>();
    table->name = name;
    table->derived = true;
    for (size_t c = 0; c < columns.size(); ++c) {
        Field f;
        if (columns[c].field) {
            f = *columns[c].field;
        } else {
            f.type = FieldType::Text;
            f.size = 255;
            for (const Row& r : out)
                if (!r[c].isNull()) {
                    f.type = typeOfValue(r[c]);
                    f.size = isTextType(f.type) ? 255 : 0;
                    break;
                }
        }
        f.name = columns[c].name;
        table->fields.push_back(std::move(f));
    }
    table->rows = std::move(out);
    return table;
}

// ---- unions --------------------------------------------------------------------------------

void sortByColumns(Table& t) {
    std::vector<Row> keys = t.rows;
    sortRows(t.rows, keys, std::vector<bool>(t.fields.size(), false));
}

void dropRepeats(Table& t) {
    std::vector<Row> none;
    std::vector<std::string> keys;
    for (const Row& r : t.rows) keys.push_back(keyOf(r));
    keepFirstOfEach(t.rows, none, keys);
}

void orderUnion(Table& t, const std::vector<SortItem>& orderBy) {
    std::vector<BoundValues> keys;
    std::vector<bool> descending;
    for (const SortItem& s : orderBy) {
        keys.push_back(withLiterals(query::bind(s.expr, t, s.text), s.expr, s.text));
        descending.push_back(s.descending);
    }
    std::vector<Row> sortKeys;
    for (const Row& r : t.rows) {
        Row k;
        for (const BoundValues& b : keys) {
            Value s;
            const Value& v = evaluate(b.expr.root, r, b.bindings, s);
            k.push_back(&v == &s ? std::move(s) : v);
        }
        sortKeys.push_back(std::move(k));
    }
    sortRows(t.rows, sortKeys, descending);
}

}  // namespace

std::shared_ptr<Table> runQuery(const QueryStatement& statement, const QueryContext& context,
                                const std::string& resultName) {
    if (!statement.parameters.empty()) throw parametersError(statement.parameters);
    std::shared_ptr<Table> result = SelectRun(statement.parts.front(), context, nullptr).run(resultName);
    for (size_t p = 1; p < statement.parts.size(); ++p) {
        std::shared_ptr<Table> next = SelectRun(statement.parts[p], context, nullptr).run(resultName);
        if (next->fields.size() != result->fields.size()) throw unionColumnsError();
        for (Row& r : next->rows) result->rows.push_back(std::move(r));
        if (!statement.unionAll[p - 1]) {
            // UNION without ALL: repeats go, and the rows come sorted, as the engine sorts to find them.
            sortByColumns(*result);
            dropRepeats(*result);
        }
    }
    if (!statement.orderBy.empty()) withExpressionContext(statement.text, [&] {
        orderUnion(*result, statement.orderBy);
        return 0;
    });
    return result;
}

}  // namespace ov::query
