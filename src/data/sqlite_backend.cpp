// The embedded format behind Database: a thin adapter over SqliteStore, which holds the file open
// for as long as the Database lives, from its first use when the opening is deferred.
#include <optional>

#include "data/backend.h"
#include "data/sqlite_store.h"

namespace ov {
namespace {

class SqliteBackend : public Backend {
public:
    SqliteBackend(const std::filesystem::path& path, const std::string& displayName, bool deferred)
        : path_(path), displayName_(displayName) {
        if (!deferred) store();
    }

    std::vector<std::string> tableNames() override { return store().tableNames(); }
    std::shared_ptr<Table> loadTable(const std::string& name) override { return store().loadTable(name); }
    std::shared_ptr<Table> loadColumns(const std::string& name, const std::vector<std::string>& columns) override {
        return store().loadTable(name, &columns);
    }
    std::vector<StoredQuery> storedQueries() override { return store().storedQueries(); }
    bool writable() const override { return store().writable(); }

    int64_t insertRow(const std::string& table, const Row& row) override { return store().insertRow(table, row); }
    void updateRow(const std::string& table, int64_t rowId, const Row& row) override {
        store().updateRow(table, rowId, row);
    }
    void deleteRow(const std::string& table, int64_t rowId) override { store().deleteRow(table, rowId); }

private:
    SqliteStore& store() const {
        if (!store_) store_.emplace(path_, displayName_, SqliteStore::Open::Existing);
        return *store_;
    }

    std::filesystem::path path_;
    std::string displayName_;
    mutable std::optional<SqliteStore> store_;
};

}  // namespace

std::unique_ptr<Backend> makeSqliteBackend(const std::filesystem::path& path, const std::string& displayName,
                                           bool deferred) {
    return std::make_unique<SqliteBackend>(path, displayName, deferred);
}

}  // namespace ov
