#pragma once
// Text inside the program is code page 1252 bytes, as the suite's files and the reports hold it.
// These functions convert at the edges (windows, terminal, Jet reader) and compare text the way
// the database engine does: without regard to case.
#include <string>
#include <string_view>

namespace ov::cp1252 {

// Unicode code point of one byte (the five unassigned bytes map to themselves).
char32_t toUnicode(unsigned char byte);
// The byte for a code point, or '?' when code page 1252 lacks it.
char fromUnicode(char32_t cp);

std::string toUtf8(std::string_view text);
// Appends one code point encoded as UTF-8.
void appendUtf8(std::string& out, char32_t cp);
// Invalid UTF-8 sequences and characters outside the code page become '?'.
std::string fromUtf8(std::string_view utf8);

unsigned char upper(unsigned char c);
unsigned char lower(unsigned char c);
std::string toUpper(std::string_view text);
// The same into `out` (overwritten; its storage reused).
void toUpper(std::string_view text, std::string& out);

// Case-insensitive comparison of two code-page texts: <0, 0, >0.
int compareNoCase(std::string_view a, std::string_view b);
inline bool equalNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && compareNoCase(a, b) == 0; }

// Blanks trimmed (only ' ', as the original's Trim does).
std::string_view trim(std::string_view text);
std::string_view trimLeft(std::string_view text);
std::string_view trimRight(std::string_view text);

}  // namespace ov::cp1252
