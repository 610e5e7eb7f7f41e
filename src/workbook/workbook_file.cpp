#include "workbook/workbook_file.h"

#include <cmath>
#include <cstdio>

#include "core/cp1252.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

std::string cellText(const std::string& cp1252Text) {
    std::string clean;
    clean.reserve(cp1252Text.size());
    for (char c : cp1252Text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) clean += c;
    return cp1252::toUtf8(clean);
}

// The engine's "path/file access error", as for every file that cannot be written.
constexpr int kCannotWrite = 75;

// A column is as wide as the most it shows plus a margin, and never thinner than a label of two.
constexpr double kPadding = 1.5;
constexpr double kMinimumWidth = 2.5;

}  // namespace

WorkbookFile::WorkbookFile(fs::path target, const std::string& sheetName, const std::string& title)
    : file_(std::move(target)), title_(title) {
    book_ = workbook_new(file_.temporaryPath().c_str());
    if (!book_) throw failure();
    sheet_ = workbook_add_worksheet(book_, sheetName.c_str());
    if (!sheet_) {
        workbook_close(book_);
        throw failure();
    }
    lxw_doc_properties properties{};
    properties.title = title_.data();
    workbook_set_properties(book_, &properties);
}

// The temporary file goes with file_ unless committed.
WorkbookFile::~WorkbookFile() {
    if (!closed_) workbook_close(book_);
}

Error WorkbookFile::failure(const std::string& reason) const {
    std::string message = "Impossibile scrivere il file '" + file_.target().filename().string() + "'";
    return Error(kCannotWrite, message + (reason.empty() ? "." : ": " + reason + "."));
}

void WorkbookFile::check(lxw_error result, int row) const {
    if (result == LXW_NO_ERROR) return;
    if (result == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)
        throw failure("la riga " + std::to_string(row + 1) + " non entra in un foglio di lavoro");
    if (result == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        throw failure("la riga " + std::to_string(row + 1) + " ha un testo troppo lungo per una cella");
    throw failure();
}

void WorkbookFile::fit(int col, size_t chars) {
    size_t& width = widths_[col];
    if (chars > width) width = chars;
}

void WorkbookFile::spillingText(int row, int col, const std::string& cp1252Text, lxw_format* format) {
    const std::string utf8 = cellText(cp1252Text);
    if (utf8.empty()) {
        if (format) check(worksheet_write_blank(sheet_, row, col, format), row);
        return;
    }
    check(worksheet_write_string(sheet_, row, col, utf8.c_str(), format), row);
}

void WorkbookFile::text(int row, int col, const std::string& cp1252Text, lxw_format* format) {
    spillingText(row, col, cp1252Text, format);
    fit(col, cp1252Text.size());
}

void WorkbookFile::number(int row, int col, double value, lxw_format* format, size_t shownChars) {
    check(worksheet_write_number(sheet_, row, col, value, format), row);
    fit(col, shownChars);
}

void WorkbookFile::formula(int row, int col, const std::string& formula, double value, lxw_format* format,
                           size_t shownChars) {
    check(worksheet_write_formula_num(sheet_, row, col, formula.c_str(), format, value), row);
    fit(col, shownChars);
}

void WorkbookFile::date(int row, int col, const Date& day, lxw_format* format) {
    lxw_datetime when{day.year, day.month, day.day, 0, 0, 0};
    check(worksheet_write_datetime(sheet_, row, col, &when, format), row);
    fit(col, 10);
}

fs::path WorkbookFile::commit() {
    for (const auto& [col, chars] : widths_)
        worksheet_set_column(sheet_, col, col, std::max(kMinimumWidth, static_cast<double>(chars) + kPadding), nullptr);
    closed_ = true;
    if (workbook_close(book_) != LXW_NO_ERROR) throw failure();
    file_.commit();
    return file_.target();
}

size_t ShownAmountChars(double value) {
    const double whole = std::floor(std::fabs(value));
    size_t digits = whole < 1 ? 1 : static_cast<size_t>(std::log10(whole)) + 1;
    return digits + (digits - 1) / 3 + 3 + 2 + (value < 0 ? 1 : 0);
}

}  // namespace ov
