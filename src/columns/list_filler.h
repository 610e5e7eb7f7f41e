#pragma once
// Lists of records as padded text lines under a heading line, as the column set-up dialog shows
// its two lists: each column of the layout cut and padded to its width, one blank after each.
#include <array>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "core/number_format.h"
#include "data/record_set.h"

namespace ov {

// One column of a list's layout. Texts are code page 1252.
struct ListColumn {
    std::string heading;
    std::string field;
    int width = 0;
    char kind = 'S';       // 'S' text, 'N' a number the totals line adds up
    char alignment = 'L';  // 'L' left, 'R' right
};

inline constexpr size_t kMaxListColumns = 50;
using ListColumns = std::array<ListColumn, kMaxListColumns>;

// Every heading and field empty, width 0, kind "S", alignment "L".
void ClearColumnSpecs(ListColumns& columns);

// Fills `list` with one line per record of `records` matching `criteria` (found with find-first
// and find-next), at most `maxLines` of them, and `label` with the heading line. The columns are
// those up to the first empty heading. A line equal to one already listed is left out unless the
// option letters of the last summary hold "L". A column that cannot be read (an unknown field)
// stays blank and the list goes on; a criteria text that fails ends the list with what it holds.
// Answers the totals line of the "N" columns.
std::string FillListFromRecords(RecordSet& records, const std::string& criteria, std::vector<std::string>& list,
                                std::string& label, const ListColumns& columns, int maxLines,
                                const ProgramState& state, const NumberFormat& numbers);

}  // namespace ov
