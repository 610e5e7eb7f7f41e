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
    const Matcher& matcherFor(std::string_view criteria);
    bool findFrom(size_t start, std::string_view criteria);
    int requireField(std::string_view name) const;

    std::shared_ptr<Database> db_;
    std::shared_ptr<const Table> table_;
    std::vector<uint32_t> rows_;  // positions in table_->rows
    std::optional<size_t> current_;
    bool noMatch_ = false;

    enum class EditMode { None, Add, Edit };
    EditMode editMode_ = EditMode::None;
    Row editBuffer_;

    std::vector<std::pair<std::string, std::shared_ptr<Matcher>>> matchers_;  // small cache by text
};

}  // namespace ov
