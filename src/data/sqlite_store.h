#pragma once
// The embedded database format: an SQLite 3 file holding the suite's tables, each column declared
// with the engine's type name (SHORT, LONG, CURRENCY, DOUBLE, TEXT(n), MEMO, DATETIME, BIT) so the
// field types are known without guessing. Texts are UTF-8 in the file and code page 1252 in memory.
//
// SqliteStore is one open file: it loads tables, writes rows and creates tables. The back end of
// Database wraps it; the column store, the demo folder and the test builder create files with it.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/stored_query.h"
#include "data/table.h"

namespace ov {

// The field a declared column type stands for. The engine's names are read in any letter case;
// a few common SQL names written by other tools are understood too (INTEGER as Long, REAL as
// Double, VARCHAR(n) as Text); anything else is read as Memo.
Field fieldFromDeclaredType(std::string name, std::string_view declaredType);
// The engine's type name of a field, as columns are declared: "SHORT", "TEXT(10)".
std::string engineTypeName(const Field& field);
// A field from its engine type name; Error(err::Usage) when the name is not one of the engine's.
Field makeField(std::string name, std::string_view engineType);

struct TableDefinition {
    std::string name;  // code page 1252, like the field names
    std::vector<Field> fields;
};

class SqliteStore {
public:
    enum class Open {
        Existing,        // the file must exist; read-write when it can be written, else read-only
        ReadOnly,        // the file must exist; never written
        CreateOrExtend,  // created empty when missing, always read-write
    };
    // How hard a write waits for the disk. Shared files are Safe; a file nobody else sees yet (a
    // temporary file about to be renamed into place, a test fixture) can be written Fast.
    enum class Durability { Safe, Fast };

    // displayName is the file name the messages give (UTF-8). Error 3343 naming the file when it is
    // not a database or is damaged, 3024 when it is missing.
    SqliteStore(const std::filesystem::path& path, std::string displayName, Open mode = Open::Existing,
                Durability durability = Durability::Safe);
    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    const std::string& displayName() const;
    bool writable() const;
    // How long a write (or a read) waits for another workstation's lock before Error 3260; five
    // seconds unless changed.
    void setBusyTimeout(std::chrono::milliseconds timeout);

    // The user tables; system tables ("MSys...") are left out.
    std::vector<std::string> tableNames();
    // The whole table in rowid order, rowIds filled. Error 3078 naming table and file when missing.
    // With `columns`, only the fields of those names it has (Table::onlyColumns).
    std::shared_ptr<Table> loadTable(const std::string& name, const std::vector<std::string>* columns = nullptr);
    // The fields of a table, without its rows.
    std::vector<Field> fieldsOf(const std::string& table);

    void createTable(const TableDefinition& definition);

    // Saved queries, kept in the system table MSysQueryDefs (Name, Type: the query kind's code,
    // SQL: the query's text). Error 3343 when that table is damaged.
    std::vector<StoredQuery> storedQueries();
    // Error 3010 when a table or query of that name exists.
    void saveQuery(const StoredQuery& query);
    // Each write runs in a transaction of its own (or in the open batch), waiting up to five seconds
    // for another workstation's lock. Values are converted to the column types; texts are checked
    // against the field sizes.
    int64_t insertRow(const std::string& table, const Row& row);
    void updateRow(const std::string& table, int64_t rowId, const Row& row);
    void deleteRow(const std::string& table, int64_t rowId);

    // Many writes as one transaction (the demo folder, the test builder): all or nothing.
    void beginBatch();
    void commitBatch();

    // Closes the file; later calls fail. Errors of the last write surface here rather than in the
    // destructor.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Writes a new embedded-format database: `fill` creates tables and rows on a temporary file beside
// `target`, which is then synced and given the target name only if no file of that name exists
// (another workstation may have been quicker). A crash or an error never leaves a half-written file
// under the target name. Returns false, changing nothing, when the target already existed.
bool createSqliteDatabase(const std::filesystem::path& target, const std::string& displayName,
                          const std::function<void(SqliteStore&)>& fill);

}  // namespace ov
