#include "summary/data_summary.h"

#include <optional>

#include "core/cp1252.h"
#include "core/dates.h"
#include "core/text_file.h"
#include "data/database.h"
#include "summary/cash_sheet.h"
#include "summary/guest_count.h"
#include "summary/report_lines.h"
#include "summary/takings.h"

namespace ov {
namespace {

const char* kTitle = "Riepilogo dati Hotel";

// The option letters of hotel record 1; they keep their value when there is no such record.
void loadOptionLetters(const Workspace& ws, ProgramState& state) {
    RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
    if (hotels.findFirst("NumeroHotel = 1")) {
        const Value& v = hotels.field("CodiceAssistenza");
        state.optionLetters = v.isText() ? v.asText() : v.toText(NumberFormat::italian());
    }
}

std::array<std::string, 10> readHeadings(const Workspace& ws, const ProgramState& state) {
    std::array<std::string, 10> headings;
    RecordSet columns = Database::open(ws, "ColonneOV.mdb")->openRecordSet("ColonneOV");
    for (int n = 1; n <= 10; ++n) {
        const std::string c = "NumeroHotel = " + std::to_string(state.hotelNumber) + " and NumeroColonna = " + std::to_string(n);
        if (columns.findFirst(c)) {
            const Value& h = columns.field("Intestazione");
            headings[n - 1] = HeadingCell(h.isText() ? h.asText() : std::string());
        } else {
            headings[n - 1] = std::string(9, ' ');
        }
    }
    return headings;
}

class SummaryRun {
public:
    SummaryRun(const SummarySelection& sel, const Workspace& ws, ProgramState& state, const NumberFormat& fmt,
               Host& host, SummaryOutcome& outcome)
        : sel_(sel), ws_(ws), state_(state), fmt_(fmt), host_(host), outcome_(outcome) {}

    void run(const Date& first, const Date& last) {
        rooms_.fill(ws_);
        loadOptionLetters(ws_, state_);
        if (state_.hasOption('&') && ws_.env("DIRSH").value_or("").empty()) {
            host_.message("Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili", kTitle,
                          Icon::Warning);
            return;
        }
        const SummaryLayout layout(readHeadings(ws_, state_));
        RecordSet paymentCodes =
            Database::open(ws_, "CodiciVari.mdb")->openRecordSet("Select * From CodiciVari Where Tipo = 4");
        PeriodTotals totals;

        LineWriter print(ws_.pathFor(PrintFileNameForWriting(ws_)));
        outcome_.written.push_back(print.path());
        LineWriter sheet(ws_.pathFor("Orvalis.csv"));
        outcome_.written.push_back(sheet.path());
        auto both = [&](const LinePair& l) {
            print.line(l.report);
            sheet.line(l.sheet);
        };

        print.line("RIEPILOGO DATI HOTEL DAL " + sel_.firstDay + " AL " + sel_.lastDay + " DALLA CAMERA " +
                   sel_.firstRoom + " ALLA CAMERA " + sel_.lastRoom);
        print.line("");
        for (const LinePair* l : {&layout.top(), &layout.headings(), &layout.subRule(), &layout.subHeadings(), &layout.rule()})
            both(*l);

        const long days = Date::daysBetween(first, last) + 1;
        Money extraTill;
        for (long i = 0; i < days; ++i) {
            const Date day = first.plusDays(i);
            const std::string dmy = i == 0 ? sel_.firstDay : day.dmy();
            GuestCounters counters{};
            DayAmounts amounts;
            const std::string ymd = day.ymd();
            host_.setCaption(std::string(kTitle) + " del " + dmy);
            host_.setProgress(static_cast<int>(i), static_cast<int>(days));

            CollectDayTakings(TakingsInput{ws_, rooms_, sel_.firstRoom, sel_.lastRoom, ymd, paymentCodes}, amounts);
            const GuestCountInput guests{ws_, rooms_, sel_.firstRoom, sel_.lastRoom, ymd};
            CountLiveGuests(guests, state_, counters);
            CountHistoryGuests(guests, state_, counters);

            both(MakeULine(fmt_, counters, amounts));
            totals.expenses += amounts.expenses;
            totals.guestOutgoings += amounts.guestOutgoings;
            both(MakeNULine(fmt_, counters, amounts));
            both(layout.rule());
            AddGuestTotals(counters, totals);
            both(MakeDayRow(fmt_, dmy, counters, amounts, totals));
            both(layout.rule());
            extraTill = amounts.extraTillDeposits;
        }
        host_.setProgress(static_cast<int>(days), static_cast<int>(days));

        print.line(layout.rule().report);
        sheet.line("");
        both(MakeTotalsRow(fmt_, totals));
        both(layout.bottom());
        print.close();
        sheet.close();
        AppendCashSheet(ws_, fmt_, extraTill);
        outcome_.completed = true;
    }

private:
    const SummarySelection& sel_;
    const Workspace& ws_;
    ProgramState& state_;
    const NumberFormat& fmt_;
    Host& host_;
    SummaryOutcome& outcome_;
    HotelTwoRooms rooms_;
};

}  // namespace

std::string PrintFileNameForWriting(const Workspace& ws) { return "fd" + ws.env("PCLocal").value_or(""); }

SummaryOutcome RunDataSummary(const SummarySelection& sel, const Workspace& ws, ProgramState& state,
                              const NumberFormat& fmt, Host& host) {
    SummaryOutcome outcome;
    // Dates that are not real calendar dates stop the run before anything is written.
    std::optional<Date> first = Date::fromDmy(sel.firstDay);
    std::optional<Date> last = Date::fromDmy(sel.lastDay);
    for (const auto* bad : {first ? nullptr : &sel.firstDay, last ? nullptr : &sel.lastDay}) {
        if (bad) {
            host.message("Data non valida: " + cp1252::toUtf8(*bad), kTitle, Icon::Warning);
            return outcome;
        }
    }
    try {
        SummaryRun(sel, ws, state, fmt, host, outcome).run(*first, *last);
    } catch (const Error& e) {
        host.setCaption(kTitle);
        host.setProgress(0, 0);
        host.showError(e);
        return outcome;
    }
    host.setCaption(kTitle);
    host.setProgress(0, 0);
    if (!outcome.completed) return outcome;
    if (host.ask("Apro il file in formato EXCEL?", "Visualizza tabella", Answer::No) == Answer::Yes) {
        host.openWithAssociatedProgram(ws.pathFor("orvalis.csv").string());
    } else {
        host.showPrintMenu();
    }
    return outcome;
}

}  // namespace ov
