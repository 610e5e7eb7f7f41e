#include "platform/cups_queues.h"

#include <cups/cups.h>

#include <utility>

#include "core/cp1252.h"
#include "core/error.h"

namespace ov::cups {

namespace {

// The destinations of the server, freed when the list goes.
class Dests {
public:
    Dests() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
    ~Dests() { cupsFreeDests(count_, dests_); }
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

std::string lastError() { return cupsLastErrorString() ? cupsLastErrorString() : "errore sconosciuto"; }

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
    // A connection of its own: the document streams over it while other calls use the default one.
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (!http_) throw jobError(queue, "server di stampa non raggiungibile");
    id_ = cupsCreateJob(http_, name.c_str(), title.c_str(), 0, nullptr);
    if (id_ == 0) {
        std::string why = lastError();
        httpClose(http_);
        http_ = nullptr;
        throw jobError(queue, why);
    }
    if (cupsStartDocument(http_, name.c_str(), id_, title.c_str(), CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
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
    if (cupsWriteRequestData(http_, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE) {
        std::string why = lastError();
        cancel();
        throw jobError(queue_, why);
    }
}

void RawJob::finish() {
    if (finished_) return;
    finished_ = true;
    ipp_status_t status = cupsFinishDocument(http_, cp1252::toUtf8(queue_).c_str());
    std::string why = lastError();
    httpClose(http_);
    http_ = nullptr;
    if (status > IPP_STATUS_OK_CONFLICTING) throw jobError(queue_, why);
}

void RawJob::cancel() noexcept {
    finished_ = true;
    if (http_) {
        httpClose(http_);
        http_ = nullptr;
    }
    if (id_ > 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, cp1252::toUtf8(queue_).c_str(), id_, 0);
}

}  // namespace ov::cups
