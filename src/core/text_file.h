#pragma once
// Text files of the working folder as the suite writes them: code page 1252 bytes, lines ended
// by CR LF.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace ov {

class ReplacedFile;

class LineWriter {
public:
    // Replace writes beside the file and takes its place on close() (core/replaced_file.h): a
    // writer dropped before close() leaves the earlier file as it was. Append adds to the file.
    enum class Mode { Replace, Append };
    // Error 75 naming the file when it cannot be opened.
    LineWriter(const std::filesystem::path& path, Mode mode = Mode::Replace);
    void line(const std::string& text);
    // Flushes and closes (replacing the file in Replace mode); Error 75 or 61 naming the file
    // when the data could not be written.
    void close();
    ~LineWriter();

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::unique_ptr<ReplacedFile> replaced_;
    std::ofstream appended_;
};

// The lines of a text file without their line ends (CR LF or LF); a last line without a line end
// counts. Error 75 naming the file when it is not a readable file (core/file_access.h) or a read
// fails.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

}  // namespace ov
