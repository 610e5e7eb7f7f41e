// The embedded format behind Database: a thin adapter over SqliteStore, which holds the file open
// for as long as the Database lives.
#include "data/backend.h"
#include "data/sqlite_store.h"

namespace ov {
namespace {

class SqliteBackend : public Backend {
public:
    SqliteBackend(const std::filesystem::path& path, const std::string& displayName)
        : store_(path, displayName, SqliteStore::Open::Existing) {}

    std::vector<std::string> tableNames() override { return store_.tableNames(); }
    std::shared_ptr<Table> loadTable(const std::string& name) override { return store_.loadTable(name); }
    std::vector<StoredQuery> storedQueries() override { return store_.storedQueries(); }
    bool writable() const override { return store_.writable(); }

    int64_t insertRow(const std::string& table, const Row& row) override { return store_.insertRow(table, row); }
    void updateRow(const std::string& table, int64_t rowId, const Row& row) override {
        store_.updateRow(table, rowId, row);
    }
    void deleteRow(const std::string& table, int64_t rowId) override { store_.deleteRow(table, rowId); }

private:
    SqliteStore store_;
};

}  // namespace

std::unique_ptr<Backend> makeSqliteBackend(const std::filesystem::path& path, const std::string& displayName) {
    return std::make_unique<SqliteBackend>(path, displayName);
}

}  // namespace ov
