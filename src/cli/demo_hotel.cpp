// A year (or several) of a seaside hotel, simulated room by room: stays, guests with their heads of
// family, group and room, board arrangements, billed companies, the documents issued at departure
// with their payment lines, deposits, counter sales, item takings, outgoings and daily statistics.
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <tuple>

#include "cli/demo_folder.h"

namespace ov::demo {
namespace {

// Files of the suite.
const std::string kHotels = "AnagraficaHotels.mdb";
const std::string kCodes = "CodiciVari.mdb";
const std::string kInvoices = "Fatture.mdb";
const std::string kDeposits = "Registro_Acconti.mdb";
const std::string kCards = "Scheda_Cliente.mdb";
const std::string kCardsHistory = "SchedaStoricoClienti.mdb";
const std::string kBoards = "Arrangiamento.mdb";
const std::string kBoardsHistory = "ArrangiamentoStoricoClienti.mdb";
const std::string kBoardNames = "Arrangiamenti.mdb";
const std::string kCompanies = "Ditta_Intestataria.mdb";
const std::string kCompaniesHistory = "DittaStoricoClienti.mdb";
const std::string kStatistics = "Dettaglio.mdb";
const std::string kPrinters = "Stampanti.mdb";
const std::string kCounters = "Contatori.mdb";
const std::string kItems = "VociFattura.mdb";
const std::string kColumns = "ColonneOV.mdb";

using Room = DemoRoom;

struct Board {
    const char* code;
    const char* description;
    const char* type;
    int pricePerNight;  // euros per adult
};
const std::vector<Board> kBoardList = {
    {"BB", "Pernottamento e prima colazione", "C", 48}, {"CC", "Camera e colazione", "C", 44},
    {"HB", "Mezza pensione", "M", 62},                   {"HB1", "Mezza pensione bevande incluse", "1", 70},
    {"FB", "Pensione completa", "P", 78},                {"GRH", "Gruppi mezza pensione", "M", 52},
    {"GRF", "Gruppi pensione completa", "P", 64},        {"SO", "Solo pernottamento", "X", 36}};
// Boards of individual guests: BB, CC, HB, HB1, FB, SO.
const std::vector<int> kIndividualBoardWeights = {38, 6, 28, 5, 17, 0, 0, 6};

struct Nationality {
    const char* language;
    std::vector<const char*> surnames;
    std::vector<const char*> names;
};
const std::vector<Nationality> kNationalities = {
    {"IT",
     {"Rossi", "Bianchi", "Esposito", "Colombo", "Ricci", "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca",
      "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani",
      "D'Angelo", "Caruso", "Ferrara", "Galli", "Martinelli", "Nicolò", "Fabbri", "Pellegrini", "Forlì"},
     {"Marco", "Giulia", "Luca", "Francesca", "Andrea", "Chiara", "Matteo", "Sara", "Davide", "Elena", "Niccolò",
      "Martina", "Lorenzo", "Alessia", "Simone", "Federica", "Mattia", "Ilaria", "Gabriele", "Noemi"}},
    {"DE",
     {"Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker", "Schäfer", "Koch", "Bauer",
      "Richter", "Klein", "Wolf", "Schröder", "Neumann", "Größer", "Hoffmann"},
     {"Jürgen", "Anna", "Lukas", "Sophie", "Maximilian", "Lena", "Jörg", "Katrin", "Felix", "Hannah", "Günther",
      "Mia"}},
    {"EN",
     {"Smith", "Jones", "Taylor", "Brown", "Williams", "Wilson", "Johnson", "Davies", "Evans", "Thomas", "O'Brien",
      "Walker"},
     {"James", "Emily", "Oliver", "Charlotte", "Harry", "Olivia", "George", "Amelia", "Jack", "Isla"}},
    {"FR",
     {"Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit", "Durand", "Lefèvre", "Moreau"},
     {"Léa", "Hugo", "Chloé", "Louis", "Zoé", "Gabriel", "Françoise", "Jérôme", "Inès", "Raphaël"}},
    {"NL",
     {"de Jong", "Jansen", "de Vries", "van den Berg", "van Dijk", "Bakker", "Visser", "Smit"},
     {"Daan", "Emma", "Sem", "Julia", "Lars", "Tess", "Bram", "Fleur"}},
};
const std::vector<int> kNationalityWeights = {55, 20, 10, 8, 7};

const std::vector<const char*> kBusinessCompanies = {
    "Farmaceutica Emiliana S.p.A.", "Informatica & Servizi S.r.l.", "Costruzioni Adriatiche S.r.l.",
    "Meccanica Romagnola S.p.A.",   "Studio Associato Bellini",      "Società Città Nuova S.c.a.r.l.",
    "Müller Maschinenbau GmbH",     "Brown & Partners Ltd"};
const std::vector<const char*> kAgencies = {"Viaggi Sereni S.r.l.", "Alpen Reisen GmbH", "Reisebüro Sonne GmbH",
                                            "Global Travel Ltd", "Tour Operator Adriatico S.r.l."};

struct Item {
    const char* note;
    int weight;
    int minCents, maxCents;
};
const std::vector<Item> kItemTakings = {
    {"0012 Bar", 25, 250, 3500},          {"0013 Bar - caffè", 5, 120, 900},
    {"0014 Caffetteria", 12, 180, 2400},  {"0015 Ristorante", 10, 1800, 14000},
    {"0007 Minibar", 10, 300, 2800},      {"0018 Bar esterni", 7, 300, 4000},
    {"0019 Ristorante esterni", 4, 2500, 16000}, {"0021 Telefono", 3, 100, 1500},
    {"0022 Lavanderia", 4, 600, 3500},    {"0025 Garage", 6, 1000, 2500},
    {"0030 Centro benessere", 3, 2000, 9000}, {"0031 Escursioni", 1, 3000, 12000}};

const std::vector<const char*> kExpenses = {
    "Caffè ufficio", "Spese postali", "Giornali e riviste", "Taxi per ospite", "Acquisto fiori", "Cancelleria",
    "Pulizia vetri", "Corriere espresso", "Manutenzione caldaia", "Farmacia per ospite"};

// Payment codes and their weights at departure: CON, CC, BAN, ASS, BON, VOU.
const std::vector<const char*> kPayCodes = {"CON", "CC", "BAN", "ASS", "BON", "VOU"};
const std::vector<int> kPayWeights = {44, 31, 12, 4, 4, 5};

// Occupancy in percent by month, a seaside season.
constexpr std::array<int, 12> kSeason = {30, 34, 42, 55, 66, 84, 95, 97, 78, 52, 32, 45};

struct Guest {
    int code = 0;
    const char* surname = "";
    const char* name = "";
    std::string language;
    bool child = false;
    int family = 0;   // CodiceCapoFamiglia
    int group = 0;    // CodiceCapoGruppo; -1 stands for null
    int roomHead = 0; // CodiceCapoCamera
    bool ownBoard = false;
};

struct Stay {
    const Room* room = nullptr;
    Date arrival, departure;  // departure as booked
    std::optional<Date> realDeparture;
    int partySize = 1;
    int nationality = 0;
    int groupId = -1;  // stays of one group share it
    bool billedToCompany = false;
    const char* company = nullptr;
    std::vector<Guest> guests;
    // Board records of the head (two when the board changes halfway).
    struct BoardSpan {
        const Board* board;
        Date from, to;
    };
    std::vector<BoardSpan> boards;
};

struct GroupPlan {
    Date arrival;
    int nights;
    std::vector<const Room*> rooms;
    const char* agency;
    const Board* board;
};

// The agency groups of a year of the 60-room hotel; a larger hotel or period has as many more.
constexpr int kGroupsPerYearOf60Rooms = 14;

class Simulation {
public:
    Simulation(const DemoSettings& s)
        : rng_(s.seed * 0x2545F4914F6CDD1Dull + 17), today_(s.today), rooms_(demoRooms(s.rooms)) {
        Date firstOfMonth{today_.year, today_.month, 1};
        last_ = firstOfMonth.plusDays(-1);
        int months = 12 * s.years;
        int m = last_.month - (months - 1), y = last_.year;
        while (m < 1) {
            m += 12;
            --y;
        }
        first_ = Date{y, m, 1};
        cutoff_ = last_.plusDays(-75);
        groupPlans_ = (kGroupsPerYearOf60Rooms * s.rooms * s.years + 30) / 60;
    }

    DemoTables run() {
        fixedTables();
        planGroups();
        planStays();
        std::sort(stays_.begin(), stays_.end(), [](const Stay& a, const Stay& b) {
            if (a.arrival != b.arrival) return a.arrival < b.arrival;
            return a.room->number < b.room->number;
        });
        for (auto& s : stays_) fillGuests(s);
        for (const auto& s : stays_) writeStay(s);
        writeDailyFigures();
        flushDocuments();
        return std::move(out_);
    }

private:
    Random rng_;
    Date today_, first_, last_, cutoff_;
    std::vector<Room> rooms_;
    int groupPlans_ = kGroupsPerYearOf60Rooms;
    std::vector<GroupPlan> groups_;
    std::vector<Stay> stays_;
    std::map<std::string, std::vector<std::pair<Date, Date>>> reserved_;  // room -> group nights
    std::map<std::tuple<std::string, int, int>, int> numbers_;           // type, counter, year -> last number
    int nextClient_ = 10001;
    std::map<int, int> groupLeader_;  // group -> client code of its leader
    DemoTables out_;

    static std::string ymd(const Date& d) { return d.ymd(); }

    int season(const Date& d) const { return kSeason[static_cast<size_t>(d.month - 1)]; }

    int nextNumber(const std::string& type, int counter, int year) { return ++numbers_[{type, counter, year}]; }

    const Board& boardByCode(const char* code) const {
        for (const auto& b : kBoardList)
            if (std::string(b.code) == code) return b;
        return kBoardList.front();
    }

    void fixedTables() {
        out_.add(kHotels, "AnagraficaHotels",
                 {{"NumeroHotel", number(1)}, {"Numero", number(1)}, {"RagioneSociale", text("Hotel Villa Serena S.r.l.")},
                  {"CodiceAssistenza", text("K")}, {"Indirizzo", text("Viale Ceccarini 45")},
                  {"Citta", text("Riccione")}});

        struct Code {
            int type;
            const char* sigla;
            const char* description;
            const char* nation;  // nullptr: null
        };
        const Code codes[] = {
            {1, "I", "Italia", "ITALIA"},        {1, "D", "Germania", "GERMANIA"},     {1, "F", "Francia", "FRANCIA"},
            {1, "NL", "Paesi Bassi", "OLANDA"},  {1, "GB", "Regno Unito", "EXTRA"},   {1, "CH", "Svizzera", "EXTRA"},
            {2, "PAS", "Passaporto", nullptr},   {2, "CI", "Carta d'identità", nullptr},
            {4, "CON", "Contanti", nullptr},     {4, "CC", "Carta di credito", ""},   {4, "BAN", "Bancomat", "ITALIA"},
            {4, "ASS", "Assegno bancario", nullptr}, {4, "BON", "Bonifico bancario", "EXTRA"},
            {4, "VOU", "Voucher agenzia", "EXTRA"}};
        for (const auto& c : codes)
            out_.add(kCodes, "CodiciVari",
                     {{"NumeroHotel", number(1)}, {"Tipo", number(c.type)}, {"Sigla", text(c.sigla)},
                      {"Descrizione", text(c.description)}, {"Nazione", c.nation ? text(c.nation) : Value()}});

        for (const auto& b : kBoardList)
            out_.add(kBoardNames, "NomiArrangiamenti",
                     {{"NumeroHotel", number(1)}, {"Sigla", text(b.code)}, {"Descrizione", text(b.description)},
                      {"Tipo", text(b.type)}});

        out_.add(kPrinters, "Stampanti",
                 {{"NumeroHotel", number(1)}, {"Numero", number(1)}, {"Destinazione", text("UFFICIO")},
                  {"TipoStampa", number(1)}, {"Linea", text("ufficio")}});
        out_.add(kPrinters, "Stampanti",
                 {{"NumeroHotel", number(1)}, {"Numero", number(2)}, {"Destinazione", text("SCARTO")},
                  {"TipoStampa", number(2)}, {"Linea", text("/dev/null")}});
        out_.add(kPrinters, "Stampanti",
                 {{"NumeroHotel", number(1)}, {"Numero", number(3)}, {"Destinazione", text("ARCHIVIO")},
                  {"TipoStampa", number(2)}, {"Linea", text("fd1")}});
        // Type 1: driver mode (code 6 = 1), compressed 8 points, normal 10; top margin 2, 90/66 lines.
        out_.add(kPrinters, "SetStampa",
                 {{"TipoStampa", number(1)}, {"Descrizione", text("Laser (driver di sistema)")},
                  {"Compresso", text("  8  0  0  0  0  1 10  0  0  0  0  0")},
                  {"Grassetto", text("  0  0  0  0  0  2 90 66  0  0  0  0")}});
        // Type 2: raw port, ESC SI compressed, ESC DC2 normal; 72 lines a page.
        out_.add(kPrinters, "SetStampa",
                 {{"TipoStampa", number(2)}, {"Descrizione", text("Aghi (porta diretta)")},
                  {"Compresso", text("027 15  0  0  0  0 27 18")},
                  {"Grassetto", text("  0  0  0  0  0  1 72 72  0  0  0  0")}});
        out_.add(kCounters, "Contatori",
                 {{"NumeroHotel", number(1)}, {"LungPagComp", number(72)}, {"LungPagNoComp", number(60)}});

        struct Voce {
            int code, group;
            const char* description;
        };
        const Voce items[] = {{1, 1, "Pernottamento"},       {2, 1, "Pernottamento bambini"},
                              {3, 3, "Mezza pensione"},      {4, 4, "Pensione completa"},
                              {7, 7, "Minibar"},             {8, 7, "Minibar - bevande"},
                              {12, 12, "Bar"},               {13, 12, "Bar - caffè"},
                              {14, 14, "Caffetteria"},       {15, 15, "Ristorante à la carte"},
                              {18, 18, "Bar esterni"},       {19, 19, "Ristorante esterni"},
                              {21, 21, "Telefono"},          {22, 22, "Lavanderia"},
                              {25, 25, "Garage"},            {30, 30, "Centro benessere"},
                              {31, 31, "Escursioni in città"}, {40, 40, "Tassa di soggiorno"}};
        for (const auto& v : items)
            out_.add(kItems, "VociFattura",
                     {{"NumeroHotel", number(1)}, {"Codice", number(v.code)}, {"GruppoFatturazione", number(v.group)},
                      {"Descrizione", text(v.description)}});

        struct Column {
            int column;
            const char* heading;
            int item;
            const char* description;
        };
        const Column columns[] = {{1, "BAR-CAFFÈ", 12, "Bar"},          {1, "BAR-CAFFÈ", 14, "Caffetteria"},
                                  {2, "RISTORANTE", 15, "Ristorante à la carte"}, {3, "MINIBAR", 7, "Minibar"},
                                  {4, "TELEFONO", 21, "Telefono"},      {5, "LAVANDERIA", 22, "Lavanderia"},
                                  {6, "GARAGE", 25, "Garage"},          {11, "BAR-CAFFÈ", 18, "Bar esterni"},
                                  {12, "RISTORANTE", 19, "Ristorante esterni"}};
        for (const auto& c : columns)
            out_.add(kColumns, "ColonneOV",
                     {{"NumeroHotel", number(1)}, {"NumeroColonna", number(c.column)}, {"Intestazione", text(c.heading)},
                      {"CodiceVoce", number(c.item)}, {"Descrizione", text(c.description)}});
    }

    // The double rooms of a hotel, in number order.
    std::vector<const Room*> doubles(int hotel) const {
        std::vector<const Room*> out;
        for (const auto& r : rooms_)
            if (r.hotel == hotel && r.beds == 2) out.push_back(&r);
        return out;
    }

    // Agency groups take blocks of double rooms for a few nights, mostly in spring and autumn.
    void planGroups() {
        long days = Date::daysBetween(first_, last_);
        const std::array<std::vector<const Room*>, 2> doubleRooms = {doubles(1), doubles(2)};
        for (int g = 0; g < groupPlans_; ++g) {
            GroupPlan plan;
            plan.arrival = first_.plusDays(rng_.range(3, static_cast<int>(days) - 8));
            plan.nights = rng_.range(2, 5);
            int hotel = rng_.chance(700) ? 1 : 2;
            const auto& block = doubleRooms[static_cast<size_t>(hotel - 1)];
            int count = std::min(rng_.range(3, 6), static_cast<int>(block.size()));
            int start = rng_.range(0, static_cast<int>(block.size()) - count);
            for (int i = 0; i < count; ++i) plan.rooms.push_back(block[static_cast<size_t>(start + i)]);
            if (plan.rooms.empty()) continue;
            plan.agency = rng_.pick(kAgencies);
            plan.board = &boardByCode(rng_.chance(500) ? "GRH" : "GRF");
            Date end = plan.arrival.plusDays(plan.nights);
            bool clash = false;
            for (const auto* r : plan.rooms)
                for (const auto& [a, b] : reserved_[r->number])
                    if (plan.arrival < b && a < end) clash = true;
            if (clash) continue;
            for (const auto* r : plan.rooms) reserved_[r->number].push_back({plan.arrival, end});
            groups_.push_back(plan);
        }
        for (size_t g = 0; g < groups_.size(); ++g) {
            const auto& plan = groups_[g];
            for (const auto* r : plan.rooms) {
                Stay s;
                s.room = r;
                s.arrival = plan.arrival;
                s.departure = plan.arrival.plusDays(plan.nights);
                s.partySize = 2;
                s.nationality = static_cast<int>(rng_.weighted({40, 35, 15, 5, 5}));
                s.groupId = static_cast<int>(g);
                s.billedToCompany = true;
                s.company = plan.agency;
                s.boards.push_back({plan.board, s.arrival, s.departure});
                stays_.push_back(std::move(s));
            }
        }
    }

    std::optional<std::pair<Date, Date>> reservationOverlapping(const Room& r, Date from, Date to) {
        for (const auto& span : reserved_[r.number])
            if (from < span.second && span.first < to) return span;
        return std::nullopt;
    }

    void planStays() {
        for (const auto& room : rooms_) {
            Date d = first_.plusDays(-rng_.range(0, 6));
            while (d <= last_) {
                if (rng_.range(0, 99) >= season(d)) {
                    d = d.plusDays(rng_.range(1, 3));
                    continue;
                }
                int nights = std::array<int, 3>{rng_.range(1, 3), rng_.range(4, 7), rng_.range(8, 14)}
                    [rng_.weighted({38, 47, 15})];
                Date end = d.plusDays(nights);
                if (auto r = reservationOverlapping(room, d, end)) {
                    if (!(d < r->first)) {
                        d = r->second;
                        continue;
                    }
                    end = r->first;
                }
                Stay s;
                s.room = &room;
                s.arrival = d;
                s.departure = end;
                s.nationality = static_cast<int>(rng_.weighted(kNationalityWeights));
                int beds = room.beds;
                s.partySize = beds == 1 ? 1 : rng_.range(beds >= 3 ? 2 : 1, beds);
                if (s.partySize <= 2 && rng_.chance(70)) {
                    s.billedToCompany = true;
                    s.company = rng_.pick(kBusinessCompanies);
                }
                stays_.push_back(std::move(s));
                d = end.plusDays(rng_.range(0, 1));
            }
        }
    }

    Guest newGuest(const Nationality& nat, const char* surname) {
        Guest g;
        g.code = nextClient_++;
        g.surname = surname ? surname : rng_.pick(nat.surnames);
        g.name = rng_.pick(nat.names);
        g.language = nat.language;
        // A few guests carry the "*" mark, mostly after the code, sometimes before or inside it.
        if (rng_.chance(70)) {
            int where = rng_.range(0, 9);
            if (where < 7) g.language += "*";
            else if (where < 9) g.language = "*" + g.language;
            else g.language.insert(1, "*");
        }
        return g;
    }

    const Board& individualBoard() { return kBoardList[rng_.weighted(kIndividualBoardWeights)]; }

    void fillGuests(Stay& s) {
        const Nationality& nat = kNationalities[static_cast<size_t>(s.nationality)];
        Date stayEnd = s.departure;
        // Real departure: a few leave a day early or stay a day longer; guests still in the house
        // today have none yet.
        int shift = 0;
        if (s.groupId < 0) {
            int r = rng_.range(0, 99);
            if (r < 3 && Date::daysBetween(s.arrival, s.departure) >= 2) shift = -1;
            else if (r < 5) shift = 1;
        }
        Date real = s.departure.plusDays(shift);
        if (!(today_ < real)) s.realDeparture = real;
        if (s.realDeparture) stayEnd = *s.realDeparture;

        if (s.groupId >= 0) {
            // The group's leader is the first guest of its first room; in the other rooms the
            // first guest heads the room.
            int& leader = groupLeader_[s.groupId];
            bool firstRoom = s.room == groups_[static_cast<size_t>(s.groupId)].rooms.front();
            for (int i = 0; i < s.partySize; ++i) {
                Guest g = newGuest(nat, nullptr);
                if (firstRoom && i == 0) {
                    leader = g.code;
                    g.ownBoard = true;
                } else {
                    g.group = leader;
                    g.roomHead = (!firstRoom && i > 0) ? s.guests.front().code : 0;
                }
                s.guests.push_back(g);
            }
            if (!s.boards.empty()) s.boards.front().to = stayEnd;
            if (!firstRoom) s.boards.clear();  // the leader's board covers the group
            return;
        }

        int kind = s.partySize == 1 ? 0 : static_cast<int>(rng_.weighted({60, 30, 10}));  // family, friends, each own
        const char* familyName = kind == 0 ? rng_.pick(nat.surnames) : nullptr;
        for (int i = 0; i < s.partySize; ++i) {
            Guest g = newGuest(nat, familyName);
            if (i == 0) {
                g.ownBoard = true;
            } else if (kind == 0) {
                g.family = s.guests.front().code;
                g.child = i >= 2;
                g.ownBoard = g.child && rng_.chance(150);
            } else if (kind == 1) {
                g.roomHead = s.guests.front().code;
                g.group = rng_.chance(500) ? -1 : 0;
            } else {
                g.ownBoard = true;
            }
            s.guests.push_back(g);
        }
        const Board& board = individualBoard();
        long nights = Date::daysBetween(s.arrival, stayEnd);
        if (nights >= 4 && rng_.chance(40)) {
            Date mid = s.arrival.plusDays(nights / 2);
            const Board& other = boardByCode(board.type[0] == 'C' ? "HB" : "BB");
            s.boards.push_back({&board, s.arrival, mid});
            s.boards.push_back({&other, mid, stayEnd});
        } else {
            s.boards.push_back({&board, s.arrival, stayEnd});
        }
    }

    // ---- writing one stay: guest cards, arrangements, company, documents -------------------

    bool live(const Stay& s) const { return !s.realDeparture || cutoff_ < *s.realDeparture; }

    void writeStay(const Stay& s) {
        const std::string& cardFile = live(s) ? kCards : kCardsHistory;
        const std::string& boardFile = live(s) ? kBoards : kBoardsHistory;
        const std::string& companyFile = live(s) ? kCompanies : kCompaniesHistory;
        for (const auto& g : s.guests) {
            out_.add(cardFile, "Scheda_Cliente",
                     {{"NumeroHotel", number(1)}, {"NumeroProgressivo", number(g.code)},
                      {"NumeroCamera", text(s.room->number)}, {"Cognome", text(g.surname)}, {"Nome", text(g.name)},
                      {"DataArrivo", text(ymd(s.arrival))}, {"DataPartenza", text(ymd(s.departure))},
                      {"DataPartenzaReale", s.realDeparture ? text(ymd(*s.realDeparture)) : Value()},
                      {"CodiceCapoFamiglia", number(g.family)},
                      {"CodiceCapoGruppo", g.group < 0 ? Value() : number(g.group)},
                      {"CodiceCapoCamera", number(g.roomHead)}, {"Lingua", text(g.language)}});
        }
        const Guest& head = s.guests.front();
        for (const auto& g : s.guests) {
            if (!g.ownBoard) continue;
            for (const auto& span : s.boards)
                out_.add(boardFile, "Arrangiamento",
                         {{"NumeroHotel", number(1)}, {"CodiceCliente", number(g.code)},
                          {"DataInizio", text(ymd(span.from))}, {"DataFine", text(ymd(span.to))},
                          {"Arrangiamento", text(span.board->code)}});
        }
        if (s.billedToCompany && head.ownBoard)
            out_.add(companyFile, "Ditta_Intestataria",
                     {{"NumeroHotel", number(1)}, {"CodiceCliente", number(head.code)},
                      {"RagioneSociale", text(s.company)}});
        writeDocuments(s);
    }

    long long stayAmountCents(const Stay& s, const Date& end) const {
        long long total = 0;
        for (const auto& span : s.boards) {
            Date to = span.to < end ? span.to : end;
            long nights = Date::daysBetween(span.from, to);
            if (nights <= 0) continue;
            for (const auto& g : s.guests) total += nights * span.board->pricePerNight * (g.child ? 50 : 100);
        }
        if (s.boards.empty()) total = 4000LL * Date::daysBetween(s.arrival, end) * s.partySize;
        return total;
    }

    // Documents and payment lines are collected first and numbered in date order at the end, as
    // the suite numbers them when it issues them (per type, counter and year).
    struct PaymentLine {
        const char* code;
        long long cents;
        Value note;
    };
    struct PendingDoc {
        Date day;
        std::string type;
        int counter = 1;
        bool linesOnly = false;  // item takings and outgoings: payment lines without a document
        bool deposit = false;
        std::string room;
        std::optional<int> client;
        Value company;
        long long total = 0, paid = 0;
        const char* summary = "S";
        Value cancelled;
        std::vector<PaymentLine> lines;
    };
    std::vector<PendingDoc> docs_;

    PendingDoc& document(const Date& day, const std::string& type, int counter, const std::string& room,
                         std::optional<int> client, Value company, long long total, long long paid,
                         const char* summary, Value cancelled) {
        PendingDoc d;
        d.day = day;
        d.type = type;
        d.counter = counter;
        d.room = room;
        d.client = client;
        d.company = std::move(company);
        d.total = total;
        d.paid = paid;
        d.summary = summary;
        d.cancelled = std::move(cancelled);
        docs_.push_back(std::move(d));
        return docs_.back();
    }

    void looseLine(const Date& day, const char* type, const char* code, long long amount, Value note) {
        PendingDoc d;
        d.day = day;
        d.type = type;
        d.linesOnly = true;
        d.lines.push_back({code, amount, std::move(note)});
        docs_.push_back(std::move(d));
    }

    // Payment lines adding up to the amount: one line, or two with different codes.
    void payments(PendingDoc& doc, long long amount) {
        const char* first = kPayCodes[rng_.weighted(kPayWeights)];
        if (amount > 10000 && rng_.chance(200)) {
            long long part = amount * rng_.range(20, 60) / 100;
            const char* second = kPayCodes[rng_.weighted(kPayWeights)];
            if (std::string(second) == first) second = std::string(first) == "CON" ? "CC" : "CON";
            doc.lines.push_back({first, part, Value()});
            doc.lines.push_back({second, amount - part, Value()});
        } else {
            doc.lines.push_back({first, amount, Value()});
        }
    }

    void writeDocuments(const Stay& s) {
        if (!s.realDeparture) return;  // still in the house: nothing billed yet
        const Date day = *s.realDeparture;
        const int counter = s.room->hotel;
        const Guest& head = s.guests.front();
        long long total = stayAmountCents(s, day) + rng_.range(0, 6000);
        if (s.groupId >= 0) {
            const auto& plan = groups_[static_cast<size_t>(s.groupId)];
            if (s.room != plan.rooms.front()) return;  // the group is invoiced once, on its first room
            total *= static_cast<long long>(plan.rooms.size());
        }
        if (day < first_) return;

        if (s.billedToCompany) {
            bool paidNow = rng_.chance(300);
            auto& doc = document(day, rng_.chance(700) ? "F" : "FT", counter, s.room->number, head.code,
                                 text(s.company), total, paidNow ? total : 0, "S", text("N"));
            if (paidNow) doc.lines.push_back({"BON", total, Value()});
            return;
        }

        // A deposit some weeks before arrival, recorded in the deposits register.
        long long deposit = 0;
        Date depositDay = s.arrival.plusDays(-rng_.range(7, 45));
        if (rng_.chance(110) && !(depositDay < first_)) {
            deposit = std::max(5000LL, total * 3 / 10 / 1000 * 1000);
            const char* code = std::array<const char*, 3>{"BON", "CC", "CON"}[rng_.weighted({5, 4, 1})];
            auto& doc = document(depositDay, "R", counter, s.room->number, head.code, Value(), deposit, deposit, "S",
                                 text("N"));
            doc.deposit = true;
            doc.lines.push_back({code, deposit, text("Acconto")});
        }

        std::string type = rng_.chance(250) ? "RF" : "R";
        long long due = total - deposit;
        // Now and then a receipt is cancelled and issued again under the next number.
        if (rng_.chance(12))
            document(day, type, counter, s.room->number, head.code, Value(), total, due, "S", text("S"));
        const char* summary = rng_.chance(25) ? "N" : "S";
        Value cancelled = rng_.chance(2) ? Value() : text("N");  // a few documents with no mark at all
        auto& doc = document(day, type, counter, s.room->number, head.code, Value(), total, due, summary, cancelled);
        if (due > 0) payments(doc, due);
    }

    void flushDocuments() {
        std::stable_sort(docs_.begin(), docs_.end(),
                         [](const PendingDoc& a, const PendingDoc& b) { return a.day < b.day; });
        for (const auto& d : docs_) {
            int n = nextNumber(d.type, d.counter, d.day.year);
            std::string day = ymd(d.day);
            if (!d.linesOnly)
                out_.add(kInvoices, "DatiFattura",
                         {{"NumeroHotel", number(1)}, {"DataEmissione", text(day)}, {"TipoDocumento", text(d.type)},
                          {"NDocumento", number(n)}, {"Contatore", number(d.counter)}, {"NCamera", text(d.room)},
                          {"CodiceCliente", d.client ? number(*d.client) : Value()}, {"NomeDitta", d.company},
                          {"Totale", cents(d.total)}, {"CorrPagato", cents(d.paid)}, {"RiepAcc", text(d.summary)},
                          {"Annullato", d.cancelled}});
            for (const auto& l : d.lines)
                out_.add(kInvoices, "Incassi",
                         {{"NumeroHotel", number(1)}, {"DataEmissione", text(day)}, {"TipoDocumento", text(d.type)},
                          {"NDocumento", number(n)}, {"Contatore", number(d.counter)}, {"Sigla", text(l.code)},
                          {"Importo", cents(l.cents)}, {"Nota", l.note}});
            if (d.deposit)
                out_.add(kDeposits, "Registro_Acconti",
                         {{"NumeroHotel", number(1)}, {"DataEmissione", text(day)}, {"TipoDocumento", text(d.type)},
                          {"NDocumento", number(n)}, {"Contatore", number(d.counter)}, {"NCamera", text(d.room)},
                          {"Totale", cents(d.total)}});
        }
    }

    // ---- every day of the period: counter sales, item takings, outgoings, statistics ------

    void writeDailyFigures() {
        long days = Date::daysBetween(first_, last_) + 1;
        std::vector<int> guests(static_cast<size_t>(days)), paying(static_cast<size_t>(days)),
            roomsTaken(static_cast<size_t>(days)), arrivals(static_cast<size_t>(days)),
            departures(static_cast<size_t>(days));
        auto index = [&](const Date& d) { return Date::daysBetween(first_, d); };
        for (const auto& s : stays_) {
            Date end = s.realDeparture ? *s.realDeparture : s.departure;
            for (Date d = s.arrival; d < end; d = d.plusDays(1)) {
                long i = index(d);
                if (i < 0 || i >= days) continue;
                guests[static_cast<size_t>(i)] += s.partySize;
                ++roomsTaken[static_cast<size_t>(i)];
                for (const auto& g : s.guests) paying[static_cast<size_t>(i)] += g.child ? 0 : 1;
            }
            long a = index(s.arrival), e = index(end);
            if (a >= 0 && a < days) arrivals[static_cast<size_t>(a)] += s.partySize;
            if (e >= 0 && e < days && s.realDeparture) departures[static_cast<size_t>(e)] += s.partySize;
        }

        std::vector<int> weights;
        for (const auto& it : kItemTakings) weights.push_back(it.weight);
        for (long i = 0; i < days; ++i) {
            Date d = first_.plusDays(i);
            size_t k = static_cast<size_t>(i);
            counterSales(d, roomsTaken[k]);
            int lines = 2 + roomsTaken[k] / 5 + rng_.range(0, 3);
            for (int l = 0; l < lines; ++l) {
                const Item& it = kItemTakings[rng_.weighted(weights)];
                looseLine(d, "ESTERNI", rng_.chance(700) ? "CON" : "CC", rng_.range(it.minCents, it.maxCents),
                          text(it.note));
            }
            int outgoings = rng_.range(0, 2);
            for (int l = 0; l < outgoings; ++l) {
                if (rng_.chance(350)) {
                    looseLine(d, "USCITE", "CON", -rng_.range(500, 8000), text("OSPITI"));
                } else if (rng_.chance(80)) {
                    std::string note = std::string("Storno ") + rng_.pick(kExpenses);
                    looseLine(d, "USCITE", "CON", rng_.range(500, 3000), text(note));
                } else {
                    looseLine(d, "USCITE", "CON", -rng_.range(300, 15000), text(rng_.pick(kExpenses)));
                }
            }
            statistics(d, paying[k], guests[k], arrivals[k], departures[k], roomsTaken[k]);
        }
    }

    void counterSales(const Date& d, int roomsTaken) {
        int count = rng_.range(0, 1 + roomsTaken / 15);
        for (int c = 0; c < count; ++c) {
            const Room& room = rooms_[static_cast<size_t>(rng_.range(0, static_cast<int>(rooms_.size()) - 1))];
            long long total = rng_.range(400, 9000);
            Value company;
            switch (rng_.weighted({75, 8, 5, 12})) {
                case 0: break;
                case 1: company = text(""); break;
                case 2: company = text("   "); break;
                default: company = text(rng_.pick(kBusinessCompanies)); break;
            }
            bool cancelled = rng_.chance(20);
            auto& doc = document(d, rng_.chance(700) ? "C" : "CO", room.hotel, room.number, std::nullopt, company,
                                 total, total, "S", text(cancelled ? "S" : "N"));
            doc.lines.push_back({std::array<const char*, 3>{"CON", "BAN", "CC"}[rng_.weighted({6, 2, 2})], total, Value()});
        }
        // A document of another kind now and then: it counts in no column.
        if (rng_.chance(60)) {
            const Room& room = rooms_[static_cast<size_t>(rng_.range(0, static_cast<int>(rooms_.size()) - 1))];
            long long total = rng_.range(1000, 5000);
            auto& doc = document(d, "X", room.hotel, room.number, std::nullopt, Value(), total, total, "S", text("N"));
            doc.lines.push_back({"CON", total, Value()});
        }
    }

    void statistics(const Date& d, int paying, int guests, int arrivals, int departures, int rooms) {
        auto row = [&](const char* type, const char* detail, int value) {
            out_.add(kStatistics, "Dettaglio",
                     {{"NumeroHotel", number(1)}, {"Tipo", text(type)}, {"DataInserimento", text(ymd(d))},
                      {"Dettaglio", text(detail)}, {"Valore", number(value)}});
        };
        row("Presenze", "Generale", paying);
        row("Presenze", "Ospiti", guests);
        row("Arrivi", "Ospiti", arrivals);
        row("Partenze", "Ospiti", departures);
        row("Camere", "Generale", rooms);
    }
};

}  // namespace

std::vector<DemoRoom> demoRooms(int count) {
    std::vector<DemoRoom> rooms;
    for (int h = 1; h <= 2; ++h) {
        const int size = h == 1 ? (count + 1) / 2 : count / 2;
        int base = 100;  // room n of hotel h is h * base + n
        while (base <= size) base *= 10;
        for (int n = 1; n <= size; ++n) {
            int beds = n * 5 <= size ? 1 : n * 5 <= size * 4 ? 2 : n * 10 <= size * 9 ? 3 : 4;
            rooms.push_back({std::to_string(h * base + n), h, beds});
        }
    }
    return rooms;
}

std::string hotelTwoRanges(const std::vector<DemoRoom>& rooms) {
    const DemoRoom* first = nullptr;
    const DemoRoom* last = nullptr;
    for (const auto& r : rooms)
        if (r.hotel == 2) {
            if (!first) first = &r;
            last = &r;
        }
    if (!first) return std::string();
    return first->number + "," + last->number + "\r\n";
}

DemoTables simulateHotel(const DemoSettings& settings) { return Simulation(settings).run(); }

}  // namespace ov::demo
