#include "query_text.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/cp1252.h"

using ov::QueryKind;

namespace mdbread {
namespace {

enum Attribute {
    kKind = 1,
    kParameter = 2,
    kOptions = 3,
    kExternal = 4,
    kTable = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11,
};

// Bits of the options row.
constexpr int kAllFields = 0x01;
constexpr int kDistinct = 0x02;
constexpr int kOwnerAccess = 0x04;
constexpr int kDistinctRow = 0x08;
constexpr int kTop = 0x10;
constexpr int kPercent = 0x20;
constexpr int kUnionDistinct = 0x02;

// Column flags of a crosstab.
constexpr int kPivot = 1;
constexpr int kRowHeading = 2;

constexpr const char* kNewLine = "\r\n";

QueryKind kindFromRows(int code, uint32_t objectFlags) {
    switch (code) {
        case 1: return QueryKind::Select;
        case 2: return QueryKind::MakeTable;
        case 3: return QueryKind::Append;
        case 4: return QueryKind::Update;
        case 5: return QueryKind::Delete;
        case 6: return QueryKind::Crosstab;
        case 7: return QueryKind::DataDefinition;
        case 8: return QueryKind::PassThrough;
        case 9: return QueryKind::Union;
        default: break;
    }
    int fromObject = static_cast<int>(objectFlags & 0xF0);
    return ov::isQueryKind(fromObject) ? static_cast<QueryKind>(fromObject) : QueryKind::Select;
}

const char* parameterType(int code) {
    switch (code) {
        case 1: return "Bit";
        case 2: return "Byte";
        case 3: return "Short";
        case 4: return "Long";
        case 5: return "Currency";
        case 6: return "IEEESingle";
        case 7: return "IEEEDouble";
        case 8: return "DateTime";
        case 9: return "Binary";
        case 10: return "Text";
        case 11: return "LongBinary";
        case 12: return "Memo";
        case 15: return "Guid";
        default: return "Value";
    }
}

bool isWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c >= 0xC0;
}

// Words a bare table or field name may not be.
bool isReservedWord(const std::string& name) {
    static constexpr std::array<const char*, 24> kWords = {
        "SELECT", "FROM", "WHERE", "GROUP", "BY",    "HAVING", "ORDER", "AND",   "OR",    "NOT",   "IN",    "IS",
        "LIKE",   "AS",   "ON",    "JOIN",  "INNER", "LEFT",   "RIGHT", "UNION", "TOP",   "NULL",  "BETWEEN", "INTO"};
    for (const char* w : kWords)
        if (ov::cp1252::equalNoCase(name, w)) return true;
    return false;
}

// A name as the query text writes it: in brackets unless it is a plain word.
std::string quotedName(const std::string& name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') return name;
    bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9') && !isReservedWord(name);
    for (char c : name) plain = plain && isWordChar(static_cast<unsigned char>(c));
    return plain ? name : "[" + name + "]";
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
    return out;
}

// A text kept whole in the file (a union's select, a data-definition statement): without the blanks,
// the closing ";" and the terminating zero around it.
std::string trimmedText(std::string s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
    while (!s.empty() && (blank(s.back()) || s.back() == ';')) s.pop_back();
    size_t first = 0;
    while (first < s.size() && blank(s[first])) ++first;
    return s.substr(first);
}

// A table of the FROM clause, or two of them joined; joins nest as the join rows bring them together.
struct FromNode {
    std::string key;   // a table: its alias, or its name
    std::string text;  // a table: as written in FROM
    int joinType = 0;  // 0 for a table; 1 inner, 2 left, 3 right
    std::unique_ptr<FromNode> left, right;
    std::vector<std::string> conditions;

    bool contains(const std::string& name) const {
        if (joinType == 0) return ov::cp1252::equalNoCase(key, name);
        return left->contains(name) || right->contains(name);
    }

    std::string render(bool top) const {
        if (joinType == 0) return text;
        static constexpr const char* kJoins[] = {" INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
        std::string on = conditions.size() > 1 ? "(" + joined(conditions, ") AND (") + ")" : conditions.front();
        std::string s = left->render(false) + kJoins[joinType - 1] + right->render(false) + " ON " + on;
        return top ? s : "(" + s + ")";
    }
};

std::unique_ptr<FromNode> tableNode(const std::string& name, const std::string& alias) {
    auto n = std::make_unique<FromNode>();
    n->key = alias.empty() ? name : alias;
    n->text = quotedName(name) + (alias.empty() ? "" : " AS " + quotedName(alias));
    return n;
}

class QueryRows {
public:
    QueryRows(std::vector<QueryRow> rows, uint32_t objectFlags) : rows_(std::move(rows)) {
        std::stable_sort(rows_.begin(), rows_.end(), [](const QueryRow& a, const QueryRow& b) {
            if (a.attribute != b.attribute) return a.attribute < b.attribute;
            return a.order < b.order;
        });
        const QueryRow* k = first(kKind);
        kind_ = kindFromRows(k && k->flag ? *k->flag : 0, objectFlags);
        const QueryRow* o = first(kOptions);
        options_ = o && o->flag ? *o->flag : 0;
        top_ = o ? o->name1 : std::string();
    }

    QueryText text() const {
        QueryText t;
        t.kind = kind_;
        switch (kind_) {
            case QueryKind::Select: t.sql = parameters() + select(selectList(), "") + ownerAccess(); break;
            case QueryKind::MakeTable:
                t.sql = parameters() + select(selectList(), " INTO " + target()) + ownerAccess();
                break;
            case QueryKind::Append: t.sql = parameters() + append() + ownerAccess(); break;
            case QueryKind::Update: t.sql = parameters() + update() + ownerAccess(); break;
            case QueryKind::Delete:
                t.sql = parameters() + "DELETE " + selectList() + tail(true, true, false, false, false) + ownerAccess();
                break;
            case QueryKind::Crosstab: t.sql = parameters() + crosstab(); break;
            case QueryKind::Union: t.sql = unionText(); break;
            case QueryKind::DataDefinition:
            case QueryKind::PassThrough: {
                const QueryRow* k = first(kKind);
                t.sql = k ? trimmedText(k->expression) : std::string();
                break;
            }
        }
        if (!t.sql.empty() && t.sql.back() != ';') t.sql += ';';
        return t;
    }

private:
    const QueryRow* first(int attribute) const {
        for (const QueryRow& r : rows_)
            if (r.attribute == attribute) return &r;
        return nullptr;
    }
    std::vector<const QueryRow*> all(int attribute) const {
        std::vector<const QueryRow*> out;
        for (const QueryRow& r : rows_)
            if (r.attribute == attribute) out.push_back(&r);
        return out;
    }
    static int flagOf(const QueryRow& r) { return r.flag ? *r.flag : 0; }

    std::string parameters() const {
        std::vector<std::string> items;
        for (const QueryRow* p : all(kParameter)) {
            // A reference to a form's control, Forms!Form!Control, keeps its parts.
            std::string name, part;
            for (size_t i = 0; i <= p->name1.size(); ++i) {
                if (i == p->name1.size() || p->name1[i] == '!') {
                    name += (name.empty() ? "" : "!") + ("[" + part + "]");
                    part.clear();
                } else {
                    part += p->name1[i];
                }
            }
            items.push_back(name + " " + parameterType(flagOf(*p)));
        }
        return items.empty() ? std::string() : "PARAMETERS " + joined(items, ", ") + ";" + kNewLine;
    }

    std::string ownerAccess() const {
        return (options_ & kOwnerAccess) ? std::string(kNewLine) + "WITH OWNERACCESS OPTION" : std::string();
    }

    std::string target() const {
        const QueryRow* k = first(kKind);
        std::string t = k ? quotedName(k->name1) : std::string();
        if (k && !k->expression.empty()) t += " IN '" + k->expression + "'";
        return t;
    }

    std::string selectWords() const {
        std::string s;
        if (options_ & kDistinct) s += "DISTINCT ";
        else if (options_ & kDistinctRow) s += "DISTINCTROW ";
        if (options_ & kTop) s += "TOP " + top_ + ((options_ & kPercent) ? " PERCENT " : " ");
        return s;
    }

    static std::string column(const QueryRow& r) {
        return r.expression + (r.name1.empty() ? "" : " AS " + quotedName(r.name1));
    }

    std::string selectList() const {
        std::vector<std::string> items;
        for (const QueryRow* c : all(kColumn)) items.push_back(column(*c));
        if (options_ & kAllFields) items.push_back("*");
        return joined(items, ", ");
    }

    std::string fromList() const {
        std::vector<std::unique_ptr<FromNode>> sources;
        const QueryRow* k = first(kKind);
        for (const QueryRow* t : all(kTable)) {
            // An append query lists its target among its tables; it is not read from.
            if (kind_ == QueryKind::Append && k && t->name2.empty() && ov::cp1252::equalNoCase(t->name1, k->name1))
                continue;
            sources.push_back(tableNode(t->name1, t->name2));
        }
        auto find = [&](const std::string& name) -> size_t {
            for (size_t i = 0; i < sources.size(); ++i)
                if (sources[i]->contains(name)) return i;
            sources.push_back(tableNode(name, ""));
            return sources.size() - 1;
        };
        for (const QueryRow* j : all(kJoin)) {
            int type = flagOf(*j);
            if (type < 1 || type > 3) type = 1;
            size_t a = find(j->name1);
            size_t b = find(j->name2);
            if (a == b) {
                // Another condition between tables already joined.
                if (sources[a]->joinType) sources[a]->conditions.push_back(j->expression);
                continue;
            }
            auto join = std::make_unique<FromNode>();
            join->joinType = type;
            join->left = std::move(sources[a]);
            join->right = std::move(sources[b]);
            join->conditions.push_back(j->expression);
            size_t at = std::min(a, b);
            sources.erase(sources.begin() + static_cast<long>(std::max(a, b)));
            sources[at] = std::move(join);
        }
        std::vector<std::string> items;
        for (const auto& s : sources) items.push_back(s->render(true));
        std::string from = joined(items, ", ");
        if (const QueryRow* e = first(kExternal)) {
            from += " IN '" + e->name1 + "'";
            if (!e->expression.empty()) from += " [" + e->expression + "]";
        }
        return from;
    }

    std::vector<std::string> expressions(int attribute, int onlyFlag = -1) const {
        std::vector<std::string> out;
        for (const QueryRow* r : all(attribute))
            if (onlyFlag < 0 || flagOf(*r) == onlyFlag) out.push_back(r->expression);
        return out;
    }

    // FROM, WHERE, GROUP BY, HAVING and ORDER BY, each on a line of its own when present.
    std::string tail(bool from, bool where, bool groupBy, bool having, bool orderBy) const {
        std::string s;
        if (from) {
            std::string list = fromList();
            if (!list.empty()) s += kNewLine + ("FROM " + list);
        }
        const QueryRow* w = first(kWhere);
        if (where && w && !w->expression.empty()) s += kNewLine + ("WHERE " + w->expression);
        std::vector<std::string> groups = expressions(kGroupBy);
        if (groupBy && !groups.empty()) s += kNewLine + ("GROUP BY " + joined(groups, ", "));
        const QueryRow* h = first(kHaving);
        if (having && h && !h->expression.empty()) s += kNewLine + ("HAVING " + h->expression);
        if (orderBy) s += orderByClause();
        return s;
    }

    std::string orderByClause() const {
        std::vector<std::string> keys;
        for (const QueryRow* o : all(kOrderBy))
            keys.push_back(o->expression + (ov::cp1252::equalNoCase(o->name1, "D") ? " DESC" : ""));
        return keys.empty() ? std::string() : kNewLine + ("ORDER BY " + joined(keys, ", "));
    }

    std::string select(const std::string& list, const std::string& into) const {
        return "SELECT " + selectWords() + list + into + tail(true, true, true, true, true);
    }

    std::string append() const {
        std::vector<std::string> targets, values;
        for (const QueryRow* c : all(kColumn)) {
            targets.push_back(c->name2);
            values.push_back(column(*c));
        }
        return "INSERT INTO " + target() + " ( " + joined(targets, ", ") + " )" + kNewLine + "SELECT " + selectWords() +
               joined(values, ", ") + tail(true, true, true, true, true);
    }

    std::string update() const {
        std::vector<std::string> sets;
        for (const QueryRow* c : all(kColumn)) sets.push_back(c->name2 + " = " + c->expression);
        return "UPDATE " + fromList() + " SET " + joined(sets, ", ") + tail(false, true, false, false, false);
    }

    std::string crosstab() const {
        std::vector<std::string> value, headings, pivot;
        for (const QueryRow* c : all(kColumn)) {
            int f = flagOf(*c);
            (f == kPivot ? pivot : f == kRowHeading ? headings : value).push_back(column(*c));
        }
        std::vector<std::string> groups = expressions(kGroupBy, kRowHeading);
        std::string s = "TRANSFORM " + joined(value, ", ") + kNewLine + "SELECT " + joined(headings, ", ") +
                        tail(true, true, false, false, false);
        if (!groups.empty()) s += kNewLine + ("GROUP BY " + joined(groups, ", "));
        if (const QueryRow* h = first(kHaving); h && !h->expression.empty()) s += kNewLine + ("HAVING " + h->expression);
        s += orderByClause();
        for (const QueryRow* c : all(kColumn))
            if (flagOf(*c) == kPivot) s += kNewLine + ("PIVOT " + c->expression);
        return s;
    }

    std::string unionText() const {
        std::string first, second;
        for (const QueryRow* t : all(kTable)) {
            if (t->name2 == "X7YZ_____1") first = trimmedText(t->expression);
            if (t->name2 == "X7YZ_____2") second = trimmedText(t->expression);
        }
        return first + kNewLine + "UNION " + ((options_ & kUnionDistinct) ? "" : "ALL ") + second + orderByClause();
    }

    std::vector<QueryRow> rows_;
    QueryKind kind_ = QueryKind::Select;
    int options_ = 0;
    std::string top_;
};

}  // namespace

QueryText rebuildQueryText(std::vector<QueryRow> rows, uint32_t objectFlags) {
    return QueryRows(std::move(rows), objectFlags).text();
}

}  // namespace mdbread
