#include "print/page_printing.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "platform/raw_device.h"
#include "print/frame_strokes.h"
#include "print/line_rewriting.h"
#include "print/page_fit.h"
#include "print/print_file.h"
#include "print/print_setup.h"

namespace fs = std::filesystem;

namespace ov {

namespace {

constexpr char kBoldMarker = '\xE7';  // "ç"
const std::string kPageStartFont = "Times New Roman";
const std::string kLineEnd = "\r\n";

bool isFormFeed(const std::string& line) { return line.size() == 1 && line[0] == '\f'; }

// Characters a line puts on paper: the bold markers are not printed.
int printedWidth(const std::string& line, bool boldMarkers) {
    size_t n = line.size();
    if (boldMarkers) n -= static_cast<size_t>(std::count(line.begin(), line.end(), kBoldMarker));
    return static_cast<int>(n);
}

// The size the job's lines print at: the chosen one, made smaller when the widest line or a full
// page would not fit the paper. A page also holds the page-start line and, on the first page, the
// top margin at the compressed size.
double fittedSize(Printer& printer, const PrintSetup& s, int widestLine, bool landscape, int topMargin) {
    PageFitRequest r;
    r.widestLine = widestLine;
    r.linesPerPage = std::max<int>(1, s.pageLength);
    r.font = printer.fontShape(s.fontName);
    r.reservedHeight = printer.fontShape(kPageStartFont).lineSpacing * s.compressedFontSize +
                       topMargin * r.font.lineSpacing * s.compressedFontSize;
    r.paper = printer.paper();
    r.orientation = landscape ? Orientation::Landscape : Orientation::Portrait;
    r.configuredSize = s.chosenFontSize();
    return FittedFontSize(r);
}

// The widest line of the print file, read once before the job.
int widestPrintedLine(LineReader& reader) {
    int widest = 0;
    while (!reader.atEnd()) widest = std::max(widest, printedWidth(reader.readLine(), true));
    reader.seek(0);
    return widest;
}

using NextLine = std::function<bool(std::string&)>;

// A job that fails half way is abandoned, so the next job does not continue it.
class DriverJobGuard {
public:
    DriverJobGuard(Printer& printer, bool restorePortrait) : printer_(printer), restorePortrait_(restorePortrait) {}
    ~DriverJobGuard() {
        if (done_) return;
        try {
            printer_.killDoc();
            if (restorePortrait_) printer_.setOrientation(Orientation::Portrait);
        } catch (...) {
        }
    }
    void done() { done_ = true; }

private:
    Printer& printer_;
    bool restorePortrait_;
    bool done_ = false;
};

void printTopMargin(Printer& printer, const PrintSetup& s) {
    for (int i = 0; i < s.topMargin; ++i) printer.print(" ");
}

// Every page the driver begins because the previous one is full starts like the job.
void driverPageStart(Printer& printer, const PrintSetup& s, double size) {
    printer.setFontName(kPageStartFont);
    printer.setFontSize(s.compressedFontSize);
    printer.print(" ");
    printer.setFontName(s.fontName);
    printer.setFontSize(size);
}

void driverFromFile(const PrintSetup& s, const PrintFileJob& job, LineReader& reader, Printer& printer) {
    const Orientation orientation = job.landscape ? Orientation::Landscape : Orientation::Portrait;
    const double size = fittedSize(printer, s, widestPrintedLine(reader), job.landscape, s.topMargin);
    DriverJobGuard guard(printer, job.landscape);
    if (job.duplex) printer.setDuplex(Duplex::LongEdge);
    printer.setOrientation(orientation);
    printer.setBold(false);  // a job never starts bold, whatever an earlier one left

    printer.setFontName(kPageStartFont);
    printer.setFontSize(s.compressedFontSize);
    printer.print(" ");
    printer.setFontName(s.fontName);
    printTopMargin(printer, s);
    int count = s.topMargin;
    printer.setFontSize(size);

    const bool keepFrames = s.hasOption('K');
    while (!reader.atEnd()) {
        std::string line = reader.readLine();
        if (!keepFrames) Converti2(line);
        if (!isFormFeed(line)) {
            StampaLaser(printer, line, keepFrames);
        } else {
            printer.newPage();
            printer.setOrientation(orientation);
            printTopMargin(printer, s);
            count = s.topMargin;
        }
        ++count;
        if (count >= s.pageLength) {
            printer.newPage();
            printer.setOrientation(orientation);
            driverPageStart(printer, s, size);
            printTopMargin(printer, s);
            count = s.topMargin;
        }
    }
    printer.endDoc();
    guard.done();
    if (job.landscape) printer.setOrientation(Orientation::Portrait);
}

void driverFromLines(const PrintSetup& s, const LinesJob& job, const std::vector<std::string>& lines,
                     Printer& printer) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, printedWidth(line, false));
    const double size = fittedSize(printer, s, widest, job.landscape, 0);
    DriverJobGuard guard(printer, true);
    printer.setOrientation(job.landscape ? Orientation::Landscape : Orientation::Portrait);
    printer.setBold(false);
    driverPageStart(printer, s, size);
    int count = 0;

    const bool keepFrames = s.hasOption('K');
    for (std::string line : lines) {
        if (!keepFrames) ConvertLineChars(line);
        if (isFormFeed(line)) {
            printer.newPage();
            count = 0;
            line.clear();
        }
        if (keepFrames)
            PrintWithStrokes(printer, line, FrameStrokes(line), 0, true);
        else
            printer.print(line);
        ++count;
        if (count >= s.pageLength) {
            printer.newPage();
            driverPageStart(printer, s, size);
            count = 0;
        }
    }
    printer.endDoc();
    guard.done();
    printer.setOrientation(Orientation::Portrait);
}

// Bytes for a raw device, handed over in large pieces.
class RawOutput {
public:
    explicit RawOutput(RawDevice& device) : device_(device) {}
    void write(std::string_view bytes) {
        buffer_ += bytes;
        if (buffer_.size() >= 65536) flush();
    }
    void flush() {
        device_.write(buffer_);
        buffer_.clear();
    }

private:
    RawDevice& device_;
    std::string buffer_;
};

// A raw page ends with a form feed, or with empty lines up to the physical page length ("U").
void rawPageEnd(RawOutput& out, const PrintSetup& s, int& count) {
    if (s.hasOption('U')) {
        while (count < s.physicalPageLines) {
            out.write(kLineEnd);
            ++count;
        }
    } else {
        out.write("\f");
    }
}

void rawTopMargin(RawOutput& out, int topMargin, int& count) {
    for (int i = 0; i < topMargin; ++i) out.write(" " + kLineEnd);
    count = topMargin;
}

// The lines after the prefix; topMargin is 0 for the editable preview's lines, which never get one.
void rawLines(const PrintSetup& s, int topMargin, const NextLine& next, RawOutput& out) {
    int count = 0;
    rawTopMargin(out, topMargin, count);
    const bool keepFrames = s.hasOption('K');
    std::string line;
    while (next(line)) {
        if (!keepFrames) ConvertLineChars(line);
        if (!isFormFeed(line)) {
            out.write(line);
            out.write(kLineEnd);
            ++count;
        } else {
            rawPageEnd(out, s, count);
            rawTopMargin(out, topMargin, count);
        }
        if (count == s.pageLength) {
            rawPageEnd(out, s, count);
            rawTopMargin(out, topMargin, count);
        }
    }
    if (count > 0) rawPageEnd(out, s, count);
    out.flush();
}

// Output to the print file itself would empty it before it is read.
void refuseDeviceThatIsThePrintFile(const Workspace& ws, const std::string& device,
                                    const std::optional<fs::path>& printFile) {
    if (!printFile) return;
    fs::path target = RawDevice::resolve(ws, device);
    std::error_code ec;
    if (!target.empty() && fs::equivalent(target, *printFile, ec))
        throw Error(err::Device, "Periferica non disponibile: '" + cp1252::toUtf8(device) +
                                     "' è il file di stampa stesso, che la stampa cancellerebbe.");
}

}  // namespace

void StampaLaser(Printer& printer, const std::string& line, bool drawFrames) {
    const std::vector<bool> strokes = drawFrames ? FrameStrokes(line) : std::vector<bool>();
    // The text since the last marker, and where it starts in the line.
    std::string buffer;
    size_t bufferStart = 0;
    auto printBuffer = [&](bool endLine) {
        if (drawFrames)
            PrintWithStrokes(printer, buffer, strokes, bufferStart, endLine);
        else
            printer.print(buffer, endLine);
    };
    bool bold = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c != kBoldMarker) {
            buffer += c;
            continue;
        }
        printBuffer(false);
        buffer.clear();
        bufferStart = i + 1;
        if (!bold) {
            printer.setFontSize(printer.fontSize() - 0.4);
            printer.setBold(true);
            bold = true;
        } else {
            printer.setFontSize(printer.fontSize() + 0.4);
            printer.setBold(false);
            bold = false;
        }
    }
    printBuffer(true);
}

void printPrintFile(const Workspace& ws, const PrintFileJob& job, Printer& printer) {
    PrintSetupRequest request{job.destination, job.compressed, job.windowsPrinter, job.optionLetters, job.hotelNumber};
    std::optional<PrintSetup> setup = assemblePrintSetup(ws, request);
    if (!setup) return;

    std::optional<fs::path> printFile = ws.find(printFileReadName(ws));
    if (setup->driverMode) {
        printer.selectPrinter(setup->device);
        if (!printFile) return;
        LineReader reader(*printFile);
        driverFromFile(*setup, job, reader, printer);
        return;
    }

    refuseDeviceThatIsThePrintFile(ws, setup->device, printFile);
    RawDevice device = RawDevice::open(ws, setup->device);
    RawOutput out(device);
    out.write(setup->prefix());
    if (!printFile) {
        out.flush();
        return;
    }
    LineReader reader(*printFile);
    rawLines(*setup, setup->topMargin, [&](std::string& line) {
        if (reader.atEnd()) return false;
        line = reader.readLine();
        return true;
    }, out);
    device.close();
}

void printLines(const Workspace& ws, const LinesJob& job, const std::vector<std::string>& lines, Printer& printer) {
    if (lines.empty()) return;
    PrintSetupRequest request{job.destination, job.compressed, std::nullopt, job.optionLetters, job.hotelNumber};
    std::optional<PrintSetup> setup = assemblePrintSetup(ws, request);
    if (!setup) return;

    if (setup->driverMode) {
        printer.selectPrinter(setup->device);
        driverFromLines(*setup, job, lines, printer);
        return;
    }

    // The edited lines are rewritten for the screen: sent to the print file they would replace it.
    refuseDeviceThatIsThePrintFile(ws, setup->device, ws.find(printFileReadName(ws)));
    RawDevice device = RawDevice::open(ws, setup->device);
    RawOutput out(device);
    out.write(setup->prefix());
    size_t i = 0;
    rawLines(*setup, 0, [&](std::string& line) {
        if (i >= lines.size()) return false;
        line = lines[i++];
        return true;
    }, out);
    device.close();
}

}  // namespace ov
