#pragma once
// Exact money: a 64-bit count of ten-thousandths, like the engine's Currency type. Arithmetic that
// would leave the type's range is Jet's error 6 "Overflow", never a wrapped value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov {

class Money {
public:
    static constexpr int64_t kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(int64_t tenThousandths) { Money m; m.units_ = tenThousandths; return m; }
    // Error 6 when the amount does not fit.
    static Money fromInteger(int64_t whole);
    // Rounded to four decimals, half away from zero; error 6 when it does not fit (NaN included).
    static Money fromDouble(double value);
    // Parses a plain decimal text with a dot: "230.0000", "-12.5", "7". Empty optional when it is
    // not one or does not fit.
    static std::optional<Money> parse(std::string_view text);

    constexpr int64_t units() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / kScale; }
    // Plain decimal with a dot and four decimals: "230.0000", "-0.5000".
    std::string toPlainString() const;
    // Rounded to `decimals` places, half away from zero, as units of 10^-decimals.
    int64_t roundedTo(int decimals) const;

    // Error 6 "Overflow" when the result leaves the range.
    Money operator+(Money o) const;
    Money operator-(Money o) const;
    Money operator-() const;
    Money& operator+=(Money o) { return *this = *this + o; }
    Money& operator-=(Money o) { return *this = *this - o; }
    constexpr auto operator<=>(const Money&) const = default;

private:
    int64_t units_ = 0;
};

}  // namespace ov
