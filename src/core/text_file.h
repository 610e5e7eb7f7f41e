#pragma once
// Text files of the working folder as the suite writes them: code page 1252 bytes, lines ended
// by CR LF.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ov {

class LineWriter {
public:
    enum class Mode { Replace, Append };
    // Error 75 naming the file when it cannot be opened.
    LineWriter(const std::filesystem::path& path, Mode mode = Mode::Replace);
    void line(const std::string& text);
    // Flushes and closes; Error 75 naming the file when the data could not be written.
    void close();
    ~LineWriter();

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::ofstream out_;
};

// The lines of a text file without their line ends (CR LF or LF); a last line without a line end
// counts. Error 53 naming the file when it cannot be read.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

}  // namespace ov
