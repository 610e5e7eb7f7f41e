#pragma once
// The selection typed in the main window: a range of days and a range of rooms, as the four entry
// fields hold them (code page 1252 bytes, exactly as they stand: the summaries read them so).
#include <array>
#include <string>

#include "state/program_state.h"
#include "core/number_format.h"

namespace ov {

struct Selection {
    enum Field { FirstDay = 0, LastDay = 1, FirstRoom = 2, LastRoom = 3 };

    std::array<std::string, 4> fields;

    const std::string& firstDay() const { return fields[FirstDay]; }
    const std::string& lastDay() const { return fields[LastDay]; }
    const std::string& firstRoom() const { return fields[FirstRoom]; }
    const std::string& lastRoom() const { return fields[LastRoom]; }
};

// Where the focus goes after Enter in an entry field.
enum class FocusTarget { FirstDay, LastDay, FirstRoom, LastRoom, PrintButton };

// Enter in entry field `field`: rewrites its text (dates completed and checked, an invalid date
// emptied; text cleaned) and says which control takes the focus next.
FocusTarget ConfirmSelectionField(Selection& selection, int field, ProgramState& state,
                                  const NumberFormat& numbers);

// Rooms compared as the window compares them: trimmed, character by character by code point.
bool RoomRangeInOrder(const std::string& firstRoom, const std::string& lastRoom);

}  // namespace ov
