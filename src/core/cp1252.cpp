#include "core/cp1252.h"

#include <array>

namespace ov::cp1252 {
namespace {

// Bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CaseTables {
    std::array<unsigned char, 256> up{};
    std::array<unsigned char, 256> low{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) up[i] = low[i] = static_cast<unsigned char>(i);
        for (int c = 'a'; c <= 'z'; ++c) {
            up[c] = static_cast<unsigned char>(c - 32);
            low[c - 32] = static_cast<unsigned char>(c);
        }
        // Latin-1 letters: 0xE0-0xFE map to 0xC0-0xDE, except the division sign 0xF7.
        for (int c = 0xE0; c <= 0xFE; ++c) {
            if (c == 0xF7) continue;
            up[c] = static_cast<unsigned char>(c - 32);
            low[c - 32] = static_cast<unsigned char>(c);
        }
        up[0x9A] = 0x8A; low[0x8A] = 0x9A;  // š Š
        up[0x9C] = 0x8C; low[0x8C] = 0x9C;  // œ Œ
        up[0x9E] = 0x8E; low[0x8E] = 0x9E;  // ž Ž
        up[0xFF] = 0x9F; low[0x9F] = 0xFF;  // ÿ Ÿ
    }
};

const CaseTables& cases() {
    static const CaseTables t;
    return t;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t toUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

char fromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

std::string toUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char c : text) appendUtf8(out, toUnicode(c));
    return out;
}

std::string fromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else { out += '?'; ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) { out += '?'; ++i; continue; }
        out += fromUnicode(cp);
        i += extra + 1;
    }
    return out;
}

unsigned char upper(unsigned char c) { return cases().up[c]; }
unsigned char lower(unsigned char c) { return cases().low[c]; }

std::string toUpper(std::string_view text) {
    std::string out;
    toUpper(text, out);
    return out;
}

void toUpper(std::string_view text, std::string& out) {
    const auto& up = cases().up;
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(up[static_cast<unsigned char>(text[i])]);
}

int compareNoCase(std::string_view a, std::string_view b) {
    const auto& up = cases().up;
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = up[static_cast<unsigned char>(a[i])];
        unsigned char y = up[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string_view trimLeft(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    return t.substr(i);
}

std::string_view trimRight(std::string_view t) {
    size_t n = t.size();
    while (n > 0 && t[n - 1] == ' ') --n;
    return t.substr(0, n);
}

std::string_view trim(std::string_view t) { return trimRight(trimLeft(t)); }

}  // namespace ov::cp1252
