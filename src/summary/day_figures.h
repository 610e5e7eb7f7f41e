#pragma once
// The figures of one day of the hotel data summary and the totals over the run: what the print
// file, Orvalis.csv, the workbook and the charts all draw from.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/dates.h"
#include "core/money.h"

namespace ov {

// Guests present, by counter index 12 x (hotel - 1) + 6 x marked + 3 x company + board.
using GuestCounters = std::array<int32_t, 24>;

inline int guestCounterIndex(int hotel, bool marked, bool company, int board) {
    return 12 * (hotel - 1) + 6 * (marked ? 1 : 0) + 3 * (company ? 1 : 0) + board;
}

struct DayAmounts {
    Money hotelU, campU, hotelNU, campNU;
    Money deposits;
    Money extraTillDeposits;
    std::array<Money, 21> columnTakings{};  // 1..20 used: 1-10 feed the U line, 11-20 the NU line
    Money expenses;
    Money guestOutgoings;

    // TOT. INC. of the U line.
    Money totalU() const {
        Money t = hotelU + campU + deposits + expenses + guestOutgoings;
        for (int n = 1; n <= 10; ++n) t += columnTakings[n];
        return t;
    }
    // TOT. INC. of the NU line.
    Money totalNU() const {
        Money t = campNU + hotelNU;
        for (int n = 11; n <= 20; ++n) t += columnTakings[n];
        return t;
    }
    // HOTEL and CAMP. of the day row: the U and the NU takings of each hotel.
    Money dayHotel() const { return hotelU + hotelNU; }
    Money dayCamp() const { return campU + campNU; }
    // Printed column k (1..10) of the day row: the U and the NU takings of that column.
    Money dayColumn(int k) const { return columnTakings[k] + columnTakings[k + 10]; }
    // TOT. INC. of the day row.
    Money dayTotal() const {
        Money t = hotelU + hotelNU + campU + campNU + deposits + expenses + guestOutgoings;
        for (int k = 1; k <= 10; ++k) t += dayColumn(k);
        return t;
    }
};

// Counter indices of the twelve count cells of the U line and of the NU line; the day row adds
// the two.
inline constexpr std::array<int, 12> kUCounters{0, 1, 2, 3, 4, 5, 12, 13, 14, 15, 16, 17};
inline constexpr std::array<int, 12> kNUCounters{6, 7, 8, 9, 10, 11, 18, 19, 20, 21, 22, 23};

// The twelve count cells of the day row: unmarked and marked guests of each cell added.
inline std::array<int64_t, 12> dayGuests(const GuestCounters& c) {
    std::array<int64_t, 12> cells{};
    for (size_t k = 0; k < 12; ++k) cells[k] = int64_t{c[kUCounters[k]]} + c[kNUCounters[k]];
    return cells;
}

struct PeriodTotals {
    std::array<int64_t, 12> guests{};  // in the order of the day row's count cells
    Money hotelU, campU, hotelNU, campNU, deposits, expenses, guestOutgoings;
    std::array<Money, 11> columns{};   // printed columns 1..10

    // Adds one day: the guests of its U and NU lines, the amounts of its day row.
    void add(const GuestCounters& c, const DayAmounts& a) {
        const auto cells = dayGuests(c);
        for (size_t k = 0; k < 12; ++k) guests[k] += cells[k];
        hotelU += a.hotelU;
        hotelNU += a.hotelNU;
        campU += a.campU;
        campNU += a.campNU;
        deposits += a.deposits;
        expenses += a.expenses;
        guestOutgoings += a.guestOutgoings;
        for (int k = 1; k <= 10; ++k) columns[k] += a.dayColumn(k);
    }
    // HOTEL and CAMP. of the totals row.
    Money hotel() const { return hotelU + hotelNU; }
    Money camp() const { return campU + campNU; }
    // TOT. INC. of the totals row.
    Money grandTotal() const {
        Money t = hotelU + hotelNU + campU + campNU + deposits + expenses + guestOutgoings;
        for (int k = 1; k <= 10; ++k) t += columns[k];
        return t;
    }
};

// One day of the run. `dmy` is the day as the report prints it (the first day as typed).
struct SummaryDay {
    Date date;
    std::string dmy;
    GuestCounters counters{};
    DayAmounts amounts;
};

// Everything a finished run computed.
struct SummaryFigures {
    std::array<std::string, 10> headings;  // the configurable headings, nine characters each
    std::vector<SummaryDay> days;
    PeriodTotals totals;
    Money extraTillDeposits;  // deposits paid outside the till on the last day, for the cash sheet
};

}  // namespace ov
