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
void placeCurrencySymbol(std::string& out, size_t fieldStart, const std::string& symbol) {
    if (symbol.empty()) return;
    size_t blank = out.rfind(' ');
    if (blank == std::string::npos || blank < fieldStart) return;
    out[blank] = symbol[0];
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

std::string ConvertLineForSpreadsheet(const std::string& line, const SpreadsheetSettings& settings) {
    std::string out;
    size_t fieldStart = 0;  // where the field being built starts in `out`
    auto closeField = [&] {
        out += settings.fieldSeparator;
        fieldStart = out.size();
    };
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (closesField(c)) {
            closeField();
        } else if (c == 180) {
            // The right-hand frame joint closes the last field; inside the line it is only a gap.
            if (i + 1 == line.size()) closeField();
            else out += ' ';
        } else if (c == 196) {
            out += ' ';
        } else if (c == ',') {
            if (insideAmount(line, i)) {
                placeCurrencySymbol(out, fieldStart, settings.currencySymbol);
                out += settings.decimalSeparator;
            } else {
                out += ' ';
            }
        } else if (c == '.') {
            if (!insideAmount(line, i)) out += '.';  // a thousands dot is dropped
        } else if (c == '-') {
            out += digitAt(line, i + 1) ? '-' : ' ';  // a minus sign stays, dash rules vanish
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string SpreadsheetFileName(const Workspace& ws) { return printFileWriteName(ws) + ".csv"; }

fs::path ConvertiXLS(const Workspace& ws, const std::string& fileName) {
    auto input = ws.find(fileName);
    if (!input || !fs::is_regular_file(*input))
        throw Error(err::FileIo, "Impossibile trovare il file '" + cp1252::toUtf8(fileName) + "'.");
    const SpreadsheetSettings settings = ReadSpreadsheetSettings(ws);
    LineReader in(*input);
    const fs::path output = ws.pathFor(SpreadsheetFileName(ws));
    LineWriter out(output);
    while (!in.atEnd()) out.line(ConvertLineForSpreadsheet(in.readLine(), settings));
    out.close();
    return output;
}

}  // namespace ov
