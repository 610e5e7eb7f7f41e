#include "print/print_file.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/error.h"

namespace ov {

std::string documentCopyName(const Workspace& ws, const DateTime& when) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d", when.date.year, when.date.month, when.date.day,
                  when.hour, when.minute);
    return "doc\\fd" + workstationText(ws) + stamp + ".doc";
}

LineReader::LineReader(const std::filesystem::path& path) {
    if (!buf_.open(path, std::ios::in | std::ios::binary))
        throw Error(err::FileIo, "Impossibile aprire il file '" + path.filename().string() + "'.");
}

bool LineReader::atEnd() { return buf_.sgetc() == std::char_traits<char>::eof(); }

std::string LineReader::readLine() {
    using traits = std::char_traits<char>;
    std::string line;
    for (;;) {
        int c = buf_.sbumpc();
        if (c == traits::eof()) break;
        ++offset_;
        if (c == '\n') break;
        if (c == '\r') {
            if (buf_.sgetc() == '\n') {
                buf_.sbumpc();
                ++offset_;
            }
            break;
        }
        line += static_cast<char>(c);
    }
    return line;
}

void LineReader::seek(uint64_t offset) {
    buf_.pubseekpos(static_cast<std::streamoff>(offset), std::ios::in);
    offset_ = offset;
}

}  // namespace ov
