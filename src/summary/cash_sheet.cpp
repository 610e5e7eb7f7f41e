#include "summary/cash_sheet.h"

#include <cstdio>

#include "core/text_file.h"
#include "data/database.h"

namespace ov {
namespace {

// The euro sign in code page 1252.
const std::string kEuro = "\x80";

void writeCountSheet(LineWriter& out, const NumberFormat& fmt, const Money& extraTill) {
    using namespace cash_sheet;
    out.line(std::string(kQuantity) + ";" + kDenomination + ";" + kAmount + ";");
    out.line("");
    // The texts and the formulas are fixed: the denominations always read the Italian way and the
    // formulas name the rows of a one-day summary with the hotel record.
    int row = 20;
    for (const Money& d : kDenominations) {
        const std::string r = std::to_string(row++);
        out.line("0;" + kEuro + " " + NumberFormat::italian().fixed2(d) + ";=a" + r + "*b" + r + ";");
    }
    auto labelled = [&](const char* label, const std::string& value) {
        out.line("");
        out.line(std::string(label) + "; ;" + value + ";");
    };
    labelled(kTotalCash, "=somma(c20:c34)");
    labelled(kCards, kEuro + " 0,00");
    labelled(kBank, kEuro + " 0,00");
    labelled(kExtraTill, kEuro + fmt.fixed2(extraTill));
    labelled(kTotal, "=c36+c38+c40");
    labelled(kReportTotal, "=ad12");
    labelled(kDifference, "=c44-ad12+c42");
}

}  // namespace

CashSheet AppendCashSheet(const Workspace& ws, const NumberFormat& fmt, const Money& extraTillDeposits) {
    const auto csv = ws.pathFor("Orvalis.csv");
    CashSheet sheet;
    sheet.extraTillDeposits = extraTillDeposits;
    {
        LineWriter out(csv, LineWriter::Mode::Append);
        out.line("");
        out.line("");
        out.close();  // a missing hotel database ends the run with these two lines written
        LineWriter rest(csv, LineWriter::Mode::Append);
        RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
        if (hotels.findFirst("Numero = 1")) {
            const Value& name = hotels.field("RagioneSociale");
            sheet.hotelName = name.isText() ? std::string(name.asText()) : std::string();
            rest.line(*sheet.hotelName);
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
        out.line(cash_sheet::kRearrangedRooms);
        out.line("");
        sheet.rearrangedRooms = ReadLines(*rooms);
        for (const auto& l : *sheet.rearrangedRooms) out.line(l);
        out.close();
    }
    return sheet;
}

}  // namespace ov
