#pragma once
// The columns a run reads of each table, declared by code that names every field it reads (in
// its queries, criteria and field look-ups): a Jet file is then read with those columns alone.
// A table the run has not declared, and any reader outside the run (a layout, a table listing,
// a query typed by the user, a saved query), gets every column. A field left out is never given
// as null: a query or look-up naming it fails as for a field the table lacks.
#include <string>
#include <utility>
#include <vector>

namespace ov {

// Table names and the fields read of each, as the code writes them (any case).
using TableColumns = std::vector<std::pair<std::string, std::vector<std::string>>>;

class ColumnNeeds {
public:
    explicit ColumnNeeds(TableColumns tables) : tables_(std::move(tables)) {}

    // The fields read of a table (matched without regard to case); null when it needs every one.
    const std::vector<std::string>* of(const std::string& table) const;
    const TableColumns& tables() const { return tables_; }

private:
    TableColumns tables_;
};

// The needs in force on this thread: null (every column) unless a ColumnNeedsScope is open.
const ColumnNeeds* currentColumnNeeds();

// Puts needs in force on this thread for its lifetime (null: every column again, e.g. while a
// saved query runs), then restores those before it.
class ColumnNeedsScope {
public:
    explicit ColumnNeedsScope(const ColumnNeeds* needs);
    ~ColumnNeedsScope();
    ColumnNeedsScope(const ColumnNeedsScope&) = delete;
    ColumnNeedsScope& operator=(const ColumnNeedsScope&) = delete;

private:
    const ColumnNeeds* previous_;
};

// Whether `name` is among `names`, without regard to case.
bool hasName(const std::vector<std::string>& names, const std::string& name);

// Whether a table read with `had` columns (null: every one) holds every column of `wanted`.
bool columnsCover(const std::vector<std::string>* had, const std::vector<std::string>* wanted);

}  // namespace ov
