#pragma once
// The figures of one day of the hotel data summary and the totals over the run.
#include <array>
#include <cstdint>

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
};

struct PeriodTotals {
    std::array<int64_t, 12> guests{};  // in the order of the day row's count cells
    Money hotelU, campU, hotelNU, campNU, deposits, expenses, guestOutgoings;
    std::array<Money, 11> columns{};   // printed columns 1..10
};

}  // namespace ov
