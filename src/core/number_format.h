#pragma once
// Numbers in the notation of the regional settings: every pattern the reports use.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/money.h"

namespace ov {

struct NumberFormat {
    char decimal = ',';
    char thousands = '.';

    static NumberFormat italian() { return {',', '.'}; }
    static NumberFormat english() { return {'.', ','}; }
    // From LC_NUMERIC; "C"/"POSIX" (not configured) falls back to Italian.
    static NumberFormat fromEnvironmentLocale();

    // "0.00" / "###0.00": two decimals, at least one integer digit, no grouping, half away from zero.
    std::string fixed2(Money value) const;
    std::string fixed2(double value) const;
    // "#,##0" / "#,###,###,##0": grouped, no decimals, rounded half away from zero.
    std::string grouped(double value) const;
    std::string grouped(int64_t value) const;
    // The general number format: no fixed decimals, up to 15 significant digits ("1234,5", "0,25", "7").
    std::string general(double value) const;
    std::string general(Money value) const;

    // A text read as a number in the user's locale: blanks around it, a sign before or after it,
    // thousands separators in the integer part and one decimal separator. Nothing else.
    std::optional<double> parse(std::string_view text) const;
};

// The leading number of a text, blanks ignored, 0 if there is none (the original's Val on
// digits): "  12ab" -> 12, "0012 Bar" -> 12, "-3" -> -3, "1.5" -> 1.5, "12,50" -> 12.
double leadingNumber(std::string_view text);

}  // namespace ov
