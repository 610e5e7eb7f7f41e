#include "support/private_cups.h"
#include "support/temp_folder.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::chrono;

namespace ovtest {

namespace {

const char* kCupsd = "/usr/sbin/cupsd";
const char* kPdfBackend = "/usr/lib/cups/backend/cups-pdf";
const char* kPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
const char* kPdfConf = "/etc/cups/cups-pdf.conf";
const char* kDuplexPpd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::trunc);
    out << text;
}

std::string tail(const std::string& text, size_t n) { return text.size() > n ? text.substr(text.size() - n) : text; }

// cups-pdf's output folder as its configuration sets it, for the user the jobs run as.
fs::path cupsPdfFolder() {
    std::string out = "${HOME}/PDF";
    std::ifstream conf(kPdfConf);
    for (std::string line; std::getline(conf, line);)
        if (line.rfind("Out ", 0) == 0) out = line.substr(4);
    const passwd* pw = getpwuid(geteuid());
    const std::string home = pw ? pw->pw_dir : "/root", user = pw ? pw->pw_name : "root";
    for (auto [key, value] : {std::pair<std::string, std::string>{"${HOME}", home}, {"${USER}", user}})
        for (size_t at; (at = out.find(key)) != std::string::npos;) out.replace(at, key.size(), value);
    return out;
}

// Whether the scheduler answers an IPP request on its socket.
bool answers(const std::string& server) {
    http_t* http = httpConnect2(server.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1, 500, nullptr);
    if (!http) return false;
    ipp_t* response = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_PRINTERS), "/");
    const bool ok = response != nullptr;
    ippDelete(response);
    httpClose(http);
    return ok;
}

}  // namespace

PrivateCups::PrivateCups() {
    if (const char* s = std::getenv("CUPS_SERVER")) {
        hadServer_ = true;
        previousServer_ = s;
    }
    start();
}

PrivateCups::~PrivateCups() { stop(); }

void PrivateCups::start() {
    if (::access(kCupsd, X_OK) != 0) {
        whyNot_ = std::string(kCupsd) + " non installato (pacchetto cups)";
        return;
    }
    char tmpl[] = "/tmp/ovdesk-cups-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        whyNot_ = "cartella temporanea non creata";
        return;
    }
    dir_ = tmpl;
    // Filters and backends run as the scheduler's user: they must reach the folder.
    ::chmod(dir_.c_str(), 0755);
    for (const char* sub : {"conf", "spool", "spool/tmp", "cache", "state", "log", "raw"}) fs::create_directories(dir_ / sub);

    const bool root = geteuid() == 0;
    const passwd* pw = getpwuid(geteuid());
    const group* gr = getgrgid(getegid());
    const std::string user = root ? "lp" : (pw ? pw->pw_name : "nobody");
    const std::string grp = root ? "lp" : (gr ? gr->gr_name : "nogroup");
    const std::string d = dir_.string();
    writeFile(dir_ / "conf/cups-files.conf",
              "ServerRoot " + d + "/conf\nRequestRoot " + d + "/spool\nTempDir " + d + "/spool/tmp\nCacheDir " + d +
                  "/cache\nStateDir " + d + "/state\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                  "DocumentRoot /usr/share/cups/doc-root\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
                  "/log/access_log\nPageLog " + d + "/log/page_log\nUser " + user + "\nGroup " + grp +
                  "\nSystemGroup " + (root ? std::string("root") : grp) + "\n");
    writeFile(dir_ / "conf/cupsd.conf",
              "Listen " + server() + "\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
              "MaxJobs 0\nPreserveJobHistory Yes\n"
              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n");

    // No SNMP: the port of this object is no network printer to ask for its supplies.
    writeFile(dir_ / "conf/snmp.conf", "Community\n");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = d + "/log/cupsd.out";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::string conf = d + "/conf/cupsd.conf", files = d + "/conf/cups-files.conf";
    std::vector<char*> argv = {const_cast<char*>("cupsd"), const_cast<char*>("-f"), const_cast<char*>("-c"),
                               conf.data(), const_cast<char*>("-s"), files.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, kCupsd, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        whyNot_ = "cupsd non avviato";
        return;
    }
    pid_ = pid;

    cupsSetServer(server().c_str());
    ::setenv("CUPS_SERVER", server().c_str(), 1);
    const auto deadline = steady_clock::now() + seconds(15);
    while (!answers(server())) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_ || steady_clock::now() > deadline) {
            whyNot_ = "cupsd non risponde: " + tail(ovtest::readBytes(dir_ / "log/cupsd.out") + ovtest::readBytes(dir_ / "log/error_log"), 600);
            if (::waitpid(pid_, &status, WNOHANG) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            }
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
}

void PrivateCups::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        const auto deadline = steady_clock::now() + seconds(10);
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(milliseconds(20));
        }
        pid_ = -1;
    }
    if (listener_.joinable()) {
        stopping_ = true;
        listener_.join();
    }
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;

    cupsSetServer(nullptr);
    if (hadServer_)
        ::setenv("CUPS_SERVER", previousServer_.c_str(), 1);
    else
        ::unsetenv("CUPS_SERVER");

    std::error_code ec;
    for (const auto& pdf : pdfsSeen_) fs::remove(pdf, ec);
    if (createdPdfFolder_ && fs::is_empty(pdfFolder_, ec)) fs::remove(pdfFolder_, ec);
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

void PrivateCups::addQueue(const std::string& name, const std::string& deviceUri, const char* ppd) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s", name.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, deviceUri.c_str());
    ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddBoolean(request, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippDelete(cupsDoFileRequest(CUPS_HTTP_DEFAULT, request, "/admin/", ppd));
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        throw std::runtime_error("coda " + name + " non creata: " + cupsLastErrorString());
}

void PrivateCups::addRawQueue(const std::string& name) { addPortQueue(name, nullptr); }

void PrivateCups::addDuplexPrinterQueue(const std::string& name) { addPortQueue(name, kDuplexPpd); }

void PrivateCups::addPortQueue(const std::string& name, const char* ppd) {
    if (listenFd_ < 0) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(listenFd_, 8) != 0 ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("porta della coda raw non aperta");
        port_ = ntohs(addr.sin_port);
        listener_ = std::thread([this] { listen(); });
    }
    addQueue(name, "socket://127.0.0.1:" + std::to_string(port_), ppd);
}

// The printer port: every connection is one job, its bytes kept in the next file.
void PrivateCups::listen() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const int n = ++rawJobs_;
        char name[32];
        std::snprintf(name, sizeof name, "job-%03d.bin", n);
        std::ofstream out(dir_ / "raw" / (std::string(name) + ".part"), std::ios::binary);
        char buf[65536];
        for (ssize_t got; (got = ::read(fd, buf, sizeof buf)) > 0;) out.write(buf, got);
        out.close();
        // Complete before the port closes: the job ends for the scheduler when it does.
        std::error_code ec;
        fs::rename(dir_ / "raw" / (std::string(name) + ".part"), dir_ / "raw" / name, ec);
        ::close(fd);
    }
}

std::vector<fs::path> PrivateCups::rawJobFiles() const {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_ / "raw", ec))
        if (e.path().extension() == ".bin") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool PrivateCups::addPdfQueue(const std::string& name) {
    if (geteuid() != 0) {
        whyNot_ = "il backend cups-pdf lavora solo con cupsd avviato da root";
        return false;
    }
    if (::access(kPdfBackend, F_OK) != 0 || ::access(kPdfPpd, R_OK) != 0) {
        whyNot_ = "cups-pdf non installato (pacchetto printer-driver-cups-pdf)";
        return false;
    }
    pdfFolder_ = cupsPdfFolder();
    std::error_code ec;
    createdPdfFolder_ = !fs::exists(pdfFolder_, ec);
    for (const auto& e : fs::directory_iterator(pdfFolder_, ec)) pdfsBefore_.push_back(e.path());
    addQueue(name, "cups-pdf:/", kPdfPpd);
    return true;
}

void PrivateCups::setDefault(const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s", name.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_SET_DEFAULT);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        throw std::runtime_error("coda " + name + " non predefinita: " + cupsLastErrorString());
}

std::vector<int> PrivateCups::waitForJobs(const std::string& queue, int expected, int timeoutMs) {
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    for (;;) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
        int ended = 0;
        std::vector<int> completed;
        for (int i = 0; i < n; ++i) {
            if (jobs[i].state >= IPP_JSTATE_CANCELED) ++ended;
            if (jobs[i].state == IPP_JSTATE_COMPLETED) completed.push_back(jobs[i].id);
        }
        cupsFreeJobs(n, jobs);
        // A raw job has ended for the scheduler once the port took its bytes and closed.
        if ((ended >= expected && n >= expected) || steady_clock::now() > deadline) {
            std::sort(completed.begin(), completed.end());
            return completed;
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
}

std::optional<fs::path> PrivateCups::pdfOutput(int jobId) const {
    if (pdfFolder_.empty()) return std::nullopt;
    const std::string tag = "job_" + std::to_string(jobId);
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(pdfFolder_, ec)) {
        const std::string name = e.path().filename().string();
        const size_t at = name.find(tag);
        if (e.path().extension() != ".pdf" || at == std::string::npos) continue;
        const char after = at + tag.size() < name.size() ? name[at + tag.size()] : '\0';
        if ((after >= '0' && after <= '9') ||
            std::find(pdfsBefore_.begin(), pdfsBefore_.end(), e.path()) != pdfsBefore_.end())
            continue;
        pdfsSeen_.push_back(e.path());
        return e.path();
    }
    return std::nullopt;
}

}  // namespace ovtest
