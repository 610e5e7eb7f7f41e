// The built-in functions of the dialect. A null argument gives null, so a condition built on it is
// simply not a match (the engine itself raises "invalid use of Null" for some of them; a report
// walking notes that may be empty must not stop on one).
#include <cmath>
#include <optional>

#include "core/cp1252.h"
#include "core/dates.h"
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

// Whole numbers of a 16-bit field (CInt) and of the engine's currency.
constexpr double kIntegerLimit = 32768.0;
constexpr double kCurrencyLimit = 922337203685477.5807;

Error overflow() { return Error(kOverflow, "Overflow."); }

// The engine's currency of a number, rounded to four decimals half to even, as CCur rounds.
Value currencyOf(const Value& v) {
    if (v.isCurrency()) return v;
    if (v.isInteger() || v.isBool()) {
        double whole = v.toDouble();
        if (std::fabs(whole) >= kCurrencyLimit) throw overflow();
        return Value::currency(v.toMoney());
    }
    double d = numberArgument(v);
    if (!(std::fabs(d) < kCurrencyLimit)) throw overflow();
    return Value::currency(Money::fromUnits(static_cast<int64_t>(std::nearbyint(d * Money::kScale))));
}

// Int rounds down, Fix toward zero; whole numbers stay as they are.
Value wholePart(const Value& v, bool towardZero) {
    if (v.isInteger()) return v;
    if (v.isBool()) return Value::integer(v.asBool() ? -1 : 0);
    if (v.isCurrency()) {
        int64_t u = v.asCurrency().units(), q = u / Money::kScale;
        if (!towardZero && u < 0 && u % Money::kScale != 0) --q;
        return Value::currency(Money::fromInteger(q));
    }
    double d = numberArgument(v);
    return Value::real(towardZero ? std::trunc(d) : std::floor(d));
}

Value absolute(const Value& v) {
    if (v.isInteger()) return Value::integer(v.asInteger() < 0 ? -v.asInteger() : v.asInteger());
    if (v.isBool()) return Value::integer(v.asBool() ? 1 : 0);
    if (v.isCurrency()) return Value::currency(v.asCurrency() < Money() ? -v.asCurrency() : v.asCurrency());
    return Value::real(std::fabs(numberArgument(v)));
}

// The day and the time of a date value: a date-time, a serial number or a text DD/MM/YYYY.
struct DayAndTime {
    Date day;
    long seconds = 0;
};

DayAndTime dateArgument(const Value& v) {
    double serial;
    if (v.isText()) {
        std::optional<Date> d = Date::fromDmy(cp1252::trim(v.asText()));
        if (!d) throw typeMismatchError();
        return DayAndTime{*d, 0};
    }
    serial = v.toDouble();
    double whole = std::floor(serial);
    // The engine counts days from 30/12/1899, which is 25569 days before 01/01/1970.
    return DayAndTime{Date::fromSerial(static_cast<long>(whole) - 25569), std::lround((serial - whole) * 86400.0)};
}

int weekday(const Date& d, int firstDay) {
    // 01/01/1970 was a Thursday, day 5 counting from Sunday = 1.
    long sundayBased = ((d.serial() + 4) % 7 + 7) % 7;  // 0 = Sunday
    return static_cast<int>((sundayBased - (firstDay - 1) + 7) % 7) + 1;
}

Value datePart(const Value* a, size_t count) {
    std::string interval = cp1252::toUpper(textOf(a[0]));
    DayAndTime t = dateArgument(a[1]);
    int firstDay = count >= 3 && !a[2].isNull() ? static_cast<int>(wholeArgument(a[2])) : 1;
    if (firstDay == 0) firstDay = 2;  // the system's first day of the week: Monday in Italy
    if (firstDay < 1 || firstDay > 7) throw invalidArgument();
    const Date& d = t.day;
    const long dayOfYear = Date::daysBetween(Date{d.year, 1, 1}, d) + 1;
    if (interval == "YYYY") return Value::integer(d.year);
    if (interval == "Q") return Value::integer((d.month - 1) / 3 + 1);
    if (interval == "M") return Value::integer(d.month);
    if (interval == "Y") return Value::integer(dayOfYear);
    if (interval == "D") return Value::integer(d.day);
    if (interval == "W") return Value::integer(weekday(d, firstDay));
    if (interval == "WW") {
        // Week 1 holds 1 January; weeks start on the first day of the week.
        int offset = weekday(Date{d.year, 1, 1}, firstDay) - 1;
        return Value::integer((dayOfYear - 1 + offset) / 7 + 1);
    }
    if (interval == "H") return Value::integer(t.seconds / 3600);
    if (interval == "N") return Value::integer(t.seconds / 60 % 60);
    if (interval == "S") return Value::integer(t.seconds % 60);
    throw invalidArgument();
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
        case Function::CCur: return currencyOf(a[0]);
        case Function::CInt: {
            double r = std::nearbyint(numberArgument(a[0]));
            if (!(std::fabs(r + 0.5) < kIntegerLimit)) throw overflow();
            return Value::integer(static_cast<int64_t>(r));
        }
        case Function::CSng: return Value::real(static_cast<float>(numberArgument(a[0])));
        case Function::CBool: return Value::boolean(numberArgument(a[0]) != 0);
        case Function::Abs: return absolute(a[0]);
        case Function::Int: return wholePart(a[0], false);
        case Function::Fix: return wholePart(a[0], true);
        case Function::Year: return Value::integer(dateArgument(a[0]).day.year);
        case Function::Month: return Value::integer(dateArgument(a[0]).day.month);
        case Function::Day: return Value::integer(dateArgument(a[0]).day.day);
        case Function::DatePart: return datePart(a, count);
        case Function::IIf:  // evaluated by the evaluator, which takes one branch only
        case Function::InStr:
        case Function::Nz: break;
    }
    return Value::null();
}

}  // namespace ov::query
