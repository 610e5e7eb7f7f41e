#pragma once
// The system's print queues through libcups: the list of queues, the default queue, and raw jobs
// (bytes sent to a queue unfiltered, for printers that take the program's own control codes).
// The server is libcups' own choice: CUPS_SERVER, the user's and the system's client settings.
// Names are code page 1252, as every text of the program.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _http_s http_t;

namespace ov::cups {

// Every queue the server offers, in its order; empty when there is no server.
std::vector<std::string> queueNames();
// The default queue; empty when none is set or there is no server.
std::string defaultQueue();
// The queue the name stands for: CUPS compares queue names without regard to case.
std::optional<std::string> findQueue(std::string_view name);
// "PDF, Ufficio" for messages (UTF-8), or a sentence saying there is none.
std::string describeQueues();

// One raw job on a queue: created when opened, its bytes streamed as they come, queued for
// printing by finish(). A job not finished is cancelled when the object goes. Failures are
// error 68 naming the queue.
class RawJob {
public:
    RawJob(const std::string& queue, const std::string& title);
    RawJob(RawJob&& other) noexcept;
    RawJob& operator=(RawJob&&) = delete;
    RawJob(const RawJob&) = delete;
    RawJob& operator=(const RawJob&) = delete;
    ~RawJob();

    void write(std::string_view bytes);
    void finish();
    int id() const { return id_; }

private:
    void cancel() noexcept;

    std::string queue_;
    http_t* http_ = nullptr;
    int id_ = 0;
    bool finished_ = false;
};

}  // namespace ov::cups
