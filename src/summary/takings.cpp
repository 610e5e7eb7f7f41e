#include "summary/takings.h"

#include <optional>

#include "core/cp1252.h"
#include "data/criteria_text.h"
#include "data/database.h"

namespace ov {
namespace {

using criteria::sqlText;

// A null amount counts as 0.
Money amountOf(const RecordSet& rs, const char* field) { return rs.field(field).toMoney(); }

std::string textOf(const Value& v) { return v.isText() ? std::string(v.asText()) : std::string(); }

// The criteria text naming one document: its date, type, number and counter. Empty when one of
// them is null, since no record can match a null.
std::string documentKey(const RecordSet& doc) {
    const Value& date = doc.field("DataEmissione");
    const Value& type = doc.field("TipoDocumento");
    const Value& number = doc.field("NDocumento");
    const Value& counter = doc.field("Contatore");
    if (date.isNull() || type.isNull() || number.isNull() || counter.isNull()) return {};
    return "DataEmissione = " + criteria::literal(date, true) + " and TipoDocumento = " +
           criteria::literal(type, true) + " and NDocumento = " + criteria::literal(number, false) +
           " and Contatore = " + criteria::literal(counter, false);
}

// Finds the payment code of a line; empty when the line has no code or the code is missing.
bool findPaymentCode(RecordSet& codes, const Value& sigla) {
    if (sigla.isNull()) return false;
    return codes.findFirst("Sigla = " + criteria::literal(sigla, true));
}

bool isExtra(const RecordSet& codes) {
    const Value& n = codes.field("Nazione");
    return n.isText() && n.asText() == "EXTRA";
}

void collectDocuments(const TakingsInput& in, DayAmounts& a) {
    const std::string d = sqlText(in.day);
    auto fatture = Database::open(in.ws, "Fatture.mdb");
    RecordSet docs = fatture->openRecordSet(
        "Select * From DatiFattura Where NCamera >= " + sqlText(in.firstRoom) + " and NCamera <= " +
        sqlText(in.lastRoom) + " and DataEmissione = " + d + " and Annullato <> 'S';");
    RecordSet lines = fatture->openRecordSet("Select * From Incassi Where DataEmissione = " + d);
    auto acconti = Database::open(in.ws, "Registro_Acconti.mdb");
    RecordSet register_ = acconti->openRecordSet("Select * From Registro_Acconti Where DataEmissione = " + d);

    const std::string walk = "DataEmissione = " + d + " and Annullato <> 'S'";
    for (bool found = docs.findFirst(walk); found; found = docs.findNext(walk)) {
        const int16_t hotel = in.rooms.hotelOf(docs.field("NCamera"));
        const std::string key = documentKey(docs);
        const std::string type = textOf(docs.field("TipoDocumento"));
        const char kind = type.empty() ? '\0' : type[0];

        if (!key.empty() && register_.findFirst(key)) {
            // A deposit: the register's amount, and the first payment line tells whether it was
            // taken outside the till.
            if (lines.findFirst(key) && findPaymentCode(in.paymentCodes, lines.field("Sigla")) &&
                isExtra(in.paymentCodes))
                a.extraTillDeposits += amountOf(lines, "Importo");
            a.deposits += amountOf(register_, "Totale");
            continue;
        }
        if (kind == 'R') {
            if (!(amountOf(docs, "CorrPagato") > Money())) continue;
            const bool reversal = textOf(docs.field("RiepAcc")) == "N";
            if (key.empty()) continue;
            for (bool l = lines.findFirst(key); l; l = lines.findNext(key)) {
                if (!findPaymentCode(in.paymentCodes, lines.field("Sigla")) || isExtra(in.paymentCodes)) continue;
                Money amount = amountOf(lines, "Importo");
                Money& target = hotel == 2 ? a.campU : a.hotelU;
                if (reversal) target -= amount;
                else target += amount;
            }
            continue;
        }
        if (kind == 'F') continue;
        if (kind == 'C' && cp1252::trim(textOf(docs.field("NomeDitta"))).empty()) {
            (hotel == 2 ? a.campNU : a.hotelNU) += amountOf(docs, "Totale");
        }
    }
}

void collectItemsAndOutgoings(const TakingsInput& in, DayAmounts& a) {
    const std::string d = sqlText(in.day);
    auto fatture = Database::open(in.ws, "Fatture.mdb");
    RecordSet items = fatture->openRecordSet("Select * From Incassi Where DataEmissione = " + d +
                                             " and TipoDocumento = 'ESTERNI';");
    auto colonne = Database::open(in.ws, "ColonneOV.mdb");
    RecordSet columns = colonne->openRecordSet("ColonneOV");
    for (int n = 1; n <= 20; ++n) {
        const std::string byColumn = "NumeroColonna = " + criteria::number(n);
        for (bool c = columns.findFirst(byColumn); c; c = columns.findNext(byColumn)) {
            const Value& code = columns.field("CodiceVoce");
            if (code.isNull()) continue;
            const std::string byItem = "DataEmissione = " + d + " and TipoDocumento = 'ESTERNI' and val(left(Nota,4)) = " +
                                       criteria::literal(code, false);
            for (bool l = items.findFirst(byItem); l; l = items.findNext(byItem))
                a.columnTakings[n] += amountOf(items, "Importo");
        }
    }

    RecordSet outgoings = fatture->openRecordSet("Select * From Incassi Where DataEmissione = " + d +
                                                 " and TipoDocumento = 'USCITE';");
    const std::string walk = "DataEmissione = " + d + " and TipoDocumento = 'USCITE'";
    for (bool l = outgoings.findFirst(walk); l; l = outgoings.findNext(walk)) {
        const Value& note = outgoings.field("Nota");
        if (note.isText() && note.asText() == "OSPITI") a.guestOutgoings += amountOf(outgoings, "Importo");
        else a.expenses += amountOf(outgoings, "Importo");
    }
}

}  // namespace

TableColumns TakingsColumns() {
    const std::vector<std::string> key{"DataEmissione", "TipoDocumento", "NDocumento", "Contatore"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), key.begin(), key.end());
        return more;
    };
    return {{"DatiFattura", with({"NCamera", "Annullato", "CorrPagato", "RiepAcc", "NomeDitta", "Totale"})},
            {"Incassi", with({"Sigla", "Importo", "Nota"})},
            {"Registro_Acconti", with({"Totale"})}};
}

void CollectDayTakings(const TakingsInput& in, DayAmounts& amounts) {
    collectDocuments(in, amounts);
    collectItemsAndOutgoings(in, amounts);
}

}  // namespace ov
