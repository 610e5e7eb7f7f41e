#include "core/money.h"

#include <cmath>
#include <cstdlib>

namespace ov {

Money Money::fromDouble(double value) {
    return fromUnits(static_cast<int64_t>(std::llround(value * kScale)));
}

std::optional<Money> Money::parse(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t whole = 0;
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        whole = whole * 10 + (text[i++] - '0');
        ++digits;
    }
    int64_t frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (fracDigits < 4) {
                frac = frac * 10 + (text[i] - '0');
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
    for (int k = fracDigits; k < 4; ++k) frac *= 10;
    int64_t units = whole * kScale + frac + (roundUp ? 1 : 0);
    return fromUnits(negative ? -units : units);
}

std::string Money::toPlainString() const {
    int64_t u = units_ < 0 ? -units_ : units_;
    std::string frac = std::to_string(u % kScale);
    frac.insert(0, 4 - frac.size(), '0');
    return (units_ < 0 ? "-" : "") + std::to_string(u / kScale) + "." + frac;
}

int64_t Money::roundedTo(int decimals) const {
    int64_t div = 1;
    for (int k = decimals; k < 4; ++k) div *= 10;
    int64_t u = units_ < 0 ? -units_ : units_;
    int64_t r = (u + div / 2) / div;
    return units_ < 0 ? -r : r;
}

}  // namespace ov
