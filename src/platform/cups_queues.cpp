#include "platform/cups_queues.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <mutex>
#include <utility>

#include "core/cp1252.h"
#include "core/error.h"

namespace ov::cups {

namespace {

// libcups is loaded the first time a run asks for a queue: most runs print to the print file and
// need neither it nor the encryption and network libraries it brings.
struct Library {
    decltype(&::cupsGetDests2) getDests2 = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsLastErrorString) lastErrorString = nullptr;
    decltype(&::httpConnect2) connect2 = nullptr;
    decltype(&::cupsServer) server = nullptr;
    decltype(&::ippPort) port = nullptr;
    decltype(&::cupsEncryption) encryption = nullptr;
    decltype(&::cupsCreateJob) createJob = nullptr;
    decltype(&::cupsStartDocument) startDocument = nullptr;
    decltype(&::cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&::cupsFinishDocument) finishDocument = nullptr;
    decltype(&::httpClose) close = nullptr;
    decltype(&::cupsCancelJob2) cancelJob2 = nullptr;
    bool loaded = false;
};

template <typename F>
bool bind(void* handle, F& f, const char* name) {
    f = reinterpret_cast<F>(::dlsym(handle, name));
    return f != nullptr;
}

// Null when the system has no libcups: then there are no queues.
const Library* library() {
    static Library lib;
    static std::once_flag once;
    std::call_once(once, [] {
        void* h = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!h) return;
        lib.loaded = bind(h, lib.getDests2, "cupsGetDests2") && bind(h, lib.freeDests, "cupsFreeDests") &&
                     bind(h, lib.lastErrorString, "cupsLastErrorString") && bind(h, lib.connect2, "httpConnect2") &&
                     bind(h, lib.server, "cupsServer") && bind(h, lib.port, "ippPort") &&
                     bind(h, lib.encryption, "cupsEncryption") && bind(h, lib.createJob, "cupsCreateJob") &&
                     bind(h, lib.startDocument, "cupsStartDocument") &&
                     bind(h, lib.writeRequestData, "cupsWriteRequestData") &&
                     bind(h, lib.finishDocument, "cupsFinishDocument") && bind(h, lib.close, "httpClose") &&
                     bind(h, lib.cancelJob2, "cupsCancelJob2");
    });
    return lib.loaded ? &lib : nullptr;
}

// The destinations of the server, freed when the list goes.
class Dests {
public:
    Dests() {
        if (const Library* cups = library()) count_ = cups->getDests2(CUPS_HTTP_DEFAULT, &dests_);
    }
    ~Dests() {
        if (dests_) library()->freeDests(count_, dests_);
    }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;

    const cups_dest_t* begin() const { return dests_; }
    const cups_dest_t* end() const { return dests_ + count_; }

private:
    int count_ = 0;
    cups_dest_t* dests_ = nullptr;
};

// Instances ("queue/instance") are option sets of one queue, not queues of their own.
bool isQueue(const cups_dest_t& d) { return d.instance == nullptr; }

Error jobError(const std::string& queue, const std::string& what) {
    return Error(err::Device, "Periferica non disponibile: impossibile stampare sulla coda '" + cp1252::toUtf8(queue) +
                                  "' (" + what + ").");
}

std::string lastError() {
    const char* why = library()->lastErrorString();
    return why ? why : "errore sconosciuto";
}

}  // namespace

std::vector<std::string> queueNames() {
    std::vector<std::string> names;
    for (const cups_dest_t& d : Dests())
        if (isQueue(d)) names.push_back(cp1252::fromUtf8(d.name));
    return names;
}

std::string defaultQueue() {
    for (const cups_dest_t& d : Dests())
        if (d.is_default) return cp1252::fromUtf8(d.name);
    return {};
}

std::optional<std::string> findQueue(std::string_view name) {
    if (name.empty()) return std::nullopt;
    for (const std::string& q : queueNames())
        if (cp1252::equalNoCase(q, name)) return q;
    return std::nullopt;
}

std::string describeQueues() {
    std::vector<std::string> names = queueNames();
    if (names.empty()) return "Nessuna coda di stampa installata.";
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ", ") + cp1252::toUtf8(n);
    return "Code di stampa installate: " + list + ".";
}

RawJob::RawJob(const std::string& queue, const std::string& title) : queue_(queue) {
    const std::string name = cp1252::toUtf8(queue);
    const Library* cups = library();
    if (!cups) throw jobError(queue, "libreria di stampa libcups.so.2 non installata");
    // A connection of its own: the document streams over it while other calls use the default one.
    http_ = cups->connect2(cups->server(), cups->port(), nullptr, AF_UNSPEC, cups->encryption(), 1, 30000, nullptr);
    if (!http_) throw jobError(queue, "server di stampa non raggiungibile");
    id_ = cups->createJob(http_, name.c_str(), title.c_str(), 0, nullptr);
    if (id_ == 0) {
        std::string why = lastError();
        cups->close(http_);
        http_ = nullptr;
        throw jobError(queue, why);
    }
    if (cups->startDocument(http_, name.c_str(), id_, title.c_str(), CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        std::string why = lastError();
        cancel();
        throw jobError(queue, why);
    }
}

RawJob::RawJob(RawJob&& other) noexcept
    : queue_(std::move(other.queue_)), http_(std::exchange(other.http_, nullptr)), id_(other.id_),
      finished_(std::exchange(other.finished_, true)) {}

RawJob::~RawJob() {
    if (!finished_) cancel();
}

void RawJob::write(std::string_view bytes) {
    if (finished_ || !http_) throw jobError(queue_, "lavoro già chiuso");
    if (bytes.empty()) return;
    if (library()->writeRequestData(http_, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE) {
        std::string why = lastError();
        cancel();
        throw jobError(queue_, why);
    }
}

void RawJob::finish() {
    if (finished_) return;
    finished_ = true;
    ipp_status_t status = library()->finishDocument(http_, cp1252::toUtf8(queue_).c_str());
    std::string why = lastError();
    library()->close(http_);
    http_ = nullptr;
    if (status > IPP_STATUS_OK_CONFLICTING) throw jobError(queue_, why);
}

void RawJob::cancel() noexcept {
    finished_ = true;
    if (http_) {
        library()->close(http_);
        http_ = nullptr;
    }
    if (id_ > 0) library()->cancelJob2(CUPS_HTTP_DEFAULT, cp1252::toUtf8(queue_).c_str(), id_, 0);
}

}  // namespace ov::cups
