#include "columns/column_setup.h"

#include <cmath>
#include <numeric>
#include <optional>

#include "state/field_entry.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "data/criteria_text.h"
#include "data/database.h"
#include "data/query/errors.h"

namespace ov {

using criteria::number;

namespace {

const std::string kColumnFile = "ColonneOV.mdb";
const std::string kColumnTable = "ColonneOV";
const std::string kItemFile = "VociFattura.mdb";
const std::string kItemTable = "VociFattura";
const char* const kDialogTitle = "Impostazione Colonne Incassi";

// Both lists show a code right-aligned in six characters and a description in forty.
void setUpList(ListColumns& columns, const char* codeField) {
    ClearColumnSpecs(columns);
    columns[0] = {"Codice", codeField, 6, 'S', 'R'};
    columns[1] = {"Descrizione", "Descrizione", 40, 'S', 'L'};
}

// A line is worth acting on when it is more than one blank (an empty list has no line at all).
bool worthActing(const std::string& line) { return line > " "; }

// Every record of a table, for finds inside a change of the column store.
RecordSet wholeTable(const std::shared_ptr<const Table>& table) {
    std::vector<uint32_t> rows(table->rows.size());
    std::iota(rows.begin(), rows.end(), 0u);
    return RecordSet(nullptr, table, std::move(rows));
}

void setField(Row& row, const Table& table, const std::string& name, Value value) {
    int i = table.fieldIndex(name);
    if (i < 0) throw query::unknownFieldError(name, table.name);
    row[static_cast<size_t>(i)] = std::move(value);
}

std::string textOf(const Value& v, const NumberFormat& numbers) { return v.isNull() ? "" : v.toText(numbers); }

// The ColonneOV records. Another workstation may convert a Jet store between the test of its
// format and the reading: the reading is then done again on the new file.
RecordSet columnRecords(const Workspace& ws) {
    for (int attempt = 0;; ++attempt) {
        auto db = Database::open(ws, kColumnFile);
        try {
            return db->openRecordSet(kColumnTable);
        } catch (const Error&) {
            if (attempt > 0 || db->format() != Database::Format::Jet ||
                Database::detectFormat(db->path(), kColumnFile) == Database::Format::Jet)
                throw;
        }
    }
}

}  // namespace

std::string ConversionQuestion(const std::string& backupName) {
    return "Il file " + kColumnFile +
           " è nel formato di Access, che questo programma legge ma non modifica. Per salvare la modifica lo "
           "converto nel formato del programma e conservo l'originale come " + backupName +
           ".\n\nDopo la conversione i programmi che leggono " + kColumnFile +
           " nel formato di Access non lo leggeranno più.\n\nConverto il file?";
}

int64_t CodeOfListLine(const std::string& line) {
    double value = leadingNumber(std::string_view(line).substr(0, 6));
    return static_cast<int64_t>(std::nearbyint(value));
}

ColumnSetup::ColumnSetup(const Workspace& ws, ProgramState& state, const NumberFormat& numbers, Host& host,
                         ColumnStoreOptions storeOptions)
    : ws_(ws), state_(state), numbers_(numbers), host_(host), storeOptions_(std::move(storeOptions)) {
    setUpList(groupListLayout_, "Codice");
    setUpList(columnListLayout_, "CodiceVoce");
    // Other programs on the shared folder may read a Jet ColonneOV.mdb: the user decides before
    // the first change converts it, and No leaves it (and the columns) as they are.
    storeOptions_.confirmConversion = [&host](const std::filesystem::path& backup) {
        return host.ask(ConversionQuestion(backup.filename().string()), kDialogTitle, Answer::No) == Answer::Yes;
    };
}

std::string ColumnSetup::columnCriteria() const {
    return "NumeroHotel = " + number(state_.hotelNumber) + " and NumeroColonna = " + number(column_);
}

void ColumnSetup::load() {
    {
        // The groups offered are the items that are their own billing group.
        auto items = Database::open(ws_, kItemFile);
        RecordSet records = items->openRecordSet(kItemTable);
        FillListFromRecords(records, "NumeroHotel = " + number(state_.hotelNumber) + " and Codice = GruppoFatturazione",
                            groupLines_, groupLabel_, groupListLayout_, kMostLines, state_, numbers_);
    }
    // The selector opens on its first item, which shows column 1 as a choice of it would.
    showColumn(1);
}

void ColumnSetup::showColumn(int column) {
    column_ = column;
    RecordSet records = columnRecords(ws_);
    heading = records.findFirst(columnCriteria()) ? textOf(records.field("Intestazione"), numbers_) : "";
    FillListFromRecords(records, columnCriteria(), columnLines_, columnLabel_, columnListLayout_, kMostLines, state_,
                        numbers_);
}

void ColumnSetup::refillColumnLines() {
    RecordSet records = columnRecords(ws_);
    FillListFromRecords(records, columnCriteria(), columnLines_, columnLabel_, columnListLayout_, kMostLines, state_,
                        numbers_);
}

bool ColumnSetup::confirmHeading() {
    heading = FilterField(heading, 0, numbers_);
    return heading > " ";
}

void ColumnSetup::assignGroup(const std::string& groupLine) {
    if (!worthActing(groupLine)) return;
    if (cp1252::trim(heading).empty()) {
        host_.message("E' Necessario intestare prima la colonna!", "Dati Incompleti", Icon::Warning);
        return;
    }
    const int64_t code = CodeOfListLine(groupLine);
    Value description;
    {
        auto items = Database::open(ws_, kItemFile);
        RecordSet records = items->openRecordSet(kItemTable);
        if (!records.findFirst("NumeroHotel = " + number(state_.hotelNumber) + " and Codice = " + number(code))) return;
        description = records.field("Descrizione");
    }

    const std::string newHeading = FilterField(heading, 0, numbers_);
    const std::string usedBy = "NumeroHotel = " + number(state_.hotelNumber) + " and CodiceVoce = " + number(code);
    struct Owner {
        std::string column, heading;
    };
    std::optional<Owner> owner;
    ChangeColumnStore(
        ws_,
        [&](const std::shared_ptr<const Table>& table) {
            // A group feeds one column only, in the whole table.
            RecordSet rows = wholeTable(table);
            if (rows.findFirst(usedBy)) {
                owner = Owner{textOf(rows.field("NumeroColonna"), numbers_), textOf(rows.field("Intestazione"), numbers_)};
                return ColumnChange::none();
            }
            owner.reset();
            Row row(table->fields.size());
            setField(row, *table, "NumeroHotel", Value::integer(state_.hotelNumber));
            setField(row, *table, "NumeroColonna", Value::integer(column_));
            setField(row, *table, "Intestazione", Value::text(newHeading));
            setField(row, *table, "CodiceVoce", Value::integer(code));
            setField(row, *table, "Descrizione", description);
            return ColumnChange::add(std::move(row));
        },
        storeOptions_);

    if (owner) {
        host_.message(cp1252::toUtf8("Gruppo Fatturazione gi\xE0 utilizzato!\r\nColonna : " + owner->column + " (" +
                                     owner->heading + ")"),
                      "Codice Errato", Icon::None);
        return;
    }
    refillColumnLines();
}

void ColumnSetup::removeGroup(const std::string& columnLine) {
    if (!worthActing(columnLine)) return;
    // The row is looked for in the selected column: a table written elsewhere may hold the group
    // under two columns (12 under both 1 and 11), and a click in column 11 must never take away
    // column 1's row.
    const std::string usedBy = columnCriteria() + " and CodiceVoce = " + number(CodeOfListLine(columnLine));
    bool removed = ChangeColumnStore(
        ws_,
        [&](const std::shared_ptr<const Table>& table) {
            RecordSet rows = wholeTable(table);
            if (!rows.findFirst(usedBy)) return ColumnChange::none();
            return ColumnChange::remove(rows.position());
        },
        storeOptions_);
    if (removed) refillColumnLines();
}

}  // namespace ov
