// The charts drawn with Qt Charts on the offscreen platform: the files of each format at the asked
// size, an empty period's axes and message, the chart window, and a month of the hotel set opened
// from the main window's "Grafici" menu.
#include <QApplication>
#include <QBarSet>
#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QStackedBarSeries>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <regex>

#include "app/app_context.h"
#include "app/main_window.h"
#include "charts/chart_export_qt.h"
#include "charts/chart_view_qt.h"
#include "charts/chart_window.h"
#include "platform/qt_host.h"
#include "support/recording_host.h"
#include "support/sanitized.h"
#include "support/temp_folder.h"

using namespace ov;
namespace fs = std::filesystem;

namespace {

Money m(const char* s) { return *Money::parse(s); }

// Ten days of May 2024 with guests and takings, and the same days a year earlier.
ChartFigures sampleFigures() {
    auto month = [](int year, int scale) {
        SummaryFigures f;
        for (auto& h : f.headings) h = std::string(9, ' ');
        f.headings[0] = "BAR      ";
        for (int i = 0; i < 10; ++i) {
            SummaryDay& d = f.days.emplace_back();
            d.date = Date{year, 5, 1 + i};
            d.dmy = d.date.dmy();
            d.counters[0] = 10 + i * scale;
            d.counters[14] = 3;
            d.amounts.hotelU = Money::fromInteger(400 + 50 * i * scale);
            d.amounts.columnTakings[1] = m("35.5");
            d.amounts.expenses = m("-20");
            f.totals.add(d.counters, d.amounts);
        }
        return f;
    };
    return {{"01/05/2024", "10/05/2024", "", "ZZZZ"}, month(2024, 2), month(2023, 1)};
}

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buf;
    for (size_t n; pipe && (n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0;) out.append(buf.data(), n);
    return out;
}

// How many pixels of the picture have exactly this colour (bars are filled flat).
int pixelsOf(const QImage& image, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xffffff) == (rgb & 0xffffff);
    return n;
}

// The width and height an SVG file states, in CSS pixels (96 an inch), to the nearest pixel.
QSizeF svgCssPixels(const std::string& svg) {
    std::smatch m;
    if (!std::regex_search(svg, m, std::regex(R"(<svg width="([\d.]+)mm" height="([\d.]+)mm")"))) return {};
    return QSizeF(std::round(std::stod(m[1]) / 25.4 * 96), std::round(std::stod(m[2]) / 25.4 * 96));
}

QStringList texts(QChart* chart) {
    QStringList out;
    for (QGraphicsItem* item : chart->childItems())
        if (auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(item)) out << t->text();
    return out;
}

}  // namespace

TEST(ChartExport, WritesEachFormatAtTheAskedSize) {
    ovtest::TempFolder folder;
    const auto charts = PeriodCharts(sampleFigures(), NumberFormat::italian());

    ExportCharts(charts, folder / "grafici.png", {900, 1200});
    QImage png(QString::fromStdString((folder / "grafici.png").string()));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(900, 1200));
    // The bars are drawn: the HOTEL colour of the takings and the first guest colour fill areas.
    EXPECT_GT(pixelsOf(png, charts[1].bars[0].colour), 2000);
    EXPECT_GT(pixelsOf(png, charts[0].bars[0].colour), 2000);

    ExportCharts(charts, folder / "grafici.svg", {640, 480});
    QSvgRenderer svg(QString::fromStdString((folder / "grafici.svg").string()));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 640, 480));
    EXPECT_EQ(svgCssPixels(folder.read("grafici.svg")), QSizeF(640, 480));

    ExportCharts(charts, folder / "grafici.pdf", {0, 0});
    const std::string info = run("pdfinfo '" + (folder / "grafici.pdf").string() + "'");
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    std::smatch size;
    ASSERT_TRUE(std::regex_search(info, size, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) << info;
    EXPECT_NEAR(std::stod(size[1]), 841.89, 0.5);  // A4 landscape, the print pipeline's page
    EXPECT_NEAR(std::stod(size[2]), 595.28, 0.5);
    const std::string text = run("pdftotext -f 2 -l 2 '" + (folder / "grafici.pdf").string() + "' -");
    EXPECT_NE(text.find("Incassi per giorno"), std::string::npos) << text;
    EXPECT_NE(text.find("HOTEL: 8.500,00"), std::string::npos) << text;
}

TEST(ChartExport, UnknownExtensionOrUnwritableFileLeavesNothing) {
    ovtest::TempFolder folder;
    const auto charts = PeriodCharts(sampleFigures(), NumberFormat::italian());
    const std::pair<fs::path, int> cases[] = {{folder / "grafici.bmp", err::Usage},
                                              {folder / "manca" / "grafici.png", 75}};
    for (const auto& [file, number] : cases) {
        try {
            ExportCharts(charts, file, {800, 600});
            ADD_FAILURE() << file;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number) << e.message();
            EXPECT_NE(e.message().find(file.filename().string()), std::string::npos) << e.message();
        }
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(ChartView, EmptyPeriodDrawsEmptyAxesWithItsMessage) {
    ChartFigures empty{{"10/05/2024", "01/05/2024", "", "ZZZZ"}, {}, std::nullopt};
    for (const ChartData& data : PeriodCharts(empty, NumberFormat::italian())) {
        std::unique_ptr<QChart> chart(MakeChart(data));
        EXPECT_EQ(chart->axes().size(), 2);
        EXPECT_TRUE(texts(chart.get()).contains("Nessun giorno nel periodo scelto")) << data.title;
    }
    ovtest::TempFolder folder;
    ExportCharts(PeriodCharts(empty, NumberFormat::italian()), folder / "vuoto.png", {600, 900});
    EXPECT_EQ(QImage(QString::fromStdString((folder / "vuoto.png").string())).size(), QSize(600, 900));
}

TEST(ChartView, DrawsTheStackedSeriesTheLineAndTheAxisLabels) {
    const auto charts = PeriodCharts(sampleFigures(), NumberFormat::italian());
    std::unique_ptr<QChart> chart(MakeChart(charts[1]));
    ASSERT_EQ(chart->series().size(), 2);
    auto* bars = qobject_cast<QStackedBarSeries*>(chart->series()[0]);
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->barSets().size(), static_cast<int>(charts[1].bars.size()));
    EXPECT_EQ(bars->barSets()[0]->label(), "HOTEL: 8.500,00");
    EXPECT_EQ(bars->barSets()[0]->at(9), 1300);
    auto* line = qobject_cast<QLineSeries*>(chart->series()[1]);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->count(), 10);
    EXPECT_EQ(line->at(9).y(), charts[1].comparison->values[9]);
    EXPECT_TRUE(texts(chart.get()).isEmpty());  // no empty-chart message
}

TEST(ChartWindowTest, ShowsTheThreeChartsAndComparesOnRequest) {
    ovtest::TempFolder folder;
    ovtest::copyFixtureWorkFolder("edge", folder.path());
    Workspace ws(folder.path(), std::make_shared<MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}));
    ProgramState state;
    ovtest::RecordingHost host;
    const SummarySelection sel{"01/01/2024", "31/01/2024", "", "ZZZZ"};
    auto figures = ComputeChartFigures(sel, false, ws, state, host);
    ASSERT_TRUE(figures.has_value());
    std::vector<bool> asked;
    ChartWindow w(std::move(*figures), NumberFormat::italian(), host, [&](bool compare) {
        asked.push_back(compare);
        return ComputeChartFigures(sel, compare, ws, state, host);
    });
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.windowTitle(), "Grafici del periodo");
    ASSERT_EQ(w.tabs()->count(), 3);
    EXPECT_EQ(w.tabs()->tabText(0), "Ospiti");
    EXPECT_EQ(w.tabs()->tabText(1), "Incassi");
    EXPECT_EQ(w.tabs()->tabText(2), "Totali");
    for (int i = 0; i < 3; ++i) {
        QChart* chart = w.view(i)->chart();
        EXPECT_EQ(chart->title().toStdString(), w.charts()[static_cast<size_t>(i)].title);
        EXPECT_EQ(chart->series().size(), 1);
    }
    EXPECT_FALSE(w.compareBox()->isChecked());

    w.compareBox()->setChecked(true);
    EXPECT_EQ(asked, std::vector<bool>{true});
    ASSERT_TRUE(w.charts()[1].comparison.has_value());
    EXPECT_EQ(w.view(1)->chart()->series().size(), 2);

    w.saveTo(folder / "dalla_finestra.pdf");
    EXPECT_TRUE(fs::file_size(folder / "dalla_finestra.pdf") > 0);
    EXPECT_TRUE(host.errors.empty());
}

// A month of the hotel set through the menu, as the user opens it; the time is printed for the note.
TEST(ChartWindowTest, MonthOfTheHotelSetOpensFromTheGraficiMenu) {
    ovtest::TempFolder folder;
    const fs::path history = ovtest::copyFixtureWorkFolder("hotel", folder.path());
    Workspace ws(folder.path(), std::make_shared<MapEnvironment>(std::map<std::string, std::string>{
                                    {"PCLocal", "1"}, {"DIRSH", history.string()}}));
    ProgramState state;
    AppContext ctx(ws, state, NumberFormat::italian());
    wireApplication(ctx);
    QtHost host;
    MainWindow main(ctx, host);
    host.setWindow(&main);
    host.setProgressBar(main.progressBar());
    main.show();
    const char* fields[] = {"01/08/2024", "31/08/2024", "", "ZZZZ"};
    for (int i = 0; i < 4; ++i) main.field(i)->setText(fields[i]);

    QElapsedTimer clock;
    qint64 shownAfter = -1;
    std::vector<ChartData> shown;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* w = qobject_cast<ChartWindow*>(QApplication::activeModalWidget())) {
            shownAfter = clock.elapsed();
            shown = w->charts();
            w->close();
        }
    });
    poll.start();
    clock.start();
    main.chartsAction()->trigger();
    poll.stop();

    ASSERT_GE(shownAfter, 0);
    EXPECT_LT(shownAfter, 5000 * ovtest::kSlowdown);  // a second on a quiet machine; far more means work done twice
    std::printf("[ chart window ] a month of the hotel set shown after %lld ms\n", static_cast<long long>(shownAfter));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].categories.size(), 31u);
    EXPECT_EQ(shown[0].bars.size(), 12u);  // both hotels, private and company guests, every board
    EXPECT_EQ(main.windowTitle(), "Riepilogo dati Hotel");
    EXPECT_FALSE(main.progressBar()->isVisible());
}
