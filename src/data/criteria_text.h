#pragma once
// Pieces of criteria and query texts built by concatenation, as the reports build them.
#include <cstdint>
#include <string>
#include <string_view>

#include "data/value.h"

namespace ov::criteria {

// A text value between single quotes. An apostrophe inside is doubled, so a typed value always
// stays one literal and can never change the shape of the query.
inline std::string sqlText(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// A number in plain decimal, a minus sign only when negative.
inline std::string number(int64_t n) { return std::to_string(n); }

// A field value written into a criteria text as the original concatenation writes it: texts
// quoted, whole numbers in plain decimal. Empty when the value is null (no record can match it).
inline std::string literal(const Value& v, bool asText) {
    if (v.isNull()) return {};
    if (asText) return sqlText(v.isText() ? std::string(v.asText()) : v.toText(NumberFormat::english()));
    if (v.isInteger()) return number(v.asInteger());
    if (v.isText()) return std::string(v.asText());
    return v.toText(NumberFormat::english());
}

}  // namespace ov::criteria
