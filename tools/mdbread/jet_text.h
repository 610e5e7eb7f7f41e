#pragma once
// Text values as the file stores them, turned into code page 1252 bytes.
#include <cstddef>
#include <string>

namespace mdbread {

// Jet 4 text: UTF-16LE, or "compressed" (0xFF 0xFE, then runs of one-byte characters and of
// UTF-16 pairs, a zero byte switching between the two). Characters the code page lacks,
// C1 controls included, become '?'.
std::string jet4Text(const unsigned char* bytes, size_t size);
// The same, appended to `out`.
void appendJet4Text(std::string& out, const unsigned char* bytes, size_t size);
// Jet 3 text is already single-byte in the file's code page.
std::string jet3Text(const unsigned char* bytes, size_t size);

}  // namespace mdbread
