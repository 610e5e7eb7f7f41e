#include "cli/report_printers.h"

#include <iostream>

#include "app/qt_module.h"
#include "cli/cli.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/text_file.h"
#include "print/frame_strokes.h"
#include "print/page_printing.h"
#include "print/print_file.h"
#include "print/print_setup.h"

namespace fs = std::filesystem;

namespace ov::cli {

DriverPrinterOnDemand::DriverPrinterOnDemand() = default;

// The file is replaced: what it held must not pass for the pages of this run.
DriverPrinterOnDemand::DriverPrinterOnDemand(fs::path pdf) : pdf_(std::move(pdf)) {
    std::error_code ec;
    fs::remove(*pdf_, ec);
}

// Qt lives as long as this printer, and no longer: nothing of it is left for the exit handlers.
DriverPrinterOnDemand::~DriverPrinterOnDemand() { printer_.reset(); }

DriverPrinter& DriverPrinterOnDemand::real() const {
    if (!printer_) printer_ = qtModule().openDriverPrinter(pdf_ ? &*pdf_ : nullptr);
    return *printer_;
}

void DriverPrinterOnDemand::closePdf() {
    if (!pdf_) return;
    if (printer_) printer_->closePdf();
    std::error_code ec;
    if (!fs::exists(*pdf_, ec))
        throw Error(err::FileIo, "Nessuna pagina stampata nel file " + pdf_->string() +
                                     ": il file di stampa non è stato trovato.");
}

std::string pdfDestination(const Workspace& ws, const std::optional<std::string>& named, bool compressed) {
    auto printsThroughDriver = [&](const std::string& destination) {
        std::optional<PrintSetup> setup = assemblePrintSetup(ws, {destination, compressed, std::nullopt, {}, 1});
        return setup && setup->driverMode;
    };
    if (named) {
        const std::string name = cp1252::fromUtf8(*named);
        std::optional<PrintSetup> setup = assemblePrintSetup(ws, {name, compressed, std::nullopt, {}, 1});
        if (!setup) throw UsageError("--destination: destinazione sconosciuta: " + *named);
        if (!setup->driverMode)
            throw UsageError("--pdf: la destinazione " + *named +
                             " stampa direttamente su una porta; il PDF vuole una destinazione che stampa attraverso il driver");
        return name;
    }
    for (const std::string& d : readDestinations(ws))
        if (printsThroughDriver(d)) return d;
    throw Error(err::Device, "Nessuna destinazione di Stampanti.mdb stampa attraverso il driver: "
                             "il PDF prende caratteri, dimensioni e righe per pagina da una di esse.");
}

void printPrintFileToPdf(const Workspace& ws, const fs::path& pdf, const std::string& destination, bool compressed,
                         bool landscape) {
    // The print menu reads the print file by the workstation number: without PCLocal that is FD0.
    if (!ws.find(printFileReadName(ws)))
        throw Error(err::FileIo, "Il file di stampa " + printFileReadName(ws) +
                                     " non esiste: il PDF non è stato scritto (PCLocal = '" + workstationText(ws) + "').");
    PrintFileJob job;
    job.destination = destination;
    job.compressed = compressed;
    job.landscape = landscape;
    job.optionLetters = readOptionLetters(ws);
    DriverPrinterOnDemand printer(pdf);
    printPrintFile(ws, job, printer);
    printer.closePdf();
}

void showPrintFile(const fs::path& file) {
    for (const auto& line : ReadLines(file)) std::cout << TerminalLine(line) << "\n";
}

}  // namespace ov::cli
