#include "core/file_access.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/error.h"

namespace ov {
namespace {

// What a path that is not a regular file is, for the message.
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "è una cartella";
    if (S_ISFIFO(mode)) return "è una pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "è un dispositivo";
    if (S_ISSOCK(mode)) return "è un socket";
    return "non è un file";
}

std::string reasonOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "autorizzazione negata";
        case ENOENT: return "file inesistente";
        case EIO: return "errore di lettura del disco";
        default: return "errore di sistema " + std::to_string(error);
    }
}

Error unreadable(const std::string& shownName, const std::string& why) {
    return Error(err::FileAccess, "Impossibile leggere il file '" + shownName + "': " + why + ".");
}

}  // namespace

void requireReadableFile(const std::filesystem::path& path, const std::string& shownName) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) throw unreadable(shownName, reasonOf(errno));
    if (!S_ISREG(st.st_mode)) throw unreadable(shownName, kindOf(st.st_mode));
    // Opened without waiting: the name may have become a pipe since the check above.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw unreadable(shownName, reasonOf(errno));
    ::close(fd);
}

std::string ReadWholeFile(const std::filesystem::path& path, const std::string& shownName) {
    requireReadableFile(path, shownName);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw unreadable(shownName, reasonOf(errno));
    std::string bytes;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw unreadable(shownName, reasonOf(error));
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::optional<std::filesystem::path> findSettingsFile(const Workspace& ws, const std::string& name) {
    std::optional<std::filesystem::path> path = ws.find(name);
    if (path) requireReadableFile(*path, shownFileName(name));
    return path;
}

}  // namespace ov
