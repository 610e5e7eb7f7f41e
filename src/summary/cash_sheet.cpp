#include "summary/cash_sheet.h"

#include <cstdio>

#include "core/file_access.h"
#include "core/text_file.h"
#include "data/database.h"

namespace ov {
namespace {

// The euro sign in code page 1252.
const std::string kEuro = "\x80";

void writeCountSheet(std::vector<std::string>& out, const NumberFormat& fmt, const Money& extraTill) {
    using namespace cash_sheet;
    out.push_back(std::string(kQuantity) + ";" + kDenomination + ";" + kAmount + ";");
    out.push_back("");
    // The texts and the formulas are fixed: the denominations always read the Italian way and the
    // formulas name the rows of a one-day summary with the hotel record.
    int row = 20;
    for (const Money& d : kDenominations) {
        const std::string r = std::to_string(row++);
        out.push_back("0;" + kEuro + " " + NumberFormat::italian().fixed2(d) + ";=a" + r + "*b" + r + ";");
    }
    auto labelled = [&](const char* label, const std::string& value) {
        out.push_back("");
        out.push_back(std::string(label) + "; ;" + value + ";");
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

CashSheet ReadCashSheet(const Workspace& ws, const Money& extraTillDeposits) {
    CashSheet sheet;
    sheet.extraTillDeposits = extraTillDeposits;
    RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
    if (hotels.findFirst("Numero = 1")) {
        const Value& name = hotels.field("RagioneSociale");
        sheet.hotelName = name.isText() ? std::string(name.asText()) : std::string();
    }
    const Date today = ws.now().date;
    char name[32];
    std::snprintf(name, sizeof name, "SC%04d%02d%02d.txt", today.year, today.month, today.day);
    if (auto rooms = findSettingsFile(ws, name)) sheet.rearrangedRooms = ReadLines(*rooms);
    return sheet;
}

std::vector<std::string> CashSheetLines(const CashSheet& sheet, const NumberFormat& fmt) {
    std::vector<std::string> out{"", ""};
    if (sheet.hotelName) out.push_back(*sheet.hotelName);
    out.push_back("");
    writeCountSheet(out, fmt, sheet.extraTillDeposits);
    if (sheet.rearrangedRooms) {
        out.push_back("");
        out.push_back(cash_sheet::kRearrangedRooms);
        out.push_back("");
        for (const auto& l : *sheet.rearrangedRooms) out.push_back(l);
    }
    return out;
}

}  // namespace ov
