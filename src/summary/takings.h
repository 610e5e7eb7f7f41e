#pragma once
// The day's money: what the documents issued that day brought in, split between the two hotels,
// the deposits, the takings of configured items and the day's outgoings.
#include <string>

#include "core/workspace.h"
#include "data/column_needs.h"
#include "data/record_set.h"
#include "summary/day_figures.h"
#include "summary/hotel_rooms.h"

namespace ov {

struct TakingsInput {
    const Workspace& ws;
    const HotelTwoRooms& rooms;
    std::string firstRoom;   // as typed
    std::string lastRoom;    // as typed
    std::string day;         // YYYYMMDD
    RecordSet& paymentCodes; // "Select * From CodiciVari Where Tipo = 4", open for the whole run
};

// Every field CollectDayTakings reads (in its queries, criteria and look-ups), by table.
TableColumns TakingsColumns();

// Adds the day's takings to `amounts` (the caller has set them to zero).
void CollectDayTakings(const TakingsInput& in, DayAmounts& amounts);

}  // namespace ov
