#include "tableprint/table_layout.h"

#include <cmath>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_access.h"
#include "core/number_format.h"

namespace ov {

namespace {

constexpr size_t kFieldsPerLine = 10;
constexpr size_t kMaxColumnLines = 50;  // lines 2 to 51

// The lines of the file; a line ends at CR LF, CR or LF, and a last line without an end counts.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(std::move(current));
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(std::move(current));
    return lines;
}

// Text before each of the first nine commas goes to fields 1-9; the text after the last comma is
// always field 10. Fields the line does not reach keep what `fields` held.
size_t splitFields(const std::string& line, std::array<std::string, kFieldsPerLine>& fields) {
    size_t commas = 0;
    size_t start = 0;
    for (size_t pos = line.find(','); pos != std::string::npos; pos = line.find(',', start)) {
        if (commas < kFieldsPerLine - 1) fields[commas] = line.substr(start, pos - start);
        ++commas;
        start = pos + 1;
    }
    fields[kFieldsPerLine - 1] = line.substr(start);
    return commas;
}

// The width as a 16-bit integer: the numeric value rounded like the engine's integer conversion;
// a value out of range leaves the default 0.
int16_t widthOf(const std::string& text) {
    double v = std::nearbyint(leadingNumber(text));
    if (!std::isfinite(v) || v > 32767 || v < -32768) return 0;
    return static_cast<int16_t>(v);
}

ColumnLayout columnOf(const std::string& line) {
    std::array<std::string, kFieldsPerLine> f;
    f[6] = "N";
    f[7] = "N";
    splitFields(line, f);
    ColumnLayout c;
    c.heading = f[1];
    c.lookupDatabase = f[2];
    c.lookupTable = f[3];
    c.field = f[4];
    c.width = widthOf(f[5]);
    c.total = f[6];
    c.repeat = f[7];
    c.lookupKey = f[8];
    c.mainKey = f[9];
    return c;
}

}  // namespace

TableLayout ParseLayout(const std::string& text) {
    TableLayout layout;
    std::vector<std::string> lines = splitLines(text);
    if (lines.empty()) return layout;
    layout.headerHasExtraCommas = splitFields(lines[0], layout.header) > kFieldsPerLine - 1;
    for (size_t i = 1; i < lines.size() && i <= kMaxColumnLines; ++i) {
        layout.columns.push_back(columnOf(lines[i]));
        layout.lineWidth += layout.columns.back().width + 1;
    }
    return layout;
}

TableLayout ReadLayout(const Workspace& ws, const std::string& file) {
    auto path = findSettingsFile(ws, file);
    if (!path) throw Error(err::FileIo, "File '" + shownFileName(file) + "' inesistente.");
    return ParseLayout(ReadWholeFile(*path, shownFileName(file)));
}

}  // namespace ov
