#pragma once
// The printer object on the system's print queues (CUPS) through QPrinter, or on a PDF file for
// looking at the pages. A job begins at its first output and ends with endDoc; a page begins at
// its first output, so an orientation set just after newPage applies to the new page.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/driver_printer.h"

class QFont;
class QFontMetricsF;
class QPainter;
class QPrinter;
class QString;

namespace ov {

class QtDriverPrinter : public DriverPrinter {
public:
    // The system's print queues; until a printer is selected the current one is the system's
    // default queue at the moment a job starts, so a queue set up while the program runs is used.
    QtDriverPrinter();
    // Every job written to this PDF file (replacing it), one after the other, each beginning on a
    // new page of A4; the file is complete when closePdf() is called or the printer goes.
    // selectPrinter accepts every name and never changes that.
    static std::unique_ptr<QtDriverPrinter> toPdf(const std::string& path);
    ~QtDriverPrinter() override;

    // Device names of the installed printers in the system's order (code page 1252), read afresh.
    static std::vector<std::string> installedPrinters();

    bool selectPrinter(const std::string& deviceName) override;
    std::string currentPrinter() const override;
    void setFontName(const std::string& name) override { fontName_ = name; }
    void setFontSize(double points) override { fontSize_ = points; }
    double fontSize() const override { return fontSize_; }
    void setBold(bool bold) override { bold_ = bold; }
    bool bold() const override { return bold_; }
    void setLineDrawing(bool on) override { lineDrawing_ = on; }
    bool lineDrawing() const override { return lineDrawing_; }
    void setOrientation(Orientation orientation) override { orientation_ = orientation; }
    void setDuplex(Duplex duplex) override { duplex_ = duplex; }
    Paper paper() const override;
    FontShape fontShape(const std::string& fontName) const override;
    void print(const std::string& text, bool endLine = true) override;
    void newPage() override;
    void endDoc() override;
    void killDoc() override;

    void closePdf() override;
    // The Qt printer of the job under way (null between jobs): what the driver is given.
    const QPrinter* jobPrinter() const { return printer_.get(); }

protected:
    // As toPdf when `pdfPath` is not empty, else on the print queues (for printers built on this one).
    explicit QtDriverPrinter(std::string pdfPath);

private:
    void openPage();
    void beginJob();
    void finishJob();
    // The font of the current settings and its metrics on the job's printer, made again only
    // when a setting or the job changed: a report line prints in many pieces.
    const QFont& font();
    const QFontMetricsF& metrics();
    bool toPdfFile() const { return !pdfPath_.empty(); }

    std::string pdfPath_;
    std::string selected_;  // the printer chosen by name; empty for the system's default
    std::string jobPrinterName_;
    std::string fontName_ = "Arial";
    double fontSize_ = 10;
    bool bold_ = false;
    bool lineDrawing_ = false;
    Orientation orientation_ = Orientation::Portrait;
    std::optional<Duplex> duplex_;  // for the job under way only

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    struct FontCache;
    std::unique_ptr<FontCache> fontCache_;
    bool pageOpen_ = false;
    double x_ = 0, y_ = 0;       // device pixels from the printable area's top left
    double lineHeight_ = 0;      // tallest piece of the line under way
    double pageHeight_ = 0;
};

// The program's printer: one for the whole run, so the printer a job chose stays current.
Printer& programPrinter();

}  // namespace ov
