#include "state/field_entry.h"

#include <cmath>

#include "core/cp1252.h"

namespace ov {
namespace {

constexpr char kAcuteAccent = static_cast<char>(0xB4);  // "´"

// Day, month and year of a date text, each the leading number of its characters.
struct DateParts {
    double day = 0;
    double month = 0;
    int16_t year = 0;
};

std::string_view slice(std::string_view text, size_t from, size_t length) {
    if (from >= text.size()) return {};
    return text.substr(from, length);
}

DateParts readDateParts(std::string_view text) {
    DateParts p;
    p.day = leadingNumber(slice(text, 0, 2));
    p.month = leadingNumber(slice(text, 3, 2));
    // Four characters always fit a 16-bit integer; rounding is to the nearest, ties to even.
    p.year = static_cast<int16_t>(std::nearbyint(leadingNumber(slice(text, 6, 4))));
    return p;
}

}  // namespace

std::string FilterField(std::string_view text, int16_t mode, const NumberFormat& numbers) {
    std::string out;
    out.reserve(text.size());
    for (char raw : text) {
        char c = static_cast<char>(cp1252::upper(static_cast<unsigned char>(raw)));
        if (mode == 0) {
            out += c == '\'' ? kAcuteAccent : c;
        } else if (mode == 1 || mode == 2) {
            if ((c >= '0' && c <= '9') || c == ',' || c == '-') out += c;
        }
    }
    if (out.empty()) out = mode == 0 ? " " : "0";
    if (mode == 2) {
        if (auto value = numbers.parse(out)) out = std::string(cp1252::trim(numbers.grouped(*value)));
    }
    return out;
}

std::string CompleteDate(std::string& text) {
    // A text typed with its separators ("1/1/24") is already a date text, right or wrong.
    if (text.find('/') != std::string::npos) return text;
    if (text.size() == 6) {
        const char* century = leadingNumber(std::string_view(text).substr(4, 2)) < 25 ? "20" : "19";
        text = text.substr(0, 2) + "/" + text.substr(2, 2) + "/" + century + text.substr(4, 2);
    } else if (text.size() == 8) {
        text = text.substr(0, 2) + "/" + text.substr(2, 2) + "/" + text.substr(4, 4);
    }
    return text;
}

int16_t IsValidDate(std::string_view text, ProgramState& state) {
    text = cp1252::trim(text);
    if (text.size() != 10) return 0;
    DateParts d = readDateParts(text);
    if (d.month < 1 || d.month > 12 || d.year < 1900) return 0;
    state.monthLengths[1] = IsLeapYear(d.year) == 1 ? 29 : 28;
    // A month from 1 to 12 read from two characters is a whole number.
    int16_t length = state.monthLengths[static_cast<size_t>(d.month) - 1];
    if (d.day < 1 || d.day > length) return 0;
    return 1;
}

int16_t DatesInOrder(std::string_view first, std::string_view second) {
    DateParts a = readDateParts(first.substr(0, 10));
    DateParts b = readDateParts(second.substr(0, 10));
    if (a.year != b.year) return a.year < b.year ? 1 : 0;
    if (a.month != b.month) return a.month < b.month ? 1 : 0;
    return a.day > b.day ? 0 : 1;
}

int16_t IsLeapYear(int16_t year) {
    return year % 4 == 0 ? 1 : 0;
}

}  // namespace ov
