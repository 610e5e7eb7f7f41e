#pragma once
// The printer object on the system's print queues (CUPS) through QPrinter, or on a PDF file for
// looking at the pages. A job begins at its first output and ends with endDoc; a page begins at
// its first output, so an orientation set just after newPage applies to the new page.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"

class QPainter;
class QPrinter;
class QString;

namespace ov {

class QtDriverPrinter : public Printer {
public:
    // The system's print queues, the default queue current.
    QtDriverPrinter();
    // Every job written to this PDF file (replacing it); selectPrinter never changes that.
    static std::unique_ptr<QtDriverPrinter> toPdf(const std::string& path);
    ~QtDriverPrinter() override;

    // Device names of the installed printers in the system's order (code page 1252).
    static std::vector<std::string> installedPrinters();

    bool selectPrinter(const std::string& deviceName) override;
    std::string currentPrinter() const override { return current_; }
    void setFontName(const std::string& name) override { fontName_ = name; }
    void setFontSize(double points) override { fontSize_ = points; }
    double fontSize() const override { return fontSize_; }
    void setBold(bool bold) override { bold_ = bold; }
    bool bold() const override { return bold_; }
    void setOrientation(Orientation orientation) override { orientation_ = orientation; }
    void setDuplex(Duplex duplex) override { duplex_ = duplex; }
    void print(const std::string& text, bool endLine = true) override;
    void newPage() override;
    void endDoc() override;
    void killDoc() override;

private:
    void openPage();
    void beginJob();
    void finishJob();

    std::string pdfPath_;
    std::string current_;
    std::string fontName_ = "Arial";
    double fontSize_ = 10;
    bool bold_ = false;
    Orientation orientation_ = Orientation::Portrait;
    std::optional<Duplex> duplex_;  // for the job under way only

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    bool pageOpen_ = false;
    double x_ = 0, y_ = 0;       // device pixels from the printable area's top left
    double lineHeight_ = 0;      // tallest piece of the line under way
    double pageHeight_ = 0;
};

// The program's printer: one for the whole run, so the printer a job chose stays current.
Printer& programPrinter();

}  // namespace ov
