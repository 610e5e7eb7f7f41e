#pragma once
// A positioned list of rows over a loaded table: walked with find-first / find-next and a criteria
// text, as the suite's reports do; fields read by name; add / edit / delete on writable files.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/table.h"

namespace ov {

class Database;
namespace query {
class FieldIndex;
class SubsetIndex;
}  // namespace query

class RecordSet {
public:
    RecordSet(std::shared_ptr<Database> db, std::shared_ptr<const Table> table, std::vector<uint32_t> rows);
    ~RecordSet();
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;

    // The first / next record (after the current one) matching the criteria; false and no-match
    // set when there is none, the current record then stays where it was.
    bool findFirst(std::string_view criteria);
    bool findNext(std::string_view criteria);
    bool noMatch() const { return noMatch_; }

    size_t recordCount() const { return rows_.size(); }
    bool hasCurrent() const { return current_.has_value(); }
    // Direct positioning, for tools that list a whole record set.
    void moveTo(size_t position);
    size_t position() const;

    // Error 3265 for an unknown field, 3021 when there is no current record.
    const Value& field(std::string_view name) const;
    const Value& field(int index) const;
    int fieldCount() const;
    const std::string& fieldName(int index) const;
    FieldType fieldType(int index) const;
    const Table& table() const { return *table_; }

    // Writes (Error 3027 naming the file on a read-only database).
    void addNew();
    void edit();
    void setField(std::string_view name, Value value);
    void update();
    void cancelUpdate();
    void deleteCurrent();

private:
    struct Matcher;
    bool findFrom(size_t start, std::string_view criteria);
    int requireField(std::string_view name) const;
    const Row& currentRow() const;
    void requireWritable() const;
    const query::FieldIndex& fieldIndex(int field);
    const query::SubsetIndex& subsetIndex(int field);
    // After a write: the table as stored now, the same records in the same order (by row identity).
    void refresh(std::optional<int64_t> addedRowId);

    std::shared_ptr<Database> db_;
    std::shared_ptr<const Table> table_;
    std::vector<uint32_t> rows_;  // positions in table_->rows
    bool wholeTable_ = false;     // rows_ is every row in table order: the table's own indexes serve
    std::optional<size_t> current_;
    size_t resumeAt_ = 0;         // where find-next goes on after the current record was deleted
    bool noMatch_ = false;

    enum class EditMode { None, Add, Edit };
    EditMode editMode_ = EditMode::None;
    Row editBuffer_;

    // The criteria of the last find, ready for the next one; the indexes finds use, by field.
    std::unique_ptr<Matcher> matcher_;
    std::vector<std::shared_ptr<const query::FieldIndex>> fieldIndexes_;
    std::vector<std::unique_ptr<query::SubsetIndex>> subsetIndexes_;
    mutable std::vector<std::pair<std::string, int>> fieldNames_;              // names as callers spell them
};

}  // namespace ov
