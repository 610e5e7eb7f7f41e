// Whether the window can open: real sockets stand for a Wayland compositor and an X server.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/display.h"
#include "support/temp_folder.h"

using namespace ov;

namespace {

// A listening socket, closed at the end of the test.
class Listener {
public:
    // A Unix socket at `path`, or in Linux's abstract namespace when `abstractName`.
    static std::optional<Listener> unixSocket(const std::string& path, bool abstractName = false) {
        Listener l(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const size_t offset = abstractName ? 1 : 0;
        std::memcpy(addr.sun_path + offset, path.data(), path.size());
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
        if (::bind(l.fd_, reinterpret_cast<sockaddr*>(&addr), length) != 0 || ::listen(l.fd_, 4) != 0) return {};
        return l;
    }
    static std::optional<Listener> tcp(int port) {
        Listener l(::socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(l.fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(l.fd_, 4) != 0) return {};
        return l;
    }
    Listener(Listener&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Listener& operator=(Listener&& o) noexcept {
        std::swap(fd_, o.fd_);
        return *this;
    }
    ~Listener() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    explicit Listener(int fd) : fd_(fd) {}
    int fd_;
};

bool available(std::map<std::string, std::string> vars) { return graphicalDisplayAvailable(MapEnvironment(vars)); }

}  // namespace

TEST(Display, NothingSetOrNothingAnsweringMeansNoDisplay) {
    EXPECT_FALSE(available({}));
    EXPECT_FALSE(available({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}));
    EXPECT_FALSE(available({{"DISPLAY", "not a display"}}));
    EXPECT_FALSE(available({{"DISPLAY", ":x"}}));
    ovtest::TempFolder runtime;
    EXPECT_FALSE(available({{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime.path().string()}}));
    // Platforms that need no display server are Qt's business.
    EXPECT_TRUE(available({{"QT_QPA_PLATFORM", "offscreen"}}));
    EXPECT_TRUE(available({{"QT_QPA_PLATFORM", "vnc:size=800x600"}}));
    EXPECT_FALSE(available({{"QT_QPA_PLATFORM", "xcb"}}));
}

TEST(Display, AWaylandSocketThatAnswersIsADisplay) {
    ovtest::TempFolder runtime;
    auto compositor = Listener::unixSocket((runtime / "wayland-ov").string());
    ASSERT_TRUE(compositor);
    EXPECT_TRUE(available({{"WAYLAND_DISPLAY", "wayland-ov"}, {"XDG_RUNTIME_DIR", runtime.path().string()}}));
    EXPECT_TRUE(available({{"WAYLAND_DISPLAY", (runtime / "wayland-ov").string()}}));
    // Asked for X11 only, the Wayland socket does not count.
    EXPECT_FALSE(available({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-ov"},
                            {"XDG_RUNTIME_DIR", runtime.path().string()}}));
}

TEST(Display, AnXServerThatAnswersLocallyOrOverTcpIsADisplay) {
    // A local X server listens on "/tmp/.X11-unix/X<n>" in the abstract namespace.
    std::optional<Listener> local;
    int number = 900;
    for (; number < 1000 && !local; ++number) local = Listener::unixSocket("/tmp/.X11-unix/X" + std::to_string(number), true);
    ASSERT_TRUE(local);
    const std::string n = std::to_string(number - 1);
    EXPECT_TRUE(available({{"DISPLAY", ":" + n}}));
    EXPECT_TRUE(available({{"DISPLAY", ":" + n + ".0"}}));
    EXPECT_TRUE(available({{"DISPLAY", "unix:" + n}}));
    EXPECT_FALSE(available({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":" + n}}));

    // A forwarded display: TCP port 6000 + n.
    std::optional<Listener> remote;
    int tcpNumber = 50;
    for (; tcpNumber < 100 && !remote; ++tcpNumber) remote = Listener::tcp(6000 + tcpNumber);
    ASSERT_TRUE(remote);
    EXPECT_TRUE(available({{"DISPLAY", "127.0.0.1:" + std::to_string(tcpNumber - 1) + ".0"}}));
}
