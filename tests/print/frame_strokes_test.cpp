// Which bytes of a report line are frame strokes: decided by where they stand, so the accented
// capitals that share their codes with frame corners stay letters.
#include "print/frame_strokes.h"

#include <gtest/gtest.h>

#include "platform/recording_printer.h"

using namespace ov;

namespace {

// "x" for a stroke, "." for text, one per byte.
std::string marks(const std::string& line) {
    std::string m;
    for (bool s : FrameStrokes(line)) m += s ? 'x' : '.';
    return m;
}

}  // namespace

TEST(FrameStrokes, FrameLinesAndRulesAreStrokesLettersAreText) {
    struct Case {
        const char* what;
        std::string line, strokes, terminal;
    };
    const Case cases[] = {
        {"top of the box", "\xDA\xC4\xC2\xC4\xBF", "xxxxx", "┌─┬─┐"},
        {"rule with blanks", "\xB3  \xC3\xC4\xC5\xC4\xB4   \xB3", "x..xxxxx...x", "│  ├─┼─┤   │"},
        {"bottom", "\xC0\xC4\xC1\xC4\xD9", "xxxxx", "└─┴─┘"},
        {"heading row with an accented capital", "\xB3" "BAR-CAFF\xC8\xB3", "x.........x", "│BAR-CAFFÈ│"},
        {"data row: capitals that are corners in the DOS code page", "\xB3\xC0\xD9\xDA\xC4\xC2\xB3",
         "x.....x", "│ÀÙÚÄÂ│"},
        {"an apostrophe written as the acute accent", "  \xB3" "D\xB4" "ANGELO\xB3", "..x........x", "  │D´ANGELO│"},
        {"text outside the box", "Nota: \xC0 \xB3 \xC4\xC4", "............", "Nota: À ³ ÄÄ"},
        {"capitals alone that do not join up", "\xC0\xD9\xDA\xC4\xC2", ".....", "ÀÙÚÄÂ"},
        {"vertical rules alone are no frame line", "\xC0\xD9 \xC0", "....", "ÀÙ À"},
        {"a frame line needs its horizontal stroke", "\xB3  \xB3", "x..x", "│  │"},
        {"empty line", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(marks(c.line), c.strokes);
        EXPECT_EQ(TerminalLine(c.line), c.terminal);
    }
}

TEST(FrameStrokes, PiecesPrintWithLineDrawingOnlyOnTheirStrokes) {
    const std::string line = "\xB3" "CAFF\xC8 \xC0\xB3";
    const std::vector<bool> strokes = FrameStrokes(line);
    RecordingPrinter printer;
    // The line printed in two pieces, as a bold marker splits it: the second starts at byte 5.
    PrintWithStrokes(printer, line.substr(0, 5), strokes, 0, false);
    PrintWithStrokes(printer, line.substr(5), strokes, 5, true);
    const PrintedLine printed = printer.jobs().at(0).pages.at(0).lines.at(0);
    EXPECT_EQ(printed.text(), line);
    EXPECT_EQ(printed.shown(), "│CAFFÈ À│");
    EXPECT_EQ(printer.calls(), (std::vector<std::string>{"linedrawing on", "print '\xB3' noend", "linedrawing off",
                                                          "print 'CAFF' noend", "print '\xC8 \xC0' noend",
                                                          "linedrawing on", "print '\xB3'", "linedrawing off"}));
    EXPECT_FALSE(printer.lineDrawing());
}
