#pragma once
// The printers of the headless commands: the system's printer, and a PDF file for --pdf. Qt is
// loaded and started only when a job prints through the driver (on the offscreen platform when
// there is no display) and ends with the printer, so the print file and raw devices need neither
// a display nor Qt's libraries.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/workspace.h"
#include "platform/driver_printer.h"

namespace ov::cli {

class DriverPrinterOnDemand : public Printer {
public:
    // The system's print queues.
    DriverPrinterOnDemand();
    // Every job into one PDF file, each on new pages.
    explicit DriverPrinterOnDemand(std::filesystem::path pdf);
    ~DriverPrinterOnDemand() override;

    bool selectPrinter(const std::string& name) override { return real().selectPrinter(name); }
    std::string currentPrinter() const override { return real().currentPrinter(); }
    void setFontName(const std::string& name) override { real().setFontName(name); }
    void setFontSize(double points) override { real().setFontSize(points); }
    double fontSize() const override { return real().fontSize(); }
    void setBold(bool bold) override { real().setBold(bold); }
    bool bold() const override { return real().bold(); }
    void setLineDrawing(bool on) override { real().setLineDrawing(on); }
    bool lineDrawing() const override { return real().lineDrawing(); }
    void setOrientation(Orientation o) override { real().setOrientation(o); }
    void setDuplex(Duplex d) override { real().setDuplex(d); }
    Paper paper() const override { return real().paper(); }
    FontShape fontShape(const std::string& name) const override { return real().fontShape(name); }
    void print(const std::string& text, bool endLine) override { real().print(text, endLine); }
    void newPage() override { real().newPage(); }
    void endDoc() override { real().endDoc(); }
    void killDoc() override { real().killDoc(); }

    // The PDF file finished: error 68 when it cannot be written, error 53 when no page was printed
    // (the print file was not found).
    void closePdf();

private:
    DriverPrinter& real() const;

    std::optional<std::filesystem::path> pdf_;
    mutable std::unique_ptr<DriverPrinter> printer_;
};

// The destination whose settings a PDF takes: the one named, which must print through the driver,
// else the first destination of the list that does. A UsageError for a named destination that is
// unknown or raw; error 68 when no destination prints through the driver.
std::string pdfDestination(const Workspace& ws, const std::optional<std::string>& named, bool compressed);

// The print file printed into a PDF file as the print menu prints it on the destination.
void printPrintFileToPdf(const Workspace& ws, const std::filesystem::path& pdf, const std::string& destination,
                         bool compressed, bool landscape);

// The print file for a terminal: frames as line-drawing characters, letters in UTF-8.
void showPrintFile(const std::filesystem::path& file);

}  // namespace ov::cli
