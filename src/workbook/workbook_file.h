#pragma once
// One .xlsx workbook with one worksheet, written through libxlsxwriter. Like every report file it
// is replaced only whole (core/replaced_file.h): a write that fails leaves the earlier file (or
// none), never a broken workbook.
#include <xlsxwriter.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/dates.h"
#include "core/error.h"
#include "core/replaced_file.h"

namespace ov {

class WorkbookFile {
public:
    // sheetName and title: UTF-8. Error 75 naming the target when the workbook cannot be started.
    WorkbookFile(std::filesystem::path target, const std::string& sheetName, const std::string& title);
    // A workbook never committed is discarded: its temporary file goes, the target stays as it was.
    ~WorkbookFile();
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    lxw_workbook* book() { return book_; }
    lxw_worksheet* sheet() { return sheet_; }
    lxw_format* addFormat() { return workbook_add_format(book_); }

    // Cells; text is code page 1252 (control characters are left out: a sheet cannot hold them).
    // Each widens its column to fit what it shows. Error 75 naming the target when the cell lies
    // outside what a worksheet holds.
    void text(int row, int col, const std::string& cp1252Text, lxw_format* format);
    void number(int row, int col, double value, lxw_format* format, size_t shownChars);
    // A formula (English function names, "=" first) with the value it computes to, which programs
    // that do not recalculate on opening show.
    void formula(int row, int col, const std::string& formula, double value, lxw_format* format, size_t shownChars);
    void date(int row, int col, const Date& day, lxw_format* format);
    // A text that may run on over the empty cells to its right: its column is not widened.
    void spillingText(int row, int col, const std::string& cp1252Text, lxw_format* format);

    // Makes a column at least this many characters wide.
    void fit(int col, size_t chars);

    // Sets the column widths, writes the workbook and puts it in place of the target; returns the
    // target. Error 75 naming the target when any of it fails.
    std::filesystem::path commit();

    // The error for this workbook: error 75 naming the target, with the reason when given.
    Error failure(const std::string& reason = "") const;

private:
    void check(lxw_error result, int row) const;

    ReplacedFile file_;
    std::string title_;  // the document property points at it until the workbook is written
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::map<int, size_t> widths_;
    bool closed_ = false;
};

// The characters a currency amount shows with the thousands grouped and two decimals, symbol
// and blank included ("€ 1.234,50": 10).
size_t ShownAmountChars(double value);

}  // namespace ov
