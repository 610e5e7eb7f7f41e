// ovdesk chart: the charts of the main window's "Grafici" menu written to a file, without windows.
#include <charconv>
#include <iostream>

#include "app/qt_module.h"
#include "cli/cli.h"
#include "data/column_store.h"
#include "cli/cli_host.h"

namespace ov::cli {
namespace {

constexpr int kDefaultWidth = 1400;
constexpr int kDefaultChartHeight = 500;  // per chart

// A whole number of pixels from 100 to 10000; 0 when the text is not one.
int pixels(const std::string& text) {
    int n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() && n >= 100 && n <= 10000 ? n : 0;
}

// "--size 1600x900": width and height in pixels.
PixelSize sizeOption(const Options& o, size_t charts) {
    auto v = o.value("size");
    if (!v) return {kDefaultWidth, kDefaultChartHeight * static_cast<int>(charts)};
    const size_t x = v->find('x');
    const PixelSize size{pixels(v->substr(0, x)), x == std::string::npos ? 0 : pixels(v->substr(x + 1))};
    if (size.width == 0 || size.height == 0)
        throw UsageError("--size: dimensioni non valide (LARGHEZZAxALTEZZA, da 100 a 10000 pixel): " + *v);
    return size;
}

}  // namespace

int runChart(const Args& args) {
    Options o(args, {"folder", "from", "to", "first-room", "last-room", "chart", "size", "out"},
              {"compare-previous-year"});
    o.expectOperands(0);
    auto out = o.value("out");
    if (!out || out->empty()) throw UsageError("manca --out FILE (.png, .svg o .pdf)");
    if (!ChartFileFormatOf(*out)) throw UsageError("--out: il file deve finire in .png, .svg o .pdf: " + *out);
    const auto which = o.value("chart");
    if (which && *which != "ospiti" && *which != "incassi" && *which != "totali")
        throw UsageError("--chart: ospiti, incassi o totali, non " + *which);
    Workspace ws = o.workspace();
    // As the main window does at start-up: the charts read the column store.
    EnsureColumnStore(ws);
    ProgramState state;
    const NumberFormat fmt = NumberFormat::fromEnvironmentLocale();
    const SummarySelection sel = SelectionOptions(o, state, fmt);
    const PixelSize size = sizeOption(o, which ? 1 : 3);

    CliHost host;
    std::optional<ChartFigures> figures;
    try {
        figures = ComputeChartFigures(sel, o.flag("compare-previous-year"), ws, state, host);
    } catch (const Error& e) {
        host.showError(e);
        return 1;
    }
    if (!figures) return 1;
    std::vector<ChartData> charts = PeriodCharts(*figures, fmt);
    if (which) {
        const ChartKind kind = *which == "ospiti" ? ChartKind::Guests : *which == "incassi" ? ChartKind::Takings : ChartKind::Totals;
        std::erase_if(charts, [kind](const ChartData& c) { return c.kind != kind; });
    }
    qtModule().exportCharts(charts, *out, size);
    std::cout << *out << "\n";
    return 0;
}

}  // namespace ov::cli
