// The entry of the Qt module (app/qt_module.h): the windows, the driver printer and chart files.
#include "app/gui_start.h"
#include "app/qt_module.h"
#include "charts/chart_export_qt.h"
#include "platform/driver_printer_qt.h"

namespace ov {
namespace {

// The Qt application a command without windows needs is made before the printer and ends after it.
class HeadlessDriverPrinter final : private HeadlessGui, public QtDriverPrinter {
public:
    explicit HeadlessDriverPrinter(const std::filesystem::path* pdf) : QtDriverPrinter(pdf ? pdf->string() : "") {}
};

std::unique_ptr<DriverPrinter> openDriverPrinter(const std::filesystem::path* pdf) {
    return std::make_unique<HeadlessDriverPrinter>(pdf);
}

void exportCharts(const std::vector<ChartData>& charts, const std::filesystem::path& file, PixelSize size) {
    HeadlessGui gui;
    ExportCharts(charts, file, size);
}

const QtModule kModule{runGui, openDriverPrinter, exportCharts};

}  // namespace
}  // namespace ov

extern "C" const ov::QtModule* ovdesk_qt_module() { return &ov::kModule; }
