// New embedded-format files, built under a temporary name and given the target name at the end.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/error.h"
#include "data/sqlite_store.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr int kDiskError = 3043;  // disk or network error

[[noreturn]] void ioFailure(const std::string& display, const std::string& what) {
    throw Error(kDiskError, "Impossibile creare il file '" + display + "': " + what + " (" + std::strerror(errno) + ").");
}

void syncPath(const fs::path& p, bool directory) {
    int fd = ::open(p.c_str(), (directory ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) return;  // some file systems do not let a folder be opened: nothing more to do
    ::fsync(fd);
    ::close(fd);
}

// Gives the finished temporary file the target name unless a file of that name exists. A hard
// link cannot replace anything; where links are not supported, a rename that refuses to replace.
bool publishNoReplace(const fs::path& temp, const fs::path& target, const std::string& display) {
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno != EINVAL && errno != ENOSYS) ioFailure(display, "rinomina del file temporaneo");
    std::error_code ec;
    if (fs::exists(target, ec)) return false;
    if (::rename(temp.c_str(), target.c_str()) != 0) ioFailure(display, "rinomina del file temporaneo");
    return true;
}

}  // namespace

bool createSqliteDatabase(const fs::path& target, const std::string& displayName,
                          const std::function<void(SqliteStore&)>& fill) {
    std::error_code ec;
    if (fs::exists(target, ec)) return false;
    static std::atomic<unsigned> counter{0};
    fs::path temp = target.parent_path() / ("." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                                            "-" + std::to_string(counter++));
    struct RemoveTemp {
        fs::path p;
        ~RemoveTemp() {
            std::error_code e;
            fs::remove(p, e);
        }
    } cleanup{temp};
    {
        SqliteStore store(temp, displayName, SqliteStore::Open::CreateOrExtend, SqliteStore::Durability::Fast);
        store.beginBatch();
        fill(store);
        store.commitBatch();
        store.close();
    }
    syncPath(temp, false);
    bool published = publishNoReplace(temp, target, displayName);
    if (published) syncPath(target.parent_path().empty() ? fs::path(".") : target.parent_path(), true);
    return published;
}

}  // namespace ov
