#pragma once
// Exact money: a 64-bit count of ten-thousandths, like the engine's Currency type.
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
    static constexpr Money fromInteger(int64_t whole) { return fromUnits(whole * kScale); }
    // Rounded to four decimals, half away from zero.
    static Money fromDouble(double value);
    // Parses a plain decimal text with a dot: "230.0000", "-12.5", "7". Empty optional when it is not one.
    static std::optional<Money> parse(std::string_view text);

    constexpr int64_t units() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / kScale; }
    // Plain decimal with a dot and four decimals: "230.0000", "-0.5000".
    std::string toPlainString() const;
    // Rounded to `decimals` places, half away from zero, as units of 10^-decimals.
    int64_t roundedTo(int decimals) const;

    constexpr Money operator+(Money o) const { return fromUnits(units_ + o.units_); }
    constexpr Money operator-(Money o) const { return fromUnits(units_ - o.units_); }
    constexpr Money operator-() const { return fromUnits(-units_); }
    Money& operator+=(Money o) { units_ += o.units_; return *this; }
    Money& operator-=(Money o) { units_ -= o.units_; return *this; }
    constexpr auto operator<=>(const Money&) const = default;

private:
    int64_t units_ = 0;
};

}  // namespace ov
