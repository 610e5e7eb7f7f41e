#include "summary/data_summary.h"

#include <optional>

#include "core/cp1252.h"
#include "core/dates.h"
#include "core/text_file.h"
#include "state/workstation.h"
#include "summary/cash_sheet.h"
#include "summary/report_lines.h"

namespace ov {
namespace {

const char* kTitle = "Riepilogo dati Hotel";

}  // namespace

void WriteSummaryFiles(const SummarySelection& sel, const SummaryFigures& figures, const Workspace& ws,
                       const NumberFormat& fmt, std::vector<std::filesystem::path>& written) {
    const SummaryLayout layout(figures.headings);
    LineWriter print(ws.pathFor(printFileWriteName(ws)));
    written.push_back(print.path());
    LineWriter sheet(ws.pathFor("Orvalis.csv"));
    written.push_back(sheet.path());
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
    print.close();
    sheet.close();
    AppendCashSheet(ws, fmt, figures.extraTillDeposits);
}

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
    // Yes opens the spreadsheet; when no program can, the user is told and the print menu still
    // comes, so the report can be printed.
    const char* question = "Apro il file in formato EXCEL?";
    const char* title = "Visualizza tabella";
    if (host.ask(question, title, Answer::No) == Answer::Yes && openOrWarn(host, ws.pathFor("orvalis.csv"), title))
        return outcome;
    host.showPrintMenu();
    return outcome;
}

}  // namespace ov
