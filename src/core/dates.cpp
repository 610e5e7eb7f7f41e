#include "core/dates.h"

#include <cstdio>

namespace ov {
namespace {

bool digits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

int toInt(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// Howard Hinnant's days-from-civil.
long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

}  // namespace

bool Date::isReal(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int max = (m == 2 && leap) ? 29 : len[m - 1];
    return d <= max;
}

std::optional<Date> Date::fromDmy(std::string_view t) {
    if (t.size() != 10 || t[2] != '/' || t[5] != '/') return std::nullopt;
    auto dd = t.substr(0, 2), mm = t.substr(3, 2), yy = t.substr(6, 4);
    if (!digits(dd) || !digits(mm) || !digits(yy)) return std::nullopt;
    Date r{toInt(yy), toInt(mm), toInt(dd)};
    if (!isReal(r.year, r.month, r.day)) return std::nullopt;
    return r;
}

std::optional<Date> Date::fromYmd(std::string_view t) {
    if (t.size() != 8 || !digits(t)) return std::nullopt;
    Date r{toInt(t.substr(0, 4)), toInt(t.substr(4, 2)), toInt(t.substr(6, 2))};
    if (!isReal(r.year, r.month, r.day)) return std::nullopt;
    return r;
}

std::string Date::dmy() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day, month, year);
    return buf;
}

std::string Date::ymd() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
    return buf;
}

long Date::serial() const { return daysFromCivil(year, month, day); }

Date Date::fromSerial(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Date{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

std::string dmyToYmdText(std::string_view t) {
    auto part = [&](size_t from, size_t len) { return from < t.size() ? std::string(t.substr(from, len)) : std::string(); };
    return part(6, 4) + part(3, 2) + part(0, 2);
}

}  // namespace ov
