#include "platform/recording_printer.h"

#include <cstdio>

#include "core/cp1252.h"
#include "platform/line_drawing.h"

namespace ov {

namespace {

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

std::string PrintedLine::text() const {
    std::string s;
    for (const auto& p : pieces) s += p.text;
    return s;
}

std::string PrintedLine::shown() const {
    std::string s;
    for (const auto& p : pieces) {
        if (!p.lineDrawing) {
            s += cp1252::toUtf8(p.text);
            continue;
        }
        for (unsigned char c : p.text) cp1252::appendUtf8(s, lineDrawingCharacter(c));
    }
    return s;
}

std::vector<std::string> PrintedPage::texts() const {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.text());
    return out;
}

RecordingPrinter::RecordingPrinter(std::vector<std::string> installed) : installed_(std::move(installed)) {
    if (!installed_.empty()) current_ = installed_.front();
}

bool RecordingPrinter::selectPrinter(const std::string& deviceName) {
    calls_.push_back("select " + deviceName);
    for (const auto& n : installed_) {
        if (n == deviceName) {
            current_ = n;
            return true;
        }
    }
    return false;
}

void RecordingPrinter::setFontName(const std::string& name) {
    calls_.push_back("font " + name);
    font_ = name;
}

void RecordingPrinter::setFontSize(double points) {
    calls_.push_back("size " + number(points));
    size_ = points;
}

void RecordingPrinter::setBold(bool bold) {
    calls_.push_back(bold ? "bold on" : "bold off");
    bold_ = bold;
}

void RecordingPrinter::setLineDrawing(bool on) {
    calls_.push_back(on ? "linedrawing on" : "linedrawing off");
    lineDrawing_ = on;
}

void RecordingPrinter::setOrientation(Orientation orientation) {
    calls_.push_back("orientation " + std::to_string(static_cast<int>(orientation)));
    orientation_ = orientation;
}

void RecordingPrinter::setDuplex(Duplex duplex) {
    calls_.push_back("duplex " + std::to_string(static_cast<int>(duplex)));
    job().duplex = duplex;
}

PrintedJob& RecordingPrinter::job() {
    if (!open_) {
        open_ = PrintedJob{};
        open_->printer = current_;
        pageOpen_ = false;
        lineOpen_ = false;
    }
    return *open_;
}

// A page begins at its first output and keeps the orientation of that moment.
PrintedPage& RecordingPrinter::page() {
    PrintedJob& j = job();
    if (!pageOpen_) {
        j.pages.push_back(PrintedPage{orientation_, {}});
        pageOpen_ = true;
        lineOpen_ = false;
    }
    return j.pages.back();
}

void RecordingPrinter::print(const std::string& text, bool endLine) {
    calls_.push_back("print '" + text + "'" + (endLine ? "" : " noend"));
    PrintedPage& p = page();
    if (!lineOpen_) {
        p.lines.emplace_back();
        lineOpen_ = true;
    }
    PrintedLine& line = p.lines.back();
    if (!text.empty()) line.pieces.push_back(PrintedPiece{text, font_, size_, bold_, lineDrawing_});
    if (endLine) {
        line.ended = true;
        lineOpen_ = false;
    }
}

void RecordingPrinter::newPage() {
    calls_.push_back("newpage");
    page();  // a page asked to end before any output is a blank page
    pageOpen_ = false;
    lineOpen_ = false;
}

void RecordingPrinter::endDoc() {
    calls_.push_back("enddoc");
    if (open_) {
        open_->ended = true;
        done_.push_back(std::move(*open_));
        open_.reset();
    }
    pageOpen_ = false;
    lineOpen_ = false;
}

void RecordingPrinter::killDoc() {
    calls_.push_back("killdoc");
    open_.reset();
    pageOpen_ = false;
    lineOpen_ = false;
}

std::vector<PrintedJob> RecordingPrinter::jobs() const {
    std::vector<PrintedJob> all = done_;
    if (open_) all.push_back(*open_);
    return all;
}

}  // namespace ov
