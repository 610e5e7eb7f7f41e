#pragma once
// A record set written out as text lines for comparisons: a header line with the field names, then
// one line per record, values separated by `separator`. Values as plain text, independent of the
// regional settings: whole numbers as digits, currency with four decimals, doubles with up to 15
// significant digits, dates DD/MM/YYYY [HH:MM:SS], Yes/No as Vero/Falso, null as `null`, line
// breaks inside a text as \n and \r. Texts in UTF-8.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/number_format.h"
#include "data/record_set.h"

namespace ovtest {

inline std::string plainCell(const ov::Value& v, const std::string& null) {
    if (v.isNull()) return null;
    if (v.isCurrency()) return v.asCurrency().toPlainString();
    std::string text = ov::cp1252::toUtf8(v.isText() ? v.asText() : v.toText(ov::NumberFormat::english()));
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

inline std::vector<std::string> recordLines(ov::RecordSet& rs, const std::string& separator = ";",
                                            const std::string& null = "NULL") {
    std::vector<std::string> lines;
    std::string header;
    for (int i = 0; i < rs.fieldCount(); ++i) header += (i ? separator : "") + ov::cp1252::toUtf8(rs.fieldName(i));
    lines.push_back(header);
    for (size_t r = 0; r < rs.recordCount(); ++r) {
        rs.moveTo(r);
        std::string line;
        for (int i = 0; i < rs.fieldCount(); ++i) line += (i ? separator : "") + plainCell(rs.field(i), null);
        lines.push_back(line);
    }
    return lines;
}

// An operation that must fail: the engine's number and pieces of the Italian message (UTF-8).
struct ErrorCase {
    std::string what;  // the query or text, for the failure report
    int number;
    std::vector<std::string> fragments;
};

inline void expectError(const std::function<void()>& run, const ErrorCase& c) {
    try {
        run();
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), c.number) << c.what << ": " << e.message();
        for (const std::string& f : c.fragments)
            EXPECT_NE(e.message().find(f), std::string::npos) << c.what << ": " << e.message();
        return;
    }
    ADD_FAILURE() << c.what << ": no error";
}

}  // namespace ovtest
