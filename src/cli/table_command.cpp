// ovdesk table: the filtered print form's "&Stampa" (or "&Anteprima" with --destination ---),
// unattended. Rows, order and compression come from the command line, else from the table's saved
// filter, else the form's defaults.
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "cli/cli_host.h"
#include "cli/report_printers.h"
#include "core/cp1252.h"
#include "data/column_store.h"
#include "data/query/errors.h"
#include "tableform/saved_filter.h"
#include "tableform/table_form.h"
#include "tableprint/table_job_settings.h"

namespace ov::cli {
namespace {

struct RowOption {
    std::string field, op, value;
};

// "--row FIELD OPERATOR VALUE" takes three words; they are taken out before the other options.
Args takeRows(const Args& args, std::vector<RowOption>& rows) {
    Args rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<long>(i), args.end());
            break;
        }
        if (args[i] != "--row") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 3 >= args.size()) throw UsageError("--row vuole tre valori: CAMPO OPERATORE VALORE");
        rows.push_back({args[i + 1], args[i + 2], args[i + 3]});
        i += 3;
    }
    if (rows.size() > kCriteriaRows) throw UsageError("al massimo 8 criteri --row");
    return rest;
}

// "uguale a", "da", "non include", ...: a label without its blanks, in any letter case.
std::string operatorOption(const std::string& word) {
    for (std::string_view label : kOperatorLabels)
        if (cp1252::equalNoCase(cp1252::trim(label), cp1252::fromUtf8(word))) return std::string(label);
    throw UsageError("operatore sconosciuto: " + word +
                     " (uguale a, inferiore a, superiore a, fino a, da, diverso da, include, non include)");
}

// The field as the form's lists hold it: an exact name of the table, or nothing.
std::string listedField(const std::vector<std::string>& fields, const std::string& name) {
    for (const auto& f : fields)
        if (f == name) return f;
    return {};
}

// The label whose text, trimmed, is the saved label word; nothing for an unknown word.
std::string savedLabel(const std::string& word) {
    for (std::string_view label : kOperatorLabels)
        if (cp1252::trim(label) == word) return std::string(label);
    return {};
}

}  // namespace

int runTable(const Args& args) {
    std::vector<RowOption> rowOptions;
    Options o(takeRows(args, rowOptions), {"folder", "table", "order", "destination", "pdf"}, {"compressed", "normal"});
    o.expectOperands(0);
    auto table = o.value("table");
    if (!table || table->empty()) throw UsageError("manca --table NOME");
    if (o.flag("compressed") && o.flag("normal")) throw UsageError("--compressed e --normal si escludono");
    std::vector<RowOption> typed;
    for (const auto& r : rowOptions) typed.push_back({cp1252::fromUtf8(r.field), operatorOption(r.op), r.value});

    Workspace ws = o.workspace();
    noteWorkstation(ws);
    // As the main window does at start-up: a layout may name the column store.
    EnsureColumnStore(ws);
    ProgramState state;
    state.printTableName = cp1252::fromUtf8(*table);
    const NumberFormat numbers = NumberFormat::fromEnvironmentLocale();
    CliHost host;

    const std::string layoutFile = layoutFileName(state.printTableName);
    std::optional<TableLayout> layout = ReadFormLayout(ws, layoutFile, host);
    if (!layout) return 1;
    TableSource source = OpenTableSource(ws, layoutFile, *layout);
    const std::vector<std::string> fields = source.fieldNames();
    const std::string first = fields.empty() ? std::string() : fields.front();

    // The form as it opens: every row on the first field and " uguale a ", compressed print.
    CriteriaRows rows;
    for (auto& row : rows) row = {first, std::string(kOperatorLabels[0]), ""};
    std::string order = first;
    bool compressed = true;

    if (auto saved = ReadSavedFilter(ws, savedFilterNameForTable(state.printTableName), state.filterParams)) {
        if (saved->compressed) compressed = *saved->compressed;
        if (saved->orderField) order = listedField(fields, *saved->orderField);
        if (typed.empty())
            for (size_t r = 0; r < saved->criteria.size(); ++r) {
                const SavedCriterion& c = saved->criteria[r];
                rows[r] = {listedField(fields, c.field), savedLabel(c.labelWord), c.value};
                // The form would stop at this row with a field-less criterion; here the field is named.
                if (rows[r].field.empty() && !rows[r].op.empty() && rows[r].value > std::string(" "))
                    throw Error(err::FieldNotFound, "Elemento non trovato in questo insieme: il campo '" +
                                                        cp1252::toUtf8(c.field) + "' del filtro salvato '" +
                                                        cp1252::toUtf8(savedFilterNameForTable(state.printTableName)) +
                                                        "' non esiste nella tabella '" +
                                                        cp1252::toUtf8(source.records->table().name) + "'.");
            }
    }
    // A field typed on the command line in any letter case is the table's field as the lists spell it.
    auto fieldOption = [&source, &fields](const std::string& name) {
        int i = source.records->table().fieldIndex(name);
        if (i < 0) throw query::unknownFieldError(name, source.records->table().name);
        return fields[static_cast<size_t>(i)];
    };
    for (size_t r = 0; r < typed.size(); ++r) {
        rows[r] = {fieldOption(typed[r].field), typed[r].op, cp1252::fromUtf8(typed[r].value)};
        // The form shows such a box emptied; unattended, dropping the row would widen the listing unseen.
        if (HoldsInvalidDate(rows[r], state, numbers))
            throw UsageError("data non valida per --row " + rowOptions[r].field + ": " + rowOptions[r].value);
    }
    if (auto v = o.value("order")) order = fieldOption(cp1252::fromUtf8(*v));
    if (o.flag("compressed")) compressed = true;
    if (o.flag("normal")) compressed = false;

    TablePrintRequest request;
    request.orderField = order;
    request.compressed = compressed;
    // --pdf FILE: the listing through the driver path into FILE, with a driver destination's settings.
    std::optional<std::filesystem::path> pdf;
    if (auto file = o.value("pdf")) {
        if (file->empty()) throw UsageError("--pdf vuole il nome del file");
        pdf = std::filesystem::absolute(*file);
        request.destination = pdfDestination(ws, o.value("destination"), compressed);
    } else if (auto d = o.value("destination")) {
        request.destination = cp1252::fromUtf8(*d);
    } else {
        std::vector<std::string> destinations = readFormDestinations(ws);
        if (!destinations.empty()) request.destination = destinations.front();
    }

    std::unique_ptr<DriverPrinterOnDemand> printer =
        pdf ? std::make_unique<DriverPrinterOnDemand>(*pdf) : std::make_unique<DriverPrinterOnDemand>();
    if (!RunTablePrint(ws, state, numbers, host, source, rows, request, *printer)) return 1;
    if (pdf) {
        printer->closePdf();
        std::cout << pdf->string() << "\n";
        return 0;
    }
    // A destination without a printer record ("---" among them) wrote the print file: say where.
    TableJob job;
    job.layoutFile = layoutFile;
    job.destination = request.destination;
    job.compressed = compressed;
    const TableJobSettings settings = ReadTableJobSettings(ws, state, numbers, job);
    if (settings.kind == TableOutputKind::PrintFile)
        std::cout << ws.pathFor(settings.printFileName).lexically_normal().string() << "\n";
    return 0;
}

}  // namespace ov::cli
