#pragma once
// A storage format behind a database file: the suite's Jet files (read only) or the embedded
// SQLite format (read and write).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/stored_query.h"
#include "data/table.h"

namespace ov {

class Backend {
public:
    virtual ~Backend() = default;

    virtual std::vector<std::string> tableNames() = 0;
    // The whole table; Error 3078 naming the table when the file has none of that name.
    virtual std::shared_ptr<Table> loadTable(const std::string& name) = 0;
    // The table with at least the fields of these names; a store that cannot leave fields out
    // gives the whole table.
    virtual std::shared_ptr<Table> loadColumns(const std::string& name, const std::vector<std::string>& columns) {
        (void)columns;
        return loadTable(name);
    }
    // The queries saved in the file, in the file's order.
    virtual std::vector<StoredQuery> storedQueries() = 0;
    virtual bool writable() const = 0;

    // Writes, each in a transaction of its own (Error 3027 naming the file on a read-only store).
    virtual int64_t insertRow(const std::string& table, const Row& row) = 0;
    virtual void updateRow(const std::string& table, int64_t rowId, const Row& row) = 0;
    virtual void deleteRow(const std::string& table, int64_t rowId) = 0;
};

// The suite's Jet 3 / Jet 4 files, read through the libmdb helper process. displayName is the
// file name used in messages.
std::unique_ptr<Backend> makeJetBackend(const std::filesystem::path& path, const std::string& displayName);
// The embedded SQLite format.
// Opened at once; `deferred`: when first used, for a file already opened once and unchanged since,
// so that a run opening it day after day and finding its tables in hand never opens it again.
std::unique_ptr<Backend> makeSqliteBackend(const std::filesystem::path& path, const std::string& displayName,
                                           bool deferred = false);

}  // namespace ov
