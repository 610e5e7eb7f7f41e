#include "core/number_format.h"

#include <cctype>
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

namespace {

// A double as the engine's text conversion sees it: 15 significant digits (digits[0] non-zero,
// trailing zeros kept) and the power of ten of the first digit.
struct Significant {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Significant significant(double value) {
    // to_chars writes what printf's "%.14e" writes, at a fraction of its cost.
    char buf[64];
    auto written = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    Significant s;
    const char* p = buf;
    if (*p == '-') {
        s.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') s.digits += *p;
    if (*p == 'e') s.exponent = std::atoi(p + 1);
    return s;
}

}  // namespace

std::string NumberFormat::fixed2(double value) const {
    // Rounded once, half away from zero, from the value's 15 significant digits.
    if (!std::isfinite(value) || value == 0) return fixed2(Money());
    Significant s = significant(value);
    // The value in cents, as decimal digits: the digits before the second decimal, rounded by the next.
    const int keep = s.exponent + 1 + 2;
    std::string cents;
    for (int i = 0; i < keep; ++i) cents += i < static_cast<int>(s.digits.size()) ? s.digits[static_cast<size_t>(i)] : '0';
    if (keep >= 0 && keep < static_cast<int>(s.digits.size()) && s.digits[static_cast<size_t>(keep)] >= '5') {
        int i = static_cast<int>(cents.size()) - 1;
        for (; i >= 0 && cents[static_cast<size_t>(i)] == '9'; --i) cents[static_cast<size_t>(i)] = '0';
        if (i < 0) cents.insert(cents.begin(), '1');
        else ++cents[static_cast<size_t>(i)];
    }
    while (cents.size() > 1 && cents.front() == '0') cents.erase(cents.begin());
    if (cents.find_first_not_of('0') == std::string::npos) return fixed2(Money());
    if (cents.size() < 3) cents.insert(cents.begin(), 3 - cents.size(), '0');
    std::string out = s.negative ? "-" : "";
    out += cents.substr(0, cents.size() - 2);
    out += decimal;
    out += cents.substr(cents.size() - 2);
    return out;
}

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
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    Significant s = significant(value);
    while (s.digits.size() > 1 && s.digits.back() == '0') s.digits.pop_back();
    std::string out = s.negative ? "-" : "";
    if (s.exponent >= 15 || s.exponent < -4) {
        // 1E+15, 1,23456789012346E+17, 1E-05: one digit, the decimals, the power of ten.
        out += s.digits[0];
        if (s.digits.size() > 1) out += decimal + s.digits.substr(1);
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", s.exponent < 0 ? '-' : '+', std::abs(s.exponent));
        return out + e;
    }
    if (s.exponent < 0) {
        out += '0';
        out += decimal;
        out += std::string(static_cast<size_t>(-s.exponent - 1), '0') + s.digits;
        return out;
    }
    const size_t whole = static_cast<size_t>(s.exponent) + 1;
    if (s.digits.size() <= whole) return out + s.digits + std::string(whole - s.digits.size(), '0');
    return out + s.digits.substr(0, whole) + decimal + s.digits.substr(whole);
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
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
        } else if (c == decimal && !seenDecimal) {
            plain += '.';
            seenDecimal = true;
        } else if (c == thousands && !seenDecimal && digits) {
            continue;
        } else if ((c == 'E' || c == 'e') && digits) {
            // A power of ten ends the number: "1E3", "1,5E-05".
            size_t j = i + 1;
            std::string exponent = "e";
            if (j < t.size() && (t[j] == '+' || t[j] == '-')) exponent += t[j++];
            if (j == t.size()) return std::nullopt;
            for (; j < t.size(); ++j) {
                if (t[j] < '0' || t[j] > '9') return std::nullopt;
                exponent += t[j];
            }
            plain += exponent;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double v = plainDecimal(plain);
    return negative ? -v : v;
}

double leadingNumber(std::string_view text) {
    // Like the original's Val: blanks anywhere are ignored, a sign, digits, one dot, and a power of
    // ten after E or D ("1E3" is 1000).
    std::string plain;
    bool seenDot = false, seenDigit = false, seenSign = false;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' || c == '\t') continue;
        if (c >= '0' && c <= '9') { plain += c; seenDigit = true; continue; }
        if ((c == '-' || c == '+') && !seenDigit && !seenSign && !seenDot) { plain += c; seenSign = true; continue; }
        if (c == '.' && !seenDot) { plain += c; seenDot = true; continue; }
        break;
    }
    if (!seenDigit) return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::string exponent = "e";
        size_t j = i + 1;
        auto skipBlanks = [&] {
            while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
        };
        skipBlanks();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        for (skipBlanks(); j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j, skipBlanks()) exponent += text[j];
        if (exponent.size() > 1 && std::isdigit(static_cast<unsigned char>(exponent.back()))) plain += exponent;
    }
    double v = plainDecimal(plain);
    return std::isfinite(v) ? v : 0;
}

}  // namespace ov
