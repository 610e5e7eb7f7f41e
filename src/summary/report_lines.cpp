#include "summary/report_lines.h"

#include "core/cp1252.h"

namespace ov {
namespace {

std::string padLeft(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string repeat(char c, int n) { return std::string(static_cast<size_t>(n), c); }

}  // namespace

LineBuilder& LineBuilder::label(const std::string& report, const std::string& sheet) {
    line_.report += report;
    line_.report += frame::V;
    line_.sheet += sheet;
    line_.sheet += ';';
    return *this;
}

LineBuilder& LineBuilder::cell(const std::string& text, int width) {
    return label(padLeft(std::string(cp1252::trim(text)), static_cast<size_t>(width)),
                 padLeft(std::string(cp1252::trim(text)), static_cast<size_t>(width)));
}

LineBuilder& LineBuilder::count(int64_t n) { return cell(std::to_string(n), 3); }
LineBuilder& LineBuilder::amount(Money m, int width) { return cell(fmt_.fixed2(m), width); }
LineBuilder& LineBuilder::blank(int width) { return label(repeat(' ', width), repeat(' ', width)); }

std::string HeadingCell(const std::string& intestazione) {
    std::string h(cp1252::trim(std::string_view(intestazione).substr(0, 9)));
    h.resize(9, ' ');
    return h;
}

SummaryLayout::SummaryLayout(const std::array<std::string, 10>& headings) {
    using namespace frame;
    using namespace summary_headings;

    auto& top = lines_[0].report;
    top = std::string(1, TopLeft) + repeat(H, 2);
    for (int i = 0; i < 4; ++i) top += TopTee + repeat(H, 11);
    for (int i = 0; i < 16; ++i) top += TopTee + repeat(H, 9);
    top += TopTee + repeat(H, 10) + TopRight;

    auto& head = lines_[1];
    head.report = std::string(1, V) + "  " + V;
    head.sheet = "  ;";
    for (const char* g : kGroups) {
        head.report += std::string(g) + V;
        head.sheet += std::string(g) + ";;;";
    }
    for (const char* f : kBeforeColumns) {
        head.report += std::string(f) + V;
        head.sheet += std::string(f) + ";";
    }
    for (const auto& h : headings) {
        head.report += h + V;
        head.sheet += h + ";";
    }
    for (const char* f : kAfterColumns) {
        head.report += std::string(f) + V;
        head.sheet += std::string(f) + ";";
    }

    auto& sub = lines_[2].report;
    sub = std::string(1, V) + "  " + LeftTee;
    for (int g = 0; g < 4; ++g) {
        if (g > 0) sub += Cross;
        sub += repeat(H, 3) + TopTee + repeat(H, 3) + TopTee + repeat(H, 3);
    }
    sub += RightTee;
    for (int i = 0; i < 16; ++i) sub += repeat(' ', 9) + V;
    sub += repeat(' ', 10) + V;

    auto& subHead = lines_[3];
    subHead.report = std::string(1, V) + "  ";
    subHead.sheet = "  ;";
    for (int g = 0; g < 4; ++g) {
        for (const char* s : kBoards) {
            subHead.report += std::string(1, V) + s;
            subHead.sheet += std::string(s) + ";";
        }
    }
    for (int i = 0; i < 16; ++i) {
        subHead.report += V + repeat(' ', 9);
        subHead.sheet += repeat(' ', 9) + ";";
    }
    subHead.report += V + repeat(' ', 10) + V;
    subHead.sheet += repeat(' ', 10) + ";";

    auto& rule = lines_[4].report;
    rule = std::string(1, LeftTee) + repeat(H, 2);
    for (int i = 0; i < 12; ++i) rule += Cross + repeat(H, 3);
    for (int i = 0; i < 16; ++i) rule += Cross + repeat(H, 9);
    rule += Cross + repeat(H, 10) + RightTee;

    auto& bottom = lines_[9].report;
    bottom = std::string(1, BottomLeft) + repeat(H, 2);
    for (int i = 0; i < 12; ++i) bottom += BottomTee + repeat(H, 3);
    for (int i = 0; i < 16; ++i) bottom += BottomTee + repeat(H, 9);
    bottom += BottomTee + repeat(H, 10) + BottomRight;
}

namespace {

LinePair makeLine(const NumberFormat& fmt, const std::string& report, const std::string& sheet, const SummaryRow& row) {
    LineBuilder b(fmt);
    b.label(report, sheet);
    for (int64_t n : row.counts) b.count(n);
    for (const auto& m : row.amounts) {
        if (m) b.amount(*m);
        else b.blank();
    }
    b.amount(row.total, 10);
    return b.done();
}

}  // namespace

SummaryRow URow(const GuestCounters& c, const DayAmounts& a) {
    SummaryRow r;
    for (size_t k = 0; k < 12; ++k) r.counts[k] = c[kUCounters[k]];
    r.amounts = {a.hotelU, a.campU, Money(), a.deposits};
    for (int n = 1; n <= 10; ++n) r.amounts[3 + n] = a.columnTakings[n];
    r.amounts[14] = a.expenses;
    r.amounts[15] = a.guestOutgoings;
    r.total = a.totalU();
    return r;
}

SummaryRow NURow(const GuestCounters& c, const DayAmounts& a) {
    SummaryRow r;
    for (size_t k = 0; k < 12; ++k) r.counts[k] = c[kNUCounters[k]];
    r.amounts = {a.hotelNU, a.campNU, std::nullopt, std::nullopt};
    for (int n = 11; n <= 20; ++n) r.amounts[n - 7] = a.columnTakings[n];
    r.total = a.totalNU();
    return r;
}

SummaryRow DayRow(const GuestCounters& c, const DayAmounts& a) {
    SummaryRow r;
    r.counts = dayGuests(c);
    r.amounts = {a.dayHotel(), a.dayCamp(), Money(), a.deposits};
    for (int k = 1; k <= 10; ++k) r.amounts[3 + k] = a.dayColumn(k);
    r.amounts[14] = a.expenses;
    r.amounts[15] = a.guestOutgoings;
    r.total = a.dayTotal();
    return r;
}

SummaryRow TotalsRow(const PeriodTotals& t) {
    SummaryRow r;
    r.counts = t.guests;
    r.amounts = {t.hotel(), t.camp(), Money(), t.deposits};
    for (int k = 1; k <= 10; ++k) r.amounts[3 + k] = t.columns[k];
    r.amounts[14] = t.expenses;
    r.amounts[15] = t.guestOutgoings;
    r.total = t.grandTotal();
    return r;
}

LinePair MakeULine(const NumberFormat& fmt, const GuestCounters& c, const DayAmounts& a) {
    return makeLine(fmt, "U ", "U ", URow(c, a));
}

LinePair MakeNULine(const NumberFormat& fmt, const GuestCounters& c, const DayAmounts& a) {
    return makeLine(fmt, "NU", "NU", NURow(c, a));
}

LinePair MakeDayRow(const NumberFormat& fmt, const std::string& dayDmy, const GuestCounters& c, const DayAmounts& a) {
    const std::string dayOfMonth = std::to_string(static_cast<int>(leadingNumber(std::string_view(dayDmy).substr(0, 2))));
    return makeLine(fmt, padLeft(dayOfMonth, 2), dayDmy.substr(0, 5), DayRow(c, a));
}

LinePair MakeTotalsRow(const NumberFormat& fmt, const PeriodTotals& t) { return makeLine(fmt, "T.", "T.", TotalsRow(t)); }

}  // namespace ov
