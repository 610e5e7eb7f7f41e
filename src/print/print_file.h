#pragma once
// The print file: its dated copy and a reader that pages through it. The per-workstation names
// come from state/workstation.h.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/dates.h"
#include "core/workspace.h"
#include "state/workstation.h"

namespace ov {

// "doc\fd" + the workstation number + YYYYMMDDHHMM + ".doc": the print menu's dated copy.
std::string documentCopyName(const Workspace& ws, const DateTime& when);

// Reads a text file line by line, keeping its place (the preview pages through it): a line ends at CR LF, CR or LF; a last line without an end still
// counts, an empty file has no lines.
class LineReader {
public:
    // Error 53 naming the file when it cannot be opened.
    explicit LineReader(const std::filesystem::path& path);

    bool atEnd();
    std::string readLine();
    // Bytes of the file consumed so far.
    uint64_t offset() const { return offset_; }
    // Back to the given byte offset of the file.
    void seek(uint64_t offset);

private:
    std::filebuf buf_;
    uint64_t offset_ = 0;
};

}  // namespace ov
