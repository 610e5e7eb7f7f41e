#pragma once
// The text lines of a printed table, built from its layout: the heading block, one data line per
// record with fixed-width columns, and the totals line, framed with box characters (code page 437
// byte values, as a text file or a raw printer receives them) or plain ones.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/dates.h"
#include "core/money.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "data/record_set.h"
#include "tableprint/table_layout.h"

namespace ov {

class Database;

enum class FrameStyle { Box, Plain };

enum class FrameLine { Top, Middle, Bottom };

struct FrameChars {
    char lead;
    char filler;
    char separator;
    char closing;
};

// Characters of a frame line (top, middle under the headings and above the totals, bottom).
FrameChars frameChars(FrameStyle style, FrameLine line);
// Lead, separator and closing character of heading, data and totals lines.
char columnRule(FrameStyle style);

struct HeadingBlock {
    std::string hotelLine;  // "Hotel : " and the hotel's name, made by the print job
    std::string dateLine;
    std::string topLine;
    std::string headingLine;
    std::string middleLine;
    std::string bottomLine;

    // The five lines that open every page, in printing order.
    std::vector<std::string> pageLines() const { return {hotelLine, dateLine, topLine, headingLine, middleLine}; }
};

// The date line (today, the title centred over the line width, the time) and the frame lines of
// the columns up to the first empty heading.
HeadingBlock MakeHeadingBlock(const TableLayout& layout, FrameStyle style, const std::string& hotelLine,
                              const DateTime& now);

struct ColumnState {
    Money total;           // running total of a column marked "S"
    std::string previous;  // the previous record's value, for blanking repeated values
};

// What the data lines of one print job share: the per-column state, the number notation, and the
// look-up tables, opened on first use and kept until the job ends.
class TableLineState {
public:
    TableLineState(const Workspace& ws, const NumberFormat& numbers, size_t columnCount);
    ~TableLineState();
    TableLineState(const TableLineState&) = delete;
    TableLineState& operator=(const TableLineState&) = delete;

    std::vector<ColumnState> columns;

    const NumberFormat& numbers() const { return numbers_; }
    // The look-up table of a column, or nothing when its database or table cannot be opened (the
    // failure is remembered for the rest of the job).
    RecordSet* lookupTable(const std::string& database, const std::string& table);

private:
    Workspace ws_;
    NumberFormat numbers_;
    std::map<std::string, std::shared_ptr<Database>> databases_;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<RecordSet>> tables_;
};

// The line of the current record of `record`; updates the running totals and previous values.
// `rate` divides the values of "EURO" columns. A field the table lacks prints the width in blanks.
std::string FormatDataLine(const TableLayout& layout, FrameStyle style, const RecordSet& record, Money rate,
                           TableLineState& state);

// The running totals, in the general number format, right-aligned in their columns; a total wider
// than its column is written whole.
std::string FormatTotalsLine(const TableLayout& layout, FrameStyle style, const TableLineState& state);

// One cell of a data line: the value cut to the width, or left-aligned as text, or right-aligned
// as a number; `counts` tells whether the value enters the column's total.
struct TableCell {
    std::string text;  // the cell and its separator
    bool counts = false;
};
TableCell MakeCell(const std::string& value, int width, char separator);

}  // namespace ov
