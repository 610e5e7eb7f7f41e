#pragma once
// The layout file of a printed table ("<table>.stp"): a header line naming title, database and
// table, then one line per column; and the framed lines built from it: heading block, data lines,
// totals line.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/workspace.h"

namespace ov {

struct ColumnLayout {
    std::string heading;         // field 2; the columns end at the first empty heading
    std::string lookupDatabase;  // field 3
    std::string lookupTable;     // field 4
    std::string field;           // field 5 ("EURO..." converted by the rate, "Data..." YYYYMMDD text)
    int16_t width = 0;           // field 6
    std::string total = "N";     // field 7: "S" totals the column
    std::string repeat = "N";    // field 8: "N" blanks a value equal to the previous record's
    std::string lookupKey;       // field 9: a look-up column when greater than a single blank
    std::string mainKey;         // field 10
};

struct TableLayout {
    std::array<std::string, 10> header;  // line 1, untrimmed; [1] title, [2] database, [3] table
    std::vector<ColumnLayout> columns;   // lines 2 to 51
    int lineWidth = 1;                   // W: 1 + the sum of (width + 1) over every column line read
    // More than nine commas in the header line (the form refuses such a file).
    bool headerHasExtraCommas = false;

    const std::string& title() const { return header[1]; }
    const std::string& database() const { return header[2]; }
    const std::string& table() const { return header[3]; }
};

// Reads the layout file from the working folder; ov::Error 53 naming the file when it is missing.
TableLayout ReadLayout(const Workspace& ws, const std::string& file);
// The same rules on text already read (code page 1252, CR LF or LF line ends).
TableLayout ParseLayout(const std::string& text);

}  // namespace ov
