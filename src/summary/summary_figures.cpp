#include "summary/summary_figures.h"

#include "core/cp1252.h"
#include "data/database.h"
#include "data/preload.h"
#include "data/table_cache.h"
#include "summary/day_takings_thread.h"
#include "summary/guest_count.h"
#include "summary/hotel_rooms.h"
#include "summary/report_lines.h"
#include "summary/takings.h"

namespace ov {
namespace {

std::array<std::string, 10> readHeadings(const Workspace& ws, const ProgramState& state) {
    std::array<std::string, 10> headings;
    RecordSet columns = Database::open(ws, "ColonneOV.mdb")->openRecordSet("ColonneOV");
    for (int n = 1; n <= 10; ++n) {
        const std::string c = "NumeroHotel = " + std::to_string(state.hotelNumber) + " and NumeroColonna = " + std::to_string(n);
        if (columns.findFirst(c)) {
            const Value& h = columns.field("Intestazione");
            headings[n - 1] = HeadingCell(h.isText() ? std::string(h.asText()) : std::string());
        } else {
            headings[n - 1] = std::string(9, ' ');
        }
    }
    return headings;
}

}  // namespace

void LoadOptionLetters(const Workspace& ws, ProgramState& state) {
    RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
    if (hotels.findFirst("NumeroHotel = 1")) {
        const Value& v = hotels.field("CodiceAssistenza");
        state.optionLetters = v.isText() ? std::string(v.asText()) : v.toText(NumberFormat::italian());
    }
}

std::optional<SummaryPeriod> PrepareSummaryRun(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                                               Host& host) {
    const char* title = "Riepilogo dati Hotel";
    // Dates that are not real calendar dates stop the run before anything is read.
    const std::optional<Date> first = Date::fromDmy(sel.firstDay);
    const std::optional<Date> last = Date::fromDmy(sel.lastDay);
    for (const auto* bad : {first ? nullptr : &sel.firstDay, last ? nullptr : &sel.lastDay}) {
        if (bad) {
            host.message("Data non valida: " + cp1252::toUtf8(*bad), title, Icon::Warning);
            return std::nullopt;
        }
    }
    LoadOptionLetters(ws, state);
    if (state.hasOption('&') && ws.env("DIRSH").value_or("").empty()) {
        host.message("Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili", title, Icon::Warning);
        return std::nullopt;
    }
    return SummaryPeriod{*first, *last};
}

SummaryFigures ComputeSummaryFigures(const SummarySelection& sel, const Date& first, const Date& last,
                                     const Workspace& ws, ProgramState& state, Host& host) {
    // The large tables are read with the fields the day's readers name, and no others.
    static const ColumnNeeds needs = [] {
        TableColumns tables = TakingsColumns();
        for (auto& t : GuestCountColumns()) tables.push_back(std::move(t));
        return ColumnNeeds(std::move(tables));
    }();
    ColumnNeedsScope columns(&needs);
    // Every day opens the same files: each is examined once, as it is when the run begins.
    tablecache::FileSnapshotScope files;
    // The guest history is read ahead while this thread reads the live guests and the takings
    // thread the invoices; a file this thread has read by then is left.
    Preload ahead(ws, {historyDatabaseName(ws, state, "SchedaStoricoClienti.mdb"),
                       historyDatabaseName(ws, state, "ArrangiamentoStoricoClienti.mdb"),
                       historyDatabaseName(ws, state, "DittaStoricoClienti.mdb"), "Scheda_Cliente.mdb",
                       "Arrangiamento.mdb", "Arrangiamenti.mdb", "Ditta_Intestataria.mdb"});
    HotelTwoRooms rooms;
    rooms.fill(ws);
    SummaryFigures figures;
    figures.headings = readHeadings(ws, state);
    RecordSet paymentCodes =
        Database::open(ws, "CodiciVari.mdb")->openRecordSet("Select * From CodiciVari Where Tipo = 4");

    const long days = Date::daysBetween(first, last) + 1;
    figures.days.resize(static_cast<size_t>(std::max(days, 0L)));
    for (long i = 0; i < days; ++i) {
        SummaryDay& d = figures.days[static_cast<size_t>(i)];
        d.date = first.plusDays(i);
        d.dmy = i == 0 ? sel.firstDay : d.date.dmy();
    }

    // A day's takings depend on nothing the guest count does: a second thread collects the takings
    // of every day while this one counts the guests.
    DayTakingsThread takings(figures.days, [&](SummaryDay& d) {
        CollectDayTakings(TakingsInput{ws, rooms, sel.firstRoom, sel.lastRoom, d.date.ymd(), paymentCodes}, d.amounts);
    });
    for (long i = 0; i < days; ++i) {
        SummaryDay& d = figures.days[static_cast<size_t>(i)];
        const std::string ymd = d.date.ymd();
        host.setCaption("Riepilogo dati Hotel del " + d.dmy);
        host.setProgress(static_cast<int>(i), static_cast<int>(days));
        takings.throwIfFailedBy(static_cast<size_t>(i));
        try {
            const GuestCountInput guests{ws, rooms, sel.firstRoom, sel.lastRoom, ymd};
            CountLiveGuests(guests, state, d.counters);
            CountHistoryGuests(guests, state, d.counters);
        } catch (...) {
            // A day reads its takings before its guests: the error of the earlier read is the one told.
            takings.rethrowFailureUpTo(static_cast<size_t>(i));
            throw;
        }
    }
    takings.finish();
    for (const SummaryDay& d : figures.days) {
        figures.totals.add(d.counters, d.amounts);
        figures.extraTillDeposits = d.amounts.extraTillDeposits;
    }
    host.setProgress(static_cast<int>(days), static_cast<int>(days));
    return figures;
}

}  // namespace ov
