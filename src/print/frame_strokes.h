#pragma once
// Report lines keep their frames as bytes of the old DOS code page, and the same bytes are letters
// in code page 1252 (192 "À", 200 "È", 217 "Ù"; 180 the "´" that stands for an apostrophe). Where
// a byte stands decides what it is:
// - a frame line (the box's top, its rules and its bottom) holds only frame codes and blanks,
//   with at least one horizontal stroke, and its strokes join their neighbours: every frame code
//   in it is a stroke;
// - a framed row begins, after any blanks, with the vertical rule (179): its vertical rules are
//   strokes, every other byte is text, so headings, names and notes keep their letters;
// - any other line is text.
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace ov {

// One flag per byte of the line: true where the byte is a frame stroke.
std::vector<bool> FrameStrokes(std::string_view line);

// Prints a piece of a line that starts at `offset` of the line whose strokes are given: the
// strokes with line drawing on, the rest as code page 1252; line drawing is off afterwards.
void PrintWithStrokes(Printer& printer, std::string_view piece, const std::vector<bool>& strokes, size_t offset,
                      bool endLine);

// A report line for a terminal, in UTF-8: the strokes as line-drawing characters, the rest as
// the code page 1252 characters.
std::string TerminalLine(std::string_view line);

}  // namespace ov
