#include "summary/data_summary.h"

#include <optional>

#include "core/cp1252.h"
#include "core/dates.h"
#include "core/replaced_file.h"
#include "summary/cash_sheet.h"
#include "summary/report_lines.h"

namespace ov {
namespace {

const char* kTitle = "Riepilogo dati Hotel";

}  // namespace

void WriteSummaryFiles(const SummarySelection& sel, const SummaryFigures& figures, const Workspace& ws,
                       const NumberFormat& fmt, std::vector<std::filesystem::path>& written) {
    const SummaryLayout layout(figures.headings);
    // Everything read first: a file that cannot be read leaves the earlier reports untouched.
    const std::vector<std::string> cashSheet = CashSheetLines(ws, fmt, figures.extraTillDeposits);
    ReplacedFile print(ws.pathFor(PrintFileNameForWriting(ws)));
    ReplacedFile sheet(ws.pathFor("Orvalis.csv"));
    auto both = [&](const LinePair& l) {
        print.line(l.report);
        sheet.line(l.sheet);
    };

    print.line("RIEPILOGO DATI HOTEL DAL " + sel.firstDay + " AL " + sel.lastDay + " DALLA CAMERA " + sel.firstRoom +
               " ALLA CAMERA " + sel.lastRoom);
    print.line("");
    for (const LinePair* l : {&layout.top(), &layout.headings(), &layout.subRule(), &layout.subHeadings(), &layout.rule()})
        both(*l);
    for (const SummaryDay& d : figures.days) {
        both(MakeULine(fmt, d.counters, d.amounts));
        both(MakeNULine(fmt, d.counters, d.amounts));
        both(layout.rule());
        both(MakeDayRow(fmt, d.dmy, d.counters, d.amounts));
        both(layout.rule());
    }
    print.line(layout.rule().report);
    sheet.line("");
    both(MakeTotalsRow(fmt, figures.totals));
    both(layout.bottom());
    for (const std::string& l : cashSheet) sheet.line(l);
    commitTogether({&print, &sheet});
    written.push_back(print.target());
    written.push_back(sheet.target());
}

std::string PrintFileNameForWriting(const Workspace& ws) { return "fd" + ws.env("PCLocal").value_or(""); }

SummaryOutcome RunDataSummary(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                              const NumberFormat& fmt, Host& host) {
    SummaryOutcome outcome;
    // Dates that are not real calendar dates stop the run before anything is written.
    std::optional<Date> first = Date::fromDmy(sel.firstDay);
    std::optional<Date> last = Date::fromDmy(sel.lastDay);
    for (const auto* bad : {first ? nullptr : &sel.firstDay, last ? nullptr : &sel.lastDay}) {
        if (bad) {
            host.message("Data non valida: " + cp1252::toUtf8(*bad), kTitle, Icon::Warning);
            return outcome;
        }
    }
    auto restoreCaption = [&] {
        host.setCaption(kTitle);
        host.setProgress(0, 0);
    };
    try {
        LoadOptionLetters(ws, state);
        if (state.hasOption('&') && ws.env("DIRSH").value_or("").empty()) {
            host.message("Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili", kTitle,
                         Icon::Warning);
            restoreCaption();
            return outcome;
        }
        const SummaryFigures figures = ComputeSummaryFigures(sel, *first, *last, ws, state, host);
        WriteSummaryFiles(sel, figures, ws, fmt, outcome.written);
        outcome.completed = true;
    } catch (const Error& e) {
        restoreCaption();
        host.showError(e);
        return outcome;
    }
    restoreCaption();
    if (host.ask("Apro il file in formato EXCEL?", "Visualizza tabella", Answer::No) == Answer::Yes) {
        host.openWithAssociatedProgram(ws.pathFor("orvalis.csv").string());
    } else {
        host.showPrintMenu();
    }
    return outcome;
}

}  // namespace ov
