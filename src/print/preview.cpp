#include "print/preview.h"

#include <fstream>
#include <sstream>

#include "core/error.h"
#include "print/line_rewriting.h"

namespace fs = std::filesystem;

namespace ov {

namespace {

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(err::FileIo, "Impossibile leggere il file '" + path.filename().string() + "'.");
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Written beside the file and moved over it, so a failed write leaves the old file whole.
void replaceFile(const fs::path& path, const std::string& bytes) {
    fs::path temp = path;
    temp += ".salva";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(temp, ec);
            throw Error(err::FileIo, "Impossibile scrivere il file '" + path.filename().string() + "'.");
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw Error(err::FileIo, "Impossibile scrivere il file '" + path.filename().string() + "'.");
    }
}

}  // namespace

PreviewDocument::PreviewDocument(const Workspace& ws) : ws_(ws) {
    if (auto found = ws.find(printFileReadName(ws))) {
        path_ = *found;
        reader_.emplace(path_);
    }
}

void PreviewDocument::loadPortion(size_t limit) {
    text_.clear();
    loaded_ = 0;
    portionStart_ = reader_->offset();
    while (!reader_->atEnd() && loaded_ < limit) {
        std::string line = reader_->readLine();
        loaded_ += line.size();
        text_ += ConvertLineChars(line);
        text_ += "\r\n";
    }
    portionEnd_ = reader_->offset();
    more_ = !reader_->atEnd();
}

void PreviewDocument::activate() {
    if (!reader_) return;
    loadPortion(kFirstPortion);
}

bool PreviewDocument::forward() {
    if (!reader_ || !more_) return false;
    loadPortion(kNextPortion);
    return true;
}

void PreviewDocument::restart() {
    reader_.reset();
    if (path_.empty()) throw Error(err::FileIo, "Impossibile trovare il file '" + printFileReadName(ws_) + "'.");
    reader_.emplace(path_);
    loadPortion(kNextPortion);
}

void PreviewDocument::save() {
    if (path_.empty()) throw Error(err::FileIo, "Impossibile trovare il file '" + printFileReadName(ws_) + "'.");
    std::string old = readBytes(path_);
    uint64_t start = std::min<uint64_t>(portionStart_, old.size());
    uint64_t end = std::min<uint64_t>(std::max(portionEnd_, start), old.size());

    std::string shown = text_;
    if (!shown.empty() && (shown.size() < 2 || shown.compare(shown.size() - 2, 2, "\r\n") != 0)) shown += "\r\n";
    std::string bytes = old.substr(0, start) + shown + old.substr(end);

    fs::path target = ws_.pathFor(printFileSaveName(ws_));
    replaceFile(target, bytes);
    reader_.reset();
    path_ = target;
    reader_.emplace(path_);
    portionStart_ = start;
    portionEnd_ = start + shown.size();
    reader_->seek(portionEnd_);
}

}  // namespace ov
