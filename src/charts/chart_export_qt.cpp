#include "charts/chart_export_qt.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "charts/chart_view_qt.h"
#include "core/error.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr int kFileWriteError = 75;
// Width the charts of a PDF page are laid out at before they are scaled onto the page.
constexpr double kPdfLayoutWidth = 1100;

// Lays the chart out at `layout` (fonts keep their size there) and paints it scaled into `target`.
void paintChart(QPainter& painter, const ChartData& data, const QRectF& target, const QSizeF& layout) {
    QGraphicsScene scene;
    QChart* chart = MakeChart(data);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), layout));
    // The axes and the legend settle through queued layout requests.
    QCoreApplication::processEvents();
    scene.render(&painter, target, QRectF(QPointF(0, 0), layout), Qt::IgnoreAspectRatio);
}

// The charts one under the other, each the full width and an equal share of the height.
void paintStacked(QPainter& painter, const std::vector<ChartData>& charts, PixelSize size) {
    if (charts.empty()) return;
    const double h = static_cast<double>(size.height) / static_cast<double>(charts.size());
    for (size_t i = 0; i < charts.size(); ++i) {
        const QRectF target(0, h * static_cast<double>(i), size.width, h);
        paintChart(painter, charts[i], target, target.size());
    }
}

QByteArray png(const std::vector<ChartData>& charts, PixelSize size) {
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintStacked(painter, charts, size);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The fastest compression: a chart is mostly flat colour, it hardly grows.
    image.save(&buffer, "PNG", 80);
    return bytes;
}

QByteArray svg(const std::vector<ChartData>& charts, PixelSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // Sized in CSS pixels: the file says millimetres, at 96 pixels an inch.
    generator.setResolution(96);
    generator.setSize(QSize(size.width, size.height));
    generator.setViewBox(QRect(0, 0, size.width, size.height));
    generator.setTitle(QStringLiteral("Grafici del periodo"));
    QPainter painter(&generator);
    painter.fillRect(QRect(0, 0, size.width, size.height), Qt::white);
    paintStacked(painter, charts, size);
    painter.end();
    return bytes;
}

// The page of the print pipeline: A4 landscape with its margins.
QByteArray pdf(const std::vector<ChartData>& charts) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(QStringLiteral("Grafici del periodo"));
    writer.setCreator(QStringLiteral("ovdesk"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
    QPainter painter(&writer);
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
    const QSizeF layout(kPdfLayoutWidth, kPdfLayoutWidth * page.height() / page.width());
    for (size_t i = 0; i < charts.size(); ++i) {
        if (i > 0) writer.newPage();
        paintChart(painter, charts[i], page, layout);
    }
    painter.end();
    return bytes;
}

}  // namespace

void ExportCharts(const std::vector<ChartData>& charts, const fs::path& file, PixelSize size) {
    const std::string name = file.filename().string();
    const std::optional<ChartFileFormat> format = ChartFileFormatOf(file);
    if (!format)
        throw Error(err::Usage, "Formato del file '" + name + "' non riconosciuto: usare .png, .svg o .pdf.");
    if (*format != ChartFileFormat::Pdf && (size.width <= 0 || size.height <= 0))
        throw Error(err::Usage, "Dimensioni non valide per il file '" + name + "'.");
    const QByteArray bytes = *format == ChartFileFormat::Png   ? png(charts, size)
                             : *format == ChartFileFormat::Svg ? svg(charts, size)
                                                               : pdf(charts);
    QSaveFile out(QString::fromStdString(file.string()));
    if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw Error(kFileWriteError, "Impossibile scrivere il file '" + name + "'.");
}

HeadlessGui::HeadlessGui() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ovdesk";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
}

HeadlessGui::~HeadlessGui() = default;

}  // namespace ov
