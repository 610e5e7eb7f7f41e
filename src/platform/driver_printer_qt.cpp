#include "platform/driver_printer_qt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/cp1252.h"
#include "core/error.h"
#include "platform/cups_queues.h"
#include "platform/line_drawing.h"

namespace ov {

namespace {

// The PDF file's sheet: A4 with the quarter-inch margins of common laser printers.
constexpr double kPdfMarginMm = 6.35;

QString fromCp1252(const std::string& text) { return QString::fromStdString(cp1252::toUtf8(text)); }

QString withLineDrawing(const std::string& text) {
    std::u32string chars;
    chars.reserve(text.size());
    for (unsigned char c : text) chars += lineDrawingCharacter(c);
    return QString::fromStdU32String(chars);
}

QPageLayout::Orientation qtOrientation(Orientation o) {
    return o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPrinter::DuplexMode qtDuplex(Duplex d) {
    switch (d) {
        case Duplex::LongEdge: return QPrinter::DuplexLongSide;
        case Duplex::ShortEdge: return QPrinter::DuplexShortSide;
        case Duplex::Simplex: break;
    }
    return QPrinter::DuplexNone;
}

Error printerError(const std::string& printer, const std::string& what) {
    return Error(err::Device, "Errore della stampante '" + cp1252::toUtf8(printer) + "': " + what + ".");
}

void setUpPdf(QPrinter& printer, const std::string& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm), QPageLayout::Millimeter);
}

}  // namespace

struct QtDriverPrinter::FontCache {
    std::string name;
    double size = 0;
    bool bold = false;
    QFont font;
    const QPrinter* device = nullptr;
    std::optional<QFontMetricsF> metrics;
};

QtDriverPrinter::QtDriverPrinter() : QtDriverPrinter(std::string()) {}

QtDriverPrinter::QtDriverPrinter(std::string pdfPath)
    : pdfPath_(std::move(pdfPath)), fontCache_(std::make_unique<FontCache>()) {}

const QFont& QtDriverPrinter::font() {
    FontCache& c = *fontCache_;
    const double size = std::max(1.0, fontSize_);
    if (c.name != fontName_ || c.size != size || c.bold != bold_ || c.font.family().isEmpty()) {
        c.name = fontName_;
        c.size = size;
        c.bold = bold_;
        c.font = QFont(fromCp1252(fontName_));
        c.font.setPointSizeF(size);
        c.font.setBold(bold_);
        c.metrics.reset();
    }
    return c.font;
}

const QFontMetricsF& QtDriverPrinter::metrics() {
    const QFont& f = font();
    FontCache& c = *fontCache_;
    if (!c.metrics || c.device != printer_.get()) {
        c.metrics.emplace(f, printer_.get());
        c.device = printer_.get();
    }
    return *c.metrics;
}

std::unique_ptr<QtDriverPrinter> QtDriverPrinter::toPdf(const std::string& path) {
    return std::unique_ptr<QtDriverPrinter>(new QtDriverPrinter(path));
}

QtDriverPrinter::~QtDriverPrinter() {
    try {
        if (toPdfFile())
            closePdf();
        else if (painter_)
            killDoc();
    } catch (...) {
    }
}

std::vector<std::string> QtDriverPrinter::installedPrinters() { return cups::queueNames(); }

bool QtDriverPrinter::selectPrinter(const std::string& deviceName) {
    if (toPdfFile()) return true;  // the PDF file takes the job whatever the device is called
    for (const auto& n : installedPrinters()) {
        if (n == deviceName) {
            selected_ = n;
            return true;
        }
    }
    return false;
}

std::string QtDriverPrinter::currentPrinter() const {
    if (toPdfFile()) return "PDF";
    if (!selected_.empty()) return selected_;
    std::string name = cups::defaultQueue();
    if (name.empty()) {
        auto all = installedPrinters();
        if (!all.empty()) name = all.front();
    }
    return name;
}

Paper QtDriverPrinter::paper() const {
    QPrinter printer(QPrinter::HighResolution);
    if (toPdfFile()) {
        setUpPdf(printer, pdfPath_);
    } else {
        const std::string name = currentPrinter();
        if (!name.empty()) printer.setPrinterName(fromCp1252(name));
    }
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QMarginsF m = layout.margins(QPageLayout::Point);
    return Paper{full.width(), full.height(), m.left(), m.top(), m.right(), m.bottom()};
}

FontShape QtDriverPrinter::fontShape(const std::string& fontName) const {
    // Measured large on the printer's resolution, where glyphs keep their design proportions.
    constexpr double kSize = 100;
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    QFont font(fromCp1252(fontName));
    font.setPointSizeF(kSize);
    QFontMetricsF fm(font, &device);
    const double pointsPerPixel = 72.0 / device.resolution();
    return FontShape{fm.horizontalAdvance(QChar('M')) * pointsPerPixel / kSize,
                     fm.lineSpacing() * pointsPerPixel / kSize};
}

void QtDriverPrinter::beginJob() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (toPdfFile()) {
        setUpPdf(*printer, pdfPath_);
        jobPrinterName_ = "PDF";
    } else {
        jobPrinterName_ = currentPrinter();
        if (jobPrinterName_.empty())
            throw Error(err::Device, "Nessuna stampante installata: impossibile stampare. " + cups::describeQueues());
        printer->setPrinterName(fromCp1252(jobPrinterName_));
        if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat)
            throw printerError(jobPrinterName_, "stampante non disponibile");
    }
    printer->setFullPage(false);
    printer->setPageOrientation(qtOrientation(orientation_));
    if (duplex_) printer->setDuplex(qtDuplex(*duplex_));
    printer->setDocName(QStringLiteral("ovdesk"));

    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer.get())) throw printerError(jobPrinterName_, "impossibile iniziare la stampa");
    printer_ = std::move(printer);
    painter_ = std::move(painter);
}

void QtDriverPrinter::openPage() {
    if (!painter_) {
        beginJob();
    } else {
        printer_->setPageOrientation(qtOrientation(orientation_));
        if (!printer_->newPage()) throw printerError(jobPrinterName_, "impossibile iniziare una nuova pagina");
    }
    pageHeight_ = printer_->pageRect(QPrinter::DevicePixel).height();
    pageOpen_ = true;
    x_ = y_ = lineHeight_ = 0;
}

void QtDriverPrinter::print(const std::string& text, bool endLine) {
    // A line that no longer fits goes on a new page, as the printer object does by itself.
    if (pageOpen_ && painter_ && x_ == 0 && y_ > 0 && y_ + metrics().lineSpacing() > pageHeight_) pageOpen_ = false;
    if (!pageOpen_) openPage();
    const QFontMetricsF& fm = metrics();
    if (!text.empty()) {
        QString s = lineDrawing_ ? withLineDrawing(text) : fromCp1252(text);
        if (painter_->font() != font()) painter_->setFont(font());
        painter_->drawText(QPointF(x_, y_ + fm.ascent()), s);
        x_ += fm.horizontalAdvance(s);
    }
    lineHeight_ = std::max(lineHeight_, fm.lineSpacing());
    if (endLine) {
        y_ += lineHeight_;
        x_ = 0;
        lineHeight_ = 0;
    }
}

void QtDriverPrinter::newPage() {
    if (!pageOpen_) openPage();  // a page asked to end before any output is a blank page
    pageOpen_ = false;
}

void QtDriverPrinter::finishJob() {
    painter_.reset();
    printer_.reset();
    pageOpen_ = false;
    duplex_.reset();
}

void QtDriverPrinter::endDoc() {
    if (!painter_ || toPdfFile()) {
        // The PDF file goes on: the next job begins on a new page of it.
        pageOpen_ = false;
        duplex_.reset();
        return;
    }
    bool ok = painter_->end();
    finishJob();
    if (!ok) throw printerError(jobPrinterName_, "stampa non completata");
}

void QtDriverPrinter::killDoc() {
    if (painter_) {
        printer_->abort();
        painter_->end();
    }
    finishJob();
    // A PDF file holds every job: abandoning one abandons the file, so no half report is left.
    if (toPdfFile()) {
        std::error_code ec;
        std::filesystem::remove(pdfPath_, ec);
    }
}

void QtDriverPrinter::closePdf() {
    if (!toPdfFile() || !painter_) return;
    bool ok = painter_->end();
    finishJob();
    if (!ok) throw printerError("PDF", "impossibile scrivere il file " + pdfPath_);
}

Printer& programPrinter() {
    static QtDriverPrinter printer;
    return printer;
}

}  // namespace ov
