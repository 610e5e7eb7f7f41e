#include "platform/driver_printer_qt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "core/cp1252.h"
#include "core/error.h"

namespace ov {

namespace {

QString fromCp1252(const std::string& text) { return QString::fromStdString(cp1252::toUtf8(text)); }

QPageLayout::Orientation qtOrientation(Orientation o) {
    return o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPrinter::DuplexMode qtDuplex(Duplex d) {
    switch (d) {
        case Duplex::Horizontal: return QPrinter::DuplexShortSide;
        case Duplex::Vertical: return QPrinter::DuplexLongSide;
        case Duplex::Simplex: break;
    }
    return QPrinter::DuplexNone;
}

Error printerError(const std::string& printer, const std::string& what) {
    return Error(err::Device, "Errore della stampante '" + cp1252::toUtf8(printer) + "': " + what + ".");
}

}  // namespace

QtDriverPrinter::QtDriverPrinter() {
    current_ = cp1252::fromUtf8(QPrinterInfo::defaultPrinterName().toStdString());
    if (current_.empty()) {
        auto all = installedPrinters();
        if (!all.empty()) current_ = all.front();
    }
}

std::unique_ptr<QtDriverPrinter> QtDriverPrinter::toPdf(const std::string& path) {
    auto p = std::make_unique<QtDriverPrinter>();
    p->pdfPath_ = path;
    p->current_ = "PDF";
    return p;
}

QtDriverPrinter::~QtDriverPrinter() {
    if (painter_) killDoc();
}

std::vector<std::string> QtDriverPrinter::installedPrinters() {
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(cp1252::fromUtf8(n.toStdString()));
    return names;
}

bool QtDriverPrinter::selectPrinter(const std::string& deviceName) {
    if (!pdfPath_.empty()) return false;
    for (const auto& n : installedPrinters()) {
        if (n == deviceName) {
            current_ = n;
            return true;
        }
    }
    return false;
}

void QtDriverPrinter::beginJob() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath_.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdfPath_));
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageMargins(QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
    } else {
        if (current_.empty()) throw Error(err::Device, "Nessuna stampante installata: impossibile stampare.");
        printer->setPrinterName(fromCp1252(current_));
        if (!printer->isValid()) throw printerError(current_, "stampante non disponibile");
    }
    printer->setFullPage(false);
    printer->setPageOrientation(qtOrientation(orientation_));
    if (duplex_) printer->setDuplex(qtDuplex(*duplex_));
    printer->setDocName(QStringLiteral("ovdesk"));

    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer.get())) throw printerError(current_, "impossibile iniziare la stampa");
    printer_ = std::move(printer);
    painter_ = std::move(painter);
}

void QtDriverPrinter::openPage() {
    if (!painter_) {
        beginJob();
    } else {
        printer_->setPageOrientation(qtOrientation(orientation_));
        if (!printer_->newPage()) throw printerError(current_, "impossibile iniziare una nuova pagina");
    }
    pageHeight_ = printer_->pageRect(QPrinter::DevicePixel).height();
    pageOpen_ = true;
    x_ = y_ = lineHeight_ = 0;
}

void QtDriverPrinter::print(const std::string& text, bool endLine) {
    QFont font(fromCp1252(fontName_));
    font.setPointSizeF(std::max(1.0, fontSize_));
    font.setBold(bold_);
    if (pageOpen_ && painter_) {
        QFontMetricsF fm(font, printer_.get());
        // A line that no longer fits goes on a new page, as the printer object does by itself.
        if (x_ == 0 && y_ > 0 && y_ + fm.lineSpacing() > pageHeight_) pageOpen_ = false;
    }
    if (!pageOpen_) openPage();
    QFontMetricsF fm(font, printer_.get());
    if (!text.empty()) {
        QString s = fromCp1252(text);
        painter_->setFont(font);
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
    if (!painter_) {
        duplex_.reset();
        return;
    }
    bool ok = painter_->end();
    finishJob();
    if (!ok) throw printerError(current_, "stampa non completata");
}

void QtDriverPrinter::killDoc() {
    if (painter_) {
        printer_->abort();
        painter_->end();
    }
    finishJob();
}

Printer& programPrinter() {
    static QtDriverPrinter printer;
    return printer;
}

}  // namespace ov
