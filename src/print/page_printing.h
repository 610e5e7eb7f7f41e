#pragma once
// Report lines turned into printed pages, through the printer driver or straight to a raw device,
// as the destination's settings say. Two sources: the print file (print menu) and the edited lines
// of the editable preview. Both count lines per page themselves. Through the driver the font is
// made smaller when the job's lines would not fit the paper (page_fit.h), and with the option
// letter "K" the frames print as line drawing; a raw device gets the bytes unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "platform/printer.h"

namespace ov {

struct PrintFileJob {
    std::string destination;     // logical printer name of the destination list
    std::string windowsPrinter;  // the print menu's printer choice ("" for none)
    bool compressed = false;
    bool landscape = false;
    bool duplex = false;
    std::string optionLetters;   // the print menu's own copy
    int16_t hotelNumber = 1;
};

struct LinesJob {
    std::string destination;
    bool compressed = false;
    bool landscape = false;
    std::string optionLetters;
    int16_t hotelNumber = 1;
};

// "&Stampa" of the print menu: the print file ("FD" + the workstation number) on the destination.
// A destination without a printer record, or a missing print file, prints nothing. Errors of the
// databases, the printer or the device propagate after the job is abandoned and everything closed.
void printPrintFile(const Workspace& ws, const PrintFileJob& job, Printer& printer);

// "&Stampa" of the editable preview: the given lines. An empty list prints nothing.
void printLines(const Workspace& ws, const LinesJob& job, const std::vector<std::string>& lines, Printer& printer);

// "ç" toggles bold: the text between two markers is printed bold at 0.4 points less, all on one
// output line, the markers not printed. An odd count leaves bold on for the lines that follow.
// With drawFrames (frames kept by the option letter "K") the line's frame strokes print as line
// drawing (frame_strokes.h).
void StampaLaser(Printer& printer, const std::string& line, bool drawFrames = false);

}  // namespace ov
