#pragma once
// Which hotel a room belongs to: rooms inside one of the ranges of "Hotel2.txt" are hotel 2,
// every other room hotel 1.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/workspace.h"
#include "data/value.h"

namespace ov {

class HotelTwoRooms {
public:
    static constexpr int kRows = 5;

    // Empties the five ranges, then fills them from "Hotel2.txt" when the file exists: one range a
    // line, "first,last", blanks around either room ignored. Lines without a comma are skipped;
    // once five ranges are loaded the rest of the file is ignored.
    void fill(const Workspace& ws);
    // 2 when the room lies in a loaded range (inclusive, compared by character codes), else 1.
    // A null or empty room matches no range.
    int16_t hotelOf(std::string_view room) const;
    int16_t hotelOf(const Value& room) const;

    const std::array<std::pair<std::string, std::string>, kRows>& ranges() const { return ranges_; }

private:
    std::array<std::pair<std::string, std::string>, kRows> ranges_{};
};

}  // namespace ov
