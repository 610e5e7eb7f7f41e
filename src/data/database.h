#pragma once
// A database file of the working folder, told apart by its first bytes: the suite's Jet files
// (read only, through libmdb in a helper process) or the embedded SQLite format.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "data/backend.h"
#include "data/record_set.h"

namespace ov {

class Database : public std::enable_shared_from_this<Database> {
public:
    enum class Format { Jet, Sqlite };

    // A name of the working folder ("Fatture.mdb") or a path with "\" separators
    // (DIRSH + "\SchedaStoricoClienti.mdb"). Error 3024 naming the file when it is missing, 75
    // when it is a folder, a pipe or a device or cannot be read, 3343 when it is neither format
    // (empty, something else), 3049 when it is a damaged Jet file.
    static std::shared_ptr<Database> open(const Workspace& ws, const std::string& name);
    static std::shared_ptr<Database> openPath(const std::filesystem::path& path, const std::string& displayName);
    // Error 3343 naming the file unless its first bytes say Jet or SQLite.
    static Format detectFormat(const std::filesystem::path& path, const std::string& displayName);

    Format format() const { return format_; }
    const std::filesystem::path& path() const { return path_; }
    const std::string& displayName() const { return displayName_; }
    bool writable() const;

    std::vector<std::string> tableNames();
    // The queries saved in the file.
    std::vector<StoredQuery> storedQueries();
    // The loaded table, shared with every other reader of the same unchanged file; for the name of
    // a saved query, the rows it selects (run once for the unchanged file). Error 3078 when the file
    // has neither; a saved query that is no select, needs parameters or fails names itself in the
    // error (database_queries.cpp).
    std::shared_ptr<const Table> table(const std::string& name);
    // A record set over a table or saved query name, or a query text: SELECT * FROM ... [WHERE]
    // [ORDER BY] as the reports write it, or any select of the engine's SQL (query/parser.h).
    RecordSet openRecordSet(const std::string& tableOrQuery);

    Backend& backend() { return *backend_; }
    // After a write: the next read loads the table again.
    void tableChanged(const std::string& name);

private:
    Database(std::filesystem::path path, std::string displayName, Format format, std::unique_ptr<Backend> backend);

    std::shared_ptr<const Table> runStoredQuery(const StoredQuery& query);
    std::shared_ptr<const Table> runQueryText(const std::string& text);

    std::filesystem::path path_;
    std::string displayName_;
    Format format_;
    std::unique_ptr<Backend> backend_;
};

}  // namespace ov
