#pragma once
// The print file and the other per-workstation files. Writers name them from the text of PCLocal,
// readers from its numeric value; names match without regard to case, so with PCLocal = 1 the
// writers' "fd1" and the readers' "FD1" are one file.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/dates.h"
#include "core/workspace.h"

namespace ov {

// The text of PCLocal, empty when it is not set.
std::string workstationText(const Workspace& ws);
// Its numeric value (the leading whole number; 0 when unset or not a number).
long long workstationNumber(const Workspace& ws);

// "fd" + the text of PCLocal: the name the report builders write.
std::string printFileWriteName(const Workspace& ws);
// "FD" + the numeric value: the name the print menu and the previews read.
std::string printFileReadName(const Workspace& ws);
// "fd" + the numeric value: the name the preview's save button writes.
std::string printFileSaveName(const Workspace& ws);
// "doc\fd" + the text of PCLocal + YYYYMMDDHHMM + ".doc": the print menu's dated copy.
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
