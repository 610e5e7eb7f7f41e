#include "jet_text.h"

#include "core/cp1252.h"

namespace mdbread {
namespace {

char toCodePage(char32_t cp) {
    // U+0080..U+009F are control characters, not the code page's 0x80..0x9F letters.
    if (cp >= 0x80 && cp < 0xA0) return '?';
    return ov::cp1252::fromUnicode(cp);
}

// Appends UTF-16LE code units; a surrogate pair is one character, hence one '?'.
void appendUtf16(std::string& out, const unsigned char* p, size_t size) {
    for (size_t i = 0; i + 1 < size; i += 2) {
        char32_t unit = static_cast<char32_t>(p[i] | (p[i + 1] << 8));
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
            char32_t next = static_cast<char32_t>(p[i + 2] | (p[i + 3] << 8));
            if (next >= 0xDC00 && next < 0xE000) i += 2;
            out += '?';
            continue;
        }
        out += toCodePage(unit);
    }
}

}  // namespace

void appendJet4Text(std::string& out, const unsigned char* p, size_t size) {
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        out.reserve(out.size() + size);
        bool compressed = true;
        size_t runStart = 2;
        // A zero byte ends a run in either mode, as the engine writes them.
        for (size_t i = 2; i <= size; ++i) {
            if (i < size && p[i] != 0) continue;
            if (compressed) {
                // Most runs are plain ASCII, which stays as it is.
                size_t k = runStart;
                while (k < i && p[k] < 0x80) ++k;
                out.append(reinterpret_cast<const char*>(p + runStart), k - runStart);
                for (; k < i; ++k) out += toCodePage(p[k]);
            } else {
                appendUtf16(out, p + runStart, i - runStart);
            }
            compressed = !compressed;
            runStart = i + 1;
        }
        return;
    }
    out.reserve(out.size() + size / 2);
    appendUtf16(out, p, size);
}

std::string jet4Text(const unsigned char* p, size_t size) {
    std::string out;
    appendJet4Text(out, p, size);
    return out;
}

std::string jet3Text(const unsigned char* p, size_t size) {
    return std::string(reinterpret_cast<const char*>(p), size);
}

}  // namespace mdbread
