#pragma once
// The parts of the program that need Qt's graphical libraries (the windows, printing through the
// system's driver or into a PDF file, chart files) make a module of their own, ovdesk-qt.so,
// loaded the first time a run needs one of them: a command that never does (a summary to the
// print file, a listing, a query) starts without loading those libraries.
#include <filesystem>
#include <memory>
#include <vector>

#include "charts/chart_file.h"
#include "charts/period_charts.h"
#include "platform/driver_printer.h"

namespace ov {

struct QtModule {
    // The main window on the working folder, until it closes; the program's exit status.
    int (*runGui)(int argc, char** argv, const std::filesystem::path& folder);
    // A printer on the system's queues (pdf null) or into the PDF file; it brings the Qt
    // application it needs (offscreen without a display) and ends it when it goes.
    std::unique_ptr<DriverPrinter> (*openDriverPrinter)(const std::filesystem::path* pdf);
    // The charts written to a file as ExportCharts writes them, under an application of their own.
    void (*exportCharts)(const std::vector<ChartData>& charts, const std::filesystem::path& file, PixelSize size);
};

// The module, loaded on first use and kept to the end; Error naming its file when it cannot be
// found or loaded.
const QtModule& qtModule();

}  // namespace ov

// What the module exports: its functions, built with the same compiler as the program.
extern "C" const ov::QtModule* ovdesk_qt_module();
