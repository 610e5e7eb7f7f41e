#include "summary/cash_sheet.h"

#include <cstdio>

#include "core/text_file.h"
#include "data/database.h"

namespace ov {
namespace {

// "€" and "à" in code page 1252.
const std::string kEuro = "\x80";

void writeCountSheet(LineWriter& out, const NumberFormat& fmt, const Money& extraTill) {
    out.line("Quantit\xE0;Taglio;Importo;");
    out.line("");
    const char* notes[] = {"500,00", "200,00", "100,00", "50,00", "20,00", "10,00", "5,00", "2,00",
                           "1,00",   "0,50",   "0,20",   "0,10",  "0,05",  "0,02",  "0,01"};
    int row = 20;
    for (const char* n : notes) {
        const std::string r = std::to_string(row++);
        out.line("0;" + kEuro + " " + n + ";=a" + r + "*b" + r + ";");
    }
    out.line("");
    out.line("Totale Contanti; ;=somma(c20:c34);");
    out.line("");
    out.line("P.O.S.; ;" + kEuro + " 0,00;");
    out.line("");
    out.line("Banca; ;" + kEuro + " 0,00;");
    out.line("");
    out.line("Acconti Extra Cassa; ;" + kEuro + fmt.fixed2(extraTill) + ";");
    out.line("");
    out.line("Totale; ;=c36+c38+c40;");
    out.line("");
    out.line("Totale Rapp.; ;=ad12;");
    out.line("");
    out.line("Differenza +/-; ;=c44-ad12+c42;");
}

}  // namespace

void AppendCashSheet(const Workspace& ws, const NumberFormat& fmt, const Money& extraTillDeposits) {
    const auto csv = ws.pathFor("Orvalis.csv");
    {
        LineWriter out(csv, LineWriter::Mode::Append);
        out.line("");
        out.line("");
        out.close();  // a missing hotel database ends the run with these two lines written
        LineWriter rest(csv, LineWriter::Mode::Append);
        RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
        if (hotels.findFirst("Numero = 1")) {
            const Value& name = hotels.field("RagioneSociale");
            rest.line(name.isText() ? name.asText() : std::string());
        }
        rest.line("");
        writeCountSheet(rest, fmt, extraTillDeposits);
        rest.close();
    }

    const Date today = ws.now().date;
    char name[32];
    std::snprintf(name, sizeof name, "SC%04d%02d%02d.txt", today.year, today.month, today.day);
    if (auto rooms = ws.find(name)) {
        LineWriter out(csv, LineWriter::Mode::Append);
        out.line("");
        out.line("Elenco camere riordinate");
        out.line("");
        for (const auto& l : ReadLines(*rooms)) out.line(l);
        out.close();
    }
}

}  // namespace ov
