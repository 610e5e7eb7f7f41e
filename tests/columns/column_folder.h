#pragma once
// Working folders for the column store tests: copies of the Jet ColonneOV.mdb and VociFattura.mdb
// of the "edge" fixtures, and child processes standing for other workstations.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "support/temp_folder.h"

namespace ovtest {

inline std::filesystem::path edgeFile(const std::string& name) { return fixturesDir() / "edge" / "work" / name; }

inline std::string bytesOf(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Copies a fixture file into the folder, writable like a file of an installation.
inline void copyEdgeFile(const TempFolder& dir, const std::string& name) {
    namespace fs = std::filesystem;
    fs::copy_file(edgeFile(name), dir / name, fs::copy_options::overwrite_existing);
    fs::permissions(dir / name, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
}

inline std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a child process (another workstation); its answer is the exit status. An
// ov::Error ends it with 100 + the last two digits of its number, anything else with 99.
inline pid_t runChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    int code = 99;
    try {
        code = body();
    } catch (const ov::Error& e) {
        std::fprintf(stderr, "figlio %d: errore %d: %s\n", static_cast<int>(::getpid()), e.number(), e.message().c_str());
        code = 100 + e.number() % 100;
    } catch (...) {
    }
    std::fflush(nullptr);
    ::_exit(code);
}

// Exit status of a child, or -signal when it was killed.
inline int waitChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1000;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return -WTERMSIG(status);
}

// A pipe to hold children at a line until the parent lets them go.
struct Gate {
    int fds[2] = {-1, -1};
    Gate() {
        if (::pipe(fds) != 0) throw std::runtime_error("pipe");
    }
    ~Gate() {
        for (int fd : fds)
            if (fd >= 0) ::close(fd);
    }
    void wait() {
        char c;
        while (::read(fds[0], &c, 1) < 0 && errno == EINTR) {
        }
    }
    void open(int children) {
        for (int i = 0; i < children; ++i) {
            char c = 'x';
            if (::write(fds[1], &c, 1) != 1) throw std::runtime_error("write");
        }
    }
};

}  // namespace ovtest
