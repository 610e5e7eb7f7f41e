#pragma once
// Loaded tables kept for the program run, keyed by file path, size and modification time: a
// summary over a year reads each file once, and a file the suite has changed is read again.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/table.h"

namespace ov::tablecache {

struct FileStamp {
    uintmax_t size = 0;
    int64_t modifiedNs = 0;  // time of the last change, in nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// Empty stamp when the file cannot be examined.
FileStamp stampOf(const std::filesystem::path& path);

// While one is open on a thread, that thread examines each file once: its stamp and full name are
// taken at the first look and kept, so a run that opens the same files day after day sees them as
// they were when it first looked instead of asking the system at every read. A table the program
// changes itself forgets what was kept of its file. An inner scope leaves the outer one in force.
class FileSnapshotScope {
public:
    FileSnapshotScope();
    ~FileSnapshotScope();
    FileSnapshotScope(const FileSnapshotScope&) = delete;
    FileSnapshotScope& operator=(const FileSnapshotScope&) = delete;

private:
    bool owner_ = false;
};

// The table when it is in hand with every column, or with all of `columns` when given.
std::shared_ptr<const Table> lookup(const std::filesystem::path& path, const std::string& table,
                                    const std::vector<std::string>* columns = nullptr);
// Stores a table read from the file as it was at `stamp` (taken before reading); a table with
// some columns does not take the place of the same table with every one.
void store(const std::filesystem::path& path, const FileStamp& stamp, std::shared_ptr<const Table> table);
// Whether tables read from the file as it is now are in hand: another reader has read it.
bool holdsTablesOf(const std::filesystem::path& path);
// Forgets the table, and the rows of every saved query of the file.
void invalidate(const std::filesystem::path& path, const std::string& table);
void clear();

// A file another thread is reading whole: beginLoading() before, endLoading() after, and
// waitForLoading() waits for that read to end; true when it waited (the tables may be here now).
void beginLoading(const std::filesystem::path& path);
void endLoading(const std::filesystem::path& path);
bool waitForLoading(const std::filesystem::path& path);

}  // namespace ov::tablecache
