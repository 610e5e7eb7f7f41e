#pragma once
// The editable preview's document: the whole print file as a list of lines rewritten for the
// screen, corrected one line at a time and extended with new lines, then printed or mailed as the
// list stands. Changes live only here: the print file itself is never written.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "print/print_file.h"

namespace ov {

// The window's choices for "&Stampa".
struct EditablePrintChoices {
    std::string destination;  // the destination list's text
    bool landscape = false;   // "orizz."
    bool compressed = false;  // "Compr."
    bool email = false;       // "e-mail": hand the lines to the mail program instead of printing
};

class EditablePreview {
public:
    // An entry added by "&Aggiungi Riga" or by Enter on the last entry.
    static inline const std::string kNewLine = " ";

    // Loading: the print file ("FD" + the workstation number) opened for reading when it exists;
    // it stays open as long as the document.
    EditablePreview(const Workspace& ws, int16_t hotelNumber = 1);

    bool hasFile() const { return reader_.has_value(); }

    // Activation, first step: reads the option letters (kept for printing) and answers the
    // destinations of hotel 1. Database errors propagate.
    std::vector<std::string> readSettings();
    // Activation, second step: the list emptied, then every line of the print file, rewritten by
    // ConvertLineChars, as one entry. Nothing is selected afterwards.
    void loadLines();

    const std::vector<std::string>& lines() const { return lines_; }
    std::optional<size_t> selected() const { return selected_; }
    const std::string& optionLetters() const { return optionLetters_; }

    // A click on an entry: it becomes the selection, and its text is what the edit box shows.
    // An index past the end selects nothing.
    const std::string* select(size_t index);
    // Enter in the edit box: the text replaces the selected entry; on the last entry a new entry
    // holding a single blank is added; then the entry below becomes the selection. Answers false,
    // changing nothing, when no entry is selected.
    bool enter(const std::string& editText);
    // "&Aggiungi Riga": a new entry holding a single blank at the end; the selection stays.
    void addLine();

    // "&Stampa": with "e-mail" ticked the lines go to the mail hand-off and nothing is printed;
    // otherwise they are printed on the destination. The list is left as it is, so the same
    // edited text can be printed again. Errors propagate.
    void stampa(const EditablePrintChoices& choices, Host& host, Printer& printer) const;

private:
    const Workspace& ws_;
    int16_t hotelNumber_;
    std::optional<LineReader> reader_;
    std::string optionLetters_;
    std::vector<std::string> lines_;
    std::optional<size_t> selected_;
};

}  // namespace ov
