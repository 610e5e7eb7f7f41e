#include "summary/data_summary.h"

#include <optional>

#include "core/replaced_file.h"
#include "state/workstation.h"
#include "summary/cash_sheet.h"
#include "summary/report_lines.h"
#include "workbook/summary_workbook.h"

namespace ov {
namespace {

const char* kTitle = "Riepilogo dati Hotel";

// The print file's title line, which heads the workbook too.
std::string reportTitle(const SummarySelection& sel) {
    return "RIEPILOGO DATI HOTEL DAL " + sel.firstDay + " AL " + sel.lastDay + " DALLA CAMERA " + sel.firstRoom +
           " ALLA CAMERA " + sel.lastRoom;
}

}  // namespace

CashSheet WriteSummaryFiles(const SummarySelection& sel, const SummaryFigures& figures, const Workspace& ws,
                            const NumberFormat& fmt, std::vector<std::filesystem::path>& written) {
    const SummaryLayout layout(figures.headings);
    // Everything read first: a file that cannot be read leaves the earlier reports untouched.
    const CashSheet cash = ReadCashSheet(ws, figures.extraTillDeposits);
    ReplacedFile print(ws.pathFor(printFileWriteName(ws)));
    ReplacedFile sheet(ws.pathFor("Orvalis.csv"));
    auto both = [&](const LinePair& l) {
        print.line(l.report);
        sheet.line(l.sheet);
    };

    print.line(reportTitle(sel));
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
    for (const std::string& l : CashSheetLines(cash, fmt)) sheet.line(l);
    commitTogether({&print, &sheet});
    written.push_back(print.target());
    written.push_back(sheet.target());
    return cash;
}

SummaryOutcome RunDataSummary(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                              const NumberFormat& fmt, Host& host, SummaryWorkbook workbook) {
    SummaryOutcome outcome;
    auto restoreCaption = [&] {
        host.setCaption(kTitle);
        host.setProgress(0, 0);
    };
    std::optional<std::filesystem::path> xlsx;
    std::optional<Error> workbookError;
    try {
        const std::optional<SummaryPeriod> period = PrepareSummaryRun(sel, ws, state, host);
        if (!period) {
            restoreCaption();
            return outcome;
        }
        const SummaryFigures figures = ComputeSummaryFigures(sel, period->first, period->last, ws, state, host);
        const CashSheet cash = WriteSummaryFiles(sel, figures, ws, fmt, outcome.written);
        outcome.completed = true;
        if (workbook == SummaryWorkbook::Write) {
            // The print file and Orvalis.csv are complete: a workbook that fails leaves them.
            try {
                xlsx = WriteSummaryWorkbook(ws.pathFor("Orvalis.xlsx"), reportTitle(sel), figures, cash);
                outcome.written.push_back(*xlsx);
            } catch (const Error& e) {
                workbookError = e;
                outcome.completed = false;
            }
        }
    } catch (const Error& e) {
        restoreCaption();
        host.showError(e);
        return outcome;
    }
    restoreCaption();
    if (workbookError) host.showError(*workbookError);
    // Yes opens the spreadsheet; when no program can, the user is told and the print menu still
    // comes, so the report can be printed.
    const char* question = "Apro il file in formato EXCEL?";
    const char* title = "Visualizza tabella";
    if (host.ask(question, title, Answer::No) == Answer::Yes &&
        openOrWarn(host, xlsx ? *xlsx : ws.pathFor("orvalis.csv"), title))
        return outcome;
    host.showPrintMenu();
    return outcome;
}

}  // namespace ov
