#pragma once
// Writes the charts of a period to a file, in the format its extension names: PNG of the asked
// size in pixels, SVG of the asked size, PDF on the print pipeline's page (A4 landscape, a chart a
// page). Needs a Qt application; HeadlessGui gives one to a command without windows.
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "charts/chart_file.h"
#include "charts/period_charts.h"

class QApplication;

namespace ov {

// The charts one under the other (PNG, SVG) or a page each (PDF). The file is replaced whole or
// left as it was: Error 75 naming it when it cannot be written, error 5 for an unknown extension.
void ExportCharts(const std::vector<ChartData>& charts, const std::filesystem::path& file, PixelSize size);

// The Qt application of a command without windows: the offscreen platform unless QT_QPA_PLATFORM
// names another, so that no display is needed. Nothing happens when an application runs already.
class HeadlessGui {
public:
    HeadlessGui();
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace ov
