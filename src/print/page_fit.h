#pragma once
// The font size a driver job prints with: the configured size when the job's lines fit the
// printable area of the paper, otherwise the largest size, in tenths of a point, at which the
// widest line fits the width and a full page fits the height. Never larger than configured: a
// report is never cut at the edge, nor broken into pages by the driver behind the program's back.
#include "platform/printer.h"

namespace ov {

struct PageFitRequest {
    int widestLine = 0;         // characters of the widest line the job prints
    int linesPerPage = 0;       // lines of the print font a full page holds; 0 when pages only end by form feed
    double reservedHeight = 0;  // points of every page taken by lines in other fonts or sizes
    Paper paper;                // the sheet standing upright
    Orientation orientation = Orientation::Portrait;
    double configuredSize = 0;  // points
    FontShape font;             // the print font at 1 point
};

// Width and height of the printable area with the sheet turned as the job turns it.
struct PrintableArea {
    double width = 0, height = 0;
};
PrintableArea printableArea(const Paper& paper, Orientation orientation);

double FittedFontSize(const PageFitRequest& request);

}  // namespace ov
