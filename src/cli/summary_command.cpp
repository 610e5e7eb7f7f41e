// ovdesk summary / presence: the two summaries of the main window, unattended.
#include <iostream>

#include "state/field_entry.h"
#include "state/program_state.h"
#include "cli/cli.h"
#include "cli/cli_host.h"
#include "core/cp1252.h"
#include "core/text_file.h"
#include "data/column_store.h"
#include "presence/presence_summary.h"
#include "summary/data_summary.h"

namespace ov::cli {
namespace {

// A date option cleaned as the Enter key cleans it: 010524 becomes 01/05/2024. Accepted only when
// the run will take it too: a real calendar day written with "/".
std::string dateOption(const Options& o, const std::string& name, ProgramState& state, const NumberFormat& fmt) {
    auto v = o.value(name);
    if (!v) throw UsageError("manca --" + name + " GG/MM/AAAA");
    std::string text = cp1252::fromUtf8(*v);
    text = FilterField(text, 0, fmt);
    CompleteDate(text);
    if (IsValidDate(text, state) != 1 || !Date::fromDmy(text))
        throw UsageError("data non valida per --" + name + ": " + *v);
    return text;
}

// Prints a report file to the terminal, frame bytes drawn as box characters.
void show(const std::filesystem::path& file) {
    for (const auto& line : ReadLines(file)) std::cout << forTerminal(line) << "\n";
}

}  // namespace

int runSummary(const Args& args) {
    Options o(args, {"folder", "from", "to", "first-room", "last-room"}, {"open", "show"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    // As the main window does at start-up: the summary reads the column store.
    EnsureColumnStore(ws);
    ProgramState state;
    const NumberFormat fmt = NumberFormat::fromEnvironmentLocale();
    SummarySelection sel;
    sel.firstDay = dateOption(o, "from", state, fmt);
    sel.lastDay = dateOption(o, "to", state, fmt);
    if (auto r = o.value("first-room")) sel.firstRoom = FilterField(cp1252::fromUtf8(*r), 0, fmt);
    if (auto r = o.value("last-room")) sel.lastRoom = FilterField(cp1252::fromUtf8(*r), 0, fmt);

    std::set<std::string> yes;
    if (o.flag("open")) yes.insert("Apro il file in formato EXCEL?");
    CliHost host(yes);
    SummaryOutcome outcome = RunDataSummary(sel, ws, state, fmt, host);
    if (!outcome.completed) return 1;
    if (o.flag("show")) show(outcome.written.front());
    for (const auto& f : outcome.written) std::cout << f.string() << "\n";
    return 0;
}

int runPresence(const Args& args) {
    Options o(args, {"folder", "from", "to"}, {"show"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    ProgramState state;
    const NumberFormat fmt = NumberFormat::fromEnvironmentLocale();
    const std::string first = dateOption(o, "from", state, fmt);
    const std::string last = dateOption(o, "to", state, fmt);
    CliHost host;
    PresenceOutcome outcome = PresenceSummary(first, last, ws, fmt, host, false);
    if (!outcome.completed) return 1;
    if (o.flag("show")) show(outcome.printFile);
    std::cout << outcome.printFile.string() << "\n";
    return 0;
}

}  // namespace ov::cli
