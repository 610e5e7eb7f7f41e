#pragma once
// The frame codes of the old DOS code page that the reports draw their boxes with, and the
// line-drawing characters they stand for. In code page 1252 the same bytes are letters and signs
// (192 "À", 217 "Ù", 180 "´"): whether a byte is a frame is for the caller to decide from where
// it stands.
namespace ov {

// 179 │, 180 ┤, 191 ┐, 192 └, 193 ┴, 194 ┬, 195 ├, 196 ─, 197 ┼, 217 ┘, 218 ┌.
bool isFrameCode(unsigned char code);
// The line-drawing character of a frame code; the code page 1252 character for any other byte.
char32_t lineDrawingCharacter(unsigned char code);

}  // namespace ov
