#include "summary/hotel_rooms.h"

#include "core/cp1252.h"
#include "core/file_access.h"
#include "core/text_file.h"

namespace ov {

void HotelTwoRooms::fill(const Workspace& ws) {
    for (auto& r : ranges_) r = {};
    auto path = findSettingsFile(ws, "Hotel2.txt");
    if (!path) return;
    int row = 0;
    for (const std::string& line : ReadLines(*path)) {
        if (row == kRows) break;
        size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        ranges_[row].first = std::string(cp1252::trim(std::string_view(line).substr(0, comma)));
        ranges_[row].second = std::string(cp1252::trim(std::string_view(line).substr(comma + 1)));
        ++row;
    }
}

int16_t HotelTwoRooms::hotelOf(std::string_view room) const {
    if (room.empty()) return 1;
    for (const auto& [first, last] : ranges_) {
        if (first.empty()) break;
        // std::string_view compares bytes as unsigned characters: character-code order.
        if (std::string_view(first) <= room && room <= std::string_view(last)) return 2;
    }
    return 1;
}

int16_t HotelTwoRooms::hotelOf(const Value& room) const {
    if (room.isNull()) return 1;
    if (room.isText()) return hotelOf(std::string_view(room.asText()));
    return hotelOf(std::string_view(room.toText(NumberFormat::english())));
}

}  // namespace ov
