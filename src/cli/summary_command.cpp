// ovdesk summary / presence: the two summaries of the main window, unattended.
#include <iostream>

#include "state/field_entry.h"
#include "state/program_state.h"
#include "cli/cli.h"
#include "cli/cli_host.h"
#include "cli/report_printers.h"
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

// --pdf FILE [--destination NAME] [--compressed] [--landscape]: the print file through the driver
// path into FILE, as "&Stampa" of the print menu prints it. The destination is checked first, so a
// wrong one costs no run.
struct PdfRequest {
    std::filesystem::path file;
    std::string destination;
    bool compressed = false;
    bool landscape = false;
};

std::optional<PdfRequest> pdfRequest(const Options& o, const Workspace& ws) {
    auto file = o.value("pdf");
    if (!file) {
        for (const char* name : {"destination", "compressed", "landscape"})
            if (o.value(name) || o.flag(name)) throw UsageError(std::string("--") + name + " vale solo con --pdf FILE");
        return std::nullopt;
    }
    if (file->empty()) throw UsageError("--pdf vuole il nome del file");
    PdfRequest r;
    r.file = std::filesystem::absolute(*file);
    r.compressed = o.flag("compressed");
    r.landscape = o.flag("landscape");
    r.destination = pdfDestination(ws, o.value("destination"), r.compressed);
    return r;
}

void printPdf(const Workspace& ws, const PdfRequest& r) {
    printPrintFileToPdf(ws, r.file, r.destination, r.compressed, r.landscape);
    std::cout << r.file.string() << "\n";
}

}  // namespace

SummarySelection SelectionOptions(const Options& o, ProgramState& state, const NumberFormat& fmt) {
    SummarySelection sel;
    sel.firstDay = dateOption(o, "from", state, fmt);
    sel.lastDay = dateOption(o, "to", state, fmt);
    if (auto r = o.value("first-room")) sel.firstRoom = FilterField(cp1252::fromUtf8(*r), 0, fmt);
    if (auto r = o.value("last-room")) sel.lastRoom = FilterField(cp1252::fromUtf8(*r), 0, fmt);
    return sel;
}

int runSummary(const Args& args) {
    Options o(args, {"folder", "from", "to", "first-room", "last-room", "pdf", "destination"},
              {"open", "show", "compressed", "landscape", "xlsx"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    const std::optional<PdfRequest> pdf = pdfRequest(o, ws);
    noteWorkstation(ws);
    // As the main window does at start-up: the summary reads the column store.
    EnsureColumnStore(ws);
    ProgramState state;
    const NumberFormat fmt = NumberFormat::fromEnvironmentLocale();
    const SummarySelection sel = SelectionOptions(o, state, fmt);
    std::set<std::string> yes;
    if (o.flag("open")) yes.insert("Apro il file in formato EXCEL?");
    CliHost host(yes);
    SummaryOutcome outcome =
        RunDataSummary(sel, ws, state, fmt, host, o.flag("xlsx") ? SummaryWorkbook::Write : SummaryWorkbook::Skip);
    if (!outcome.completed) return 1;
    if (o.flag("show")) showPrintFile(outcome.written.front());
    for (const auto& f : outcome.written) std::cout << f.string() << "\n";
    if (pdf) printPdf(ws, *pdf);
    return 0;
}

int runPresence(const Args& args) {
    Options o(args, {"folder", "from", "to", "pdf", "destination"}, {"show", "compressed", "landscape"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    const std::optional<PdfRequest> pdf = pdfRequest(o, ws);
    noteWorkstation(ws);
    ProgramState state;
    const NumberFormat fmt = NumberFormat::fromEnvironmentLocale();
    const std::string first = dateOption(o, "from", state, fmt);
    const std::string last = dateOption(o, "to", state, fmt);
    CliHost host;
    PresenceOutcome outcome = PresenceSummary(first, last, ws, fmt, host, false);
    if (!outcome.completed) return 1;
    if (o.flag("show")) showPrintFile(outcome.printFile);
    std::cout << outcome.printFile.string() << "\n";
    if (pdf) printPdf(ws, *pdf);
    return 0;
}

}  // namespace ov::cli
