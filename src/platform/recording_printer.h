#pragma once
// A printer that keeps what it was asked to do: every call in order, and the jobs laid out as pages
// of lines of styled pieces. Logic tests print on it; it needs no display and no print queue.
#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace ov {

struct PrintedPiece {
    std::string text;
    std::string font;
    double size = 0;
    bool bold = false;
    bool lineDrawing = false;
};

struct PrintedLine {
    std::vector<PrintedPiece> pieces;
    bool ended = false;  // printed with a line end
    // The bytes printed.
    std::string text() const;
    // What the paper shows, in UTF-8: frame codes of line-drawing pieces as line-drawing characters.
    std::string shown() const;
};

struct PrintedPage {
    Orientation orientation = Orientation::Portrait;
    std::vector<PrintedLine> lines;
    // The lines' texts, one per line.
    std::vector<std::string> texts() const;
};

struct PrintedJob {
    std::string printer;
    std::optional<Duplex> duplex;  // set during the job
    std::vector<PrintedPage> pages;
    bool ended = false;
};

class RecordingPrinter : public Printer {
public:
    // The installed printers' device names, the first one current. The paper is A4 with
    // quarter-inch margins, the fonts take the room of Courier New.
    explicit RecordingPrinter(std::vector<std::string> installed = {});

    void setPaper(const Paper& paper) { paper_ = paper; }

    bool selectPrinter(const std::string& deviceName) override;
    std::string currentPrinter() const override { return current_; }
    void setFontName(const std::string& name) override;
    void setFontSize(double points) override;
    double fontSize() const override { return size_; }
    void setBold(bool bold) override;
    bool bold() const override { return bold_; }
    void setLineDrawing(bool on) override;
    bool lineDrawing() const override { return lineDrawing_; }
    Paper paper() const override { return paper_; }
    FontShape fontShape(const std::string&) const override { return FontShape{0.6, 1.1328}; }
    void setOrientation(Orientation orientation) override;
    void setDuplex(Duplex duplex) override;
    void print(const std::string& text, bool endLine = true) override;
    void newPage() override;
    void endDoc() override;
    void killDoc() override;

    // Every call, in order, as short texts: "font Courier New", "size 8", "bold on",
    // "linedrawing on", "orientation 2", "duplex 2", "print ' '", "print 'abc' noend", "newpage", "enddoc", "killdoc",
    // "select HP".
    const std::vector<std::string>& calls() const { return calls_; }
    // Finished jobs followed by the one under way, if any; killed jobs are not kept.
    std::vector<PrintedJob> jobs() const;
    Orientation orientation() const { return orientation_; }

private:
    PrintedJob& job();
    PrintedPage& page();

    std::vector<std::string> installed_;
    std::string current_;
    std::string font_ = "Arial";
    double size_ = 10;
    bool bold_ = false;
    bool lineDrawing_ = false;
    Paper paper_{595.28, 841.89, 18, 18, 18, 18};
    Orientation orientation_ = Orientation::Portrait;
    std::vector<std::string> calls_;
    std::vector<PrintedJob> done_;
    std::optional<PrintedJob> open_;
    bool pageOpen_ = false;  // the last page of the open job takes more output
    bool lineOpen_ = false;  // the last line of the page takes more pieces
};

}  // namespace ov
