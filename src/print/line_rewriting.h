#pragma once
// Lines rewritten for printers and text boxes, one byte for one byte (the length never changes):
// upper-case accented vowels become lower-case ones, the old DOS frame codes become "-" or "|".
#include <string>

namespace ov {

// Used by the previews and by every print to a raw device. Rewrites the line in place and returns it.
std::string& ConvertLineChars(std::string& line);
// The print menu's variant for the printer driver: the acute accent (180) becomes an apostrophe
// instead of "|".
std::string& Converti2(std::string& line);

// Copies, for callers that keep the original.
inline std::string convertLineChars(std::string line) { return ConvertLineChars(line); }
inline std::string converti2(std::string line) { return Converti2(line); }

}  // namespace ov
