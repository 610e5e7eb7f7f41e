#pragma once
// The summary's lines, built side by side for the box-drawn print file and for "Orvalis.csv":
// header, the U and NU lines of a day, the day row and the totals row.
#include <array>
#include <optional>
#include <string>

#include "core/number_format.h"
#include "summary/day_figures.h"

namespace ov {

// Frame bytes of the old DOS code page, written to the print file as they are.
namespace frame {
inline constexpr char H = '\xC4';          // horizontal line
inline constexpr char V = '\xB3';          // vertical line
inline constexpr char TopLeft = '\xDA';
inline constexpr char TopTee = '\xC2';
inline constexpr char TopRight = '\xBF';
inline constexpr char LeftTee = '\xC3';
inline constexpr char Cross = '\xC5';
inline constexpr char RightTee = '\xB4';
inline constexpr char BottomLeft = '\xC0';
inline constexpr char BottomTee = '\xC1';
inline constexpr char BottomRight = '\xD9';
}  // namespace frame

// One line in both forms.
struct LinePair {
    std::string report;
    std::string sheet;
};

// Builds one line cell by cell: every report cell is followed by the vertical line, every sheet
// cell by ";". A value wider than its cell is written whole: the cell grows in that line only.
class LineBuilder {
public:
    explicit LineBuilder(const NumberFormat& fmt) : fmt_(fmt) {}
    LineBuilder& label(const std::string& report, const std::string& sheet);
    LineBuilder& count(int64_t n);
    LineBuilder& amount(Money m, int width = 9);
    LineBuilder& blank(int width = 9);
    LinePair done() const { return line_; }

private:
    LineBuilder& cell(const std::string& text, int width);
    const NumberFormat& fmt_;
    LinePair line_{std::string(1, frame::V), {}};
};

// The column headings of the summary, as the print file writes them: four guest groups of three
// board columns, then the amounts before and after the ten configurable headings.
namespace summary_headings {
inline constexpr std::array<const char*, 4> kGroups{"  PRIVATI  ", "  AGENZIE  ", "  PRIVATI  ", "  AGENZIE  "};
inline constexpr std::array<const char*, 3> kBoards{"CC ", "MP ", "PC "};
inline constexpr std::array<const char*, 4> kBeforeColumns{"  HOTEL  ", "  CAMP.  ", " FATTURE ", " ACCONTI "};
inline constexpr std::array<const char*, 3> kAfterColumns{" SPESE   ", " OSPITI  ", " TOT. INC."};
}  // namespace summary_headings

// The values of one line of the summary's body in column order: the twelve guest counts, the
// sixteen amounts from HOTEL to OSPITI (an empty one is a blank cell) and TOT. INC.
struct SummaryRow {
    std::array<int64_t, 12> counts{};
    std::array<std::optional<Money>, 16> amounts{};
    Money total;
};

// The U line (unmarked guests, line takings) and the NU line (marked guests, sale documents).
SummaryRow URow(const GuestCounters& c, const DayAmounts& a);
SummaryRow NURow(const GuestCounters& c, const DayAmounts& a);
// The day row: the U and NU guest cells added, the day's amounts by printed column.
SummaryRow DayRow(const GuestCounters& c, const DayAmounts& a);
SummaryRow TotalsRow(const PeriodTotals& totals);

class SummaryLayout {
public:
    // headings: the ten configurable headings, each already 9 characters.
    explicit SummaryLayout(const std::array<std::string, 10>& headings);

    // Entries 0 to 4 and 9 of the report and sheet line tables.
    const LinePair& top() const { return lines_[0]; }
    const LinePair& headings() const { return lines_[1]; }
    const LinePair& subRule() const { return lines_[2]; }
    const LinePair& subHeadings() const { return lines_[3]; }
    const LinePair& rule() const { return lines_[4]; }
    const LinePair& bottom() const { return lines_[9]; }

private:
    std::array<LinePair, 10> lines_;
};

// The rows above as lines of the print file and of Orvalis.csv.
LinePair MakeULine(const NumberFormat& fmt, const GuestCounters& c, const DayAmounts& a);
LinePair MakeNULine(const NumberFormat& fmt, const GuestCounters& c, const DayAmounts& a);
LinePair MakeDayRow(const NumberFormat& fmt, const std::string& dayDmy, const GuestCounters& c, const DayAmounts& a);
LinePair MakeTotalsRow(const NumberFormat& fmt, const PeriodTotals& totals);

// A configurable heading: the first nine characters, trimmed, padded to nine.
std::string HeadingCell(const std::string& intestazione);

}  // namespace ov
