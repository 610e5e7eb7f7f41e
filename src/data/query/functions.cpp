// The built-in functions of the dialect. A null argument gives null, so a condition built on it is
// simply not a match (the engine itself raises "invalid use of Null" for some of them; a report
// walking notes that may be empty must not stop on one).
#include <cmath>

#include "core/cp1252.h"
#include "data/query/errors.h"
#include "data/query/evaluator.h"

namespace ov::query {
namespace {

Error invalidArgument() { return Error(kInvalidUse, "Argomento o chiamata di routine non validi."); }

// A whole-number argument (lengths, positions): rounded half to even, as the engine converts.
int64_t wholeArgument(const Value& v) {
    double d;
    if (v.isText()) {
        auto n = readNumber(v.asText());
        if (!n) throw typeMismatchError();
        d = *n;
    } else {
        d = v.toDouble();
    }
    double r = std::nearbyint(d);
    if (!(std::fabs(r) < 2147483648.0)) throw overflowError();
    return static_cast<int64_t>(r);
}

double numberArgument(const Value& v) {
    if (!v.isText()) return v.toDouble();
    auto n = readNumber(v.asText());
    if (!n) throw typeMismatchError();
    return *n;
}

std::string lowerText(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(cp1252::lower(static_cast<unsigned char>(c)));
    return out;
}

// InStr([start,] text, sought[, compare]): 1-based position, 0 when absent. Compare 0 is exact,
// anything else (and the default, as in queries) ignores case.
Value inStr(const Value* a, size_t count) {
    size_t first = count >= 3 ? 1 : 0;
    const Value& hay = a[first];
    const Value& needle = a[first + 1];
    if (count >= 3 && a[0].isNull()) return Value::null();
    int64_t start = count >= 3 ? wholeArgument(a[0]) : 1;
    if (start < 1) throw invalidArgument();
    bool exact = false;
    if (count == 4) {
        if (a[3].isNull()) return Value::null();
        exact = wholeArgument(a[3]) == 0;
    }
    if (hay.isNull() || needle.isNull()) return Value::null();
    std::string h = textOf(hay), s = textOf(needle);
    if (h.empty()) return Value::integer(0);
    if (static_cast<size_t>(start) > h.size()) return Value::integer(0);
    if (s.empty()) return Value::integer(start);
    if (!exact) {
        h = cp1252::toUpper(h);
        s = cp1252::toUpper(s);
    }
    size_t at = h.find(s, static_cast<size_t>(start - 1));
    return Value::integer(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
}

}  // namespace

Value callFunction(Function f, const Value* a, size_t count) {
    if (f == Function::InStr) return inStr(a, count);
    if (f == Function::Nz) return !a[0].isNull() ? a[0] : count > 1 ? a[1] : Value::text("");
    for (size_t i = 0; i < count; ++i)
        if (a[i].isNull()) return Value::null();

    switch (f) {
        case Function::Val:
            // The leading number of the text: "0012 Bar" is 12, "12ab" is 12, "" is 0.
            return Value::real(a[0].isText() ? leadingNumber(a[0].asText()) : a[0].toDouble());
        case Function::Left:
        case Function::Right: {
            int64_t n = wholeArgument(a[1]);
            if (n < 0) throw invalidArgument();
            std::string s = textOf(a[0]);
            size_t k = static_cast<size_t>(n) < s.size() ? static_cast<size_t>(n) : s.size();
            return Value::text(f == Function::Left ? s.substr(0, k) : s.substr(s.size() - k));
        }
        case Function::Mid: {
            int64_t start = wholeArgument(a[1]);
            if (start < 1) throw invalidArgument();
            std::string s = textOf(a[0]);
            if (static_cast<size_t>(start) > s.size()) return Value::text("");
            size_t len = std::string::npos;
            if (count == 3) {
                int64_t l = wholeArgument(a[2]);
                if (l < 0) throw invalidArgument();
                len = static_cast<size_t>(l);
            }
            return Value::text(s.substr(static_cast<size_t>(start - 1), len));
        }
        case Function::Len: return Value::integer(static_cast<int64_t>(textOf(a[0]).size()));
        case Function::Trim: return Value::text(std::string(cp1252::trim(textOf(a[0]))));
        case Function::LTrim: return Value::text(std::string(cp1252::trimLeft(textOf(a[0]))));
        case Function::RTrim: return Value::text(std::string(cp1252::trimRight(textOf(a[0]))));
        case Function::UCase: return Value::text(cp1252::toUpper(textOf(a[0])));
        case Function::LCase: return Value::text(lowerText(textOf(a[0])));
        case Function::CStr: return Value::text(textOf(a[0]));
        case Function::CLng: return Value::integer(wholeArgument(a[0]));
        case Function::CDbl: return Value::real(numberArgument(a[0]));
        case Function::InStr:
        case Function::Nz: break;
    }
    return Value::null();
}

}  // namespace ov::query
