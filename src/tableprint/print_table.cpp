#include "tableprint/print_table.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "core/cp1252.h"
#include "data/database.h"
#include "tableprint/skip_failing_step.h"
#include "tableprint/table_job_settings.h"
#include "tableprint/table_layout.h"
#include "tableprint/table_lines.h"
#include "tableprint/table_output.h"

namespace ov {

namespace {

// The query of the job: the layout's table with the criteria, sorted by the order field. Without an
// order field the rows come in table order.
std::string selectText(const TableLayout& layout, const TableJob& job) {
    std::string text = "SELECT * FROM " + layout.table() + " WHERE " + job.criteria;
    if (!cp1252::trim(job.orderField).empty()) text += " ORDER BY " + job.orderField;
    return text;
}

// Calls `visit` for the current hotel's records of the query, in query order. A failing open,
// query or find ends the walk.
void visitRecords(const Workspace& ws, const TableLayout& layout, const TableJob& job, int16_t hotelNumber,
                  const std::function<void(const RecordSet&)>& visit, StepFailures& failures) {
    std::shared_ptr<Database> db;
    std::optional<RecordSet> records;
    if (!skipFailingStep(
            [&] {
                db = Database::open(ws, layout.database());
                records.emplace(db->openRecordSet(selectText(layout, job)));
            },
            &failures))
        return;
    const std::string hotel = "NumeroHotel = " + std::to_string(hotelNumber);
    bool found = false;
    if (!skipFailingStep([&] { found = records->findFirst(hotel); }, &failures)) return;
    while (found) {
        skipFailingStep([&] { visit(*records); }, &failures);
        if (!skipFailingStep([&] { found = records->findNext(hotel); }, &failures)) return;
    }
}

Error noSuchPrinter(const std::string& name) {
    return Error(err::Device, "Periferica non disponibile: la stampante '" + cp1252::toUtf8(name) + "' non esiste.");
}

}  // namespace

std::optional<Error> PrintTable(const Workspace& ws, const ProgramState& state, const NumberFormat& numbers,
                                const TableJob& job, Printer& printer) {
    StepFailures failures;
    try {
        const TableJobSettings settings = ReadTableJobSettings(ws, state, numbers, job, &failures);
        TableLayout layout;
        skipFailingStep([&] { layout = ReadLayout(ws, job.layoutFile); }, &failures);
        if (settings.kind == TableOutputKind::Driver)
            skipFailingStep(
                [&] {
                    // The named printer when the system has it, else the current one (the system's
                    // default), as the print menu prints; with no printer at all nothing would print.
                    if (!printer.selectPrinter(settings.outputPath) && printer.currentPrinter().empty())
                        throw noSuchPrinter(settings.outputPath);
                },
                &failures);

        const HeadingBlock heading = MakeHeadingBlock(layout, settings.style, settings.hotelLine, ws.now());
        int widest = static_cast<int>(heading.bottomLine.size());
        for (const std::string& line : heading.pageLines()) widest = std::max(widest, static_cast<int>(line.size()));
        std::unique_ptr<TableOutput> out = openTableOutput(ws, settings, job.compressed, widest, printer, failures);

        int lineCount = 0;
        auto startPage = [&] {
            out->beginPage();
            for (const std::string& line : heading.pageLines()) out->line(line);
            lineCount = 5;
        };
        startPage();

        TableLineState lines(ws, numbers, layout.columns.size());
        visitRecords(
            ws, layout, job, state.hotelNumber,
            [&](const RecordSet& record) {
                out->line(FormatDataLine(layout, settings.style, record, settings.rate, lines));
                ++lineCount;
                if (out->pageIsFull(lineCount)) {
                    out->line(heading.bottomLine);
                    out->endPage(lineCount);
                    startPage();
                }
            },
            failures);

        out->line(heading.middleLine);
        ++lineCount;
        out->line(FormatTotalsLine(layout, settings.style, lines));
        out->line(heading.bottomLine);
        out->close(lineCount);
    } catch (const std::exception& e) {
        failures.record(e);
    }
    return failures.first();
}

}  // namespace ov
