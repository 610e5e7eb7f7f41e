#include "state/selection.h"

#include <algorithm>

#include "state/field_entry.h"
#include "core/cp1252.h"

namespace ov {

bool RoomRangeInOrder(const std::string& firstRoom, const std::string& lastRoom) {
    // Ordinal comparison of the characters the user sees, so "10" sorts before "9".
    std::string_view a = cp1252::trim(firstRoom), b = cp1252::trim(lastRoom);
    auto codePoint = [](char c) { return cp1252::toUnicode(static_cast<unsigned char>(c)); };
    return !std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                         [&](char x, char y) { return codePoint(x) < codePoint(y); });
}

FocusTarget ConfirmSelectionField(Selection& selection, int field, ProgramState& state,
                                  const NumberFormat& numbers) {
    std::string& text = selection.fields.at(static_cast<size_t>(field));
    switch (field) {
    case Selection::FirstDay:
        text = FilterField(text, 0, numbers);
        CompleteDate(text);
        if (IsValidDate(text, state) == 1) return FocusTarget::LastDay;
        text.clear();
        return FocusTarget::FirstDay;
    case Selection::LastDay:
        text = FilterField(text, 0, numbers);
        CompleteDate(text);
        if (IsValidDate(text, state) != 1) {
            text.clear();
            return FocusTarget::LastDay;
        }
        return DatesInOrder(selection.firstDay(), selection.lastDay()) == 1 ? FocusTarget::FirstRoom
                                                                          : FocusTarget::FirstDay;
    case Selection::FirstRoom:
        text = FilterField(text, 0, numbers);
        return FocusTarget::LastRoom;
    default:
        text = FilterField(text, 0, numbers);
        return RoomRangeInOrder(selection.firstRoom(), selection.lastRoom()) ? FocusTarget::PrintButton
                                                                           : FocusTarget::FirstRoom;
    }
}

}  // namespace ov
