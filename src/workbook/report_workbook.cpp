#include "workbook/report_workbook.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "core/cp1252.h"
#include "print/print_file.h"
#include "workbook/workbook_file.h"

namespace ov {
namespace {

constexpr size_t kMostDigits = 15;  // what a spreadsheet's number holds exactly

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

double toNumber(bool negative, std::string_view whole, std::string_view decimals) {
    std::string text(whole);
    if (!decimals.empty()) text += "." + std::string(decimals);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return negative ? -value : value;
}

// The amount format: the conversion's currency symbol in front, the thousands grouped.
std::string amountFormat(const SpreadsheetSettings& settings) {
    if (settings.currencySymbol.empty()) return "#,##0.00";
    const char symbol = settings.currencySymbol[0];
    if (symbol == '\x80') return "[$\xE2\x82\xAC-410] #,##0.00";
    return "\\" + cp1252::toUtf8(std::string(1, symbol)) + " #,##0.00";
}

bool isFormFeed(const std::string& line) { return line == "\f"; }

// A line drawn with frames has several fields; a title or a free text line has one, and it may
// run on over the empty cells to its right rather than widen the first column.
bool isFramed(const std::vector<std::string>& fields) { return fields.size() > 1; }

}  // namespace

ConvertedCell ClassifyConvertedField(const std::string& field, const SpreadsheetSettings& settings) {
    ConvertedCell cell;
    std::string_view s = cp1252::trim(field);
    if (s.empty()) return cell;
    cell.kind = ConvertedCell::Kind::Text;
    cell.text = std::string(s);

    const bool currency = !settings.currencySymbol.empty() && s.front() == settings.currencySymbol[0];
    if (currency) s.remove_prefix(1);
    const bool negative = !s.empty() && s.front() == '-';
    if (negative) s.remove_prefix(1);
    const std::string& point = settings.decimalSeparator;
    const size_t at = point.empty() ? std::string_view::npos : s.find(point);
    const std::string_view whole = s.substr(0, at);
    const std::string_view decimals = at == std::string_view::npos ? std::string_view() : s.substr(at + point.size());

    if (!allDigits(whole) || whole.size() > kMostDigits) return cell;
    if (at == std::string_view::npos) {
        // Codes written with leading zeros ("007") stay texts, and so does a symbol with no decimals.
        if (currency || (whole.size() > 1 && whole.front() == '0')) return cell;
        cell.kind = ConvertedCell::Kind::Whole;
    } else {
        if (!allDigits(decimals)) return cell;
        cell.kind = currency || decimals.size() == 2 ? ConvertedCell::Kind::Amount : ConvertedCell::Kind::Decimal;
    }
    cell.number = toNumber(negative, whole, decimals);
    cell.text.clear();
    return cell;
}

std::string ReportWorkbookName(const Workspace& ws) { return printFileWriteName(ws) + ".xlsx"; }

std::filesystem::path ConvertToWorkbook(const Workspace& ws, const std::string& fileName) {
    const std::filesystem::path input = FindFileToConvert(ws, fileName);
    const SpreadsheetSettings settings = ReadSpreadsheetSettings(ws);
    WorkbookFile book(ws.pathFor(ReportWorkbookName(ws)), "Stampa", cp1252::toUtf8(fileName));
    lxw_format* amount = book.addFormat();
    format_set_num_format(amount, amountFormat(settings).c_str());
    lxw_format* decimal = book.addFormat();
    format_set_num_format(decimal, "0.0###");

    std::vector<lxw_row_t> pageBreaks;
    LineReader in(input);
    for (int row = 0; !in.atEnd(); ++row) {
        const std::string line = in.readLine();
        if (isFormFeed(line)) {
            // The next page starts below the form feed's (empty) row.
            if (row > 0) pageBreaks.push_back(static_cast<lxw_row_t>(row + 1));
            continue;
        }
        const std::vector<std::string> fields = SplitLineForSpreadsheet(line, settings);
        for (size_t k = 0; k < fields.size(); ++k) {
            const int col = static_cast<int>(k);
            const ConvertedCell cell = ClassifyConvertedField(fields[k], settings);
            const size_t shown = cp1252::trim(fields[k]).size();
            switch (cell.kind) {
                case ConvertedCell::Kind::Empty:
                    break;
                case ConvertedCell::Kind::Text:
                    if (isFramed(fields)) book.text(row, col, cell.text, nullptr);
                    else book.spillingText(row, col, cell.text, nullptr);
                    break;
                case ConvertedCell::Kind::Whole:
                    book.number(row, col, cell.number, nullptr, shown);
                    break;
                case ConvertedCell::Kind::Amount:
                    book.number(row, col, cell.number, amount, ShownAmountChars(cell.number));
                    break;
                case ConvertedCell::Kind::Decimal:
                    book.number(row, col, cell.number, decimal, shown);
                    break;
            }
        }
    }
    // A sheet holds at most 1023 manual page breaks; the list ends with a 0.
    if (!pageBreaks.empty()) {
        if (pageBreaks.size() > 1023) pageBreaks.resize(1023);
        pageBreaks.push_back(0);
        worksheet_set_h_pagebreaks(book.sheet(), pageBreaks.data());
    }
    return book.commit();
}

}  // namespace ov
