#include "data/sqlite_store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/number_format.h"
#include "data/column_needs.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

// Engine numbers only this file raises.
constexpr int kTableExists = 3010;   // table already exists
constexpr int kDiskError = 3043;     // disk or network error
constexpr int kFieldTooSmall = 3163; // the field is too small for the data
constexpr int kBusyTimeoutMs = 5000;

std::string quoteIdent(std::string_view cp1252Name) {
    std::string utf8 = cp1252::toUtf8(cp1252Name);
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string trimAscii(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

std::string sizeText(int64_t v) { return std::to_string(v); }

struct StmtDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

struct Schema {
    std::string name;  // as stored, code page 1252
    std::vector<Field> fields;
    Stmt insert;  // prepared on first insert, kept for batches
};

}  // namespace

struct SqliteStore::Impl {
    fs::path path;
    std::string display;
    sqlite3* db = nullptr;
    bool writable = false;
    bool creating = false;  // opened to create the file: a failure to open is a failure to create
    bool inBatch = false;
    std::map<std::string, Schema> schemas;  // by upper-case name

    std::string fileText() const { return "'" + display + "'"; }

    [[noreturn]] void fail(int rc, const std::string& action) const {
        int primary = rc & 0xff;
        std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        switch (primary) {
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
                throw Error(err::Locked, "Impossibile " + action + ": il file " + fileText() +
                                             " è bloccato da un altro utente. Riprovare più tardi.");
            case SQLITE_READONLY:
            case SQLITE_PERM:
            case SQLITE_AUTH:
                throw Error(err::ReadOnly, "Impossibile " + action + ": il database " + fileText() +
                                               " è di sola lettura.");
            case SQLITE_NOTADB:
            case SQLITE_CORRUPT:
                throw Error(err::NotADatabase, "Formato di database non riconosciuto: " + fileText() +
                                                   " non è un database o è danneggiato.");
            case SQLITE_CANTOPEN: {
                int sysErr = db ? sqlite3_system_errno(db) : 0;
                std::string why = sysErr ? std::strerror(sysErr) : detail;
                if (creating) throw Error(kDiskError, "Impossibile creare il file " + fileText() + " (" + why + ").");
                if (!fs::exists(path)) throw Error(err::FileNotFound, "Impossibile trovare il file " + fileText() + ".");
                throw Error(kDiskError, "Impossibile aprire il file " + fileText() + " (" + why + ").");
            }
            case SQLITE_FULL:
                throw Error(kDiskError, "Impossibile " + action + ": spazio su disco insufficiente per il file " +
                                            fileText() + ".");
            default:
                throw Error(kDiskError, "Impossibile " + action + ": errore del disco o della rete sul file " +
                                            fileText() + " (" + detail + ").");
        }
    }

    void check(int rc, const std::string& action) const {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) fail(rc, action);
    }

    void requireOpen() const {
        if (!db) throw Error(err::Usage, "Il database " + fileText() + " è chiuso.");
    }

    void exec(const char* sql, const std::string& action) {
        requireOpen();
        check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), action);
    }

    Stmt prepare(const std::string& sql, const std::string& action, bool persistent = false) {
        requireOpen();
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                                    persistent ? SQLITE_PREPARE_PERSISTENT : 0, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            fail(rc, action);
        }
        return Stmt(s);
    }

    // Table names as stored (UTF-8 converted to code page 1252), in creation order; the system
    // tables ("MSys...", such as the saved queries) only when asked for.
    std::vector<std::string> tableNames(bool withSystemTables = false) {
        Stmt s = prepare(std::string("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                     "'sqlite\\_%' ESCAPE '\\'") +
                             (withSystemTables ? "" : " AND name NOT LIKE 'MSys%'") + " ORDER BY rowid",
                         "leggere l'elenco delle tabelle");
        std::vector<std::string> names;
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
            names.push_back(cp1252::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0))));
        check(rc, "leggere l'elenco delle tabelle");
        return names;
    }

    [[noreturn]] void tableNotFound(const std::string& name) const {
        throw Error(err::TableNotFound, "Impossibile trovare la tabella o la query '" + cp1252::toUtf8(name) +
                                            "' nel file " + fileText() + ".");
    }

    Schema* findSchema(const std::string& name) {
        std::string key = cp1252::toUpper(name);
        if (auto it = schemas.find(key); it != schemas.end()) return &it->second;
        std::optional<std::string> stored;
        for (auto& n : tableNames(true))
            if (cp1252::equalNoCase(n, name)) stored = n;
        if (!stored) return nullptr;
        Schema schema;
        schema.name = *stored;
        Stmt s = prepare("PRAGMA table_info(" + quoteIdent(*stored) + ")", "leggere la tabella");
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            auto text = [&](int col) {
                const unsigned char* t = sqlite3_column_text(s.get(), col);
                return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
            };
            schema.fields.push_back(fieldFromDeclaredType(cp1252::fromUtf8(text(1)), text(2)));
        }
        check(rc, "leggere la tabella");
        return &schemas.emplace(key, std::move(schema)).first->second;
    }

    Schema& schemaOf(const std::string& name) {
        if (Schema* s = findSchema(name)) return *s;
        tableNotFound(name);
    }

    [[noreturn]] void badValue(const Schema& t, const Field& f) const {
        throw Error(err::TypeMismatch, "Valore non valido nel campo '" + cp1252::toUtf8(f.name) + "' della tabella '" +
                                           cp1252::toUtf8(t.name) + "' del file " + fileText() + ".");
    }

    Value readValue(sqlite3_stmt* s, int col, const Schema& t, const Field& f) const {
        int type = sqlite3_column_type(s, col);
        if (type == SQLITE_NULL) return Value::null();
        auto wholeNumber = [&]() -> std::optional<int64_t> {
            if (type == SQLITE_INTEGER) return sqlite3_column_int64(s, col);
            if (type == SQLITE_FLOAT) {
                double d = sqlite3_column_double(s, col);
                if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.2e18) return static_cast<int64_t>(d);
            }
            return std::nullopt;
        };
        auto textBytes = [&]() {
            const void* p = type == SQLITE_BLOB ? sqlite3_column_blob(s, col) : sqlite3_column_text(s, col);
            int n = sqlite3_column_bytes(s, col);
            return std::string(static_cast<const char*>(p), p ? static_cast<size_t>(n) : 0);
        };
        switch (f.type) {
            case FieldType::Boolean:
                if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return Value::boolean(sqlite3_column_double(s, col) != 0);
                break;
            case FieldType::Integer:
            case FieldType::Long:
                if (auto n = wholeNumber()) return Value::integer(*n);
                break;
            case FieldType::Currency:
                if (auto n = wholeNumber()) return Value::currency(Money::fromUnits(*n));
                break;
            case FieldType::Double:
                if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return Value::real(sqlite3_column_double(s, col));
                break;
            case FieldType::DateTime:
                if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
                    return Value::dateTime(DateTimeValue{sqlite3_column_double(s, col)});
                break;
            case FieldType::Text:
            case FieldType::Memo:
                if (type == SQLITE_TEXT || type == SQLITE_BLOB) return Value::text(cp1252::fromUtf8(textBytes()));
                if (type == SQLITE_INTEGER) return Value::text(std::to_string(sqlite3_column_int64(s, col)));
                if (type == SQLITE_FLOAT) {
                    char buf[40];
                    std::snprintf(buf, sizeof buf, "%.15g", sqlite3_column_double(s, col));
                    return Value::text(buf);
                }
                break;
        }
        badValue(t, f);
    }

    // A number kind as a whole number for an integer column, rounded half to even like the engine.
    static std::optional<int64_t> wholeOf(const Value& v) {
        if (v.isInteger()) return v.asInteger();
        if (v.isBool()) return v.asBool() ? -1 : 0;
        if (v.isNumber()) {
            double d = std::nearbyint(v.toDouble());
            if (std::fabs(d) < 9.2e18) return static_cast<int64_t>(d);
            return std::nullopt;
        }
        if (v.isText()) {
            auto m = Money::parse(v.asText());
            if (!m) return std::nullopt;
            return static_cast<int64_t>(std::nearbyint(m->toDouble()));
        }
        return std::nullopt;
    }

    void bindValue(sqlite3_stmt* s, int idx, const Value& v, const Schema& t, const Field& f) const {
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(s, idx);
        } else {
            switch (f.type) {
                case FieldType::Boolean: {
                    if (!v.isNumber()) badValue(t, f);
                    rc = sqlite3_bind_int(s, idx, v.toDouble() != 0 ? 1 : 0);
                    break;
                }
                case FieldType::Integer:
                case FieldType::Long: {
                    auto n = wholeOf(v);
                    if (!n) badValue(t, f);
                    int64_t lo = f.type == FieldType::Integer ? -32768 : INT32_MIN;
                    int64_t hi = f.type == FieldType::Integer ? 32767 : INT32_MAX;
                    if (*n < lo || *n > hi)
                        throw Error(err::Overflow, "Overflow: il valore " + sizeText(*n) + " non entra nel campo '" +
                                                   cp1252::toUtf8(f.name) + "' della tabella '" +
                                                   cp1252::toUtf8(t.name) + "' del file " + fileText() + ".");
                    rc = sqlite3_bind_int64(s, idx, *n);
                    break;
                }
                case FieldType::Currency: {
                    Money m;
                    if (v.isText()) {
                        auto parsed = Money::parse(v.asText());
                        if (!parsed) badValue(t, f);
                        m = *parsed;
                    } else if (v.isNumber()) {
                        m = v.toMoney();
                    } else {
                        badValue(t, f);
                    }
                    rc = sqlite3_bind_int64(s, idx, m.units());
                    break;
                }
                case FieldType::Double:
                case FieldType::DateTime: {
                    double d = 0;
                    if (v.isNumber()) {
                        d = v.toDouble();
                    } else if (v.isText() && f.type == FieldType::Double) {
                        std::string text = trimAscii(v.asText());
                        // Locale-free: a dot is the decimal separator whatever LC_NUMERIC says.
                        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
                        if (text.empty() || ec != std::errc() || end != text.data() + text.size()) badValue(t, f);
                    } else {
                        badValue(t, f);
                    }
                    rc = sqlite3_bind_double(s, idx, d);
                    break;
                }
                case FieldType::Text:
                case FieldType::Memo: {
                    std::string text = v.isText() ? std::string(v.asText()) : v.toText(NumberFormat::fromEnvironmentLocale());
                    if (f.type == FieldType::Text && f.size > 0 && text.size() > static_cast<size_t>(f.size))
                        throw Error(kFieldTooSmall, "Il campo '" + cp1252::toUtf8(f.name) + "' della tabella '" +
                                                        cp1252::toUtf8(t.name) + "' accetta al massimo " +
                                                        std::to_string(f.size) + " caratteri: il testo '" +
                                                        cp1252::toUtf8(text) + "' è troppo lungo.");
                    std::string utf8 = cp1252::toUtf8(text);
                    // A MEMO column has numeric affinity: a text such as "0012" would be stored as
                    // the number 12. Stored as a blob, the bytes stay exactly as given.
                    if (f.type == FieldType::Memo)
                        rc = sqlite3_bind_blob64(s, idx, utf8.data(), utf8.size(), SQLITE_TRANSIENT);
                    else
                        rc = sqlite3_bind_text64(s, idx, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
                    break;
                }
            }
        }
        check(rc, "scrivere");
    }

    void requireWritable() const {
        requireOpen();
        if (!writable)
            throw Error(err::ReadOnly, "Impossibile aggiornare: il database " + fileText() + " è di sola lettura.");
    }

    void checkRowSize(const Schema& t, const Row& row) const {
        if (row.size() != t.fields.size())
            throw Error(err::Usage, "La riga per la tabella '" + cp1252::toUtf8(t.name) + "' del file " + fileText() +
                                        " ha " + std::to_string(row.size()) + " valori invece di " +
                                        std::to_string(t.fields.size()) + ".");
    }

    // One write: in the open batch, or in a transaction of its own taken at once (BEGIN IMMEDIATE),
    // so that a workstation holding the file makes us wait up to the busy timeout, not fail midway.
    template <class Body>
    void write(const std::string& action, Body&& body) {
        requireWritable();
        if (inBatch) {
            body();
            return;
        }
        exec("BEGIN IMMEDIATE", action);
        try {
            body();
            exec("COMMIT", action);
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    void closeDb() {
        schemas.clear();  // finalizes the kept statements
        if (db) {
            sqlite3_close_v2(db);
            db = nullptr;
        }
    }
};

SqliteStore::SqliteStore(const fs::path& path, std::string displayName, Open mode, Durability durability)
    : impl_(std::make_unique<Impl>()) {
    Impl& d = *impl_;
    d.path = path;
    d.display = std::move(displayName);
    std::error_code ec;
    bool exists = fs::exists(path, ec);
    if (!exists && mode != Open::CreateOrExtend)
        throw Error(err::FileNotFound, "Impossibile trovare il file " + d.fileText() + ".");
    int flags = SQLITE_OPEN_NOMUTEX;
    if (mode == Open::CreateOrExtend) {
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        d.writable = true;
    } else if (mode == Open::ReadOnly) {
        flags |= SQLITE_OPEN_READONLY;
    } else {
        // Writing needs the file and its folder (for the journal) to be writable.
        fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
        d.writable = ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
        flags |= d.writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    }
    d.creating = !exists;
    int rc = sqlite3_open_v2(path.c_str(), &d.db, flags, nullptr);
    if (rc != SQLITE_OK) {
        try {
            d.fail(rc, "aprire il file");
        } catch (...) {
            d.closeDb();
            throw;
        }
    }
    sqlite3_busy_timeout(d.db, kBusyTimeoutMs);
    try {
        // The header alone proves nothing: reading the schema finds a damaged file now, not later.
        d.exec("SELECT count(*) FROM sqlite_master", "aprire il file");
        if (durability == Durability::Fast && d.writable) {
            d.exec("PRAGMA synchronous = OFF", "aprire il file");
            d.exec("PRAGMA journal_mode = MEMORY", "aprire il file");
        }
    } catch (...) {
        d.closeDb();
        throw;
    }
}

SqliteStore::~SqliteStore() {
    if (impl_) impl_->closeDb();
}

const std::string& SqliteStore::displayName() const { return impl_->display; }
bool SqliteStore::writable() const { return impl_->writable; }

void SqliteStore::setBusyTimeout(std::chrono::milliseconds timeout) {
    impl_->requireOpen();
    sqlite3_busy_timeout(impl_->db, static_cast<int>(timeout.count()));
}

std::vector<std::string> SqliteStore::tableNames() { return impl_->tableNames(); }

std::vector<Field> SqliteStore::fieldsOf(const std::string& table) { return impl_->schemaOf(table).fields; }

std::shared_ptr<Table> SqliteStore::loadTable(const std::string& name, const std::vector<std::string>* columns) {
    Impl& d = *impl_;
    const Schema& schema = d.schemaOf(name);
    auto table = std::make_shared<Table>();
    table->name = schema.name;
    std::vector<const Field*> read;
    for (const auto& f : schema.fields)
        if (!columns || hasName(*columns, f.name)) read.push_back(&f);
    if (columns) table->onlyColumns = *columns;
    std::string sql = "SELECT rowid";
    for (const Field* f : read) {
        table->fields.push_back(*f);
        sql += ", " + quoteIdent(f->name);
    }
    sql += " FROM " + quoteIdent(schema.name) + " ORDER BY rowid";
    Stmt s = d.prepare(sql, "leggere la tabella");
    int rc;
    const int n = static_cast<int>(read.size());
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        table->rowIds.push_back(sqlite3_column_int64(s.get(), 0));
        Row row;
        row.reserve(read.size());
        for (int i = 0; i < n; ++i) row.push_back(d.readValue(s.get(), i + 1, schema, *read[static_cast<size_t>(i)]));
        table->rows.push_back(std::move(row));
    }
    d.check(rc, "leggere la tabella");
    return table;
}

void SqliteStore::createTable(const TableDefinition& definition) {
    Impl& d = *impl_;
    d.requireWritable();
    if (definition.fields.empty())
        throw Error(err::Usage, "La tabella '" + cp1252::toUtf8(definition.name) + "' non ha campi.");
    if (d.findSchema(definition.name))
        throw Error(kTableExists, "La tabella '" + cp1252::toUtf8(definition.name) + "' esiste già nel file " +
                                      d.fileText() + ".");
    std::string sql = "CREATE TABLE " + quoteIdent(definition.name) + " (";
    for (size_t i = 0; i < definition.fields.size(); ++i) {
        if (i) sql += ", ";
        sql += quoteIdent(definition.fields[i].name) + " " + engineTypeName(definition.fields[i]);
    }
    sql += ")";
    d.write("creare la tabella", [&] { d.exec(sql.c_str(), "creare la tabella"); });
}

int64_t SqliteStore::insertRow(const std::string& table, const Row& row) {
    Impl& d = *impl_;
    d.requireWritable();
    Schema& t = d.schemaOf(table);
    d.checkRowSize(t, row);
    if (!t.insert) {
        std::string sql = "INSERT INTO " + quoteIdent(t.name) + " (";
        std::string marks;
        for (size_t i = 0; i < t.fields.size(); ++i) {
            sql += (i ? ", " : "") + quoteIdent(t.fields[i].name);
            marks += i ? ", ?" : "?";
        }
        sql += ") VALUES (" + marks + ")";
        t.insert = d.prepare(sql, "aggiungere il record", true);
    }
    int64_t id = 0;
    d.write("aggiungere il record", [&] {
        sqlite3_stmt* s = t.insert.get();
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        for (size_t i = 0; i < row.size(); ++i) d.bindValue(s, static_cast<int>(i + 1), row[i], t, t.fields[i]);
        d.check(sqlite3_step(s), "aggiungere il record");
        sqlite3_reset(s);
        id = sqlite3_last_insert_rowid(d.db);
    });
    return id;
}

void SqliteStore::updateRow(const std::string& table, int64_t rowId, const Row& row) {
    Impl& d = *impl_;
    d.requireWritable();
    Schema& t = d.schemaOf(table);
    d.checkRowSize(t, row);
    std::string sql = "UPDATE " + quoteIdent(t.name) + " SET ";
    for (size_t i = 0; i < t.fields.size(); ++i) sql += (i ? ", " : "") + quoteIdent(t.fields[i].name) + " = ?";
    sql += " WHERE rowid = ?";
    Stmt s = d.prepare(sql, "aggiornare il record");
    d.write("aggiornare il record", [&] {
        for (size_t i = 0; i < row.size(); ++i) d.bindValue(s.get(), static_cast<int>(i + 1), row[i], t, t.fields[i]);
        d.check(sqlite3_bind_int64(s.get(), static_cast<int>(row.size() + 1), rowId), "aggiornare il record");
        d.check(sqlite3_step(s.get()), "aggiornare il record");
        if (sqlite3_changes(d.db) != 1)
            throw Error(err::NoCurrentRecord, "Il record della tabella '" + cp1252::toUtf8(t.name) + "' del file " +
                                                  d.fileText() + " è stato eliminato da un altro utente.");
    });
}

void SqliteStore::deleteRow(const std::string& table, int64_t rowId) {
    Impl& d = *impl_;
    d.requireWritable();
    Schema& t = d.schemaOf(table);
    Stmt s = d.prepare("DELETE FROM " + quoteIdent(t.name) + " WHERE rowid = ?", "eliminare il record");
    d.write("eliminare il record", [&] {
        d.check(sqlite3_bind_int64(s.get(), 1, rowId), "eliminare il record");
        d.check(sqlite3_step(s.get()), "eliminare il record");
        if (sqlite3_changes(d.db) != 1)
            throw Error(err::NoCurrentRecord, "Il record della tabella '" + cp1252::toUtf8(t.name) + "' del file " +
                                                  d.fileText() + " è stato eliminato da un altro utente.");
    });
}

namespace {

const char* const kQueryTable = "MSysQueryDefs";

TableDefinition queryTableDefinition() {
    return TableDefinition{kQueryTable, {makeField("Name", "TEXT(64)"), makeField("Type", "SHORT"), makeField("SQL", "MEMO")}};
}

}  // namespace

std::vector<StoredQuery> SqliteStore::storedQueries() {
    std::vector<StoredQuery> out;
    if (!impl_->findSchema(kQueryTable)) return out;
    std::shared_ptr<Table> t = loadTable(kQueryTable);
    const int name = t->fieldIndex("Name"), type = t->fieldIndex("Type"), sql = t->fieldIndex("SQL");
    if (name < 0 || type < 0 || sql < 0)
        throw Error(err::NotADatabase, "La tabella delle query salvate del file " + impl_->fileText() + " è danneggiata.");
    for (const Row& r : t->rows) {
        const Value& n = r[static_cast<size_t>(name)];
        const Value& k = r[static_cast<size_t>(type)];
        const Value& q = r[static_cast<size_t>(sql)];
        if (!n.isText() || !k.isInteger() || !isQueryKind(static_cast<int>(k.asInteger())))
            throw Error(err::NotADatabase,
                        "La tabella delle query salvate del file " + impl_->fileText() + " è danneggiata.");
        out.push_back(StoredQuery{std::string(n.asText()), static_cast<QueryKind>(k.asInteger()), q.isText() ? std::string(q.asText()) : ""});
    }
    return out;
}

void SqliteStore::saveQuery(const StoredQuery& query) {
    Impl& d = *impl_;
    d.requireWritable();
    if (d.findSchema(query.name))
        throw Error(kTableExists, "Esiste già una tabella di nome '" + cp1252::toUtf8(query.name) + "' nel file " +
                                      d.fileText() + ".");
    for (const StoredQuery& q : storedQueries())
        if (cp1252::equalNoCase(q.name, query.name))
            throw Error(kTableExists, "La query '" + cp1252::toUtf8(query.name) + "' esiste già nel file " +
                                          d.fileText() + ".");
    if (!d.findSchema(kQueryTable)) createTable(queryTableDefinition());
    insertRow(kQueryTable, Row{Value::text(query.name), Value::integer(static_cast<int>(query.kind)), Value::text(query.sql)});
}

void SqliteStore::beginBatch() {
    Impl& d = *impl_;
    d.requireWritable();
    if (d.inBatch) return;
    d.exec("BEGIN IMMEDIATE", "scrivere");
    d.inBatch = true;
}

void SqliteStore::commitBatch() {
    Impl& d = *impl_;
    if (!d.inBatch) return;
    try {
        d.exec("COMMIT", "scrivere");
    } catch (...) {
        sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
        d.inBatch = false;
        throw;
    }
    d.inBatch = false;
}

void SqliteStore::close() {
    Impl& d = *impl_;
    if (!d.db) return;
    if (d.inBatch) {
        sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
        d.inBatch = false;
    }
    d.schemas.clear();
    int rc = sqlite3_close(d.db);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(d.db);
        d.db = nullptr;
        d.fail(rc, "chiudere il file");
    }
    d.db = nullptr;
}

}  // namespace ov
