#include "tableprint/table_output.h"

#include <cmath>
#include <fstream>
#include <optional>

#include "platform/raw_device.h"
#include "print/frame_strokes.h"
#include "print/page_fit.h"
#include "tableprint/skip_failing_step.h"

namespace ov {

namespace {

const std::string kLineEnd = "\r\n";
const std::string kPageStartFont = "Times New Roman";

// Bytes that go out as a stream: the print file, or a device opened as a file. After the first
// failure nothing more is written.
class ByteOutput : public TableOutput {
public:
    explicit ByteOutput(const TableJobSettings& s) : s_(s) {}

    void line(const std::string& text) override { write(text + kLineEnd); }

    // With "U" one empty line for each count from the line counter up to the physical lines less
    // three; otherwise a form feed.
    void endPage(int lineCount) override {
        if (!s_.pagesEndWithEmptyLines) {
            write("\f");
            return;
        }
        for (int count = lineCount; count <= s_.physicalLines - 3; ++count) write(kLineEnd);
    }

    void close(int lineCount) override {
        endPage(lineCount);
        flush();
        closeOutput();
    }

protected:
    virtual void send(const std::string& bytes) = 0;
    virtual void closeOutput() = 0;

    void write(const std::string& bytes) {
        buffer_ += bytes;
        if (buffer_.size() >= 65536) flush();
    }
    void flush() {
        if (broken_ || buffer_.empty()) {
            buffer_.clear();
            return;
        }
        try {
            send(buffer_);
        } catch (const std::exception&) {
            broken_ = true;
        }
        buffer_.clear();
    }
    void markBroken() { broken_ = true; }

    const TableJobSettings& s_;

private:
    bool broken_ = false;
    std::string buffer_;
};

class PrintFileOutput : public ByteOutput {
public:
    PrintFileOutput(const Workspace& ws, const TableJobSettings& s) : ByteOutput(s) {
        try {
            out_.open(ws.pathFor(s.printFileName), std::ios::binary | std::ios::trunc);
        } catch (const std::exception&) {
        }
        if (!out_) markBroken();
    }
    bool pageIsFull(int) const override { return false; }  // the print file has no page breaks

protected:
    void send(const std::string& bytes) override {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out_) throw std::runtime_error("print file");
    }
    void closeOutput() override { out_.close(); }

private:
    std::ofstream out_;
};

class RawDeviceOutput : public ByteOutput {
public:
    RawDeviceOutput(const Workspace& ws, const TableJobSettings& s, bool compressed)
        : ByteOutput(s), compressed_(compressed) {
        try {
            device_.emplace(RawDevice::open(ws, s.outputPath));
        } catch (const std::exception&) {
            markBroken();
        }
    }

    // The five control characters, whatever their value, 0 included; a code that is no byte is left out.
    void beginPage() override {
        std::string codes;
        const int first = compressed_ ? 1 : 7;
        for (int k = first; k < first + 5; ++k) {
            double c = std::nearbyint(s_.code(k));
            if (c >= 0 && c <= 255) codes += static_cast<char>(static_cast<unsigned char>(c));
        }
        write(codes);
    }
    // One line later than the driver: the page holds the heading and page-length-minus-four data lines.
    bool pageIsFull(int lineCount) const override { return s_.pageLength >= 1 && lineCount > s_.pageLength; }

protected:
    void send(const std::string& bytes) override {
        if (device_) device_->write(bytes);
    }
    void closeOutput() override {
        if (device_) skipFailingStep([&] { device_->close(); });
    }

private:
    bool compressed_;
    std::optional<RawDevice> device_;
};

// The printer driver: every page is a print job of its own. A call the driver refuses is skipped.
// The font is made smaller when the job's lines would not fit the paper; box frames print as line
// drawing.
class DriverOutput : public TableOutput {
public:
    DriverOutput(const TableJobSettings& s, bool compressed, int widestLine, Printer& printer)
        : s_(s), compressed_(compressed), printer_(printer) {
        size_ = compressed_ ? s_.code(1) : s_.code(7);
        skipFailingStep([&] { size_ = fittedSize(widestLine); });
    }

    void beginPage() override {
        skipFailingStep([&] { printer_.setFontName(kPageStartFont); });
        skipFailingStep([&] { printer_.setFontSize(s_.code(1)); });
        skipFailingStep([&] { printer_.print(" "); });
        skipFailingStep([&] { printer_.setFontName(s_.fontName); });
        skipFailingStep([&] { printer_.setFontSize(size_); });
    }
    void line(const std::string& text) override {
        skipFailingStep([&] {
            if (s_.style == FrameStyle::Box)
                PrintWithStrokes(printer_, text, FrameStrokes(text), 0, true);
            else
                printer_.print(text);
        });
    }
    bool pageIsFull(int lineCount) const override { return s_.pageLength >= 1 && lineCount >= s_.pageLength; }
    void endPage(int) override {
        skipFailingStep([&] { printer_.endDoc(); });
    }
    void close(int lineCount) override { endPage(lineCount); }

private:
    // A full page holds the page-start line, the page length in lines and, on the last page, the
    // middle, totals and bottom lines after the last data line.
    double fittedSize(int widestLine) const {
        PageFitRequest r;
        r.widestLine = widestLine;
        r.linesPerPage = s_.pageLength >= 1 ? s_.pageLength + 2 : 0;
        r.font = printer_.fontShape(s_.fontName);
        r.reservedHeight = printer_.fontShape(kPageStartFont).lineSpacing * s_.code(1);
        r.paper = printer_.paper();
        r.configuredSize = compressed_ ? s_.code(1) : s_.code(7);
        return FittedFontSize(r);
    }

    const TableJobSettings& s_;
    bool compressed_;
    Printer& printer_;
    double size_ = 0;
};

}  // namespace

std::unique_ptr<TableOutput> openTableOutput(const Workspace& ws, const TableJobSettings& settings, bool compressed,
                                             int widestLine, Printer& printer) {
    switch (settings.kind) {
        case TableOutputKind::PrintFile: return std::make_unique<PrintFileOutput>(ws, settings);
        case TableOutputKind::RawDevice: return std::make_unique<RawDeviceOutput>(ws, settings, compressed);
        case TableOutputKind::Driver: break;
    }
    return std::make_unique<DriverOutput>(settings, compressed, widestLine, printer);
}

}  // namespace ov
