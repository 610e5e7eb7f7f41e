#pragma once
// A CUPS scheduler of the test's own: cupsd started on a socket, configuration, spool and logs in a
// temporary folder, no system service needed. libcups of this process (and of the programs it
// starts, through CUPS_SERVER) talks to it until the object goes, which stops cupsd and removes
// the folder, also when the test failed.
//
// Queues:
// - a raw queue sends its jobs unfiltered to a printer port (AppSocket, as network printers take
//   raw jobs) that this object listens on, each job's bytes written to a file: raw jobs reach a
//   file device only through a backend, and a port is the backend every CUPS has;
// - a cups-pdf queue turns driver jobs into PDF files. cups-pdf reads its settings from
//   /etc/cups/cups-pdf.conf (the output folder, ${HOME}/PDF by default) and its backend runs only
//   as root; pdfOutput() finds a job's file there.
#include <sys/types.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ovtest {

class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // False, with the reason, when cupsd could not be started here: tests skip then.
    bool running() const { return pid_ > 0; }
    const std::string& whyNot() const { return whyNot_; }
    // What CUPS_SERVER names: the scheduler's socket.
    std::string server() const { return (dir_ / "cups.sock").string(); }

    // A raw queue whose jobs land, one file per job in order, in rawJobFiles().
    void addRawQueue(const std::string& name);
    // A queue with the driver of a generic PDF printer that prints on both sides, its jobs landing
    // at the same port: what a driver job hands the printer, job options included.
    void addDuplexPrinterQueue(const std::string& name);
    std::vector<std::filesystem::path> rawJobFiles() const;
    // A cups-pdf queue; false, with whyNot(), when cups-pdf cannot run here (not root).
    bool addPdfQueue(const std::string& name);
    void setDefault(const std::string& name);

    // Waits until every job of the queue has ended; the ids of the completed ones, in order.
    std::vector<int> waitForJobs(const std::string& queue, int expected, int timeoutMs = 20000);
    // The PDF file cups-pdf wrote for a completed job of this scheduler, if any.
    std::optional<std::filesystem::path> pdfOutput(int jobId) const;

private:
    void start();
    void stop();
    void addQueue(const std::string& name, const std::string& deviceUri, const char* ppd);
    void addPortQueue(const std::string& name, const char* ppd);
    void listen();

    std::filesystem::path dir_;
    pid_t pid_ = -1;
    std::string whyNot_;
    std::string previousServer_;
    bool hadServer_ = false;

    int listenFd_ = -1;
    int port_ = 0;
    std::thread listener_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> rawJobs_{0};
    std::filesystem::path pdfFolder_;
    bool createdPdfFolder_ = false;
    std::vector<std::filesystem::path> pdfsBefore_;  // files of the user's own, never touched
    mutable std::vector<std::filesystem::path> pdfsSeen_;
};

}  // namespace ovtest
