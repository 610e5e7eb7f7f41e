#pragma once
// Runs the Jet reading helper (ovdesk-mdbread) as a child process and collects what it writes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ov::jet {

struct HelperRun {
    enum class End { Exited, Crashed, TimedOut, TooMuchOutput };
    End end = End::Exited;
    int code = 0;        // exit status when Exited, signal number when Crashed
    std::string output;  // everything it wrote on its standard output
};

// The helper executable: $OVDESK_MDBREAD when set, else ovdesk-mdbread beside the running
// program, else the installed one (libexec/ovdesk/ beside the program's bin/), else, for a
// program of the build tree, the build tree's. Empty when there is none.
std::filesystem::path findHelper();

// Runs `helper file` without a shell: standard input and error on /dev/null, standard output
// collected. A run that has not ended within `timeout`, or has written more than `maxOutput`
// bytes, is killed. The child is always reaped and no descriptor is left open. Throws
// std::system_error when the helper cannot be started.
HelperRun runHelper(const std::filesystem::path& helper, const std::filesystem::path& file,
                    std::chrono::milliseconds timeout, size_t maxOutput = SIZE_MAX);

// The same run, its output taken as it comes: read() appends what the helper has written next
// and is false once its output has ended (or the run was killed for time or size); finish()
// reads what is left, reaps the helper and tells how the run ended (`output` stays empty).
// Destroying a process not finished kills the helper.
class HelperProcess {
public:
    HelperProcess(const std::filesystem::path& helper, const std::filesystem::path& file,
                  std::chrono::milliseconds timeout, size_t maxOutput = SIZE_MAX);
    // The helper given these arguments rather than the file alone.
    HelperProcess(const std::filesystem::path& helper, const std::vector<std::string>& arguments,
                  std::chrono::milliseconds timeout, size_t maxOutput = SIZE_MAX);
    ~HelperProcess();
    HelperProcess(HelperProcess&&) noexcept;
    HelperProcess& operator=(HelperProcess&&) noexcept;

    bool read(std::string& into);
    HelperRun finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace ov::jet
