#pragma once
// "fd<PCLocal>.xlsx": a report laid out for the printer turned into a workbook the way the
// spreadsheet conversion turns it into "fd<PCLocal>.csv": one row per line, one cell per field
// between frame characters, in the same rows and columns; counts and amounts become numbers.
#include <filesystem>
#include <string>

#include "core/workspace.h"
#include "print/spreadsheet_conversion.h"

namespace ov {

// One field of the conversion as a workbook cell.
struct ConvertedCell {
    enum class Kind {
        Empty,    // blanks only
        Text,     // `text`: the field without the blanks around it (code page 1252)
        Whole,    // a whole number: digits with an optional minus, no leading zero, at most 15 digits
        Amount,   // a number with the decimal separator that carries the currency symbol or two decimals
        Decimal,  // any other number with the decimal separator
    };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string text;
};

// The kind of a field as the conversion wrote it with `settings` (its decimal separator and the
// first character of its currency symbol).
ConvertedCell ClassifyConvertedField(const std::string& field, const SpreadsheetSettings& settings);

// "fd" + the text of PCLocal + ".xlsx".
std::string ReportWorkbookName(const Workspace& ws);

// Converts the file `fileName` of the working folder (normally the print file) into
// ReportWorkbookName with the settings of "SeparatoreXLS.txt" and returns its path. Error 53 naming
// the input when it is missing; error 75 naming the workbook when it cannot be written, and then
// an earlier workbook stays as it was.
std::filesystem::path ConvertToWorkbook(const Workspace& ws, const std::string& fileName);

}  // namespace ov
