#pragma once
// Report files are replaced only whole. A ReplacedFile writes beside its target, into a hidden
// temporary file of the same folder, and takes the target's place only when committed; dropped
// before that (an error, a full disk, a database that failed midway) it removes the temporary and
// leaves the earlier file exactly as it was. commitTogether() replaces several files as one: all
// of them, or none.
//
//     ReplacedFile print(ws.pathFor("fd1")), sheet(ws.pathFor("Orvalis.csv"));
//     print.line("...");  sheet.line("...");
//     commitTogether({&print, &sheet});
//
// A library that writes a file by name (a workbook) writes temporaryPath() and then commits.
// Errors are ov::Error naming the target: 75 when it cannot be written, 61 when the disk is full.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ov {

class ReplacedFile;

// Closes every file, then replaces every target. When a file cannot be completed, or a target
// cannot be replaced, no target is changed (those already replaced are put back).
void commitTogether(std::initializer_list<ReplacedFile*> files);

class ReplacedFile {
public:
    // Creates the temporary file beside `target` (whose folder must exist).
    explicit ReplacedFile(std::filesystem::path target);
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporaryPath() const { return temporary_; }

    void write(std::string_view bytes);
    // The text and a CR LF line end.
    void line(std::string_view text);
    // Writes out what is buffered and closes the temporary; nothing more can be written.
    void close();
    // close(), then the temporary takes the target's place.
    void commit();

    friend void commitTogether(std::initializer_list<ReplacedFile*> files);

private:
    void flushBuffer();
    [[noreturn]] void fail(int error) const;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::string buffer_;
    bool committed_ = false;
};

}  // namespace ov
