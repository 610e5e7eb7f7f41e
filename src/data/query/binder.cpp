#include "data/query/bound.h"

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/evaluator.h"

namespace ov::query {
namespace {

class Binder {
public:
    Binder(const Table& table, std::vector<ParamRule>& rules) : table_(table), rules_(rules) {}

    Node bind(const Expr& e) {
        Node n;
        n.kind = e.kind;
        n.binary = e.binary;
        n.compare = e.compare;
        n.function = e.function;
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
            default: n.type = StaticKind::Number; break;
        }
        return n;
    }

private:
    void bindField(const Expr& e, Node& n) {
        if (!e.qualifier.empty() && !cp1252::equalNoCase(e.qualifier, table_.name))
            throw unknownFieldError(e.qualifier + "." + e.name, table_.name);
        n.field = table_.fieldIndex(e.name);
        if (n.field < 0) throw unknownFieldError(e.name, table_.name);
        n.type = isTextType(table_.fields[static_cast<size_t>(n.field)].type) ? StaticKind::Text : StaticKind::Number;
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
            case Function::CDbl: return StaticKind::Number;
            case Function::Nz: return StaticKind::Unknown;
            default: return StaticKind::Text;
        }
    }

    const Table& table_;
    std::vector<ParamRule>& rules_;
};

Value negatedNumber(const Value& v) {
    if (v.isInteger()) return Value::integer(-v.asInteger());
    if (v.isCurrency()) return Value::currency(-v.asCurrency());
    return Value::real(-v.toDouble());
}

}  // namespace

BoundExpr bind(const Expr& expr, const Table& table, std::string_view) {
    BoundExpr b;
    b.root = Binder(table, b.rules).bind(expr);
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
