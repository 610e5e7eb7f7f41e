#include "stream_writer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace mdbread {

void StreamWriter::f64(double v) {
    uint64_t bits;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    le(bits, 8);
}

void StreamWriter::str16(std::string_view s) {
    if (s.size() > 0xFFFF) s = s.substr(0, 0xFFFF);
    u16(static_cast<uint16_t>(s.size()));
    buf_.append(s);
}

void StreamWriter::str32(std::string_view s) {
    u32(static_cast<uint32_t>(s.size()));
    buf_.append(s);
}

void StreamWriter::flush() {
    if (fd_ < 0) return;
    const char* p = buf_.data();
    size_t left = buf_.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            // The reader went away: nobody wants the rest.
            std::_Exit(5);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    buf_.clear();
}

}  // namespace mdbread
