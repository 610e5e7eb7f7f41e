#include "print/spreadsheet_conversion.h"

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_access.h"
#include "core/text_file.h"
#include "print/print_file.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr const char* kSettingsFile = "SeparatoreXLS.txt";

// Frame codes of the old DOS code page that close a field: the verticals, the crossings and the
// corners the reports draw.
bool closesField(unsigned char c) {
    switch (c) {
        case 217: case 197: case 194: case 195: case 192: case 193: case 179: case 191: case 218: case '|':
            return true;
        default:
            return false;
    }
}

bool digitAt(const std::string& line, size_t i) {
    return i < line.size() && line[i] >= '0' && line[i] <= '9';
}

// The character at i sits inside an amount: a digit before it and two digits after it.
bool insideAmount(const std::string& line, size_t i) {
    return i > 0 && digitAt(line, i - 1) && digitAt(line, i + 1) && digitAt(line, i + 2);
}

// The currency symbol goes on the last blank before the amount. Only blanks of the field being
// built count: a full cell has none, and then no symbol is placed rather than one landing in a
// neighbouring cell.
void placeCurrencySymbol(std::string& cell, const std::string& symbol) {
    if (symbol.empty()) return;
    size_t blank = cell.rfind(' ');
    if (blank == std::string::npos) return;
    cell[blank] = symbol[0];
}

}  // namespace

SpreadsheetSettings ReadSpreadsheetSettings(const Workspace& ws) {
    SpreadsheetSettings settings;
    auto file = findSettingsFile(ws, kSettingsFile);
    if (!file) return settings;
    LineReader in(*file);
    std::string* lines[] = {&settings.fieldSeparator, &settings.decimalSeparator, &settings.currencySymbol};
    for (std::string* setting : lines) {
        if (in.atEnd()) break;
        *setting = in.readLine();
    }
    return settings;
}

std::vector<std::string> SplitLineForSpreadsheet(const std::string& line, const SpreadsheetSettings& settings) {
    std::vector<std::string> cells(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        std::string& cell = cells.back();
        if (closesField(c)) {
            cells.emplace_back();
        } else if (c == 180) {
            // The right-hand frame joint closes the last field; inside the line it is only a gap.
            if (i + 1 == line.size()) cells.emplace_back();
            else cell += ' ';
        } else if (c == 196) {
            cell += ' ';
        } else if (c == ',') {
            if (insideAmount(line, i)) {
                placeCurrencySymbol(cell, settings.currencySymbol);
                cell += settings.decimalSeparator;
            } else {
                cell += ' ';
            }
        } else if (c == '.') {
            if (!insideAmount(line, i)) cell += '.';  // a thousands dot is dropped
        } else if (c == '-') {
            cell += digitAt(line, i + 1) ? '-' : ' ';  // a minus sign stays, dash rules vanish
        } else {
            cell += static_cast<char>(c);
        }
    }
    return cells;
}

std::string ConvertLineForSpreadsheet(const std::string& line, const SpreadsheetSettings& settings) {
    const std::vector<std::string> cells = SplitLineForSpreadsheet(line, settings);
    std::string out = cells.front();
    for (size_t k = 1; k < cells.size(); ++k) out += settings.fieldSeparator + cells[k];
    return out;
}

std::string SpreadsheetFileName(const Workspace& ws) { return printFileWriteName(ws) + ".csv"; }

fs::path FindFileToConvert(const Workspace& ws, const std::string& fileName) {
    auto input = ws.find(fileName);
    if (!input || !fs::is_regular_file(*input))
        throw Error(err::FileIo, "Impossibile trovare il file '" + cp1252::toUtf8(fileName) + "'.");
    return *input;
}

fs::path ConvertiXLS(const Workspace& ws, const std::string& fileName) {
    const fs::path input = FindFileToConvert(ws, fileName);
    const SpreadsheetSettings settings = ReadSpreadsheetSettings(ws);
    LineReader in(input);
    const fs::path output = ws.pathFor(SpreadsheetFileName(ws));
    LineWriter out(output);
    while (!in.atEnd()) out.line(ConvertLineForSpreadsheet(in.readLine(), settings));
    out.close();
    return output;
}

}  // namespace ov
