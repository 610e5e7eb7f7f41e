#pragma once
// A printer port, a printer device or a file opened for output, for printing bytes straight to it
// (raw device mode). The device text is what the site configures: a device path such as
// /dev/usb/lp0, a file path (relative names start at the working folder and match any letter case)
// or a shared printer path. Closed when the object goes.
#include <filesystem>
#include <string>
#include <string_view>

#include "core/workspace.h"

namespace ov {

class RawDevice {
public:
    // Error 68 naming the device when it cannot be opened: a missing device or folder, a folder,
    // a port name of another system ("LPT1", "PRN", "COM2"), a name with characters no file name of
    // that system holds ("<nessuna stampante>"). Nothing is left open then.
    static RawDevice open(const Workspace& ws, const std::string& device);
    // The path a device text names; empty for the names open() refuses. "NUL" discards.
    static std::filesystem::path resolve(const Workspace& ws, const std::string& device);

    RawDevice(RawDevice&& other) noexcept;
    RawDevice& operator=(RawDevice&& other) noexcept;
    RawDevice(const RawDevice&) = delete;
    RawDevice& operator=(const RawDevice&) = delete;
    ~RawDevice();

    // Bytes exactly as given; error 68 naming the device when the device refuses them.
    void write(std::string_view bytes);
    void close();
    const std::string& name() const { return name_; }

private:
    RawDevice(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    int fd_ = -1;
    std::string name_;
};

}  // namespace ov
