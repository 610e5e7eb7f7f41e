#include "core/money.h"

#include <cmath>
#include <cstdlib>

#include "core/error.h"

namespace ov {
namespace {

// The magnitude of a count of units, exact for the smallest value too.
uint64_t magnitude(int64_t units) { return units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units); }

}  // namespace

Money Money::fromInteger(int64_t whole) {
    int64_t units = 0;
    if (__builtin_mul_overflow(whole, kScale, &units)) throw overflowError();
    return fromUnits(units);
}

Money Money::fromDouble(double value) {
    const double scaled = std::round(value * kScale);
    // 2^63 is exactly representable: anything from it up (or below -2^63) does not fit.
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) throw overflowError();
    return fromUnits(static_cast<int64_t>(scaled));
}

std::optional<Money> Money::parse(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // Ten-thousandths counted in 128 bits: past 2^64 the text is no currency anyway.
    __int128 units = 0;
    int digits = 0;
    const __int128 tooLarge = static_cast<__int128>(1) << 64;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (units < tooLarge) units = units * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    int fracDigits = 0;
    bool roundUp = false;
    units *= kScale;
    if (i < text.size() && text[i] == '.') {
        ++i;
        __int128 place = kScale;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (fracDigits < 4) {
                place /= 10;
                units += place * (text[i] - '0');
                ++fracDigits;
            } else if (fracDigits == 4) {
                roundUp = text[i] >= '5';
                ++fracDigits;
            }
            ++i;
            ++digits;
        }
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (digits == 0 || i != text.size()) return std::nullopt;
    if (roundUp) ++units;
    if (negative) units = -units;
    if (units < INT64_MIN || units > INT64_MAX) return std::nullopt;
    return fromUnits(static_cast<int64_t>(units));
}

std::string Money::toPlainString() const {
    const uint64_t u = magnitude(units_);
    std::string frac = std::to_string(u % kScale);
    frac.insert(0, 4 - frac.size(), '0');
    return (units_ < 0 ? "-" : "") + std::to_string(u / kScale) + "." + frac;
}

int64_t Money::roundedTo(int decimals) const {
    uint64_t div = 1;
    for (int k = decimals; k < 4; ++k) div *= 10;
    const uint64_t r = (magnitude(units_) + div / 2) / div;  // at most 2^63 / 10 + 1: no overflow
    return units_ < 0 ? -static_cast<int64_t>(r) : static_cast<int64_t>(r);
}

Money Money::operator+(Money o) const {
    int64_t sum = 0;
    if (__builtin_add_overflow(units_, o.units_, &sum)) throw overflowError();
    return fromUnits(sum);
}

Money Money::operator-(Money o) const {
    int64_t difference = 0;
    if (__builtin_sub_overflow(units_, o.units_, &difference)) throw overflowError();
    return fromUnits(difference);
}

Money Money::operator-() const { return Money() - *this; }

}  // namespace ov
