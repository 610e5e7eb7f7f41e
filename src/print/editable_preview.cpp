#include "print/editable_preview.h"

#include "print/line_rewriting.h"
#include "print/mail_handoff.h"
#include "print/page_printing.h"
#include "print/print_setup.h"

namespace ov {

EditablePreview::EditablePreview(const Workspace& ws, int16_t hotelNumber) : ws_(ws), hotelNumber_(hotelNumber) {
    if (auto found = ws.find(printFileReadName(ws))) reader_.emplace(*found);
}

std::vector<std::string> EditablePreview::readSettings() {
    optionLetters_ = readOptionLetters(ws_);
    return readDestinations(ws_);
}

void EditablePreview::loadLines() {
    lines_.clear();
    selected_.reset();
    if (!reader_) return;
    // From the start each time, so a second activation shows the file again, not an empty list.
    reader_->seek(0);
    while (!reader_->atEnd()) {
        std::string line = reader_->readLine();
        lines_.push_back(std::move(ConvertLineChars(line)));
    }
}

const std::string* EditablePreview::select(size_t index) {
    if (index >= lines_.size()) {
        selected_.reset();
        return nullptr;
    }
    selected_ = index;
    return &lines_[index];
}

bool EditablePreview::enter(const std::string& editText) {
    if (!selected_ || *selected_ >= lines_.size()) return false;
    const size_t index = *selected_;
    lines_[index] = editText;
    if (index + 1 == lines_.size()) lines_.push_back(kNewLine);
    selected_ = index + 1;
    return true;
}

void EditablePreview::addLine() { lines_.push_back(kNewLine); }

void EditablePreview::stampa(const EditablePrintChoices& choices, Host& host, Printer& printer) const {
    if (choices.email) {
        InviaEMail(ws_, host, lines_);
        return;
    }
    LinesJob job;
    job.destination = choices.destination;
    job.compressed = choices.compressed;
    job.landscape = choices.landscape;
    job.optionLetters = optionLetters_;
    job.hotelNumber = hotelNumber_;
    printLines(ws_, job, lines_, printer);
}

}  // namespace ov
