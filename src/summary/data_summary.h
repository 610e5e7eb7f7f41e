#pragma once
// The hotel data summary: per day, the guests present and the day's takings, written to the print
// file and to "Orvalis.csv" with a cash reconciliation sheet.
#include <filesystem>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "platform/host.h"

namespace ov {

// The four texts of the main window's selection, as they stand (code page 1252).
struct SummarySelection {
    std::string firstDay;
    std::string lastDay;
    std::string firstRoom;
    std::string lastRoom = "ZZZZ";
};

struct SummaryOutcome {
    bool completed = false;                     // every file written
    std::vector<std::filesystem::path> written; // files written, also by a run that failed midway
};

// Runs the summary, then asks whether to open the spreadsheet (Yes) or shows the print menu.
// Errors are shown through the host and end the run; the caption is restored in every case.
SummaryOutcome RunDataSummary(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                              const NumberFormat& fmt, Host& host);

// The print file a report writes: "fd" followed by the text of PCLocal.
std::string PrintFileNameForWriting(const Workspace& ws);

}  // namespace ov
