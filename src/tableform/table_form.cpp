#include "tableform/table_form.h"

#include "core/cp1252.h"
#include "core/number_format.h"
#include "tableprint/print_table.h"

namespace ov {

std::optional<TableLayout> ReadFormLayout(const Workspace& ws, const std::string& layoutFile, Host& host) {
    const std::string shownName = cp1252::toUtf8(layoutFile);  // messages are UTF-8
    if (!ws.exists(layoutFile)) {
        host.message(shownName + " - Inesistente!", "File Mancante", Icon::Critical);
        return std::nullopt;
    }
    TableLayout layout = ReadLayout(ws, layoutFile);
    // The header has room for ten items; a longer one is not a layout this program wrote. A header
    // without database or table (an empty or foreign file) would only fail later on a nameless file.
    if (layout.headerHasExtraCommas || cp1252::trim(layout.database()).empty() ||
        cp1252::trim(layout.table()).empty()) {
        host.message(shownName + " - Formato non valido!", "Formato Errato", Icon::Critical);
        return std::nullopt;
    }
    return layout;
}

std::vector<std::string> TableSource::fieldNames() const {
    std::vector<std::string> names;
    if (!records) return names;
    for (int i = 0; i < records->fieldCount(); ++i) names.push_back(records->fieldName(i));
    return names;
}

TableSource OpenTableSource(const Workspace& ws, const std::string& layoutFile, const TableLayout& layout) {
    TableSource source;
    source.layoutFile = layoutFile;
    source.database = Database::open(ws, layout.database());
    source.records = std::make_shared<RecordSet>(source.database->openRecordSet(layout.table()));
    return source;
}

std::vector<std::string> readFormDestinations(const Workspace& ws) {
    auto db = Database::open(ws, "Stampanti.mdb");
    RecordSet rs = db->openRecordSet("Stampanti");
    std::vector<std::string> names;
    for (bool found = rs.findFirst("Numero > 0"); found; found = rs.findNext("Numero > 0")) {
        const Value& v = rs.field("Destinazione");
        names.push_back(v.isNull() ? std::string() : v.toText(NumberFormat::italian()));
    }
    return names;
}

bool RunTablePrint(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                   const TableSource& source, CriteriaRows& rows, const TablePrintRequest& request, Printer& printer,
                   const std::function<void(bool busy)>& busy) {
    const std::string criteria = BuildCriteria(rows, fieldTypesOf(*source.records), state, numbers);
    if (!HasCriterion(criteria)) {
        host.message(kNoCriterionText, kNoCriterionTitle, Icon::None);
        return false;
    }
    TableJob job;
    job.layoutFile = source.layoutFile;
    job.destination = request.destination;
    job.criteria = criteria;
    job.orderField = request.orderField;
    job.compressed = request.compressed;
    struct Busy {
        const std::function<void(bool)>& tell;
        explicit Busy(const std::function<void(bool)>& t) : tell(t) { if (tell) tell(true); }
        ~Busy() { if (tell) tell(false); }
    } hourglass(busy);
    if (std::optional<Error> failure = PrintTable(ws, state, numbers, job, printer)) {
        host.showError(*failure);
        return false;
    }
    return true;
}

}  // namespace ov
