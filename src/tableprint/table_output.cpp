#include "tableprint/table_output.h"

#include <cmath>
#include <optional>

#include "core/replaced_file.h"
#include "platform/raw_device.h"
#include "print/frame_strokes.h"
#include "print/page_fit.h"
#include "tableprint/skip_failing_step.h"

namespace ov {

namespace {

const std::string kLineEnd = "\r\n";
const std::string kPageStartFont = "Times New Roman";

// Bytes that go out as a stream: the print file, or a device opened as a file. After the first
// failure, recorded, nothing more is written.
class ByteOutput : public TableOutput {
public:
    ByteOutput(const TableJobSettings& s, StepFailures& failures) : s_(s), failures_(failures) {}

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
        if (!broken_ && !skipFailingStep([&] { closeOutput(); }, &failures_)) broken_ = true;
    }

protected:
    virtual void send(const std::string& bytes) = 0;
    // Ends the output; the print file takes its place only now, and only when no step failed.
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
        if (!skipFailingStep([&] { send(buffer_); }, &failures_)) broken_ = true;
        buffer_.clear();
    }
    void markBroken(const std::exception& why) {
        failures_.record(why);
        broken_ = true;
    }

    const TableJobSettings& s_;
    StepFailures& failures_;

private:
    bool broken_ = false;
    std::string buffer_;
};

// Written beside the print file, which it replaces at the end only when no step of the job failed:
// a job that failed part way leaves the earlier print file as it was.
class PrintFileOutput : public ByteOutput {
public:
    PrintFileOutput(const Workspace& ws, const TableJobSettings& s, StepFailures& failures) : ByteOutput(s, failures) {
        try {
            out_.emplace(ws.pathFor(s.printFileName));
        } catch (const std::exception& e) {
            markBroken(e);
        }
    }
    bool pageIsFull(int) const override { return false; }  // the print file has no page breaks

protected:
    void send(const std::string& bytes) override { out_->write(bytes); }
    void closeOutput() override {
        if (!failures_.first()) out_->commit();
    }

private:
    std::optional<ReplacedFile> out_;
};

class RawDeviceOutput : public ByteOutput {
public:
    RawDeviceOutput(const Workspace& ws, const TableJobSettings& s, bool compressed, StepFailures& failures)
        : ByteOutput(s, failures), compressed_(compressed) {
        try {
            device_.emplace(RawDevice::open(ws, s.outputPath));
        } catch (const std::exception& e) {
            markBroken(e);
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
        if (device_) device_->close();
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
    DriverOutput(const TableJobSettings& s, bool compressed, int widestLine, Printer& printer, StepFailures& failures)
        : s_(s), compressed_(compressed), printer_(printer), failures_(failures) {
        size_ = compressed_ ? s_.code(1) : s_.code(7);
        step([&] { size_ = fittedSize(widestLine); });
    }

    void beginPage() override {
        step([&] { printer_.setFontName(kPageStartFont); });
        step([&] { printer_.setFontSize(s_.code(1)); });
        step([&] { printer_.print(" "); });
        step([&] { printer_.setFontName(s_.fontName); });
        step([&] { printer_.setFontSize(size_); });
    }
    void line(const std::string& text) override {
        step([&] {
            if (s_.style == FrameStyle::Box)
                PrintWithStrokes(printer_, text, FrameStrokes(text), 0, true);
            else
                printer_.print(text);
        });
    }
    bool pageIsFull(int lineCount) const override { return s_.pageLength >= 1 && lineCount >= s_.pageLength; }
    void endPage(int) override {
        step([&] { printer_.endDoc(); });
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
    template <typename Step>
    void step(Step&& s) { skipFailingStep(std::forward<Step>(s), &failures_); }

    const TableJobSettings& s_;
    bool compressed_;
    Printer& printer_;
    double size_ = 0;
    StepFailures& failures_;
};

}  // namespace

std::unique_ptr<TableOutput> openTableOutput(const Workspace& ws, const TableJobSettings& settings, bool compressed,
                                             int widestLine, Printer& printer, StepFailures& failures) {
    switch (settings.kind) {
        case TableOutputKind::PrintFile: return std::make_unique<PrintFileOutput>(ws, settings, failures);
        case TableOutputKind::RawDevice: return std::make_unique<RawDeviceOutput>(ws, settings, compressed, failures);
        case TableOutputKind::Driver: break;
    }
    return std::make_unique<DriverOutput>(settings, compressed, widestLine, printer, failures);
}

}  // namespace ov
