#pragma once
// One print job of the filtered table printing: the table's layout, the current hotel's records
// selected by a criteria text, framed page by page on the print file, a raw device or the printer
// driver, as the destination's printer record says.
#include <optional>
#include <string>

#include "core/error.h"

#include "state/program_state.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "platform/printer.h"

namespace ov {

struct TableJob {
    std::string layoutFile;   // the table name followed by ".stp"
    std::string destination;  // Destinazione of Stampanti; "---" (or no record) is the print file
    std::string criteria;     // condition text of the query; never empty
    std::string orderField;   // field the rows are sorted by
    bool compressed = false;
};

// Never stops on an error: a failing step is skipped and the job goes on; a failing query or find
// ends the record loop, the heading and closing lines are still written. It returns the first
// failure (a setting that could not be read, a query the engine rejects, a printer that does not
// exist, an output that refused bytes), nothing when every step worked. The print file is replaced
// only when no step failed: a failed job leaves the earlier one as it was. The option letters and the hotel number come from the
// program state; today and the time from the workspace's clock; decimal commas and totals follow
// the user's number notation.
std::optional<Error> PrintTable(const Workspace& ws, const ProgramState& state, const NumberFormat& numbers,
                                const TableJob& job, Printer& printer);

}  // namespace ov
