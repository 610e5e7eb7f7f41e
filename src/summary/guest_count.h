#pragma once
// Guests present on a day, counted by hotel, "*" mark in the language field, billed company and
// board type: first the live guest cards, then the history cards, into the same counters.
#include <string>

#include "state/program_state.h"
#include "core/workspace.h"
#include "data/column_needs.h"
#include "summary/day_figures.h"
#include "summary/hotel_rooms.h"

namespace ov {

struct GuestCountInput {
    const Workspace& ws;
    const HotelTwoRooms& rooms;
    std::string firstRoom;  // as typed
    std::string lastRoom;   // as typed
    std::string day;        // YYYYMMDD
};

// The live cards of "Scheda_Cliente.mdb", present while DataArrivo <= day < DataPartenza.
// state.headCode carries over from guest to guest.
// Every field the two counts read (in their queries, criteria and look-ups), by table.
TableColumns GuestCountColumns();

void CountLiveGuests(const GuestCountInput& in, ProgramState& state, GuestCounters& counters);

// The history cards, present while DataArrivo <= day < DataPartenzaReale, from the working folder
// or, when the option letters hold "&", from the folder in DIRSH.
void CountHistoryGuests(const GuestCountInput& in, ProgramState& state, GuestCounters& counters);

// The name of a history database: DIRSH + "\" + name when the option letters hold "&".
std::string historyDatabaseName(const Workspace& ws, const ProgramState& state, const std::string& file);

}  // namespace ov
