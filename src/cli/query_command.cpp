// ovdesk query [--folder DIR] FILE QUERY: the record set of a table name or a query text on a
// database of the working folder, as semicolon-separated UTF-8 lines with a header line first.
#include <cstdio>

#include "cli/cli.h"
#include "core/cp1252.h"
#include "data/database.h"

namespace ov::cli {
namespace {

// Quoted the CSV way only when the text holds a separator, a quote or a line break.
std::string csvCell(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// A value as plain text, independent of the regional settings: currency with a dot and four
// decimals, other numbers with a dot, null empty.
std::string plainText(const Value& v) {
    if (v.isNull()) return {};
    if (v.isCurrency()) return v.asCurrency().toPlainString();
    return v.toText(NumberFormat::english());
}

}  // namespace

int runQuery(const Args& args) {
    Options opts(args, {"folder"});
    opts.expectOperands(2);
    Workspace ws = opts.workspace();
    std::string file = cp1252::fromUtf8(opts.operands()[0]);
    std::string query = cp1252::fromUtf8(opts.operands()[1]);

    RecordSet rs = Database::open(ws, file)->openRecordSet(query);
    std::string out;
    for (int i = 0; i < rs.fieldCount(); ++i) out += (i ? ";" : "") + csvCell(rs.fieldName(i));
    out += '\n';
    for (size_t r = 0; r < rs.recordCount(); ++r) {
        rs.moveTo(r);
        for (int i = 0; i < rs.fieldCount(); ++i) out += (i ? ";" : "") + csvCell(plainText(rs.field(i)));
        out += '\n';
    }
    std::string utf8 = forTerminal(out);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace ov::cli
