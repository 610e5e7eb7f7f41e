#include "core/text_file.h"

#include "core/error.h"
#include "core/file_access.h"
#include "core/replaced_file.h"

namespace ov {

LineWriter::LineWriter(const std::filesystem::path& path, Mode mode) : path_(path) {
    if (mode == Mode::Replace) {
        replaced_ = std::make_unique<ReplacedFile>(path);
        return;
    }
    appended_.open(path, std::ios::binary | std::ios::app);
    if (!appended_) throw Error(err::FileAccess, "Impossibile scrivere il file '" + path.filename().string() + "'.");
}

void LineWriter::line(const std::string& text) {
    if (replaced_) replaced_->line(text);
    else appended_ << text << "\r\n";
}

void LineWriter::close() {
    if (replaced_) {
        replaced_->commit();
        return;
    }
    if (!appended_.is_open()) return;
    appended_.close();
    if (appended_.fail())
        throw Error(err::FileAccess, "Errore di scrittura del file '" + path_.filename().string() + "'.");
}

LineWriter::~LineWriter() = default;

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    requireReadableFile(path, name);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(err::FileAccess, "Impossibile leggere il file '" + name + "'.");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    if (in.bad()) throw Error(err::FileAccess, "Errore di lettura del file '" + name + "'.");
    return lines;
}

}  // namespace ov
