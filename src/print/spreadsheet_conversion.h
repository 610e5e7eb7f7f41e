#pragma once
// The report turned into a separated-values file that a spreadsheet program opens directly: frame
// characters become field separators, amounts lose their thousands dots, get the configured
// decimal separator and carry the currency symbol in front. Text is code page 1252 bytes.
#include <filesystem>
#include <string>
#include <vector>

#include "core/workspace.h"

namespace ov {

// "SeparatoreXLS.txt": line 1 the field separator, line 2 the decimal separator, line 3 the
// currency symbol, each taken whole as read.
struct SpreadsheetSettings {
    std::string fieldSeparator = ",";
    std::string decimalSeparator = ".";
    std::string currencySymbol = "\x80";  // the euro sign in code page 1252
};

// The settings of the working folder: the defaults without a settings file; a line the file lacks
// keeps its default.
SpreadsheetSettings ReadSpreadsheetSettings(const Workspace& ws);

// One report line split into the fields a spreadsheet shows: every closing frame character ends
// a field, so a line that starts with a frame has an empty first field. The fields joined by the
// field separator are the converted line.
std::vector<std::string> SplitLineForSpreadsheet(const std::string& line, const SpreadsheetSettings& settings);

// One report line converted (one output line per input line).
std::string ConvertLineForSpreadsheet(const std::string& line, const SpreadsheetSettings& settings);

// "fd" + the text of PCLocal + ".csv": the file the conversion writes.
std::string SpreadsheetFileName(const Workspace& ws);

// The file `fileName` of the working folder that is to be converted; ov::Error 53 naming it when
// there is none.
std::filesystem::path FindFileToConvert(const Workspace& ws, const std::string& fileName);

// Converts the file `fileName` of the working folder (normally the print file) into
// SpreadsheetFileName, replacing any earlier one, lines ended by CR LF; returns the path written.
// ov::Error naming the file when the input is missing or the output cannot be written.
std::filesystem::path ConvertiXLS(const Workspace& ws, const std::string& fileName);

}  // namespace ov
