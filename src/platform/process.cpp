#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace ov {
namespace {

// Double fork, so that the started program is not our child and leaves no zombie; the exec
// result comes back through a close-on-exec pipe.
bool spawn(const std::string& program, const std::vector<std::string>& args, const std::string& folder) {
    int status_pipe[2];
    if (pipe2(status_pipe, O_CLOEXEC) != 0) return false;
    pid_t pid = fork();
    if (pid < 0) {
        close(status_pipe[0]);
        close(status_pipe[1]);
        return false;
    }
    if (pid == 0) {
        close(status_pipe[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) {
            int err = grandchild < 0 ? 1 : 0;
            if (err) (void)!write(status_pipe[1], &err, sizeof err);
            _exit(0);
        }
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            int err = 2;
            (void)!write(status_pipe[1], &err, sizeof err);
            _exit(127);
        }
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        int err = 3;
        (void)!write(status_pipe[1], &err, sizeof err);
        _exit(127);
    }
    close(status_pipe[1]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    int err = 0;
    ssize_t n = read(status_pipe[0], &err, sizeof err);
    close(status_pipe[0]);
    return n == 0;
}

}  // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& args, const std::string& folder) {
    std::filesystem::path local = std::filesystem::path(folder) / program;
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_regular_file(local, ec)) return spawn(local.string(), args, folder);
    return spawn(program, args, folder);
}

bool OpenWithDesktop(const std::string& path) { return spawn("xdg-open", {path}, ""); }

}  // namespace ov
