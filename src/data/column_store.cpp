#include "data/column_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "data/table_cache.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr int kDiskError = 3043;  // disk or network error
const std::string kName = "ColonneOV.mdb";
const std::string kTable = "ColonneOV";

// The fields of ColonneOV as this program declares them.
TableDefinition columnTableDefinition() {
    return {kTable,
            {makeField("NumeroHotel", "SHORT"), makeField("NumeroColonna", "SHORT"),
             makeField("Intestazione", "TEXT(10)"), makeField("CodiceVoce", "SHORT"),
             makeField("Descrizione", "TEXT(40)")}};
}

[[noreturn]] void conversionFailure(const std::string& what, int errorNumber) {
    throw Error(kDiskError, "Impossibile convertire il file '" + kName + "': " + what + " (" +
                                std::strerror(errorNumber) + ").");
}

fs::path storePath(const Workspace& ws) {
    auto found = ws.find(kName);
    if (!found || fs::is_directory(*found))
        throw Error(err::FileNotFound, "Impossibile trovare il file '" + kName + "'.");
    return *found;
}

void syncFile(const fs::path& p) {
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) conversionFailure("impossibile aprire " + p.filename().string(), errno);
    int rc = ::fsync(fd);
    int saved = errno;
    ::close(fd);
    if (rc != 0) conversionFailure("impossibile scrivere su disco " + p.filename().string(), saved);
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // some file systems do not let a folder be opened: nothing more to do
    ::fsync(fd);
    ::close(fd);
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && cp1252::equalNoCase(text.substr(0, prefix.size()), prefix);
}

std::optional<std::string> readWhole(const fs::path& p) {
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// Only one conversion at a time: a lock on a file of its own beside the store (the lock goes
// with the process that holds it, so a program that stops half-way never blocks the others),
// and a mutex for the threads of this process, which share their locks.
class ConversionLock {
public:
    ConversionLock(const fs::path& folder, const std::string& storeFile, std::chrono::milliseconds timeout)
        : guard_(processMutex(), std::defer_lock) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        if (!guard_.try_lock_until(deadline)) busy();
        fs::path lockFile = folder / ("." + storeFile + ".lock");
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            ::fchmod(fd_, 0666);  // every workstation's user must be able to lock it, whatever the umask
        else if (errno == EEXIST)
            fd_ = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) conversionFailure("impossibile aprire il file di blocco " + lockFile.filename().string(), errno);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        for (;;) {
            if (::fcntl(fd_, F_SETLK, &fl) == 0) return;
            if (errno == EINTR) continue;
            // A file system without locks, where the embedded store itself could not be shared
            // safely either: go on without one.
            if (errno != EACCES && errno != EAGAIN) return;
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                fd_ = -1;
                busy();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~ConversionLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    ConversionLock(const ConversionLock&) = delete;
    ConversionLock& operator=(const ConversionLock&) = delete;

private:
    static std::timed_mutex& processMutex() {
        static std::timed_mutex m;
        return m;
    }
    [[noreturn]] static void busy() {
        throw Error(err::Locked, "Impossibile convertire il file '" + kName +
                                     "': un'altra postazione lo sta convertendo. Riprovare più tardi.");
    }

    std::unique_lock<std::timed_mutex> guard_;
    int fd_ = -1;
};

// Temporary files of conversions that stopped half-way. Conversions run one at a time under the
// lock, so while it is held every such file is a leftover.
std::string tempPrefix(const std::string& storeFile) { return "." + storeFile + ".conv-"; }

void removeLeftovers(const fs::path& folder, const std::string& storeFile) {
    std::error_code ec;
    const std::string prefix = tempPrefix(storeFile);
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (startsWithNoCase(it->path().filename().string(), prefix)) stale.push_back(it->path());
    for (const auto& p : stale) fs::remove(p, ec);
}

// Links are not supported by this file system (or not allowed to this user on this file).
bool linksUnsupported(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EXDEV || error == EMLINK ||
           error == ENOSYS;
}

// The bytes written and synced under a new name (which must not exist yet).
void writeCopy(const fs::path& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) conversionFailure("impossibile creare la copia di sicurezza", errno);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) break;
        done += static_cast<size_t>(w);
    }
    if (done < bytes.size() || ::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        ::unlink(path.c_str());
        conversionFailure("impossibile scrivere la copia di sicurezza", saved);
    }
    ::close(fd);
}

// The backups a store has in its folder: "ColonneOV.mdb.bak", ".bak1", ... in any letter case.
struct Backups {
    explicit Backups(const fs::path& store) : store_(store), base_(store.filename().string() + ".bak") {
        std::error_code ec;
        for (fs::directory_iterator it(store.parent_path(), ec), end; !ec && it != end; it.increment(ec))
            if (startsWithNoCase(it->path().filename().string(), base_)) existing_.push_back(it->path());
    }

    // A backup identical to the store (the same file, or the same bytes), left by a conversion that
    // stopped before its rename: it serves again rather than piling up copies.
    std::optional<fs::path> identical() {
        std::error_code ec;
        for (const auto& b : existing_) {
            if (fs::equivalent(b, store_, ec)) return b;
            if (!original_) original_ = readWhole(store_);
            auto copy = readWhole(b);
            if (original_ && copy && *copy == *original_) return b;
        }
        return std::nullopt;
    }

    // The n-th backup name: ".bak", ".bak1", ".bak2", ...
    std::string name(int n) const { return n == 0 ? base_ : base_ + std::to_string(n); }
    bool taken(const std::string& name) const {
        for (const auto& b : existing_)
            if (cp1252::equalNoCase(b.filename().string(), name)) return true;
        return false;
    }
    // The store's bytes, read once.
    const std::optional<std::string>& original() {
        if (!original_) original_ = readWhole(store_);
        return original_;
    }

private:
    fs::path store_;
    std::string base_;
    std::vector<fs::path> existing_;
    std::optional<std::string> original_;
};

// Where a conversion would keep the Jet file if it ran now.
fs::path plannedBackup(const fs::path& store) {
    Backups backups(store);
    if (auto same = backups.identical()) return *same;
    for (int n = 0;; ++n)
        if (!backups.taken(backups.name(n))) return store.parent_path() / backups.name(n);
}

// The Jet file kept under the first free backup name: a hard link where the file system has
// them (instant, and it can never replace anything), else a copy written under a temporary name
// and given the backup name only while that name is free.
fs::path keepBackup(const fs::path& store, bool byLink) {
    const fs::path folder = store.parent_path();
    Backups backups(store);
    if (auto same = backups.identical()) return *same;
    std::optional<fs::path> copy;  // written once, where links cannot be made
    std::error_code ec;
    for (int n = 0; n < 10000; ++n) {
        const std::string name = backups.name(n);
        if (backups.taken(name)) continue;
        const fs::path target = folder / name;
        if (!copy) {
            if (byLink) {
                if (::link(store.c_str(), target.c_str()) == 0) return target;
                if (errno == EEXIST) continue;
                if (!linksUnsupported(errno))
                    conversionFailure("impossibile creare la copia di sicurezza " + name, errno);
            }
            const std::optional<std::string>& original = backups.original();
            if (!original) conversionFailure("impossibile leggere il file", errno);
            copy = folder / (tempPrefix(store.filename().string()) + "bak-" + std::to_string(::getpid()));
            writeCopy(*copy, *original);
        }
        if (::renameat2(AT_FDCWD, copy->c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return target;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) conversionFailure("impossibile creare la copia di sicurezza " + name, errno);
        if (fs::exists(target, ec)) continue;
        if (::rename(copy->c_str(), target.c_str()) != 0)
            conversionFailure("impossibile creare la copia di sicurezza " + name, errno);
        return target;
    }
    throw Error(kDiskError, "Impossibile convertire il file '" + kName + "': troppe copie di sicurezza.");
}

// The table as the new file declares it: ColonneOV keeps the sizes of this program's own
// definition for the fields it knows; every other field keeps the type it had.
TableDefinition definitionOf(const Table& t) {
    TableDefinition def{t.name, t.fields};
    if (cp1252::equalNoCase(t.name, kTable)) {
        TableDefinition own = columnTableDefinition();
        for (auto& f : def.fields)
            for (const auto& o : own.fields)
                if (cp1252::equalNoCase(f.name, o.name)) f = Field{f.name, o.type, o.size};
    }
    return def;
}

void step(const ColumnStoreOptions& options, const char* name) {
    if (options.afterConversionStep) options.afterConversionStep(name);
}

}  // namespace

void EnsureColumnStore(const Workspace& ws) {
    // The name is looked up in any letter case: "colonneov.MDB" is the same file on Windows, and a
    // file of either format is left as it is, whatever it holds.
    if (ws.exists(kName)) return;
    TableDefinition table = columnTableDefinition();
    // Built under a temporary name and renamed into place; when another workstation created the
    // file meanwhile, theirs stays.
    createSqliteDatabase(ws.folder() / kName, kName, [&](SqliteStore& store) { store.createTable(table); });
}

ColumnStoreConversion ConvertColumnStore(const Workspace& ws, const ColumnStoreOptions& options) {
    fs::path store = storePath(ws);
    if (Database::detectFormat(store, kName) != Database::Format::Jet) return {};
    const fs::path folder = store.parent_path();
    const std::string storeFile = store.filename().string();

    ConversionLock lock(folder, storeFile, options.busyTimeout);
    // Another workstation may have converted it while this one waited.
    store = storePath(ws);
    if (Database::detectFormat(store, kName) != Database::Format::Jet) return {};
    removeLeftovers(folder, storeFile);

    // Every table of the file, read before anything is written.
    std::vector<std::shared_ptr<const Table>> tables;
    {
        auto jet = Database::openPath(store, kName);
        for (const auto& name : jet->tableNames()) tables.push_back(jet->table(name));
    }

    static std::atomic<unsigned> counter{0};
    const fs::path temp = folder / (tempPrefix(storeFile) + std::to_string(::getpid()) + "-" +
                                    std::to_string(counter++));
    struct RemoveTemp {
        fs::path p;
        bool keep = false;
        ~RemoveTemp() {
            std::error_code e;
            if (!keep) fs::remove(p, e);
        }
    } cleanup{temp};
    {
        // Nobody sees the temporary file: it is written fast and synced once at the end.
        SqliteStore out(temp, kName, SqliteStore::Open::CreateOrExtend, SqliteStore::Durability::Fast);
        out.beginBatch();
        for (const auto& t : tables) {
            TableDefinition def = definitionOf(*t);
            out.createTable(def);
            for (const Row& row : t->rows) out.insertRow(def.name, row);
        }
        out.commitBatch();
        out.close();
    }
    syncFile(temp);
    step(options, "temporaneo");

    ColumnStoreConversion result;
    result.converted = true;
    result.backup = keepBackup(store, options.backupByLink);
    syncFolder(folder);
    step(options, "copia");

    // The rename replaces the name in one step: a reader finds either the Jet file or the new one.
    if (::rename(temp.c_str(), store.c_str()) != 0) conversionFailure("impossibile rinominare il file temporaneo", errno);
    cleanup.keep = true;
    syncFolder(folder);
    for (const auto& t : tables) tablecache::invalidate(store, t->name);
    step(options, "rinomina");
    return result;
}

bool ChangeColumnStore(const Workspace& ws, const ColumnDecision& decide, const ColumnStoreOptions& options) {
    fs::path path = storePath(ws);
    if (Database::detectFormat(path, kName) == Database::Format::Jet) {
        // Nothing to change leaves a Jet store as it is.
        bool stillJet = true;
        try {
            auto jet = Database::openPath(path, kName);
            if (decide(jet->table(kTable)).kind == ColumnChange::Kind::None) return false;
        } catch (const Error&) {
            // Another workstation may have converted the file under the reader's feet.
            stillJet = Database::detectFormat(path, kName) == Database::Format::Jet;
            if (stillJet) throw;
        }
        if (stillJet) {
            if (options.confirmConversion && !options.confirmConversion(plannedBackup(path))) return false;
            ConvertColumnStore(ws, options);
        }
        path = storePath(ws);
    }

    SqliteStore store(path, kName, SqliteStore::Open::Existing);
    store.setBusyTimeout(options.busyTimeout);
    if (!store.writable())
        throw Error(err::ReadOnly, "Impossibile aggiornare. Il database '" + kName + "' è di sola lettura.");
    bool changed = false;
    // The write lock is taken before reading: the rows decided on are the rows written to.
    store.beginBatch();
    try {
        std::shared_ptr<const Table> table = store.loadTable(kTable);
        ColumnChange change = decide(table);
        switch (change.kind) {
            case ColumnChange::Kind::None: break;
            case ColumnChange::Kind::Add:
                store.insertRow(table->name, change.added);
                changed = true;
                break;
            case ColumnChange::Kind::Delete:
                if (change.position >= table->rowIds.size())
                    throw Error(err::NoCurrentRecord, "Nessun record corrente.");
                store.deleteRow(table->name, table->rowIds[change.position]);
                changed = true;
                break;
        }
        store.commitBatch();
        store.close();
    } catch (...) {
        try {
            store.close();  // rolls the transaction back
        } catch (const Error&) {
            // the first failure is the one to report
        }
        tablecache::invalidate(path, kTable);
        throw;
    }
    tablecache::invalidate(path, kTable);
    return changed;
}

}  // namespace ov
