#pragma once
// Where a raw print job goes (raw device mode): the bytes travel unchanged, for the printer's own
// character set and control codes. The device text is what the site configures:
// - the name of a print queue of the system (CUPS, any letter case): a raw job on that queue;
// - a device path such as /dev/usb/lp0, a file path (relative names start at the working folder
//   and match any letter case) or a mounted shared path: that file, opened for output.
// Closed when the object goes; a queue's job not closed is cancelled.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/workspace.h"

namespace ov {

namespace cups {
class RawJob;
}

class RawDevice {
public:
    // Error 68 naming the device, and listing the system's queues, when it cannot be opened: a
    // missing device or folder, a folder, a port name of another system ("LPT1", "PRN", "COM2"),
    // a name with characters no file name of that system holds ("<nessuna stampante>"). Nothing
    // is left open then.
    static RawDevice open(const Workspace& ws, const std::string& device);
    // The path a device text names as a file; empty for the names open() refuses. "NUL" discards.
    static std::filesystem::path resolve(const Workspace& ws, const std::string& device);

    RawDevice(RawDevice&& other) noexcept;
    RawDevice& operator=(RawDevice&& other) noexcept;
    RawDevice(const RawDevice&) = delete;
    RawDevice& operator=(const RawDevice&) = delete;
    ~RawDevice();

    // Bytes exactly as given; error 68 naming the device when the device refuses them.
    void write(std::string_view bytes);
    // Ends the output: a queue's job is handed over for printing (error 68 when the queue refuses it).
    void close();
    const std::string& name() const { return name_; }

private:
    RawDevice(int fd, std::string name);
    RawDevice(std::unique_ptr<cups::RawJob> job, std::string name);
    void closeQuietly() noexcept;

    int fd_ = -1;
    std::unique_ptr<cups::RawJob> job_;
    std::string name_;
};

}  // namespace ov
