#include "summary/cash_sheet.h"

#include <cstdio>

#include "core/file_access.h"
#include "core/text_file.h"
#include "data/database.h"

namespace ov {
namespace {

// "€" and "à" in code page 1252.
const std::string kEuro = "\x80";

void writeCountSheet(std::vector<std::string>& out, const NumberFormat& fmt, const Money& extraTill) {
    out.push_back("Quantit\xE0;Taglio;Importo;");
    out.push_back("");
    const char* notes[] = {"500,00", "200,00", "100,00", "50,00", "20,00", "10,00", "5,00", "2,00",
                           "1,00",   "0,50",   "0,20",   "0,10",  "0,05",  "0,02",  "0,01"};
    int row = 20;
    for (const char* n : notes) {
        const std::string r = std::to_string(row++);
        out.push_back("0;" + kEuro + " " + n + ";=a" + r + "*b" + r + ";");
    }
    out.push_back("");
    out.push_back("Totale Contanti; ;=somma(c20:c34);");
    out.push_back("");
    out.push_back("P.O.S.; ;" + kEuro + " 0,00;");
    out.push_back("");
    out.push_back("Banca; ;" + kEuro + " 0,00;");
    out.push_back("");
    out.push_back("Acconti Extra Cassa; ;" + kEuro + fmt.fixed2(extraTill) + ";");
    out.push_back("");
    out.push_back("Totale; ;=c36+c38+c40;");
    out.push_back("");
    out.push_back("Totale Rapp.; ;=ad12;");
    out.push_back("");
    out.push_back("Differenza +/-; ;=c44-ad12+c42;");
}

}  // namespace

std::vector<std::string> CashSheetLines(const Workspace& ws, const NumberFormat& fmt, const Money& extraTillDeposits) {
    std::vector<std::string> out{"", ""};
    RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
    if (hotels.findFirst("Numero = 1")) {
        const Value& name = hotels.field("RagioneSociale");
        out.push_back(name.isText() ? name.asText() : std::string());
    }
    out.push_back("");
    writeCountSheet(out, fmt, extraTillDeposits);

    const Date today = ws.now().date;
    char name[32];
    std::snprintf(name, sizeof name, "SC%04d%02d%02d.txt", today.year, today.month, today.day);
    if (auto rooms = findSettingsFile(ws, name)) {
        out.push_back("");
        out.push_back("Elenco camere riordinate");
        out.push_back("");
        for (auto& l : ReadLines(*rooms)) out.push_back(std::move(l));
    }
    return out;
}

}  // namespace ov
