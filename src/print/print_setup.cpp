#include "print/print_setup.h"

#include <cmath>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/number_format.h"
#include "core/file_access.h"
#include "core/text_file.h"
#include "data/criteria_text.h"
#include "data/database.h"
#include "print/print_file.h"

namespace ov {

namespace {

// A whole number the way the engine stores a 16-bit integer: rounded half to even, kept in range.
int16_t toInt16(double v) {
    if (!std::isfinite(v)) return 0;
    double r = std::nearbyint(v);
    if (r > 32767) r = 32767;
    if (r < -32768) r = -32768;
    return static_cast<int16_t>(r);
}

char codeCharacter(double code, int index, int16_t printerType) {
    double r = std::nearbyint(code);
    if (!std::isfinite(r) || r < 0 || r > 255)
        throw Error(err::Usage, "Codice " + std::to_string(index) + " non valido nel campo Compresso del tipo di stampa " +
                                    std::to_string(printerType) + ".");
    return static_cast<char>(static_cast<unsigned char>(r));
}

}  // namespace

std::string settingText(const Value& v) { return v.isText() ? std::string(v.asText()) : v.toText(NumberFormat::italian()); }

double settingNumber(const Value& v) { return v.isText() ? leadingNumber(v.asText()) : v.toDouble(); }

std::string printerDevice(const Workspace& ws, const RecordSet& printer) {
    std::string recordName = settingText(printer.field("Destinazione"));
    std::string fromEnvironment = recordName.empty() ? std::string() : ws.env(recordName).value_or("");
    return !fromEnvironment.empty() ? fromEnvironment : settingText(printer.field("Linea"));
}

std::array<double, 12> parseCodeGroups(std::string_view text) {
    std::array<double, 12> groups{};
    for (size_t k = 0; k < 12; ++k) {
        size_t start = 3 * k;
        if (start >= text.size()) break;
        groups[k] = leadingNumber(text.substr(start, 3));
    }
    return groups;
}

std::string readPrintFontName(const Workspace& ws) {
    auto path = findSettingsFile(ws, "FontStp.txt");
    if (!path) return "Courier New";
    const std::vector<std::string> lines = ReadLines(*path);
    return lines.empty() ? std::string() : std::string(cp1252::trim(lines[0]));
}

std::string readOptionLetters(const Workspace& ws) {
    auto db = Database::open(ws, "AnagraficaHotels.mdb");
    RecordSet rs = db->openRecordSet("AnagraficaHotels");
    if (!rs.findFirst("Numero = 1")) return {};
    return settingText(rs.field("CodiceAssistenza"));
}

std::vector<std::string> readDestinations(const Workspace& ws) {
    auto db = Database::open(ws, "Stampanti.mdb");
    RecordSet rs = db->openRecordSet("Stampanti");
    std::vector<std::string> names;
    for (bool found = rs.findFirst("NumeroHotel = 1"); found; found = rs.findNext("NumeroHotel = 1"))
        names.push_back(settingText(rs.field("Destinazione")));
    return names;
}

std::optional<PrintSetup> assemblePrintSetup(const Workspace& ws, const PrintSetupRequest& request) {
    PrintSetup s;
    s.destination = request.destination;
    s.compressed = request.compressed;
    s.optionLetters = request.optionLetters;
    s.fontName = readPrintFontName(ws);

    {
        auto db = Database::open(ws, "Contatori.mdb");
        RecordSet rs = db->openRecordSet("Contatori");
        if (rs.findFirst("NumeroHotel = " + std::to_string(request.hotelNumber)))
            s.pageLength = toInt16(settingNumber(rs.field(request.compressed ? "LungPagComp" : "LungPagNoComp")));
        else
            s.pageLength = 60;
    }

    auto db = Database::open(ws, "Stampanti.mdb");
    RecordSet printers = db->openRecordSet("Stampanti");
    RecordSet settings = db->openRecordSet("SetStampa");
    if (!printers.findFirst("Destinazione = " + criteria::sqlText(request.destination))) return std::nullopt;

    s.printerType = toInt16(settingNumber(printers.field("TipoStampa")));
    if (settings.findFirst("TipoStampa = " + std::to_string(s.printerType))) {
        s.hasCodes = true;
        s.codes = parseCodeGroups(settingText(settings.field("Compresso")));
        auto values = parseCodeGroups(settingText(settings.field("Grassetto")));
        for (size_t k = 0; k < 12; ++k) s.values[k] = toInt16(values[k]);
        s.physicalPageLines = request.compressed ? s.values[6] : s.values[7];
        s.topMargin = s.values[5];
        for (int k = 0; k < 5; ++k) {
            s.compressedPrefix += codeCharacter(s.codes[k], k + 1, s.printerType);
            s.normalPrefix += codeCharacter(s.codes[k + 6], k + 7, s.printerType);
        }
    } else {
        s.physicalPageLines = 66;
        s.topMargin = 0;
    }
    s.driverMode = s.codes[5] == 1;
    s.compressedFontSize = s.codes[0];
    s.normalFontSize = s.codes[6];

    s.device = printerDevice(ws, printers);
    if (request.windowsPrinter) {
        std::string_view chosen = cp1252::trim(*request.windowsPrinter);
        if (!chosen.empty()) s.device = std::string(chosen);
    }
    return s;
}

}  // namespace ov
