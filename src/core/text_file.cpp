#include "core/text_file.h"

#include <sstream>

#include "core/error.h"

namespace ov {

LineWriter::LineWriter(const std::filesystem::path& path, Mode mode) : path_(path) {
    out_.open(path, std::ios::binary | (mode == Mode::Append ? std::ios::app : std::ios::trunc));
    if (!out_) throw Error(75, "Impossibile scrivere il file '" + path.filename().string() + "'.");
}

void LineWriter::line(const std::string& text) {
    out_ << text << "\r\n";
}

void LineWriter::close() {
    if (!out_.is_open()) return;
    out_.close();
    if (out_.fail()) throw Error(75, "Errore di scrittura del file '" + path_.filename().string() + "'.");
}

LineWriter::~LineWriter() {
    if (out_.is_open()) out_.close();
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(err::FileIo, "Impossibile leggere il file '" + path.filename().string() + "'.");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace ov
