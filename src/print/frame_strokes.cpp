#include "print/frame_strokes.h"

#include "core/cp1252.h"
#include "platform/line_drawing.h"

namespace ov {

namespace {

constexpr unsigned char kVerticalRule = 179;
constexpr unsigned char kHorizontalRule = 196;

// Whether a frame code's stroke reaches the left or the right edge of its cell.
bool reachesLeft(unsigned char c) {
    return c == 180 || c == 191 || c == 193 || c == 194 || c == 196 || c == 197 || c == 217;
}
bool reachesRight(unsigned char c) {
    return c == 192 || c == 193 || c == 194 || c == 195 || c == 196 || c == 197 || c == 218;
}

// Only frame codes and blanks, a horizontal stroke among them, and strokes that join: one that
// reaches the right edge of its cell meets one that reaches the left edge of the next, and the
// other way round (a blank or the end of the line reaches nothing). A row of capitals such as
// "ÀÙÚÄÂ" (└┘┌─┬) does not join up.
bool isFrameLine(std::string_view line) {
    auto at = [&](size_t i) { return i < line.size() ? static_cast<unsigned char>(line[i]) : ' '; };
    bool horizontal = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = at(i);
        if (c == ' ') continue;
        if (!isFrameCode(c)) return false;
        horizontal = horizontal || c == kHorizontalRule;
        if (reachesRight(c) != reachesLeft(at(i + 1))) return false;
        if (reachesLeft(c) != (i > 0 && reachesRight(at(i - 1)))) return false;
    }
    return horizontal;
}

bool isFramedRow(std::string_view line) {
    std::string_view rest = cp1252::trimLeft(line);
    return !rest.empty() && static_cast<unsigned char>(rest.front()) == kVerticalRule;
}

}  // namespace

std::vector<bool> FrameStrokes(std::string_view line) {
    std::vector<bool> strokes(line.size(), false);
    if (isFrameLine(line)) {
        for (size_t i = 0; i < line.size(); ++i) strokes[i] = isFrameCode(static_cast<unsigned char>(line[i]));
    } else if (isFramedRow(line)) {
        for (size_t i = 0; i < line.size(); ++i) strokes[i] = static_cast<unsigned char>(line[i]) == kVerticalRule;
    }
    return strokes;
}

void PrintWithStrokes(Printer& printer, std::string_view piece, const std::vector<bool>& strokes, size_t offset,
                      bool endLine) {
    auto isStroke = [&](size_t i) { return offset + i < strokes.size() && strokes[offset + i]; };
    size_t start = 0;
    bool switched = false;
    while (start < piece.size()) {
        const bool stroke = isStroke(start);
        size_t end = start + 1;
        while (end < piece.size() && isStroke(end) == stroke) ++end;
        if (stroke != printer.lineDrawing()) {
            printer.setLineDrawing(stroke);
            switched = true;
        }
        printer.print(std::string(piece.substr(start, end - start)), endLine && end == piece.size());
        start = end;
    }
    if (piece.empty()) printer.print(std::string(), endLine);
    if (switched && printer.lineDrawing()) printer.setLineDrawing(false);
}

std::string TerminalLine(std::string_view line) {
    const std::vector<bool> strokes = FrameStrokes(line);
    std::string out;
    out.reserve(line.size() + line.size() / 2);
    for (size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        cp1252::appendUtf8(out, strokes[i] ? lineDrawingCharacter(c) : cp1252::toUnicode(c));
    }
    return out;
}

}  // namespace ov
