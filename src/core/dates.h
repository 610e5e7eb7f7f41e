#pragma once
// Calendar dates: the interface texts "DD/MM/YYYY", the database texts YYYYMMDD, day arithmetic.
#include <optional>
#include <string>
#include <string_view>

namespace ov {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    // A real calendar date (Gregorian, with the century rule): 29/02/1900 is not one.
    static bool isReal(int year, int month, int day);
    // "DD/MM/YYYY" read day first; only real dates written with "/".
    static std::optional<Date> fromDmy(std::string_view text);
    // "YYYYMMDD".
    static std::optional<Date> fromYmd(std::string_view text);

    std::string dmy() const;   // "DD/MM/YYYY"
    std::string ymd() const;   // "YYYYMMDD"

    // Days since 1 January 1970 (negative before it).
    long serial() const;
    static Date fromSerial(long days);
    Date plusDays(long days) const { return fromSerial(serial() + days); }
    static long daysBetween(const Date& from, const Date& to) { return to.serial() - from.serial(); }

    auto operator<=>(const Date&) const = default;
};

struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The database form of an interface date text: characters 7-10, 4-5 and 1-2, whatever they hold.
std::string dmyToYmdText(std::string_view dmy);

}  // namespace ov
