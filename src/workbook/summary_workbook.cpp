#include "workbook/summary_workbook.h"

#include "core/cp1252.h"
#include "summary/report_lines.h"
#include "workbook/workbook_file.h"

namespace ov {
namespace {

// The columns of "Orvalis.csv": A the label, B to M the twelve guest counts, N to AC the sixteen
// amounts, AD the total takings.
constexpr int kFirstCount = 1;
constexpr int kFirstAmount = 13;
constexpr int kTotalColumn = 29;
const char* kTotalColumnName = "AD";
constexpr int kHeadingRows = 3;  // the title, the headings and the board sub-headings

// Euro amounts with the thousands grouped; the separators follow the locale that shows them.
const char* kEuroFormat = "[$\xE2\x82\xAC-410] #,##0.00";

enum class RowKind { U, NU, Day, Totals };

// The formats of the sheet; the four kinds of summary row are told apart by their look.
class Styles {
public:
    explicit Styles(WorkbookFile& book) : book_(book) {
        title = make();
        format_set_bold(title);
        format_set_font_size(title, 12);
        heading = make();
        format_set_bold(heading);
        format_set_align(heading, LXW_ALIGN_CENTER);
        format_set_bg_color(heading, 0xD9E1F2);
        format_set_bottom(heading, LXW_BORDER_THIN);
        for (RowKind kind : {RowKind::U, RowKind::NU, RowKind::Day, RowKind::Totals}) {
            Row& row = rows_[static_cast<int>(kind)];
            row.label = rowFormat(kind);
            row.count = rowFormat(kind);
            format_set_num_format(row.count, "0");
            row.amount = rowFormat(kind);
            format_set_num_format(row.amount, kEuroFormat);
        }
        date = rowFormat(RowKind::Day);
        format_set_num_format(date, "dd/mm/yyyy");
        bold = make();
        format_set_bold(bold);
        boldRight = make();
        format_set_bold(boldRight);
        format_set_align(boldRight, LXW_ALIGN_RIGHT);
        quantity = make();
        format_set_num_format(quantity, "0");
        format_set_bg_color(quantity, kInput);
        euro = make();
        format_set_num_format(euro, kEuroFormat);
        euroInput = make();
        format_set_num_format(euroInput, kEuroFormat);
        format_set_bg_color(euroInput, kInput);
        euroBold = make();
        format_set_num_format(euroBold, kEuroFormat);
        format_set_bold(euroBold);
    }

    struct Row {
        lxw_format* label;
        lxw_format* count;
        lxw_format* amount;
    };
    const Row& row(RowKind kind) const { return rows_[static_cast<int>(kind)]; }

    lxw_format *title, *heading, *date, *bold, *boldRight, *quantity, *euro, *euroInput, *euroBold;

private:
    // Cells the user types into are pale yellow.
    static constexpr lxw_color_t kInput = 0xFFF2CC;

    lxw_format* make() { return book_.addFormat(); }
    lxw_format* rowFormat(RowKind kind) {
        lxw_format* f = make();
        switch (kind) {
            case RowKind::U:
                break;
            case RowKind::NU:
                format_set_italic(f);
                format_set_font_color(f, 0x595959);
                break;
            case RowKind::Day:
                format_set_bg_color(f, 0xEEF3FA);
                format_set_bottom(f, LXW_BORDER_HAIR);
                break;
            case RowKind::Totals:
                format_set_bold(f);
                format_set_bg_color(f, 0xD9E1F2);
                format_set_top(f, LXW_BORDER_DOUBLE);
                break;
        }
        return f;
    }

    WorkbookFile& book_;
    Row rows_[4]{};
};

std::string trimmed(const std::string& cp1252Text) { return std::string(cp1252::trim(cp1252Text)); }

std::string cellName(const char* column, int row) { return column + std::to_string(row + 1); }

void writeHeadings(WorkbookFile& book, const Styles& s, const std::string& title,
                   const std::array<std::string, 10>& configured) {
    using namespace summary_headings;
    book.spillingText(0, 0, title, s.title);
    book.text(1, 0, "", s.heading);
    book.text(2, 0, "", s.heading);
    for (int g = 0; g < 4; ++g) {
        const int first = kFirstCount + 3 * g;
        const std::string group = cp1252::toUtf8(trimmed(kGroups[g]));
        worksheet_merge_range(book.sheet(), 1, first, 1, first + 2, group.c_str(), s.heading);
        for (int b = 0; b < 3; ++b) book.text(2, first + b, trimmed(kBoards[b]), s.heading);
    }
    std::vector<std::string> amounts;
    for (const char* h : kBeforeColumns) amounts.push_back(h);
    for (const auto& h : configured) amounts.push_back(h);
    for (const char* h : kAfterColumns) amounts.push_back(h);
    for (size_t k = 0; k < amounts.size(); ++k) {
        const int col = kFirstAmount + static_cast<int>(k);
        book.text(1, col, trimmed(amounts[k]), s.heading);
        book.text(2, col, "", s.heading);
    }
}

void writeRow(WorkbookFile& book, const Styles& s, int row, RowKind kind, const SummaryRow& values) {
    const Styles::Row& f = s.row(kind);
    for (size_t k = 0; k < values.counts.size(); ++k) {
        const int64_t n = values.counts[k];
        book.number(row, kFirstCount + static_cast<int>(k), static_cast<double>(n), f.count, std::to_string(n).size());
    }
    for (size_t k = 0; k < values.amounts.size(); ++k) {
        const int col = kFirstAmount + static_cast<int>(k);
        if (values.amounts[k]) {
            const double v = values.amounts[k]->toDouble();
            book.number(row, col, v, f.amount, ShownAmountChars(v));
        } else {
            book.text(row, col, "", f.amount);
        }
    }
    const double total = values.total.toDouble();
    book.number(row, kTotalColumn, total, f.amount, ShownAmountChars(total));
}

// The cash reconciliation sheet from `row` on, below the summary whose totals row is `totalsRow`.
// Column A holds the quantities and the labels; the denominations and the amounts each span three
// of the narrow count columns (B:D and E:G), which so keep their width.
void writeCashSheet(WorkbookFile& book, const Styles& s, int row, int totalsRow, const Money& grandTotal,
                    const CashSheet& cash) {
    using namespace cash_sheet;
    struct Span {
        int col;
        const char* name;
    };
    constexpr Span kNotes{1, "B"}, kAmounts{4, "E"};
    auto spanning = [&](int r, Span span, lxw_format* format) {
        worksheet_merge_range(book.sheet(), r, span.col, r, span.col + 2, "", format);
    };
    auto amount = [&](int r, double value, lxw_format* format) {
        spanning(r, kAmounts, format);
        book.number(r, kAmounts.col, value, format, 0);
    };
    auto computed = [&](int r, const std::string& formula, double value, lxw_format* format) {
        spanning(r, kAmounts, format);
        book.formula(r, kAmounts.col, formula, value, format, 0);
    };
    auto at = [](Span span, int r) { return cellName(span.name, r); };

    if (cash.hotelName) book.spillingText(row++, 0, *cash.hotelName, s.bold);
    ++row;
    book.text(row, 0, kQuantity, s.boldRight);
    spanning(row, kNotes, s.boldRight);
    book.spillingText(row, kNotes.col, kDenomination, s.boldRight);
    spanning(row, kAmounts, s.boldRight);
    book.spillingText(row, kAmounts.col, kAmount, s.boldRight);
    row += 2;
    const int firstNote = row;
    for (const Money& d : kDenominations) {
        book.number(row, 0, 0, s.quantity, 1);
        spanning(row, kNotes, s.euro);
        book.number(row, kNotes.col, d.toDouble(), s.euro, 0);
        computed(row, "=" + cellName("A", row) + "*" + at(kNotes, row), 0, s.euro);
        ++row;
    }
    const int lastNote = row - 1;
    auto labelled = [&](const char* label) {
        ++row;
        book.spillingText(row, 0, label, s.bold);
        return row++;
    };
    const int cashTotal = labelled(kTotalCash);
    computed(cashTotal, "=SUM(" + at(kAmounts, firstNote) + ":" + at(kAmounts, lastNote) + ")", 0, s.euroBold);
    const int cards = labelled(kCards);
    amount(cards, 0, s.euroInput);
    const int bank = labelled(kBank);
    amount(bank, 0, s.euroInput);
    const int extraTill = labelled(kExtraTill);
    const double extra = cash.extraTillDeposits.toDouble();
    amount(extraTill, extra, s.euro);
    const int total = labelled(kTotal);
    computed(total, "=" + at(kAmounts, cashTotal) + "+" + at(kAmounts, cards) + "+" + at(kAmounts, bank), 0, s.euroBold);
    const std::string reportTotal = cellName(kTotalColumnName, totalsRow);
    const double takings = grandTotal.toDouble();
    computed(labelled(kReportTotal), "=" + reportTotal, takings, s.euro);
    // Counted less reported; the deposits paid outside the till are in the report but not counted.
    computed(labelled(kDifference), "=" + at(kAmounts, total) + "-" + reportTotal + "+" + at(kAmounts, extraTill),
             extra - takings, s.euroBold);

    if (cash.rearrangedRooms) {
        ++row;
        book.spillingText(row++, 0, kRearrangedRooms, s.bold);
        ++row;
        for (const std::string& line : *cash.rearrangedRooms) book.spillingText(row++, 0, line, nullptr);
    }
}

void setUpPrinting(lxw_worksheet* sheet) {
    worksheet_freeze_panes(sheet, kHeadingRows, kFirstCount);
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, 9);  // A4
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, 1, kHeadingRows - 1);
}

}  // namespace

std::filesystem::path WriteSummaryWorkbook(const std::filesystem::path& target, const std::string& title,
                                           const SummaryFigures& figures, const CashSheet& cash) {
    WorkbookFile book(target, "Riepilogo", "Riepilogo dati Hotel");
    const Styles s(book);
    writeHeadings(book, s, title, figures.headings);

    int row = kHeadingRows;
    for (const SummaryDay& d : figures.days) {
        book.text(row, 0, "U", s.row(RowKind::U).label);
        writeRow(book, s, row++, RowKind::U, URow(d.counters, d.amounts));
        book.text(row, 0, "NU", s.row(RowKind::NU).label);
        writeRow(book, s, row++, RowKind::NU, NURow(d.counters, d.amounts));
        book.date(row, 0, d.date, s.date);
        writeRow(book, s, row++, RowKind::Day, DayRow(d.counters, d.amounts));
    }
    const int totalsRow = row;
    book.text(row, 0, "T.", s.row(RowKind::Totals).label);
    writeRow(book, s, row++, RowKind::Totals, TotalsRow(figures.totals));

    writeCashSheet(book, s, row + 2, totalsRow, figures.totals.grandTotal(), cash);
    setUpPrinting(book.sheet());
    return book.commit();
}

}  // namespace ov
