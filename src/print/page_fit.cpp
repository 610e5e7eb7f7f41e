#include "print/page_fit.h"

#include <algorithm>
#include <cmath>

namespace ov {

PrintableArea printableArea(const Paper& paper, Orientation orientation) {
    const double width = paper.width - paper.left - paper.right;
    const double height = paper.height - paper.top - paper.bottom;
    // Turned on its side, the sheet's height becomes the width of a line.
    if (orientation == Orientation::Landscape) return {height, width};
    return {width, height};
}

double FittedFontSize(const PageFitRequest& r) {
    if (r.configuredSize <= 0) return r.configuredSize;
    const PrintableArea area = printableArea(r.paper, r.orientation);
    double largest = r.configuredSize;
    if (r.widestLine > 0 && r.font.advance > 0) largest = std::min(largest, area.width / (r.widestLine * r.font.advance));
    if (r.linesPerPage > 0 && r.font.lineSpacing > 0)
        largest = std::min(largest, (area.height - r.reservedHeight) / (r.linesPerPage * r.font.lineSpacing));
    if (largest >= r.configuredSize) return r.configuredSize;
    // Down to the tenth of a point, so the rounding never makes the lines overrun; a point at least.
    return std::max(1.0, std::floor(largest * 10 + 1e-9) / 10);
}

}  // namespace ov
