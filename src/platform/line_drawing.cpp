#include "platform/line_drawing.h"

#include "core/cp1252.h"

namespace ov {

bool isFrameCode(unsigned char code) {
    switch (code) {
        case 179: case 180: case 191: case 192: case 193: case 194:
        case 195: case 196: case 197: case 217: case 218:
            return true;
        default:
            return false;
    }
}

char32_t lineDrawingCharacter(unsigned char code) {
    switch (code) {
        case 179: return U'\u2502';  // │
        case 180: return U'\u2524';  // ┤
        case 191: return U'\u2510';  // ┐
        case 192: return U'\u2514';  // └
        case 193: return U'\u2534';  // ┴
        case 194: return U'\u252C';  // ┬
        case 195: return U'\u251C';  // ├
        case 196: return U'\u2500';  // ─
        case 197: return U'\u253C';  // ┼
        case 217: return U'\u2518';  // ┘
        case 218: return U'\u250C';  // ┌
        default: return cp1252::toUnicode(code);
    }
}

}  // namespace ov
