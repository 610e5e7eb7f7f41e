#include "data/jet_helper.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "core/program_files.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace ov::jet {
namespace {

constexpr const char* kHelperName = "ovdesk-mdbread";

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    Fd& operator=(Fd&& o) noexcept {
        close();
        fd_ = o.release();
        return *this;
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Owns a started child until it has been reaped; killed first if still running.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitBlocking();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reaps the child if it has ended; false while it runs.
    bool tryReap() {
        for (;;) {
            pid_t w = ::waitpid(pid_, &status_, WNOHANG);
            if (w == pid_) break;
            if (w == 0) return false;
            if (errno == EINTR) continue;
            // Someone else reaped it (SIGCHLD ignored): the stream's end marker still tells
            // a complete read from a broken one.
            status_ = 0;
            break;
        }
        pid_ = -1;
        return true;
    }
    void killAndReap() {
        ::kill(pid_, SIGKILL);
        waitBlocking();
    }
    int status() const { return status_; }

private:
    void waitBlocking() {
        while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

    pid_t pid_;
    int status_ = 0;
};

}  // namespace

fs::path findHelper() {
#ifdef OVDESK_MDBREAD_BUILD_PATH
    const fs::path built = OVDESK_MDBREAD_BUILD_PATH;
#else
    const fs::path built;
#endif
    return findProgramFile(kHelperName, "OVDESK_MDBREAD", built, FileUse::Run);
}

struct HelperProcess::State {
    Fd readEnd;
    std::unique_ptr<Child> child;
    Clock::time_point deadline;
    size_t maxOutput = SIZE_MAX;
    size_t written = 0;
    bool open = true;                // output not at its end yet
    std::optional<HelperRun::End> stopped;  // killed: timed out or too much output
};

HelperProcess::HelperProcess(const fs::path& helper, const fs::path& file, std::chrono::milliseconds timeout,
                             size_t maxOutput)
    : HelperProcess(helper, std::vector<std::string>{file.string()}, timeout, maxOutput) {}

HelperProcess::HelperProcess(const fs::path& helper, const std::vector<std::string>& arguments,
                             std::chrono::milliseconds timeout, size_t maxOutput)
    : state_(std::make_unique<State>()) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string helperArg = helper.string();
    std::vector<std::string> args = arguments;
    std::vector<char*> argv{helperArg.data()};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, helperArg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::system_error(rc, std::generic_category(), "posix_spawn " + helperArg);
    state_->child = std::make_unique<Child>(pid);
    writeEnd.close();  // so that the helper's end of output reaches us as end of file
    state_->readEnd = Fd(readEnd.release());
    state_->deadline = Clock::now() + timeout;
    state_->maxOutput = maxOutput;
}

HelperProcess::~HelperProcess() = default;
HelperProcess::HelperProcess(HelperProcess&&) noexcept = default;
HelperProcess& HelperProcess::operator=(HelperProcess&&) noexcept = default;

bool HelperProcess::read(std::string& into) {
    State& st = *state_;
    if (!st.open) return false;
    char buf[1 << 16];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(st.deadline - Clock::now());
        if (left.count() <= 0) {
            st.child->killAndReap();
            st.stopped = HelperRun::End::TimedOut;
            break;
        }
        pollfd p{st.readEnd.get(), POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30)));
        if (n < 0 && errno != EINTR) throw std::system_error(errno, std::generic_category(), "poll");
        if (n <= 0) continue;
        ssize_t got = ::read(st.readEnd.get(), buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            break;  // a broken pipe reads as the end; the stream check decides
        }
        if (got == 0) break;
        if (static_cast<size_t>(got) > st.maxOutput - st.written) {
            st.child->killAndReap();
            st.stopped = HelperRun::End::TooMuchOutput;
            break;
        }
        st.written += static_cast<size_t>(got);
        into.append(buf, static_cast<size_t>(got));
        return true;
    }
    st.open = false;
    st.readEnd.close();
    return false;
}

HelperRun HelperProcess::finish() {
    State& st = *state_;
    std::string rest;
    while (read(rest)) rest.clear();  // what is left unread does not count
    HelperRun run;
    if (st.stopped) {
        run.end = *st.stopped;
        return run;
    }
    // Its output is closed: it ends at once unless something holds it.
    auto pause = std::chrono::microseconds(100);
    while (!st.child->tryReap()) {
        if (Clock::now() >= st.deadline) {
            st.child->killAndReap();
            run.end = HelperRun::End::TimedOut;
            return run;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
    int status = st.child->status();
    if (WIFSIGNALED(status)) {
        run.end = HelperRun::End::Crashed;
        run.code = WTERMSIG(status);
    } else {
        run.end = HelperRun::End::Exited;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    }
    return run;
}

HelperRun runHelper(const fs::path& helper, const fs::path& file, std::chrono::milliseconds timeout,
                    size_t maxOutput) {
    HelperProcess process(helper, file, timeout, maxOutput);
    std::string output;
    while (process.read(output)) {
    }
    HelperRun run = process.finish();
    if (run.end != HelperRun::End::TooMuchOutput) run.output = std::move(output);
    return run;
}

}  // namespace ov::jet
