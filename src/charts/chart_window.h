#pragma once
// "Grafici del periodo": the three charts of the main window's selection in tabs, the comparison
// with the same period a year earlier, saving to a file and "&Chiudi". The figures and the charts'
// content come from period_charts; the window only shows them.
#include <QDialog>
#include <functional>
#include <optional>

#include "charts/period_charts.h"

class QCheckBox;
class QPushButton;
class QTabWidget;

class QChartView;

namespace ov {

// Figures of the same selection again, with or without the year before; nothing when the run
// could not start (the host has told why).
using RecomputeCharts = std::function<std::optional<ChartFigures>(bool comparePreviousYear)>;

class ChartWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Grafici del periodo";

    ChartWindow(ChartFigures figures, const NumberFormat& numbers, Host& host, RecomputeCharts recompute,
                QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    QChartView* view(int index) const;
    QCheckBox* compareBox() const { return compare_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* closeButton() const { return close_; }
    // What the tabs show now.
    const std::vector<ChartData>& charts() const { return charts_; }

    // Writes the three charts to `file` as "Salva..." does (PNG and SVG at the window's picture size).
    void saveTo(const std::filesystem::path& file);

private:
    void buildControls();
    void showCharts();
    void compareToggled(bool on);
    void chooseFileAndSave();

    ChartFigures figures_;
    NumberFormat numbers_;
    Host& host_;
    RecomputeCharts recompute_;
    std::vector<ChartData> charts_;

    QTabWidget* tabs_ = nullptr;
    QCheckBox* compare_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* close_ = nullptr;
};

// The "Grafici" menu: computes the figures of the selection with the summary's progress in the
// host, then shows the window modally over parent. Throws Error when a database cannot be read.
void showChartWindow(QWidget* parent, const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                     const NumberFormat& numbers, Host& host);

}  // namespace ov
