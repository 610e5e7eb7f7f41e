#pragma once
// State of one program run that several windows and reports share.
#include <array>
#include <cstdint>
#include <string>

namespace ov {

struct ProgramState {
    // Hotel number of the column headings, the column dialog and the printer tables.
    int16_t hotelNumber = 1;
    // Month lengths, January first; checking a date rewrites February for the year checked.
    std::array<int16_t, 12> monthLengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // The hotel option letters loaded by the last hotel data summary (empty until the first one).
    std::string optionLetters;
    // Client code of the head of family, group or room of the last guest counted; it carries over
    // from one guest to the next.
    int32_t headCode = 0;
    // Table name the filtered print form works on.
    std::string printTableName;
    // Values of the placeholders "Param1" to "Param8" of a saved filter ([0] is Param1).
    std::array<std::string, 8> filterParams;

    bool hasOption(char letter) const { return optionLetters.find(letter) != std::string::npos; }
};

}  // namespace ov
