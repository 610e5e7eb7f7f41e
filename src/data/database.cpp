#include "data/database.h"

#include <fstream>
#include <map>
#include <mutex>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_access.h"
#include "data/column_needs.h"
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

namespace {

// Where a name of a folder led, and what the file was: a run opening the same files day after day
// looks each up once, as long as the file stays as it was (same size and time).
struct OpenedFile {
    fs::path path;
    Database::Format format;
    tablecache::FileStamp stamp;
};

std::mutex openedMutex;
std::map<std::string, OpenedFile>& opened() {
    static auto* files = new std::map<std::string, OpenedFile>;  // kept to the end, as the table cache
    return *files;
}

}  // namespace

std::shared_ptr<Database> Database::open(const Workspace& ws, const std::string& name) {
    std::string display = shownFileName(name);
    const std::string key = ws.folder().string() + '\n' + name;
    {
        std::lock_guard lock(openedMutex);
        auto it = opened().find(key);
        if (it != opened().end()) {
            const OpenedFile known = it->second;
            if (tablecache::stampOf(known.path) == known.stamp) {
                std::unique_ptr<Backend> b = known.format == Format::Jet ? makeJetBackend(known.path, display)
                                                                         : makeSqliteBackend(known.path, display, true);
                return std::shared_ptr<Database>(new Database(known.path, display, known.format, std::move(b)));
            }
            opened().erase(it);
        }
    }
    auto found = ws.find(name);
    if (!found) throw Error(err::FileNotFound, "Impossibile trovare il file '" + display + "'.");
    const tablecache::FileStamp stamp = tablecache::stampOf(*found);
    auto db = openPath(*found, display);
    if (!(stamp == tablecache::FileStamp{})) {
        std::lock_guard lock(openedMutex);
        opened()[key] = OpenedFile{*found, db->format(), stamp};
    }
    return db;
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
    const ColumnNeeds* needs = currentColumnNeeds();
    const std::vector<std::string>* columns = needs ? needs->of(name) : nullptr;
    if (auto t = tablecache::lookup(path_, name, columns)) return t;
    if (tablecache::waitForLoading(path_))
        if (auto t = tablecache::lookup(path_, name, columns)) return t;
    auto stamp = tablecache::stampOf(path_);
    std::shared_ptr<const Table> t;
    try {
        t = columns ? backend_->loadColumns(name, *columns) : backend_->loadTable(name);
    } catch (const Error& e) {
        if (e.number() != err::TableNotFound) throw;
        std::optional<StoredQuery> query;
        for (StoredQuery& q : storedQueries())
            if (cp1252::equalNoCase(q.name, name)) query = std::move(q);
        if (!query) throw;
        // A saved query may read any field of its tables.
        ColumnNeedsScope everyColumn(nullptr);
        t = runStoredQuery(*query);
    }
    tablecache::store(path_, stamp, t);
    return t;
}

std::vector<StoredQuery> Database::storedQueries() { return backend_->storedQueries(); }

void Database::tableChanged(const std::string& name) { tablecache::invalidate(path_, name); }

}  // namespace ov
