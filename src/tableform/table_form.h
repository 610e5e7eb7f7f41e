#pragma once
// What the filtered print form ("Stampa") does without its widgets: the layout header check, the
// table it names with its fields, the printer list, and the print and preview actions. The window
// and the headless "table" command both go through here.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "data/database.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "tableform/form_criteria.h"
#include "tableprint/table_layout.h"

namespace ov {

// The destination of "&Anteprima": a name no printer record carries, so the job writes the print file.
inline constexpr const char* kPreviewDestination = "---";
// Its presence in the working folder makes the form print at once, unattended, and close.
inline constexpr const char* kUnattendedMarker = "MCCnf.txt";

inline std::string layoutFileName(const std::string& table) { return table + ".stp"; }

// The layout of the table; nothing, after telling the user, when the file is missing
// ("ColonneOV.stp - Inesistente!", "File Mancante") or its header has more than nine commas or
// names no database or table ("ColonneOV.stp - Formato non valido!", "Formato Errato").
std::optional<TableLayout> ReadFormLayout(const Workspace& ws, const std::string& layoutFile, Host& host);

// The database and record set the layout header names (items 3 and 4), held while the form lives.
struct TableSource {
    std::string layoutFile;
    std::shared_ptr<Database> database;
    std::shared_ptr<RecordSet> records;

    // Field names in the record set's order.
    std::vector<std::string> fieldNames() const;
};

// Database errors (a missing file, an unknown table) propagate.
TableSource OpenTableSource(const Workspace& ws, const std::string& layoutFile, const TableLayout& layout);

// The form's printer list: Destinazione of every Stampanti record matching "Numero > 0", in
// table order (whatever its hotel).
std::vector<std::string> readFormDestinations(const Workspace& ws);

struct TablePrintRequest {
    std::string orderField;
    bool compressed = true;
    std::string destination;  // kPreviewDestination for "&Anteprima"
};

// "&Stampa" and "&Anteprima": builds the criteria text from the rows (rewriting their values as
// the boxes show them afterwards) and runs the print job. False, after "Mancano dati!", when no
// criterion is left, and false after showing the job's first failure when a step of it failed (the
// job itself goes on past failing steps). Errors of the field-type query propagate.
// `busy` is told when the job starts (true) and ends (false): the window shows the hourglass.
bool RunTablePrint(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                   const TableSource& source, CriteriaRows& rows, const TablePrintRequest& request, Printer& printer,
                   const std::function<void(bool busy)>& busy = {});

}  // namespace ov
