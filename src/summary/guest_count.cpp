#include "summary/guest_count.h"

#include <optional>

#include "data/criteria_text.h"
#include "data/database.h"

namespace ov {
namespace {

using criteria::sqlText;

// The databases one walk reads.
struct GuestSources {
    RecordSet& cards;
    RecordSet& arrangements;
    RecordSet& companies;
    RecordSet& boardNames;
};

// The two ways the walks decide the company flag.
enum class CompanyRule {
    Live,     // own arrangement: the guest's code, then its heads; shared: the head, decided first
    History,  // own arrangement: the guest's code only; shared: the head, only when it has one
};

bool hasRecord(RecordSet& rs, const Value& code) {
    if (code.isNull()) return false;
    return rs.findFirst("CodiceCliente = " + criteria::literal(code, false));
}

bool positive(const Value& v) { return !v.isNull() && v.toDouble() > 0; }

// Board index of an arrangement code; empty when the arrangement's type is counted nowhere.
std::optional<int> boardOf(RecordSet& boardNames, const std::string& code) {
    if (code.empty()) return 0;
    if (!boardNames.findFirst("Sigla = " + sqlText(code))) return 0;
    const Value& t = boardNames.field("Tipo");
    const std::string type = t.isText() ? std::string(t.asText()) : std::string();
    if (type == "C") return 0;
    if (type == "M" || type == "1") return 1;
    if (type == "P") return 2;
    return std::nullopt;
}

void countOneGuest(GuestSources& src, CompanyRule rule, const HotelTwoRooms& rooms, ProgramState& state,
                   GuestCounters& counters) {
    RecordSet& card = src.cards;
    const int hotel = rooms.hotelOf(card.field("NumeroCamera"));
    std::string arrangement;
    bool company = false;

    const Value& own = card.field("NumeroProgressivo");
    if (hasRecord(src.arrangements, own)) {
        const Value& a = src.arrangements.field("Arrangiamento");
        arrangement = a.isText() ? std::string(a.asText()) : std::string();
        if (rule == CompanyRule::History) {
            company = hasRecord(src.companies, own);
        } else {
            for (const char* f : {"NumeroProgressivo", "CodiceCapoFamiglia", "CodiceCapoGruppo", "CodiceCapoCamera"}) {
                if (hasRecord(src.companies, card.field(f))) {
                    company = true;
                    break;
                }
            }
        }
    } else {
        // The guest shares the arrangement of a head; without one, the head code of the guest
        // walked before stays.
        for (const char* f : {"CodiceCapoFamiglia", "CodiceCapoGruppo", "CodiceCapoCamera"}) {
            const Value& v = card.field(f);
            if (positive(v)) {
                state.headCode = static_cast<int32_t>(v.toDouble());
                break;
            }
        }
        const std::string byHead = "CodiceCliente = " + criteria::number(state.headCode);
        if (rule == CompanyRule::Live) company = src.companies.findFirst(byHead);
        if (src.arrangements.findFirst(byHead)) {
            const Value& a = src.arrangements.field("Arrangiamento");
            arrangement = a.isText() ? std::string(a.asText()) : std::string();
            if (rule == CompanyRule::History) company = src.companies.findFirst(byHead);
        }
    }

    const std::optional<int> board = boardOf(src.boardNames, arrangement);
    if (!board) return;
    const Value& lingua = card.field("Lingua");
    const bool marked = lingua.isText() && lingua.asText().find('*') != std::string::npos;
    counters[guestCounterIndex(hotel, marked, company, *board)] += 1;
}

std::string cardQuery(const GuestCountInput& in, const char* departureField, bool ordered) {
    std::string q = "Select * From Scheda_Cliente Where NumeroCamera >= " + sqlText(in.firstRoom) +
                    " and NumeroCamera <= " + sqlText(in.lastRoom) + " and DataArrivo <= " + sqlText(in.day) +
                    " and " + departureField + " > " + sqlText(in.day);
    if (ordered) q += " Order by NumeroCamera,NumeroProgressivo;";
    return q;
}

std::string arrangementQuery(const GuestCountInput& in) {
    return "Select * From Arrangiamento Where DataInizio <= " + sqlText(in.day) + " and DataFine > " + sqlText(in.day);
}

void walk(GuestSources& src, const std::string& criteria, CompanyRule rule, const HotelTwoRooms& rooms,
          ProgramState& state, GuestCounters& counters) {
    for (bool found = src.cards.findFirst(criteria); found; found = src.cards.findNext(criteria))
        countOneGuest(src, rule, rooms, state, counters);
}

}  // namespace

std::string historyDatabaseName(const Workspace& ws, const ProgramState& state, const std::string& file) {
    if (!state.hasOption('&')) return file;
    return ws.env("DIRSH").value_or("") + "\\" + file;
}

TableColumns GuestCountColumns() {
    return {{"Scheda_Cliente",
             {"NumeroCamera", "NumeroProgressivo", "DataArrivo", "DataPartenza", "DataPartenzaReale",
              "CodiceCapoFamiglia", "CodiceCapoGruppo", "CodiceCapoCamera", "Lingua"}},
            {"Arrangiamento", {"DataInizio", "DataFine", "CodiceCliente", "Arrangiamento"}},
            {"Ditta_Intestataria", {"CodiceCliente"}}};
}

void CountLiveGuests(const GuestCountInput& in, ProgramState& state, GuestCounters& counters) {
    RecordSet cards = Database::open(in.ws, "Scheda_Cliente.mdb")->openRecordSet(cardQuery(in, "DataPartenza", true));
    RecordSet arrangements = Database::open(in.ws, "Arrangiamento.mdb")->openRecordSet(arrangementQuery(in));
    RecordSet boardNames = Database::open(in.ws, "Arrangiamenti.mdb")->openRecordSet("NomiArrangiamenti");
    RecordSet companies = Database::open(in.ws, "Ditta_Intestataria.mdb")->openRecordSet("Ditta_Intestataria");
    GuestSources src{cards, arrangements, companies, boardNames};
    walk(src, "DataArrivo <= " + sqlText(in.day) + " and DataPartenza > " + sqlText(in.day), CompanyRule::Live,
         in.rooms, state, counters);
}

void CountHistoryGuests(const GuestCountInput& in, ProgramState& state, GuestCounters& counters) {
    RecordSet cards = Database::open(in.ws, historyDatabaseName(in.ws, state, "SchedaStoricoClienti.mdb"))
                          ->openRecordSet(cardQuery(in, "DataPartenzaReale", false));
    RecordSet arrangements =
        Database::open(in.ws, historyDatabaseName(in.ws, state, "ArrangiamentoStoricoClienti.mdb"))
            ->openRecordSet(arrangementQuery(in));
    RecordSet companies = Database::open(in.ws, historyDatabaseName(in.ws, state, "DittaStoricoClienti.mdb"))
                              ->openRecordSet("Ditta_Intestataria");
    RecordSet boardNames = Database::open(in.ws, "Arrangiamenti.mdb")->openRecordSet("NomiArrangiamenti");
    GuestSources src{cards, arrangements, companies, boardNames};
    walk(src, "DataArrivo <= " + sqlText(in.day) + " and DataPartenzaReale > " + sqlText(in.day), CompanyRule::History,
         in.rooms, state, counters);
}

}  // namespace ov
