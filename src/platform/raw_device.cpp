#include "platform/raw_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/cp1252.h"
#include "core/error.h"
#include "platform/cups_queues.h"

namespace fs = std::filesystem;

namespace ov {

namespace {

// Port names that the system the suite runs on opens as devices; here there is no such port.
bool isForeignPortName(std::string_view device) {
    std::string name = cp1252::toUpper(cp1252::trim(device));
    if (!name.empty() && name.back() == ':') name.pop_back();
    if (name == "PRN" || name == "AUX" || name == "CON") return true;
    if (name.size() == 4 && (name.rfind("LPT", 0) == 0 || name.rfind("COM", 0) == 0) && name[3] >= '1' &&
        name[3] <= '9')
        return true;
    return false;
}

// Characters no file or port name of the suite's system can hold, as in the choice "<nessuna stampante>".
bool hasInvalidCharacters(std::string_view device) {
    return device.find_first_of("<>\"|?*") != std::string_view::npos;
}

bool isNul(std::string_view device) {
    std::string name = cp1252::toUpper(cp1252::trim(device));
    return name == "NUL" || name == "NUL:";
}

Error unavailable(const std::string& device, const std::string& why) {
    return Error(err::Device, "Periferica non disponibile: impossibile stampare su '" + cp1252::toUtf8(device) +
                                  "' (" + why + ").");
}

// A name that is no path of this system: the user meant a printer, so the message lists the ones there are.
Error noSuchPrinter(const std::string& device, const std::string& why) {
    Error e = unavailable(device, why);
    return Error(err::Device, e.message() + " " + cups::describeQueues());
}

// A text with a folder separator names a file or device node, never a queue.
bool isPath(std::string_view device) { return device.find_first_of("/\\") != std::string_view::npos; }

std::string reason(int e) {
    switch (e) {
        case ENOENT: return "percorso inesistente";
        case EACCES:
        case EPERM: return "accesso negato";
        case EISDIR: return "è una cartella";
        case EBUSY: return "periferica occupata";
        case ENOSPC: return "spazio esaurito";
        case ENXIO:
        case ENODEV: return "periferica assente";
        case EROFS: return "sola lettura";
        default: return std::strerror(e);
    }
}

}  // namespace

fs::path RawDevice::resolve(const Workspace& ws, const std::string& device) {
    if (isNul(device)) return "/dev/null";
    if (device.empty() || isForeignPortName(device) || hasInvalidCharacters(device)) return {};
    return ws.pathFor(device);
}

RawDevice RawDevice::open(const Workspace& ws, const std::string& device) {
    if (!isNul(device) && !isPath(device)) {
        if (auto queue = cups::findQueue(cp1252::trim(device)))
            return RawDevice(std::make_unique<cups::RawJob>(*queue, "ovdesk"), device);
    }
    fs::path path = resolve(ws, device);
    if (path.empty())
        throw noSuchPrinter(device, device.empty()                   ? "nessuna periferica indicata"
                                    : hasInvalidCharacters(device) ? "nome non valido"
                                                                   : "porta assente su questo sistema");
    // Only an existing device is opened under /dev: a missing printer must not become a plain file there.
    int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
    struct stat st{};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw unavailable(device, reason(EISDIR));
    if (!exists) {
        if (path.lexically_normal().string().rfind("/dev/", 0) == 0) throw unavailable(device, reason(ENOENT));
        flags |= O_CREAT;
    }
    if (!exists || S_ISREG(st.st_mode)) flags |= O_TRUNC;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) throw unavailable(device, reason(errno));
    return RawDevice(fd, device);
}

RawDevice::RawDevice(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

RawDevice::RawDevice(std::unique_ptr<cups::RawJob> job, std::string name) : job_(std::move(job)), name_(std::move(name)) {}

RawDevice::RawDevice(RawDevice&& other) noexcept
    : fd_(other.fd_), job_(std::move(other.job_)), name_(std::move(other.name_)) {
    other.fd_ = -1;
}

RawDevice& RawDevice::operator=(RawDevice&& other) noexcept {
    if (this != &other) {
        closeQuietly();
        fd_ = other.fd_;
        job_ = std::move(other.job_);
        name_ = std::move(other.name_);
        other.fd_ = -1;
    }
    return *this;
}

// A queue's job that was not closed is cancelled with it: a failed print leaves nothing half printed.
RawDevice::~RawDevice() { closeQuietly(); }

void RawDevice::closeQuietly() noexcept {
    job_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void RawDevice::write(std::string_view bytes) {
    if (job_) {
        job_->write(bytes);
        return;
    }
    if (fd_ < 0) throw unavailable(name_, "periferica chiusa");
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw unavailable(name_, reason(errno));
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void RawDevice::close() {
    if (job_) {
        std::unique_ptr<cups::RawJob> job = std::move(job_);
        job->finish();
    }
    closeQuietly();
}

}  // namespace ov
