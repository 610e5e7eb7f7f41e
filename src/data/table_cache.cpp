#include "data/table_cache.h"

#include <sys/stat.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_map>

#include "core/cp1252.h"
#include "data/column_needs.h"

namespace fs = std::filesystem;

namespace ov::tablecache {
namespace {

struct Entry {
    FileStamp stamp;
    std::shared_ptr<const Table> table;
};

struct Cache {
    std::mutex mutex;
    std::map<std::pair<std::string, std::string>, Entry> entries;
    std::set<std::string> loading;  // files another thread is reading
    std::condition_variable loaded;
};

Cache& cache() {
    // Never destroyed: freeing every table of a large hotel, value by value, as the program ends
    // would take a tenth of a second; the system takes the memory back at once.
    static Cache* c = new Cache;
    return *c;
}

// What this thread's open FileSnapshotScope has learned of each file, by the name it was given.
struct Known {
    std::optional<FileStamp> stamp;
    std::optional<std::string> fullName;
};
thread_local std::unordered_map<std::string, Known>* snapshot = nullptr;

Known* knownOf(const fs::path& path) { return snapshot ? &(*snapshot)[path.native()] : nullptr; }

std::string fullNameOf(const fs::path& path) {
    std::error_code ec;
    fs::path canon = fs::weakly_canonical(path, ec);
    return (ec ? path : canon).string();
}

std::pair<std::string, std::string> keyOf(const fs::path& path, const std::string& table) {
    std::string name;
    if (Known* k = knownOf(path)) {
        if (!k->fullName) k->fullName = fullNameOf(path);
        name = *k->fullName;
    } else {
        name = fullNameOf(path);
    }
    return {std::move(name), cp1252::toUpper(table)};
}

FileStamp examine(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return {static_cast<uintmax_t>(st.st_size), int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
}

}  // namespace

FileStamp stampOf(const fs::path& path) {
    Known* k = knownOf(path);
    if (!k) return examine(path);
    if (!k->stamp) k->stamp = examine(path);
    return *k->stamp;
}

FileSnapshotScope::FileSnapshotScope() : owner_(snapshot == nullptr) {
    if (owner_) snapshot = new std::unordered_map<std::string, Known>;
}

FileSnapshotScope::~FileSnapshotScope() {
    if (!owner_) return;
    delete snapshot;
    snapshot = nullptr;
}

std::shared_ptr<const Table> lookup(const fs::path& path, const std::string& table,
                                    const std::vector<std::string>* columns) {
    auto key = keyOf(path, table);
    FileStamp now = stampOf(path);
    std::lock_guard lock(cache().mutex);
    auto it = cache().entries.find(key);
    if (it == cache().entries.end()) return nullptr;
    if (!(it->second.stamp == now)) {
        cache().entries.erase(it);
        return nullptr;
    }
    if (!columnsCover(it->second.table->columnsRead(), columns)) return nullptr;
    return it->second.table;
}

void store(const fs::path& path, const FileStamp& stamp, std::shared_ptr<const Table> table) {
    auto key = keyOf(path, table->name);
    std::lock_guard lock(cache().mutex);
    Entry& e = cache().entries[key];
    if (e.table && e.stamp == stamp && !e.table->columnsRead() && table->columnsRead()) return;
    e = Entry{stamp, std::move(table)};
}

bool holdsTablesOf(const fs::path& path) {
    const std::string file = keyOf(path, std::string()).first;
    const FileStamp now = stampOf(path);
    std::lock_guard lock(cache().mutex);
    const auto& entries = cache().entries;
    for (auto it = entries.lower_bound({file, std::string()}); it != entries.end() && it->first.first == file; ++it)
        if (!it->second.table->derived && it->second.stamp == now) return true;
    return false;
}

void invalidate(const fs::path& path, const std::string& table) {
    auto key = keyOf(path, table);
    if (snapshot) snapshot->erase(path.native());  // the file has changed: look at it again
    std::lock_guard lock(cache().mutex);
    cache().entries.erase(key);
    // The rows of the file's saved queries may have come from that table.
    auto& entries = cache().entries;
    for (auto it = entries.lower_bound({key.first, std::string()}); it != entries.end() && it->first.first == key.first;)
        it = it->second.table->derived ? entries.erase(it) : std::next(it);
}

void beginLoading(const fs::path& path) {
    auto key = keyOf(path, std::string()).first;
    std::lock_guard lock(cache().mutex);
    cache().loading.insert(std::move(key));
}

void endLoading(const fs::path& path) {
    auto key = keyOf(path, std::string()).first;
    {
        std::lock_guard lock(cache().mutex);
        cache().loading.erase(key);
    }
    cache().loaded.notify_all();
}

bool waitForLoading(const fs::path& path) {
    auto key = keyOf(path, std::string()).first;
    std::unique_lock lock(cache().mutex);
    if (!cache().loading.count(key)) return false;
    cache().loaded.wait(lock, [&] { return !cache().loading.count(key); });
    return true;
}

void clear() {
    std::lock_guard lock(cache().mutex);
    cache().entries.clear();
}

}  // namespace ov::tablecache
