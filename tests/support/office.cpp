#include "support/office.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace ovtest {
namespace {

constexpr auto kLongestStart = std::chrono::seconds(180);

// Recalculate on loading: 0 always, 1 never (the office's default for files from Excel), 2 ask.
const char* kRecalculateAlways =
    "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop oor:name=\"OOXMLRecalcMode\" "
    "oor:op=\"fuse\"><value>0</value></prop></item>\n";

}  // namespace

bool Office::installed() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((fs::path(dir) / "soffice").c_str(), X_OK) == 0) return true;
    return false;
}

Office::Office() {
    run({"--terminate_after_init"});
    const std::string settings = home_.read("profile/user/registrymodifications.xcu");
    const size_t end = settings.rfind("</oor:items>");
    if (end == std::string::npos) throw std::runtime_error("LibreOffice wrote no profile: " + home_.read("office.log"));
    home_.write("profile/user/registrymodifications.xcu", settings.substr(0, end) + kRecalculateAlways + settings.substr(end));
}

std::vector<fs::path> Office::convert(const std::vector<fs::path>& inputs, const std::string& format,
                                      const std::string& extension) {
    const fs::path out = home_ / "out";
    std::vector<std::string> args{"--convert-to", format, "--outdir", out.string()};
    for (const auto& in : inputs) args.push_back(in.string());
    run(args);
    std::vector<fs::path> written;
    for (const auto& in : inputs) {
        fs::path file = out / in.filename().replace_extension(extension);
        if (!fs::exists(file)) throw std::runtime_error("LibreOffice did not write " + file.string() + ": " + home_.read("office.log"));
        written.push_back(file);
    }
    return written;
}

// Starts the office in a process group of its own and waits for it; whatever of the group is
// still there afterwards (or at the time limit) is killed.
void Office::run(std::vector<std::string> args) {
    args.insert(args.begin(), {"soffice", "-env:UserInstallation=file://" + (home_ / "profile").string(), "--headless",
                               "--norestore", "--nologo"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // A home of its own and the same locale wherever the tests run.
    std::vector<std::string> env{"HOME=" + home_.path().string(), "LC_ALL=C"};
    for (char** e = environ; *e; ++e) {
        const std::string var(*e);
        if (var.rfind("HOME=", 0) != 0 && var.rfind("LC_ALL=", 0) != 0) env.push_back(var);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string log = (home_ / "office.log").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, "soffice", &files, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (started != 0) throw std::runtime_error("LibreOffice could not be started");

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kLongestStart;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            throw std::runtime_error("LibreOffice did not finish in time: " + home_.read("office.log"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(-pid, SIGKILL);  // nothing of the group outlives the call
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("LibreOffice failed: " + home_.read("office.log"));
}

std::vector<std::vector<std::string>> ReadOfficeCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            row.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(std::move(cell));
            cell.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.empty() || !row.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace ovtest
