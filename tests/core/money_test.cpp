#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "core/error.h"
#include "core/money.h"
#include "core/number_format.h"

using ov::Money;
using ov::NumberFormat;

namespace {

const Money kMax = Money::fromUnits(std::numeric_limits<int64_t>::max());
const Money kMin = Money::fromUnits(std::numeric_limits<int64_t>::min());

}  // namespace

TEST(Money, ArithmeticPastTheCurrencyRangeIsOverflowNeverAWrappedValue) {
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"max + 0,0001", [] { (void)(kMax + Money::fromUnits(1)); }},
        {"min - 0,0001", [] { (void)(kMin - Money::fromUnits(1)); }},
        {"-min", [] { (void)(-kMin); }},
        {"total += min", [] { Money t = Money::fromUnits(-1); t += kMin; }},
        {"whole number too large", [] { Money::fromInteger(922337203685478); }},
        {"double too large", [] { Money::fromDouble(1e15); }},
        {"not a number", [] { Money::fromDouble(std::nan("")); }},
    };
    for (const auto& [what, operation] : cases) {
        try {
            operation();
            ADD_FAILURE() << what << " gave a value";
        } catch (const ov::Error& e) {
            EXPECT_EQ(e.number(), ov::err::Overflow) << what;
            EXPECT_EQ(e.message(), "Overflow.") << what;
        }
    }
    EXPECT_EQ((kMax + kMin).units(), -1);
    EXPECT_EQ((-kMax).units(), -std::numeric_limits<int64_t>::max());
    EXPECT_FALSE(Money::parse("922337203685478").has_value());
}

TEST(Money, TheSmallestValueIsWrittenAndRoundedExactly) {
    EXPECT_EQ(kMin.toPlainString(), "-922337203685477.5808");
    EXPECT_EQ(kMax.toPlainString(), "922337203685477.5807");
    EXPECT_EQ(kMin.roundedTo(2), -92233720368547758);
    EXPECT_EQ(NumberFormat::italian().fixed2(kMin), "-922337203685477,58");
    EXPECT_EQ(Money::parse("-922337203685477.5808"), kMin);
    EXPECT_EQ(Money::parse("922337203685477.5808"), std::nullopt);
}

TEST(Money, ParsesEngineTextExactly) {
    EXPECT_EQ(Money::parse("230.0000")->units(), 2300000);
    EXPECT_EQ(Money::parse("-12.5")->units(), -125000);
    EXPECT_EQ(Money::parse("0.00005")->units(), 1);  // fifth decimal rounds half away from zero
    EXPECT_FALSE(Money::parse("12,5").has_value());
    EXPECT_FALSE(Money::parse("").has_value());
    EXPECT_EQ(Money::fromUnits(-5000).toPlainString(), "-0.5000");
}

TEST(NumberFormat, FixedTwoDecimalsRoundsHalfAwayFromZero) {
    auto it = NumberFormat::italian();
    EXPECT_EQ(it.fixed2(*Money::parse("1250.5")), "1250,50");
    EXPECT_EQ(it.fixed2(Money()), "0,00");
    EXPECT_EQ(it.fixed2(*Money::parse("-12")), "-12,00");
    EXPECT_EQ(it.fixed2(*Money::parse("0.005")), "0,01");
    EXPECT_EQ(it.fixed2(*Money::parse("-0.005")), "-0,01");
    EXPECT_EQ(it.fixed2(*Money::parse("-0.004")), "0,00");
    EXPECT_EQ(NumberFormat::english().fixed2(*Money::parse("1234.5")), "1234.50");
}

TEST(NumberFormat, GroupedAndGeneral) {
    auto it = NumberFormat::italian();
    EXPECT_EQ(it.grouped(int64_t{1234567}), "1.234.567");
    EXPECT_EQ(it.grouped(int64_t{-1234}), "-1.234");
    EXPECT_EQ(it.grouped(999.5), "1.000");
    EXPECT_EQ(NumberFormat::english().grouped(int64_t{1502}), "1,502");
    EXPECT_EQ(it.general(1234.5), "1234,5");
    EXPECT_EQ(it.general(*Money::parse("7.0000")), "7");
    EXPECT_EQ(it.general(*Money::parse("0.2500")), "0,25");
}

TEST(NumberFormat, ParsesTheUsersLocale) {
    auto it = NumberFormat::italian();
    EXPECT_DOUBLE_EQ(*it.parse("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(*it.parse("1.234,5"), 1234.5);
    EXPECT_DOUBLE_EQ(*it.parse(" 12,5- "), -12.5);
    EXPECT_FALSE(it.parse("12a").has_value());
    EXPECT_FALSE(it.parse("").has_value());
    EXPECT_DOUBLE_EQ(ov::leadingNumber("0012 Bar"), 12);
    EXPECT_DOUBLE_EQ(ov::leadingNumber("12,50"), 12);
    EXPECT_DOUBLE_EQ(ov::leadingNumber(" 1 2ab"), 12);
    EXPECT_DOUBLE_EQ(ov::leadingNumber("abc"), 0);
}

TEST(NumberFormat, DoublesBecomeTextAsTheSuitesPlatformWritesThem) {
    // Up to 15 significant digits; E-notation from 1E+15 up and from 1E-05 down.
    const std::pair<double, const char*> cases[] = {
        {1e-5, "1E-05"},
        {123456789012345678.0, "1,23456789012346E+17"},
        {1e15, "1E+15"},
        {999999999999999.0, "999999999999999"},
        {0.0001, "0,0001"},
        {0.000123456, "0,000123456"},
        {0.00005, "5E-05"},
        {-2.5e-7, "-2,5E-07"},
        {1.0 / 3.0, "0,333333333333333"},
        {2.0 / 3.0 * 100, "66,6666666666667"},
        {-1234.5, "-1234,5"},
        {1e100, "1E+100"},
        {0.1 + 0.2, "0,3"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(NumberFormat::italian().general(value), text) << value;
    EXPECT_EQ(NumberFormat::english().general(123456789012345678.0), "1.23456789012346E+17");
}

TEST(NumberFormat, TextWithAPowerOfTenReadsAsItsNumber) {
    auto it = NumberFormat::italian();
    EXPECT_DOUBLE_EQ(*it.parse("1E3"), 1000);
    EXPECT_DOUBLE_EQ(*it.parse("1,23456789012346E+17"), 1.23456789012346e17);
    EXPECT_DOUBLE_EQ(*it.parse("-1E-05"), -1e-5);
    EXPECT_FALSE(it.parse("1E").has_value());
    EXPECT_FALSE(it.parse("E3").has_value());
    EXPECT_DOUBLE_EQ(ov::leadingNumber("1E3"), 1000);
    EXPECT_DOUBLE_EQ(ov::leadingNumber("2,5E3"), 2);  // a comma is no decimal separator for it
    EXPECT_DOUBLE_EQ(ov::leadingNumber("1.5e-2 kg"), 0.015);
    EXPECT_DOUBLE_EQ(ov::leadingNumber("3Euro"), 3);  // E not followed by digits ends the number
    EXPECT_DOUBLE_EQ(ov::leadingNumber("1E999"), 0);  // too large for a number: none
}

TEST(NumberFormat, FixedTwoDecimalsOfADoubleRoundOnce) {
    auto it = NumberFormat::italian();
    EXPECT_EQ(it.fixed2(28.98 / 1936.27), "0,01");  // 0,014967...: not 0,0150 first, then 0,02
    EXPECT_EQ(it.fixed2(784.10 / 1936.27), "0,40");  // 0,404954...: not 0,4050 first, then 0,41
    EXPECT_EQ(it.fixed2(2.675), "2,68");             // its 15 digits are 2,67500000000000
    EXPECT_EQ(it.fixed2(-0.005), "-0,01");
    EXPECT_EQ(it.fixed2(-0.004), "0,00");
    EXPECT_EQ(it.fixed2(999.995), "1000,00");
    EXPECT_EQ(it.fixed2(1e16), "10000000000000000,00");
    EXPECT_EQ(NumberFormat::english().fixed2(0.125), "0.13");
}
