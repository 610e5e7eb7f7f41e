#include "platform/display.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace ov {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// A Unix socket that accepts a connection; `abstractName` uses Linux's abstract namespace.
bool unixSocketAnswers(const std::string& path, bool abstractName = false) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const size_t offset = abstractName ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path + offset, path.data(), path.size());
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), length) == 0;
    ::close(fd);
    return ok;
}

// A TCP port that accepts a connection within two seconds.
bool tcpPortAnswers(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            ok = true;
        } else if (errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int error = 0;
            socklen_t size = sizeof error;
            ok = ::poll(&p, 1, 2000) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

// DISPLAY is [host]:number[.screen]; no host (or "unix") means the local socket.
bool x11Answers(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number.size() > 4)
        return false;
    if (startsWith(host, "/")) return unixSocketAnswers(display);  // a socket path given whole
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + number;
        return unixSocketAnswers(socket, true) || unixSocketAnswers(socket);
    }
    return tcpPortAnswers(host, 6000 + std::stoi(number));
}

bool waylandAnswers(const Environment& env) {
    const std::string name = env.get("WAYLAND_DISPLAY").value_or("");
    if (name.empty()) return false;
    if (startsWith(name, "/")) return unixSocketAnswers(name);
    const std::string runtime = env.get("XDG_RUNTIME_DIR").value_or("");
    return !runtime.empty() && unixSocketAnswers(runtime + "/" + name);
}

}  // namespace

bool graphicalDisplayAvailable(const Environment& env) {
    std::string platform = env.get("QT_QPA_PLATFORM").value_or("");
    platform = platform.substr(0, platform.find_first_of(";:"));
    const bool wantsWayland = startsWith(platform, "wayland");
    const bool wantsX11 = platform == "xcb";
    if (!platform.empty() && !wantsWayland && !wantsX11) return true;
    if (!wantsX11 && waylandAnswers(env)) return true;
    return !wantsWayland && x11Answers(env.get("DISPLAY").value_or(""));
}

}  // namespace ov
