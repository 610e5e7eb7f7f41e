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
#include "summary/cash_sheet.h"
#include "summary/summary_figures.h"

namespace ov {

struct SummaryOutcome {
    bool completed = false;                     // every file written
    std::vector<std::filesystem::path> written; // the files written; none when the run failed
};

// Whether a run also writes the workbook "Orvalis.xlsx" (the window always does, the headless
// command when asked to).
enum class SummaryWorkbook { Write, Skip };

// Runs the summary, then asks whether to open the spreadsheet (Yes: the workbook, or Orvalis.csv
// when there is none) or shows the print menu. Errors are shown through the host and end the run;
// a workbook that cannot be written is shown too, but leaves the other files and the question.
// The caption is restored in every case.
SummaryOutcome RunDataSummary(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                              const NumberFormat& fmt, Host& host,
                              SummaryWorkbook workbook = SummaryWorkbook::Write);

// Writes the print file and Orvalis.csv (with its cash reconciliation sheet) from the figures,
// replacing both together or, on an error, neither (core/replaced_file.h); adds them to `written`
// once they are in place. Returns what the cash sheet holds.
CashSheet WriteSummaryFiles(const SummarySelection& sel, const SummaryFigures& figures, const Workspace& ws,
                            const NumberFormat& fmt, std::vector<std::filesystem::path>& written);

}  // namespace ov
