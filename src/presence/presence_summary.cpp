#include "presence/presence_summary.h"

#include <optional>

#include "core/cp1252.h"
#include "core/dates.h"
#include "core/error.h"
#include "core/text_file.h"
#include "data/criteria_text.h"
#include "data/database.h"
#include "state/workstation.h"

namespace ov {
namespace {

const char* kTitle = "Riepilogo dati Hotel";

std::string padLeft(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string optionLetters(const Workspace& ws) {
    RecordSet hotels = Database::open(ws, "AnagraficaHotels.mdb")->openRecordSet("AnagraficaHotels");
    if (!hotels.findFirst("NumeroHotel = 1")) return {};
    const Value& v = hotels.field("CodiceAssistenza");
    return v.isText() ? std::string(v.asText()) : std::string();
}

// The statistic of one day, formatted "#,##0"; empty when there is no record.
std::optional<std::string> statistic(RecordSet& rs, const std::string& ymd, const char* detail, const NumberFormat& fmt,
                                     int64_t& total) {
    if (!rs.findFirst("NumeroHotel = 1 and DataInserimento = " + criteria::sqlText(ymd) +
                      " and Tipo = 'Presenze' and Dettaglio = '" + detail + "'"))
        return std::nullopt;
    const Value& v = rs.field("Valore");
    if (v.isNull()) return std::string();
    const double n = v.toDouble();
    std::string text = fmt.grouped(n);  // error 6 for a value past the range
    if (__builtin_add_overflow(total, static_cast<int64_t>(n), &total)) throw overflowError();
    return text;
}

}  // namespace

PresenceOutcome PresenceSummary(const std::string& firstDay, const std::string& lastDay, const Workspace& ws,
                                const NumberFormat& fmt, Host& host, bool showMenu) {
    PresenceOutcome outcome;
    const std::optional<Date> first = Date::fromDmy(firstDay), last = Date::fromDmy(lastDay);
    for (const auto* bad : {first ? nullptr : &firstDay, last ? nullptr : &lastDay}) {
        if (bad) {
            host.message("Data non valida: " + cp1252::toUtf8(*bad), kTitle, Icon::Warning);
            return outcome;
        }
    }
    try {
        const std::string options = optionLetters(ws);
        std::string statistics = "Dettaglio.mdb";
        if (options.find('&') != std::string::npos) {
            const std::string dirsh = ws.env("DIRSH").value_or("");
            if (dirsh.empty()) {
                host.message("Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili", kTitle,
                             Icon::Warning);
                return outcome;
            }
            statistics = dirsh + "\\Dettaglio.mdb";
        }
        RecordSet rs = Database::open(ws, statistics)
                           ->openRecordSet("Select * From Dettaglio Where NumeroHotel = 1 and Tipo = 'Presenze' and "
                                           "DataInserimento >= " + criteria::sqlText(first->ymd()) +
                                           " and DataInserimento <= " + criteria::sqlText(last->ymd()) +
                                           " Order by DataInserimento;");

        LineWriter out(ws.pathFor(printFileWriteName(ws)));
        out.line("RIEPILOGO PRESENZE HOTEL DAL " + firstDay + " AL " + lastDay);
        out.line("");
        out.line("Data      |Paganti   |Ospiti");
        out.line("");
        int64_t paying = 0, guests = 0;
        for (Date day = *first; day <= *last; day = day.plusDays(1)) {
            std::string line = (day == *first ? firstDay : day.dmy()) + "|";
            if (auto p = statistic(rs, day.ymd(), "Generale", fmt, paying)) line += padLeft(*p, 10) + "|";
            else line += std::string(10, ' ') + "|";
            if (auto g = statistic(rs, day.ymd(), "Ospiti", fmt, guests)) line += padLeft(*g, 10);
            out.line(line);
        }
        out.line("");
        out.line(std::string(10, ' ') + "|" + padLeft(fmt.grouped(paying), 10) + "|" + padLeft(fmt.grouped(guests), 10));
        out.close();
        outcome.printFile = out.path();
        outcome.completed = true;
    } catch (const Error& e) {
        host.showError(e);
        return outcome;
    }
    if (showMenu) host.showPrintMenu();
    return outcome;
}

}  // namespace ov
