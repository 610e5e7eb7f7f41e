#include "data/query/evaluator.h"

#include <charconv>
#include <cmath>

#include "core/cp1252.h"
#include "data/query/errors.h"

namespace ov::query {
namespace {

const Value kNull;

// Booleans, whole numbers and currency compare and add exactly, as ten-thousandths.
bool isExact(const Value& v) { return v.isInteger() || v.isCurrency() || v.isBool(); }

__int128 unitsOf(const Value& v) {
    if (v.isCurrency()) return v.asCurrency().units();
    if (v.isInteger()) return static_cast<__int128>(v.asInteger()) * Money::kScale;
    return v.asBool() ? -Money::kScale : 0;
}

int sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

int compareNumbers(const Value& a, const Value& b) {
    if (isExact(a) && isExact(b)) {
        __int128 x = unitsOf(a), y = unitsOf(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return sign(a.toDouble() - b.toDouble());
}

// A value taking part in arithmetic or a comparison with a number: text must read as a number.
Value asNumber(const Value& v) {
    if (!v.isText()) return v;
    auto d = readNumber(v.asText());
    if (!d) throw typeMismatchError();
    return numberValue(*d);
}

Tri fromBool(bool b) { return b ? Tri::True : Tri::False; }

Tri truthOfValue(const Value& v) {
    if (v.isNull()) return Tri::Null;
    if (v.isBool()) return fromBool(v.asBool());
    if (v.isText()) return fromBool(asNumber(v).toDouble() != 0);
    return fromBool(v.toDouble() != 0);
}

Tri applyCompare(CompareOp op, std::optional<int> c) {
    if (!c) return Tri::Null;
    switch (op) {
        case CompareOp::Eq: return fromBool(*c == 0);
        case CompareOp::Ne: return fromBool(*c != 0);
        case CompareOp::Lt: return fromBool(*c < 0);
        case CompareOp::Gt: return fromBool(*c > 0);
        case CompareOp::Le: return fromBool(*c <= 0);
        case CompareOp::Ge: return fromBool(*c >= 0);
    }
    return Tri::Null;
}

Tri negate(Tri t) { return t == Tri::Null ? Tri::Null : t == Tri::True ? Tri::False : Tri::True; }

Tri both(Tri a, Tri b) {
    if (a == Tri::False || b == Tri::False) return Tri::False;
    if (a == Tri::Null || b == Tri::Null) return Tri::Null;
    return Tri::True;
}

// A result in ten-thousandths as Currency; error 6 when it leaves the type's range.
Money currencyOf(__int128 units) {
    if (units < INT64_MIN || units > INT64_MAX) throw overflowError();
    return Money::fromUnits(static_cast<int64_t>(units));
}

Money multiplyExact(__int128 a, __int128 b) {
    // Both in ten-thousandths: the product has eight decimals, rounded back to four half away from zero.
    __int128 p = 0;
    if (__builtin_mul_overflow(a, b, &p)) throw overflowError();
    __int128 q = p / Money::kScale, r = p % Money::kScale;
    if (2 * (r < 0 ? -r : r) >= Money::kScale) q += p < 0 ? -1 : 1;
    return currencyOf(q);
}

Value arithmetic(BinaryOp op, const Value& left, const Value& right) {
    if (op == BinaryOp::Concat) {
        if (left.isNull() && right.isNull()) return Value::null();
        return Value::text(textOf(left) + textOf(right));
    }
    if (left.isNull() || right.isNull()) return Value::null();
    if (op == BinaryOp::Add && left.isText() && right.isText()) return Value::text(std::string(left.asText()).append(right.asText()));
    Value a = asNumber(left), b = asNumber(right);

    if (op == BinaryOp::Div) {
        double d = b.toDouble();
        if (d == 0) throw Error(kDivisionByZero, "Divisione per zero.");
        return Value::real(a.toDouble() / d);
    }
    bool wholeA = a.isInteger() || a.isBool(), wholeB = b.isInteger() || b.isBool();
    if (wholeA && wholeB) {
        int64_t x = a.isBool() ? (a.asBool() ? -1 : 0) : a.asInteger();
        int64_t y = b.isBool() ? (b.asBool() ? -1 : 0) : b.asInteger();
        int64_t r = 0;
        bool overflow = op == BinaryOp::Add   ? __builtin_add_overflow(x, y, &r)
                        : op == BinaryOp::Sub ? __builtin_sub_overflow(x, y, &r)
                                              : __builtin_mul_overflow(x, y, &r);
        if (!overflow) return Value::integer(r);
    } else if (isExact(a) && isExact(b)) {
        __int128 x = unitsOf(a), y = unitsOf(b);
        if (op == BinaryOp::Add) return Value::currency(currencyOf(x + y));
        if (op == BinaryOp::Sub) return Value::currency(currencyOf(x - y));
        return Value::currency(multiplyExact(x, y));
    }
    double x = a.toDouble(), y = b.toDouble();
    return Value::real(op == BinaryOp::Add ? x + y : op == BinaryOp::Sub ? x - y : x * y);
}

Value negated(const Value& v) {
    if (v.isNull()) return v;
    Value n = asNumber(v);
    if (n.isInteger()) {
        int64_t r = 0;
        if (__builtin_sub_overflow(int64_t{0}, n.asInteger(), &r)) throw overflowError();
        return Value::integer(r);
    }
    if (n.isCurrency()) return Value::currency(-n.asCurrency());
    if (n.isBool()) return Value::integer(n.asBool() ? 1 : 0);
    return Value::real(-n.toDouble());
}

Tri likeTruth(const Node& n, const Row& row, const Bindings& bd) {
    Value s1, s2;
    const Value& v = evaluate(n.args[0], row, bd, s1);
    if (v.isNull()) return Tri::Null;
    const Node& pn = n.args[1];
    const LikePattern* compiled =
        pn.param >= 0 && static_cast<size_t>(pn.param) < bd.patterns.size() ? bd.patterns[pn.param].get() : nullptr;
    bool m;
    if (compiled) {
        if (v.isText()) m = compiled->matches(v.asText());
        else m = compiled->matches(textOf(v));
    } else {
        const Value& p = evaluate(pn, row, bd, s2);
        if (p.isNull()) return Tri::Null;
        std::string patternText = textOf(p);
        auto pattern = LikePattern::compile(patternText);
        if (!pattern) throw syntaxError(patternText);
        m = pattern->matches(textOf(v));
    }
    return fromBool(m != n.negated);
}

Tri inTruth(const Node& n, const Row& row, const Bindings& bd) {
    Value s;
    const Value& v = evaluate(n.args[0], row, bd, s);
    if (v.isNull()) return Tri::Null;
    bool sawNull = false;
    for (size_t i = 1; i < n.args.size(); ++i) {
        Value si;
        auto c = compareValues(v, evaluate(n.args[i], row, bd, si));
        if (!c) sawNull = true;
        else if (*c == 0) return fromBool(!n.negated);
    }
    return sawNull ? Tri::Null : fromBool(n.negated);
}

Tri betweenTruth(const Node& n, const Row& row, const Bindings& bd) {
    Value s0, s1, s2;
    const Value& v = evaluate(n.args[0], row, bd, s0);
    if (v.isNull()) return Tri::Null;
    Tri t = both(applyCompare(CompareOp::Ge, compareValues(v, evaluate(n.args[1], row, bd, s1))),
                 applyCompare(CompareOp::Le, compareValues(v, evaluate(n.args[2], row, bd, s2))));
    return n.negated ? negate(t) : t;
}

Value fromTri(Tri t) { return t == Tri::Null ? Value::null() : Value::boolean(t == Tri::True); }

}  // namespace

std::optional<double> readNumber(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    bool minus = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        minus = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || !((t.front() >= '0' && t.front() <= '9') || t.front() == '.')) return std::nullopt;
    double d = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), d, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return minus ? -d : d;
}

Value numberValue(double d) {
    if (d == std::trunc(d) && std::fabs(d) < 9007199254740992.0) return Value::integer(static_cast<int64_t>(d));
    return Value::real(d);
}

const NumberFormat& textFormat() {
    static const NumberFormat f = NumberFormat::fromEnvironmentLocale();
    return f;
}

std::string textOf(const Value& v) { return v.isText() ? std::string(v.asText()) : v.toText(textFormat()); }

std::optional<int> compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) return std::nullopt;
    if (a.isText() && b.isText()) {
        int c = cp1252::compareNoCase(a.asText(), b.asText());
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.isText() || b.isText()) return compareNumbers(asNumber(a), asNumber(b));
    return compareNumbers(a, b);
}

int compareForSort(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : a.isNull() ? -1 : 1;
    if (a.isText() && b.isText()) return cp1252::compareNoCase(a.asText(), b.asText());
    if (a.isText() != b.isText()) return a.isText() ? 1 : -1;  // numbers before texts in a mixed column
    return compareNumbers(a, b);
}

Tri truth(const Node& n, const Row& row, const Bindings& bd) {
    switch (n.kind) {
        case ExprKind::And: {
            Tri a = truth(n.args[0], row, bd);
            if (a == Tri::False) return a;
            Tri b = truth(n.args[1], row, bd);
            return both(a, b);
        }
        case ExprKind::Or: {
            Tri a = truth(n.args[0], row, bd);
            if (a == Tri::True) return a;
            Tri b = truth(n.args[1], row, bd);
            if (b == Tri::True) return b;
            return a == Tri::Null || b == Tri::Null ? Tri::Null : Tri::False;
        }
        case ExprKind::Not: return negate(truth(n.args[0], row, bd));
        case ExprKind::Compare: {
            Value s0, s1;
            const Value& a = evaluate(n.args[0], row, bd, s0);
            const Value& b = evaluate(n.args[1], row, bd, s1);
            return applyCompare(n.compare, compareValues(a, b));
        }
        case ExprKind::Like: return likeTruth(n, row, bd);
        case ExprKind::IsNull: {
            Value s;
            return fromBool(evaluate(n.args[0], row, bd, s).isNull() != n.negated);
        }
        case ExprKind::In: return inTruth(n, row, bd);
        case ExprKind::Between: return betweenTruth(n, row, bd);
        default: {
            Value s;
            return truthOfValue(evaluate(n, row, bd, s));
        }
    }
}

const Value& evaluate(const Node& n, const Row& row, const Bindings& bd, Value& scratch) {
    switch (n.kind) {
        case ExprKind::Literal: return n.param >= 0 ? bd.values[static_cast<size_t>(n.param)] : n.literal;
        case ExprKind::Field: return static_cast<size_t>(n.field) < row.size() ? row[static_cast<size_t>(n.field)] : kNull;
        case ExprKind::Negate: {
            Value s;
            scratch = negated(evaluate(n.args[0], row, bd, s));
            return scratch;
        }
        case ExprKind::Binary: {
            Value s0, s1;
            const Value& a = evaluate(n.args[0], row, bd, s0);
            const Value& b = evaluate(n.args[1], row, bd, s1);
            scratch = arithmetic(n.binary, a, b);
            return scratch;
        }
        case ExprKind::Call: {
            // IIf evaluates the branch it takes only, so the other may fail or be null.
            if (n.function == Function::IIf) {
                Tri cond = truth(n.args[0], row, bd);
                const Value& v = evaluate(n.args[cond == Tri::True ? 1 : 2], row, bd, scratch);
                if (&v != &scratch) scratch = v;
                return scratch;
            }
            Value args[4];
            size_t count = n.args.size() < 4 ? n.args.size() : 4;
            for (size_t i = 0; i < count; ++i) {
                Value s;
                const Value& v = evaluate(n.args[i], row, bd, s);
                args[i] = &v == &s ? std::move(s) : v;
            }
            scratch = callFunction(n.function, args, count);
            return scratch;
        }
        case ExprKind::Aggregate:
            // A query computes its aggregates over the groups; one that reaches a row is misplaced.
            throw Error(kInvalidUse, "Funzione di aggregazione fuori da una query di raggruppamento.");
        default: scratch = fromTri(truth(n, row, bd));
            return scratch;
    }
}

Value combine(BinaryOp op, const Value& left, const Value& right) { return arithmetic(op, left, right); }

}  // namespace ov::query
