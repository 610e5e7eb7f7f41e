#pragma once
// The computation of the hotel data summary: per day, the takings and the guests present, and
// the totals of the period. Every output of the summary (print file, Orvalis.csv, workbook,
// charts) is written from these figures.
#include <optional>
#include <string>

#include "core/dates.h"
#include "core/workspace.h"
#include "platform/host.h"
#include "state/program_state.h"
#include "summary/day_figures.h"

namespace ov {

// The four texts of the main window's selection, as they stand (code page 1252).
struct SummarySelection {
    std::string firstDay;
    std::string lastDay;
    std::string firstRoom;
    std::string lastRoom = "ZZZZ";
};

// Loads the option letters of hotel record 1 into the run state (they keep their value when
// there is no such record). The summary does this first; what it loads decides where the history
// cards are read.
void LoadOptionLetters(const Workspace& ws, ProgramState& state);

// The days a run covers, read from the selection.
struct SummaryPeriod {
    Date first;
    Date last;
};

// What a run checks before it computes anything: both days must be real calendar dates, and the
// history folder (DIRSH) must be set when the option letters send the guest count there. Loads the
// option letters. When the run cannot start the host has told the user why and nothing is
// returned. Throws Error when the hotel register cannot be read.
std::optional<SummaryPeriod> PrepareSummaryRun(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                                               Host& host);

// The figures of every day from `first` to `last`, over the selection's rooms, with the headings
// of the configured columns. The host's caption shows the day being computed and its progress the
// share done. Throws Error when a database cannot be read.
SummaryFigures ComputeSummaryFigures(const SummarySelection& sel, const Date& first, const Date& last,
                                     const Workspace& ws, ProgramState& state, Host& host);

}  // namespace ov
