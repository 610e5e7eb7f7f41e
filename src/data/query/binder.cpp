#include "data/query/bound.h"

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/evaluator.h"

namespace ov::query {
namespace {

Node constant(Value v) {
    Node n;
    n.kind = ExprKind::Literal;
    n.type = v.isNull() ? StaticKind::Unknown : v.isText() ? StaticKind::Text : StaticKind::Number;
    n.literal = std::move(v);
    return n;
}

class Binder {
public:
    Binder(const Scope& scope, std::vector<ParamRule>& rules, QueryBinding* query)
        : scope_(scope), rules_(rules), query_(query) {}

    Node bind(const Expr& e) {
        if (query_ && isSubquery(e.kind)) return bindSubquery(e);
        Node n;
        n.kind = e.kind;
        n.binary = e.binary;
        n.compare = e.compare;
        n.function = e.function;
        n.aggregate = e.aggregate;
        n.star = e.star;
        n.negated = e.negated;
        n.args.reserve(e.args.size());
        for (const Expr& a : e.args) n.args.push_back(bind(a));

        switch (e.kind) {
            case ExprKind::Literal:
                n.param = e.param;
                if (e.param < 0) n.literal = e.literal;
                else if (static_cast<size_t>(e.param) >= rules_.size()) rules_.resize(static_cast<size_t>(e.param) + 1);
                n.type = e.literal.isNull() ? StaticKind::Unknown
                         : e.literal.isText() ? StaticKind::Text
                                              : StaticKind::Number;
                break;
            case ExprKind::Field: bindField(e, n); break;
            case ExprKind::Negate:
                // "-5" is a literal of its own, so that "CodiceCliente = -5" can use an index.
                if (n.args[0].kind == ExprKind::Literal && n.args[0].param >= 0 && n.args[0].type == StaticKind::Number) {
                    ParamRule& r = rules_[static_cast<size_t>(n.args[0].param)];
                    r.negate = !r.negate;
                    return std::move(n.args[0]);
                }
                n.type = StaticKind::Number;
                break;
            case ExprKind::Compare:
                convertAgainst(n.args[1], n.args[0]);
                convertAgainst(n.args[0], n.args[1]);
                n.type = StaticKind::Number;
                break;
            case ExprKind::In:
            case ExprKind::Between:
                for (size_t i = 1; i < n.args.size(); ++i) convertAgainst(n.args[i], n.args[0]);
                n.type = StaticKind::Number;
                break;
            case ExprKind::Like:
                if (n.args[1].kind == ExprKind::Literal && n.args[1].param >= 0)
                    rules_[static_cast<size_t>(n.args[1].param)].pattern = true;
                n.type = StaticKind::Number;
                break;
            case ExprKind::Binary: n.type = binaryKind(n); break;
            case ExprKind::Call: n.type = callKind(n); break;
            case ExprKind::Aggregate:
                if (!query_) throw undefinedFunctionError("Count");
                if (const char* clause = query_->aggregatesRefusedIn()) throw aggregateInWhereError(clause);
                n.type = n.aggregate == Aggregate::Count ? StaticKind::Number
                         : n.args.empty()                ? StaticKind::Unknown
                         : n.aggregate == Aggregate::Sum || n.aggregate == Aggregate::Avg ? StaticKind::Number
                                                                                           : n.args[0].type;
                break;
            default: n.type = StaticKind::Number; break;
        }
        return n;
    }

private:
    static bool isSubquery(ExprKind k) {
        return k == ExprKind::Subquery || k == ExprKind::InSubquery || k == ExprKind::Exists;
    }

    // A subquery runs now: its value, its list of values or whether it has rows become constants.
    Node bindSubquery(const Expr& e) {
        std::vector<Value> values = query_->subqueryValues(*e.subquery, scope_);
        switch (e.kind) {
            case ExprKind::Exists: return constant(Value::boolean(values.empty() == e.negated));
            case ExprKind::Subquery:
                if (values.size() > 1) throw subqueryRowsError();
                return constant(values.empty() ? Value::null() : values.front());
            default: break;
        }
        Node n;
        n.kind = ExprKind::In;
        n.negated = e.negated;
        n.type = StaticKind::Number;
        n.args.push_back(bind(e.args[0]));
        if (values.empty()) return constant(Value::boolean(e.negated));  // nothing is in an empty list
        for (Value& v : values) n.args.push_back(constant(std::move(v)));
        return n;
    }

    void bindField(const Expr& e, Node& n) {
        n.field = scope_.find(e.qualifier, e.name);
        if (n.field < 0) {
            if (query_) query_->unknownName(e, scope_);
            throw unknownFieldError(e.qualifier.empty() ? e.name : e.qualifier + "." + e.name, scope_.name);
        }
        n.type = isTextType(scope_.columns[static_cast<size_t>(n.field)].field.type) ? StaticKind::Text
                                                                                     : StaticKind::Number;
    }

    // A literal text compared with something known to be a number is read as that number before
    // any row is evaluated, so a text that is no number fails at once and a number field can use
    // its index.
    void convertAgainst(Node& operand, const Node& subject) {
        if (operand.kind != ExprKind::Literal || operand.type != StaticKind::Text || subject.type != StaticKind::Number)
            return;
        if (operand.param >= 0) rules_[static_cast<size_t>(operand.param)].toNumber = true;
        operand.type = StaticKind::Number;
    }

    static StaticKind binaryKind(const Node& n) {
        if (n.binary == BinaryOp::Concat) return StaticKind::Text;
        StaticKind a = n.args[0].type, b = n.args[1].type;
        if (n.binary == BinaryOp::Add && a == StaticKind::Text && b == StaticKind::Text) return StaticKind::Text;
        if (a == StaticKind::Number && b == StaticKind::Number) return StaticKind::Number;
        return n.binary == BinaryOp::Add ? StaticKind::Unknown : StaticKind::Number;
    }

    static StaticKind callKind(const Node& n) {
        switch (n.function) {
            case Function::Val:
            case Function::Len:
            case Function::InStr:
            case Function::CLng:
            case Function::CDbl:
            case Function::CCur:
            case Function::CInt:
            case Function::CSng:
            case Function::CBool:
            case Function::Abs:
            case Function::Int:
            case Function::Fix:
            case Function::Year:
            case Function::Month:
            case Function::Day:
            case Function::DatePart: return StaticKind::Number;
            case Function::Nz:
            case Function::IIf: return StaticKind::Unknown;
            default: return StaticKind::Text;
        }
    }

    const Scope& scope_;
    std::vector<ParamRule>& rules_;
    QueryBinding* query_;
};

Value negatedNumber(const Value& v) {
    if (v.isInteger()) return Value::integer(-v.asInteger());
    if (v.isCurrency()) return Value::currency(-v.asCurrency());
    return Value::real(-v.toDouble());
}

}  // namespace

Scope Scope::ofTable(const Table& table, const std::string& source) {
    Scope s;
    s.name = source.empty() ? table.name : source;
    s.columns.reserve(table.fields.size());
    for (const Field& f : table.fields) s.columns.push_back(ScopeColumn{s.name, f});
    return s;
}

int Scope::find(std::string_view qualifier, std::string_view field) const {
    int found = -1;
    for (size_t i = 0; i < columns.size(); ++i) {
        const ScopeColumn& c = columns[i];
        if (!cp1252::equalNoCase(c.field.name, field)) continue;
        if (!qualifier.empty() && !cp1252::equalNoCase(c.source, qualifier)) continue;
        // One table may have a field once only; the same name in two tables needs the table's name.
        if (found >= 0 && !cp1252::equalNoCase(columns[static_cast<size_t>(found)].source, c.source))
            throw ambiguousFieldError(field);
        if (found < 0) found = static_cast<int>(i);
    }
    return found;
}

BoundExpr bind(const Expr& expr, const Table& table, std::string_view) {
    BoundExpr b;
    Scope scope = Scope::ofTable(table);
    b.root = Binder(scope, b.rules, nullptr).bind(expr);
    return b;
}

BoundExpr bind(const Expr& expr, const Scope& scope, QueryBinding& query) {
    BoundExpr b;
    b.root = Binder(scope, b.rules, &query).bind(expr);
    return b;
}

void bindValues(const BoundExpr& expr, Bindings& b, std::string_view text) {
    b.patterns.clear();
    if (b.values.size() < expr.rules.size()) throw syntaxError(text);  // not a text of this shape
    for (size_t p = 0; p < expr.rules.size(); ++p) {
        const ParamRule& r = expr.rules[p];
        Value& v = b.values[p];
        if (r.toNumber && v.isText()) {
            auto d = readNumber(v.asText());
            if (!d) throw inExpression(typeMismatchError(), text);
            v = numberValue(*d);
        }
        if (r.negate && v.isNumber()) v = negatedNumber(v);
        if (r.pattern) {
            if (b.patterns.empty()) b.patterns.resize(expr.rules.size());
            auto compiled = LikePattern::compile(textOf(v));
            if (!compiled) throw syntaxError(text);
            b.patterns[p] = std::make_shared<const LikePattern>(std::move(*compiled));
        }
    }
}

}  // namespace ov::query
