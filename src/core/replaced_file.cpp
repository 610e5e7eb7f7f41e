#include "core/replaced_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/error.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr size_t kBufferSize = 1 << 16;

// The permissions a new file of the folder gets (0666 less the umask), or the target's own.
mode_t modeFor(const fs::path& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

Error writeError(const fs::path& target, int error) {
    const std::string name = target.filename().string();
    if (error == ENOSPC || error == EDQUOT)
        return Error(err::DiskFull, "Disco pieno: impossibile scrivere il file '" + name + "'.");
    return Error(err::FileAccess, "Impossibile scrivere il file '" + name + "'.");
}

}  // namespace

ReplacedFile::ReplacedFile(fs::path target) : target_(std::move(target)) {
    std::string pattern = (target_.parent_path() / ("." + target_.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    temporary_ = pattern;
    ::fchmod(fd_, modeFor(target_));
}

ReplacedFile::~ReplacedFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void ReplacedFile::fail(int error) const { throw writeError(target_, error); }

void ReplacedFile::write(std::string_view bytes) {
    if (fd_ < 0) fail(EBADF);
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) flushBuffer();
}

void ReplacedFile::line(std::string_view text) {
    write(text);
    write("\r\n");
}

void ReplacedFile::flushBuffer() {
    const char* p = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    buffer_.clear();
}

void ReplacedFile::close() {
    if (fd_ < 0) return;
    flushBuffer();
    const int fd = fd_;
    fd_ = -1;
    // A full disk may show only when the data leaves the cache.
    if (::fsync(fd) != 0 && errno != EINVAL) {
        const int error = errno;
        ::close(fd);
        fail(error);
    }
    if (::close(fd) != 0) fail(errno);
}

void ReplacedFile::commit() { commitTogether({this}); }

void commitTogether(std::initializer_list<ReplacedFile*> files) {
    for (ReplacedFile* f : files) f->close();
    // Each target that exists keeps a second name until every file is in place: if a later
    // replacement fails, the earlier targets get their old content back.
    struct Replaced {
        ReplacedFile* file;
        bool existed = false;
        fs::path kept;  // the old content's second name; empty when it could not be kept
    };
    std::vector<Replaced> done;
    auto undo = [&] {
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            if (!it->kept.empty()) ::rename(it->kept.c_str(), it->file->target_.c_str());
            else if (!it->existed) ::unlink(it->file->target_.c_str());
        }
    };
    for (ReplacedFile* f : files) {
        if (f->committed_) continue;
        Replaced r{f, files.size() > 1 && ::access(f->target_.c_str(), F_OK) == 0, {}};
        if (r.existed) {
            fs::path kept = f->temporary_.string() + ".old";
            if (::link(f->target_.c_str(), kept.c_str()) == 0) r.kept = kept;
        }
        if (::rename(f->temporary_.c_str(), f->target_.c_str()) != 0) {
            const int error = errno;
            if (!r.kept.empty()) ::unlink(r.kept.c_str());
            undo();
            f->fail(error);
        }
        f->committed_ = true;
        done.push_back(r);
    }
    for (const Replaced& r : done)
        if (!r.kept.empty()) ::unlink(r.kept.c_str());
}

}  // namespace ov
