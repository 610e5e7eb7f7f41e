#include "tableprint/table_job_settings.h"

#include <cmath>

#include "core/cp1252.h"
#include "core/file_access.h"
#include "core/text_file.h"
#include "data/criteria_text.h"
#include "data/database.h"
#include "print/print_file.h"
#include "print/print_setup.h"
#include "tableprint/skip_failing_step.h"

namespace ov {

namespace {

// A 16-bit integer as the engine stores it: rounded half to even; out of range is 0.
int16_t toInt16(double v) {
    double r = std::nearbyint(v);
    if (!std::isfinite(r) || r > 32767 || r < -32768) return 0;
    return static_cast<int16_t>(r);
}

// The destination's printer record: output path and printer type; then its page settings.
void readPrinterSettings(const Workspace& ws, const std::string& destination, TableJobSettings& s) {
    auto db = Database::open(ws, "Stampanti.mdb");
    RecordSet printers = db->openRecordSet("Stampanti");
    if (!printers.findFirst("Destinazione = " + criteria::sqlText(destination))) return;
    s.printerType = toInt16(settingNumber(printers.field("TipoStampa")));
    s.outputPath = printerDevice(ws, printers);
    s.hasPrinterRecord = true;

    RecordSet settings = db->openRecordSet("SetStampa");
    if (!settings.findFirst("TipoStampa = " + std::to_string(s.printerType))) return;
    s.codes = parseCodeGroups(settingText(settings.field("Compresso")));
    s.values = parseCodeGroups(settingText(settings.field("Grassetto")));
}

}  // namespace

Money readConversionRate(const Workspace& ws, const NumberFormat& numbers) {
    Money one = Money::fromInteger(1);
    auto path = findSettingsFile(ws, "euro.txt");
    if (!path) return one;
    const std::vector<std::string> lines = ReadLines(*path);
    if (lines.empty()) return one;
    std::optional<double> rate = numbers.parse(lines[0]);
    if (!rate || !std::isfinite(*rate) || std::fabs(*rate) >= 9.2e14) return one;
    return Money::fromDouble(*rate);
}

int16_t readTablePageLength(const Workspace& ws, int16_t hotelNumber, bool compressed) {
    auto db = Database::open(ws, "Contatori.mdb");
    RecordSet rs = db->openRecordSet("Contatori");
    if (!rs.findFirst("NumeroHotel = " + std::to_string(hotelNumber))) return 0;
    return toInt16(settingNumber(rs.field(compressed ? "LungPagComp" : "LungPagNoComp")));
}

std::string readHotelLine(const Workspace& ws, int16_t hotelNumber) {
    auto db = Database::open(ws, "AnagraficaHotels.mdb");
    RecordSet rs = db->openRecordSet("AnagraficaHotels");
    if (!rs.findFirst("Numero = " + std::to_string(hotelNumber))) return {};
    return "Hotel : " + settingText(rs.field("RagioneSociale"));
}

TableJobSettings ReadTableJobSettings(const Workspace& ws, const ProgramState& state, const NumberFormat& numbers,
                                      const TableJob& job, StepFailures* failures) {
    TableJobSettings s;
    skipFailingStep([&] { s.rate = readConversionRate(ws, numbers); }, failures);

    s.printFileName = "FD" + workstationText(ws);
    skipFailingStep([&] { readPrinterSettings(ws, job.destination, s); }, failures);
    if (!s.hasPrinterRecord) {
        s.outputPath = s.printFileName;
        s.codes = {};
        s.values = {};
    }
    s.style = state.hasOption('K') ? FrameStyle::Box : FrameStyle::Plain;
    s.pagesEndWithEmptyLines = state.hasOption('U');
    skipFailingStep([&] { s.fontName = readPrintFontName(ws); }, failures);

    if (s.outputPath == s.printFileName)
        s.kind = TableOutputKind::PrintFile;
    else if (s.code(6) == 1)
        s.kind = TableOutputKind::Driver;
    else
        s.kind = TableOutputKind::RawDevice;

    skipFailingStep([&] { s.hotelLine = readHotelLine(ws, state.hotelNumber); }, failures);
    skipFailingStep([&] { s.pageLength = readTablePageLength(ws, state.hotelNumber, job.compressed); }, failures);
    s.physicalLines = toInt16(job.compressed ? s.values[6] : s.values[7]);
    return s;
}

}  // namespace ov
