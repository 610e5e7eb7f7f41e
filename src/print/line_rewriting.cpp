#include "print/line_rewriting.h"

namespace ov {

namespace {

// The first rule that fits decides: the accented letters come before the frame codes, so 192, 200,
// 201, 204 and 217 become letters although they are frame corners in the DOS code page.
unsigned char rewrite(unsigned char c, bool acuteToApostrophe) {
    switch (c) {
        case 180:
            return acuteToApostrophe ? '\'' : '|';
        case 192: return 0xE0;  // à
        case 200: return 0xE8;  // è
        case 201: return 0xE9;  // é
        case 204: return 0xEC;  // ì
        case 217: return 0xF9;  // ù
        case 210: return 0xF2;  // ò
        case 187: case 188: case 191: case 193: case 194: case 196:
        case 197: case 202: case 203: case 206: case 218:
            return '-';
        case 179: case 183: case 186: case 195:
            return '|';
        default:
            return c;
    }
}

std::string& rewriteLine(std::string& line, bool acuteToApostrophe) {
    for (char& ch : line) ch = static_cast<char>(rewrite(static_cast<unsigned char>(ch), acuteToApostrophe));
    return line;
}

}  // namespace

std::string& ConvertLineChars(std::string& line) { return rewriteLine(line, false); }

std::string& Converti2(std::string& line) { return rewriteLine(line, true); }

}  // namespace ov
