#include "data/database.h"

#include <fstream>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_access.h"
#include "data/table_cache.h"

namespace fs = std::filesystem;

namespace ov {

Database::Database(fs::path path, std::string displayName, Format format, std::unique_ptr<Backend> backend)
    : path_(std::move(path)), displayName_(std::move(displayName)), format_(format), backend_(std::move(backend)) {}

Database::Format Database::detectFormat(const fs::path& path, const std::string& displayName) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(err::FileNotFound, "Impossibile trovare il file '" + displayName + "'.");
    char head[20] = {};
    in.read(head, sizeof head);
    std::string h(head, static_cast<size_t>(in.gcount()));
    if (h.size() >= 19 && h.compare(4, 15, "Standard Jet DB") == 0) return Format::Jet;
    if (h.size() >= 15 && h.compare(0, 15, "SQLite format 3") == 0) return Format::Sqlite;
    throw Error(err::NotADatabase,
                "Formato di database non riconosciuto: '" + displayName + "' non è un database o è danneggiato.");
}

std::shared_ptr<Database> Database::open(const Workspace& ws, const std::string& name) {
    auto found = ws.find(name);
    std::string display = shownFileName(name);
    if (!found) throw Error(err::FileNotFound, "Impossibile trovare il file '" + display + "'.");
    return openPath(*found, display);
}

std::shared_ptr<Database> Database::openPath(const fs::path& path, const std::string& displayName) {
    // A folder, a pipe or a device of that name is refused before anything opens it.
    requireReadableFile(path, displayName);
    Format f = detectFormat(path, displayName);
    std::unique_ptr<Backend> b =
        f == Format::Jet ? makeJetBackend(path, displayName) : makeSqliteBackend(path, displayName);
    return std::shared_ptr<Database>(new Database(path, displayName, f, std::move(b)));
}

bool Database::writable() const { return backend_->writable(); }

std::vector<std::string> Database::tableNames() { return backend_->tableNames(); }

std::shared_ptr<const Table> Database::table(const std::string& name) {
    if (auto t = tablecache::lookup(path_, name)) return t;
    if (tablecache::waitForLoading(path_))
        if (auto t = tablecache::lookup(path_, name)) return t;
    auto stamp = tablecache::stampOf(path_);
    std::shared_ptr<const Table> t;
    try {
        t = backend_->loadTable(name);
    } catch (const Error& e) {
        if (e.number() != err::TableNotFound) throw;
        std::optional<StoredQuery> query;
        for (StoredQuery& q : storedQueries())
            if (cp1252::equalNoCase(q.name, name)) query = std::move(q);
        if (!query) throw;
        t = runStoredQuery(*query);
    }
    tablecache::store(path_, stamp, t);
    return t;
}

std::vector<StoredQuery> Database::storedQueries() { return backend_->storedQueries(); }

void Database::tableChanged(const std::string& name) { tablecache::invalidate(path_, name); }

}  // namespace ov
