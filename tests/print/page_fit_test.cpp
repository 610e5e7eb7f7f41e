// The font size of a driver job: the configured one while the lines fit the paper, else the
// largest that fits, in tenths of a point.
#include "print/page_fit.h"

#include <gtest/gtest.h>

using namespace ov;

namespace {

// A4 with quarter-inch margins; the print font takes the room of Courier New.
const Paper kA4{595.28, 841.89, 18, 18, 18, 18};
const FontShape kCourier{0.6, 1.1328};

PageFitRequest request(int widest, int lines, double reserved, Orientation o, double size) {
    PageFitRequest r;
    r.widestLine = widest;
    r.linesPerPage = lines;
    r.reservedHeight = reserved;
    r.paper = kA4;
    r.orientation = o;
    r.configuredSize = size;
    r.font = kCourier;
    return r;
}

}  // namespace

TEST(PageFit, SizesForTheSummaryAndForAListingOnA4) {
    struct Case {
        const char* what;
        int widest, lines;
        double reserved, configured, portrait, landscape;
    };
    // The summary: lines of 223 characters, 72 lines a page compressed (8 points) and 60 normal
    // (10 points); a page also holds the page-start line and a top margin of 2 at 8 points.
    // A listing: 60 characters, its page length plus the closing lines, only the page-start line.
    const Case cases[] = {
        {"summary, compressed", 223, 72, 27.3, 8, 4.1, 6.0},   // the width decides in both
        {"summary, normal", 223, 60, 27.3, 10, 4.1, 6.0},
        {"250 columns, compressed", 250, 72, 27.3, 8, 3.7, 5.3},
        {"250 columns, normal", 250, 60, 27.3, 10, 3.7, 5.3},
        {"listing, compressed", 60, 74, 9.2, 8, 8, 6.5},       // upright it fits; turned, the height decides
        {"listing, normal", 60, 62, 9.2, 10, 10, 7.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(FittedFontSize(request(c.widest, c.lines, c.reserved, Orientation::Portrait, c.configured)),
                         c.portrait);
        EXPECT_DOUBLE_EQ(FittedFontSize(request(c.widest, c.lines, c.reserved, Orientation::Landscape, c.configured)),
                         c.landscape);
    }
}

TEST(PageFit, NeverLargerThanConfiguredAndJustSmallEnoughToFit) {
    // A short job on a big sheet keeps its small size.
    EXPECT_DOUBLE_EQ(FittedFontSize(request(10, 5, 0, Orientation::Landscape, 6.5)), 6.5);
    // Whatever the size found, the widest line and a full page fit the printable area.
    for (int widest : {80, 137, 223, 311}) {
        for (int lines : {20, 60, 72, 99}) {
            for (Orientation o : {Orientation::Portrait, Orientation::Landscape}) {
                const double size = FittedFontSize(request(widest, lines, 9.2, o, 12));
                const PrintableArea area = printableArea(kA4, o);
                EXPECT_LE(widest * kCourier.advance * size, area.width);
                EXPECT_LE(9.2 + lines * kCourier.lineSpacing * size, area.height);
                // Just enough: a tenth of a point more would not fit.
                const double larger = size + 0.1;
                if (size < 12) {
                    EXPECT_FALSE(widest * kCourier.advance * larger <= area.width &&
                                 9.2 + lines * kCourier.lineSpacing * larger <= area.height)
                        << widest << " x " << lines << ": " << size;
                }
            }
        }
    }
}

TEST(PageFit, NoPageLengthFitsOnlyTheWidthAndMarginsTurnWithTheSheet) {
    // Pages that end only by form feed: only the width counts.
    EXPECT_DOUBLE_EQ(FittedFontSize(request(60, 0, 0, Orientation::Landscape, 10)), 10);
    // Margins of 10 left, 20 top, 30 right, 40 bottom: turned, top and bottom narrow the line.
    const Paper odd{500, 800, 10, 20, 30, 40};
    EXPECT_DOUBLE_EQ(printableArea(odd, Orientation::Portrait).width, 460);
    EXPECT_DOUBLE_EQ(printableArea(odd, Orientation::Portrait).height, 740);
    EXPECT_DOUBLE_EQ(printableArea(odd, Orientation::Landscape).width, 740);
    EXPECT_DOUBLE_EQ(printableArea(odd, Orientation::Landscape).height, 460);
}
