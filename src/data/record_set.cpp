#include "data/record_set.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/database.h"
#include "data/query/errors.h"
#include "data/query/evaluator.h"
#include "data/query/expr_parser.h"
#include "data/query/indexes.h"
#include "data/query/parser.h"
#include "data/query/planner.h"

namespace ov {

struct RecordSet::Matcher {
    query::Condition condition;
    query::ShapeMemo memo;
};

namespace {

Error noCurrentRecord() { return Error(err::NoCurrentRecord, "Nessun record corrente."); }

bool isIdentity(const std::vector<uint32_t>& rows, size_t tableRows) {
    if (rows.size() != tableRows) return false;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] != i) return false;
    return true;
}

// A value as the field stores it: numbers for number fields, text for text fields.
Value coerceForField(const Field& f, Value v, const std::string& tableName) {
    if (v.isNull()) return v;
    auto numberOf = [&](const Value& x) -> double {
        if (!x.isText()) return x.toDouble();
        auto d = query::readNumber(x.asText());
        if (!d) throw query::typeMismatchError();
        return *d;
    };
    switch (f.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            std::string s = query::textOf(v);
            if (f.type == FieldType::Text && f.size > 0 && s.size() > static_cast<size_t>(f.size))
                throw Error(query::kFieldTooSmall,
                            "Il campo '" + cp1252::toUtf8(f.name) + "' della tabella '" + cp1252::toUtf8(tableName) +
                                "' è troppo piccolo per la quantità di dati che si è tentato di aggiungere.");
            return Value::text(std::move(s));
        }
        case FieldType::Integer:
        case FieldType::Long: {
            double r = std::nearbyint(numberOf(v));
            double limit = f.type == FieldType::Integer ? 32768.0 : 2147483648.0;
            if (!(r >= -limit && r < limit)) throw overflowError();
            return Value::integer(static_cast<int64_t>(r));
        }
        case FieldType::Currency:
            if (v.isCurrency() || v.isInteger() || v.isBool()) return Value::currency(v.toMoney());
            return Value::currency(Money::fromDouble(numberOf(v)));
        case FieldType::Double: return Value::real(numberOf(v));
        case FieldType::Boolean: return Value::boolean(numberOf(v) != 0);
        case FieldType::DateTime:
            if (v.isDateTime()) return v;
            return Value::dateTime(DateTimeValue{numberOf(v)});
    }
    return v;
}

}  // namespace

RecordSet::RecordSet(std::shared_ptr<Database> db, std::shared_ptr<const Table> table, std::vector<uint32_t> rows)
    : db_(std::move(db)), table_(std::move(table)), rows_(std::move(rows)) {
    wholeTable_ = isIdentity(rows_, table_->rows.size());
    // Like a freshly opened record set of the engine, positioned on its first record.
    if (!rows_.empty()) current_ = 0;
}

RecordSet::~RecordSet() = default;
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;

// ---- finding -------------------------------------------------------------------------------

const query::FieldIndex& RecordSet::fieldIndex(int field) {
    if (fieldIndexes_.empty()) fieldIndexes_.resize(table_->fields.size());
    auto& slot = fieldIndexes_[static_cast<size_t>(field)];
    if (!slot) slot = query::fieldIndexOf(*table_, field);
    return *slot;
}

const query::SubsetIndex& RecordSet::subsetIndex(int field) {
    if (subsetIndexes_.empty()) subsetIndexes_.resize(table_->fields.size());
    auto& slot = subsetIndexes_[static_cast<size_t>(field)];
    if (!slot) slot = std::make_unique<query::SubsetIndex>(*table_, field, rows_);
    return *slot;
}

bool RecordSet::findFrom(size_t start, std::string_view criteria) {
    // Moving abandons an edit in progress, as in the engine.
    editMode_ = EditMode::None;
    if (!matcher_) matcher_ = std::make_unique<Matcher>();
    query::Condition& c = matcher_->condition;
    // A walk repeats its text; another text of a known shape only brings new values.
    if (c.text.empty() || c.text != criteria) query::prepareCondition(c, *table_, criteria, matcher_->memo);

    std::optional<size_t> hit = query::withExpressionContext(criteria, [&]() -> std::optional<size_t> {
        if (start >= rows_.size()) return std::nullopt;
        // The equality term with the fewest rows gives the candidates, in record set order.
        const query::Probe* used = nullptr;
        const uint32_t* rowsFirst = nullptr;  // a whole table: positions are rows
        const uint64_t* entriesFirst = nullptr;  // a subset: rank and position entries
        size_t count = 0;
        if (rows_.size() >= query::kIndexThreshold) {
            for (const query::Probe& p : c.probes) {
                if (!p.equality) continue;
                const uint32_t* r = nullptr;
                const uint64_t* e = nullptr;
                size_t n;
                if (wholeTable_) {
                    const query::FieldIndex& fi = fieldIndex(p.field);
                    if (!fi.canAnswer(p.equal)) continue;
                    query::FieldIndex::Slice slice = fi.equal(p.key);
                    r = fi.order().data() + slice.first;
                    n = slice.size();
                } else {
                    const query::SubsetIndex& si = subsetIndex(p.field);
                    if (!si.canAnswer(p.equal)) continue;
                    auto range = si.equal(p.key);
                    e = range.first;
                    n = static_cast<size_t>(range.second - range.first);
                }
                if (used && n >= count) continue;
                used = &p;
                rowsFirst = r;
                entriesFirst = e;
                count = n;
            }
        }
        if (used && wholeTable_) {
            const uint32_t* end = rowsFirst + count;
            for (const uint32_t* it = std::lower_bound(rowsFirst, end, static_cast<uint32_t>(start)); it != end; ++it)
                if (c.matchesExcept(table_->rows[*it], *used)) return *it;
            return std::nullopt;
        }
        if (used) {
            const uint64_t* end = entriesFirst + count;
            if (count == 0) return std::nullopt;
            uint64_t from = (*entriesFirst & ~uint64_t{0xFFFFFFFF}) | static_cast<uint32_t>(start);
            for (const uint64_t* it = std::lower_bound(entriesFirst, end, from); it != end; ++it) {
                uint32_t p = query::SubsetIndex::positionOf(*it);
                if (c.matchesExcept(table_->rows[rows_[p]], *used)) return p;
            }
            return std::nullopt;
        }
        for (size_t p = start; p < rows_.size(); ++p)
            if (c.matches(table_->rows[rows_[p]])) return p;
        return std::nullopt;
    });
    noMatch_ = !hit;
    if (hit) current_ = hit;
    return hit.has_value();
}

bool RecordSet::findFirst(std::string_view criteria) { return findFrom(0, criteria); }

bool RecordSet::findNext(std::string_view criteria) {
    return findFrom(current_ ? *current_ + 1 : resumeAt_, criteria);
}

void RecordSet::moveTo(size_t position) {
    if (position >= rows_.size()) throw noCurrentRecord();
    editMode_ = EditMode::None;
    current_ = position;
}

size_t RecordSet::position() const {
    if (!current_) throw noCurrentRecord();
    return *current_;
}

// ---- fields --------------------------------------------------------------------------------

int RecordSet::requireField(std::string_view name) const {
    // Reports read the same few names over and over, spelled the same way each time.
    for (const auto& [spelled, index] : fieldNames_)
        if (spelled == name) return index;
    int i = table_->fieldIndex(name);
    if (i < 0) throw query::unknownFieldError(name, table_->name);
    fieldNames_.emplace_back(std::string(name), i);
    return i;
}

const Row& RecordSet::currentRow() const {
    if (editMode_ != EditMode::None) return editBuffer_;
    if (!current_) throw noCurrentRecord();
    return table_->rows[rows_[*current_]];
}

const Value& RecordSet::field(std::string_view name) const { return field(requireField(name)); }

const Value& RecordSet::field(int index) const {
    static const Value null;
    if (index < 0 || index >= fieldCount())
        throw query::unknownFieldError("#" + std::to_string(index), table_->name);
    const Row& row = currentRow();
    return static_cast<size_t>(index) < row.size() ? row[static_cast<size_t>(index)] : null;
}

int RecordSet::fieldCount() const { return static_cast<int>(table_->fields.size()); }

const std::string& RecordSet::fieldName(int index) const {
    if (index < 0 || index >= fieldCount())
        throw query::unknownFieldError("#" + std::to_string(index), table_->name);
    return table_->fields[static_cast<size_t>(index)].name;
}

FieldType RecordSet::fieldType(int index) const {
    if (index < 0 || index >= fieldCount())
        throw query::unknownFieldError("#" + std::to_string(index), table_->name);
    return table_->fields[static_cast<size_t>(index)].type;
}

// ---- writes --------------------------------------------------------------------------------

void RecordSet::requireWritable() const {
    if (table_->derived)
        throw Error(err::ReadOnly, "Impossibile aggiornare: i record della query '" + cp1252::toUtf8(table_->name) +
                                       "' sono di sola lettura.");
    if (!db_)
        throw Error(err::ReadOnly, "Impossibile aggiornare: la tabella '" + cp1252::toUtf8(table_->name) +
                                       "' non appartiene a un database.");
    if (!db_->writable())
        throw Error(err::ReadOnly, "Impossibile aggiornare. Il database '" + db_->displayName() +
                                       "' o l'oggetto è di sola lettura.");
}

void RecordSet::addNew() {
    requireWritable();
    editBuffer_.assign(table_->fields.size(), Value::null());
    editMode_ = EditMode::Add;
}

void RecordSet::edit() {
    requireWritable();
    if (!current_) throw noCurrentRecord();
    editBuffer_ = table_->rows[rows_[*current_]];
    editMode_ = EditMode::Edit;
}

void RecordSet::setField(std::string_view name, Value value) {
    int i = requireField(name);
    if (editMode_ == EditMode::None)
        throw Error(query::kNoEditInProgress, "Aggiornamento o annullamento aggiornamento senza AddNew o Edit.");
    const Field& f = table_->fields[static_cast<size_t>(i)];
    editBuffer_[static_cast<size_t>(i)] = coerceForField(f, std::move(value), table_->name);
}

void RecordSet::update() {
    if (editMode_ == EditMode::None)
        throw Error(query::kNoEditInProgress, "Aggiornamento o annullamento aggiornamento senza AddNew o Edit.");
    requireWritable();
    // The backend writes in a transaction of its own; if it fails, the edit stays pending and
    // the record set unchanged.
    std::optional<int64_t> added;
    if (editMode_ == EditMode::Add) {
        added = db_->backend().insertRow(table_->name, editBuffer_);
    } else {
        const size_t row = rows_[*current_];
        if (row >= table_->rowIds.size())
            throw Error(err::ReadOnly, "Impossibile aggiornare: il record della tabella '" +
                                           cp1252::toUtf8(table_->name) + "' non ha identità.");
        db_->backend().updateRow(table_->name, table_->rowIds[row], editBuffer_);
    }
    editMode_ = EditMode::None;
    editBuffer_.clear();
    refresh(added);
}

void RecordSet::cancelUpdate() {
    editMode_ = EditMode::None;
    editBuffer_.clear();
}

void RecordSet::deleteCurrent() {
    requireWritable();
    if (!current_) throw noCurrentRecord();
    editMode_ = EditMode::None;
    const size_t row = rows_[*current_];
    if (row >= table_->rowIds.size())
        throw Error(err::ReadOnly, "Impossibile eliminare: il record della tabella '" + cp1252::toUtf8(table_->name) +
                                       "' non ha identità.");
    db_->backend().deleteRow(table_->name, table_->rowIds[row]);
    const size_t at = *current_;
    refresh(std::nullopt);
    // The deleted record is gone: no current record, and find-next goes on with the one that followed.
    current_.reset();
    resumeAt_ = at;
}

void RecordSet::refresh(std::optional<int64_t> addedRowId) {
    db_->tableChanged(table_->name);
    std::shared_ptr<const Table> fresh = db_->table(table_->name);

    std::unordered_map<int64_t, uint32_t> positionOf;
    positionOf.reserve(fresh->rowIds.size());
    for (size_t i = 0; i < fresh->rowIds.size(); ++i) positionOf.emplace(fresh->rowIds[i], static_cast<uint32_t>(i));

    std::vector<uint32_t> rows;
    rows.reserve(rows_.size() + 1);
    std::optional<size_t> current;
    for (size_t p = 0; p < rows_.size(); ++p) {
        const size_t old = rows_[p];
        if (old >= table_->rowIds.size()) continue;
        auto it = positionOf.find(table_->rowIds[old]);
        if (it == positionOf.end()) continue;  // deleted, here or by another workstation
        if (current_ && *current_ == p) current = rows.size();
        rows.push_back(it->second);
    }
    // An added record joins the end of the record set; the current record stays the one it was.
    if (addedRowId) {
        auto it = positionOf.find(*addedRowId);
        if (it != positionOf.end()) rows.push_back(it->second);
    }
    table_ = std::move(fresh);
    rows_ = std::move(rows);
    current_ = current;
    wholeTable_ = isIdentity(rows_, table_->rows.size());
    fieldIndexes_.clear();
    subsetIndexes_.clear();
    matcher_.reset();  // bound to the old snapshot
}

// ---- opening -------------------------------------------------------------------------------

namespace {

bool startsWithWord(std::string_view text, std::string_view word) {
    text = query::trimmedText(text);
    if (text.size() < word.size() || !cp1252::equalNoCase(text.substr(0, word.size()), word)) return false;
    return text.size() == word.size() || !std::isalnum(static_cast<unsigned char>(text[word.size()]));
}

std::vector<uint32_t> everyRow(const Table& t) {
    std::vector<uint32_t> rows(t.rows.size());
    for (uint32_t i = 0; i < rows.size(); ++i) rows[i] = i;
    return rows;
}

}  // namespace

RecordSet Database::openRecordSet(const std::string& tableOrQuery) {
    // Parse, load and bind everything before a single row is evaluated.
    std::shared_ptr<const query::Statement> st;
    if (!startsWithWord(tableOrQuery, "PARAMETERS")) {
        try {
            st = query::parseStatementCached(tableOrQuery);
        } catch (const Error& simple) {
            // Beyond SELECT * FROM one table: the engine's whole SQL. A text neither form reads keeps
            // the error the reports have always had for it.
            if (!startsWithWord(tableOrQuery, "SELECT")) throw;
            try {
                query::parseQueryCached(tableOrQuery);
            } catch (const Error& general) {
                // A broken frame is better told by the parser that knows every frame.
                if (simple.number() == err::QuerySyntax) throw general;
                throw simple;
            }
        }
    }
    if (!st) {
        std::shared_ptr<const Table> t = runQueryText(tableOrQuery);
        std::vector<uint32_t> rows = everyRow(*t);
        return RecordSet(shared_from_this(), std::move(t), std::move(rows));
    }
    std::shared_ptr<const Table> t = table(st->table);
    std::vector<uint32_t> rows = query::selectRows(*t, *st);
    return RecordSet(shared_from_this(), std::move(t), std::move(rows));
}

}  // namespace ov
