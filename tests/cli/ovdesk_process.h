#pragma once
// Runs the ovdesk binary as a separate process, as a user or a script would, and collects its exit
// code and both outputs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>  // environ

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace ovtest {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    long peakKilobytes = 0;  // the most memory the process held
};

// Runs `program args...`; runOvdesk runs the ovdesk binary.
inline ProcessResult runProgram(const std::string& program, const std::vector<std::string>& args) {
    TempFolder io;
    std::string outPath = (io / "stdout").string(), errPath = (io / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ProcessResult r;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.peakKilobytes = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    r.out = io.read("stdout");
    r.err = io.read("stderr");
    return r;
}

inline ProcessResult runOvdesk(const std::vector<std::string>& args) { return runProgram(OVDESK_BINARY, args); }

// Commands run on a working folder of their own, with PCLocal = 1 meanwhile (print file FD1).
class WorkstationOneCommand : public ::testing::Test {
protected:
    // The lines of the print file FD1.
    std::vector<std::string> printFileLines() const {
        std::vector<std::string> lines;
        std::string text = dir.read("FD1");
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    ScopedEnv workstation{"PCLocal", "1"};
    TempFolder dir;
};

// Commands run on a copy of the "edge" working folder.
class EdgeFolderCommand : public WorkstationOneCommand {
protected:
    void SetUp() override {
        WorkstationOneCommand::SetUp();
        std::filesystem::copy(fixturesDir() / "edge" / "work", dir.path(), std::filesystem::copy_options::recursive);
    }
};

}  // namespace ovtest
