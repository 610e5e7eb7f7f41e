#include "core/number_format.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/error.h"

namespace ov {
namespace {

// A plain decimal with a dot, whatever the process's C locale says (Qt sets it from the system).
double plainDecimal(const std::string& text) {
    double v = 0;
    const char* first = text.data();
    if (!text.empty() && text[0] == '+') ++first;
    std::from_chars(first, text.data() + text.size(), v);
    return v;
}

std::string groupDigits(const std::string& digits, char sep) {
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += sep;
    }
    return out;
}

}  // namespace

NumberFormat NumberFormat::fromEnvironmentLocale() {
    const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
    std::string loc;
    for (const char* n : names) {
        const char* v = std::getenv(n);
        if (v && *v) { loc = v; break; }
    }
    if (loc.empty() || loc == "C" || loc == "POSIX" || loc.rfind("C.", 0) == 0) return italian();
    // Ask the C library for the locale's separators.
    NumberFormat f = italian();
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, loc.c_str())) {
        const std::lconv* lc = std::localeconv();
        if (lc->decimal_point && std::strlen(lc->decimal_point) == 1) f.decimal = lc->decimal_point[0];
        if (lc->thousands_sep && std::strlen(lc->thousands_sep) == 1) f.thousands = lc->thousands_sep[0];
        else f.thousands = f.decimal == ',' ? '.' : ',';
        std::setlocale(LC_NUMERIC, saved.c_str());
    }
    return f;
}

std::string NumberFormat::fixed2(Money value) const {
    int64_t cents = value.roundedTo(2);
    int64_t a = cents < 0 ? -cents : cents;
    char frac[3];
    std::snprintf(frac, sizeof frac, "%02lld", static_cast<long long>(a % 100));
    std::string out = (cents < 0 ? "-" : "") + std::to_string(a / 100);
    out += decimal;
    out += frac;
    return out;
}

std::string NumberFormat::fixed2(double value) const { return fixed2(Money::fromDouble(value)); }

std::string NumberFormat::grouped(double value) const {
    double r = std::round(value);  // half away from zero
    if (r == 0) return "0";
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throw overflowError();
    return grouped(static_cast<int64_t>(r));
}

std::string NumberFormat::grouped(int64_t value) const {
    uint64_t a = value < 0 ? static_cast<uint64_t>(-(value + 1)) + 1 : static_cast<uint64_t>(value);
    return (value < 0 ? "-" : "") + groupDigits(std::to_string(a), thousands);
}

std::string NumberFormat::general(double value) const {
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    if (s.find('e') != std::string::npos || s.find('E') != std::string::npos) {
        // Very large or small values: fall back to plain notation without exponent.
        std::snprintf(buf, sizeof buf, "%.15f", value);
        s = buf;
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    for (auto& c : s)
        if (c == '.') c = decimal;
    return s;
}

std::string NumberFormat::general(Money value) const {
    std::string s = value.toPlainString();
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    for (auto& c : s)
        if (c == '.') c = decimal;
    return s == "-0" ? "0" : s;
}

std::optional<double> NumberFormat::parse(std::string_view t) const {
    size_t i = 0, n = t.size();
    while (i < n && t[i] == ' ') ++i;
    while (n > i && t[n - 1] == ' ') --n;
    t = t.substr(i, n - i);
    if (t.empty()) return std::nullopt;
    bool negative = false;
    if (t.front() == '-' || t.front() == '+') {
        negative = t.front() == '-';
        t.remove_prefix(1);
    } else if (t.back() == '-' || t.back() == '+') {
        negative = t.back() == '-';
        t.remove_suffix(1);
    }
    std::string plain;
    bool seenDecimal = false, digits = false;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
        } else if (c == decimal && !seenDecimal) {
            plain += '.';
            seenDecimal = true;
        } else if (c == thousands && !seenDecimal && digits) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double v = plainDecimal(plain);
    return negative ? -v : v;
}

double leadingNumber(std::string_view text) {
    // Like the original's Val: blanks anywhere are ignored, a sign, digits, one dot.
    std::string plain;
    bool seenDot = false, seenDigit = false, seenSign = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (c >= '0' && c <= '9') { plain += c; seenDigit = true; continue; }
        if ((c == '-' || c == '+') && !seenDigit && !seenSign && !seenDot) { plain += c; seenSign = true; continue; }
        if (c == '.' && !seenDot) { plain += c; seenDot = true; continue; }
        break;
    }
    if (!seenDigit) return 0;
    return plainDecimal(plain);
}

}  // namespace ov
