#pragma once
// The read-only preview's document: the print file shown a portion at a time, its lines rewritten
// for the screen, with the moves of the preview's buttons. Text is code page 1252, lines ended by
// CR LF as in the text box.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/workspace.h"
#include "print/print_file.h"

namespace ov {

class PreviewDocument {
public:
    static constexpr size_t kFirstPortion = 20000;
    static constexpr size_t kNextPortion = 26000;

    // Opens the print file ("FD" + the workstation number) for reading when it exists.
    explicit PreviewDocument(const Workspace& ws);

    bool hasFile() const { return reader_.has_value(); }
    // Activation: the text emptied, then a portion of 20000 characters from where the file stands.
    void activate();
    // "&Avanti": the next portion of 26000 characters; false, and nothing changed, without more.
    bool forward();
    // "&Inizio": the file read again from its start, a portion of 26000 characters.
    void restart();
    // "Sa&lva": the shown portion, as rewritten, replaces its lines in the print file ("fd" + the
    // workstation number); the lines before and after it stay as they were, so nothing is lost.
    // Reading goes on after the portion.
    void save();

    const std::string& text() const { return text_; }
    bool more() const { return more_; }
    size_t charactersLoaded() const { return loaded_; }

private:
    void loadPortion(size_t limit);

    const Workspace& ws_;
    std::filesystem::path path_;
    std::optional<LineReader> reader_;
    std::string text_;
    uint64_t portionStart_ = 0;  // byte offsets of the shown lines in the file
    uint64_t portionEnd_ = 0;
    size_t loaded_ = 0;
    bool more_ = false;
};

}  // namespace ov
