#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

#include "cli/ovdesk_process.h"
#include "core/workspace.h"
#include "data/database.h"
#include "data/suite_schema.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::runOvdesk;
using ovtest::TempFolder;

namespace {

// One demo folder for the whole suite: writing it is the slow part.
class DemoFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        result_ = new ovtest::ProcessResult(
            runOvdesk({"demo", (*folder_ / "demo").string(), "--seed", "42", "--today", "15/03/2025"}));
    }
    static void TearDownTestSuite() {
        delete folder_;
        delete result_;
    }
    static std::filesystem::path dir() { return *folder_ / "demo"; }
    static std::shared_ptr<const Table> table(const std::string& file, const std::string& name) {
        return Database::open(Workspace(dir()), file)->table(name);
    }

    static TempFolder* folder_;
    static ovtest::ProcessResult* result_;
};
TempFolder* DemoFolder::folder_ = nullptr;
ovtest::ProcessResult* DemoFolder::result_ = nullptr;

std::string dump(const std::filesystem::path& folder, const std::string& file, const std::string& table) {
    auto r = runOvdesk({"query", "--folder", folder.string(), file, table});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
}

const Value& at(const Table& t, const Row& row, const char* field) {
    int i = t.fieldIndex(field);
    EXPECT_GE(i, 0) << field;
    return row[static_cast<size_t>(i)];
}

}  // namespace

TEST_F(DemoFolder, WritesEveryDatabaseWithTheSuitesTablesAndFields) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    for (const auto& s : schema::suiteTables()) {
        auto db = Database::open(Workspace(dir()), s.file);
        EXPECT_EQ(db->format(), Database::Format::Sqlite) << s.file;
        auto t = db->table(s.table);
        ASSERT_EQ(t->fields.size(), s.columns.size()) << s.file << " " << s.table;
        for (size_t i = 0; i < s.columns.size(); ++i) EXPECT_EQ(t->fields[i].name, s.columns[i].first);
        EXPECT_FALSE(t->rows.empty()) << s.file << " " << s.table;
    }
    TempFolder& f = *folder_;
    EXPECT_EQ(f.read("demo/Hotel2.txt"), "201,230\r\n");
    std::string layout = f.read("demo/ColonneOV.stp");
    EXPECT_EQ(layout.rfind("1,Colonne configurate,ColonneOV.mdb,ColonneOV,", 0), 0u);
    EXPECT_EQ(layout.substr(layout.size() - 2), "\r\n");
}

TEST_F(DemoFolder, CoversTheYearBeforeTheLastFullMonthWithThePlannedCodes) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    auto stats = table("Dettaglio.mdb", "Dettaglio");
    std::set<std::string> days;
    for (const auto& r : stats->rows) days.insert(std::string(at(*stats, r, "DataInserimento").asText()));
    EXPECT_EQ(*days.begin(), "20240301");
    EXPECT_EQ(*days.rbegin(), "20250228");
    EXPECT_EQ(days.size(), 365u);

    auto hotel = table("AnagraficaHotels.mdb", "AnagraficaHotels");
    ASSERT_EQ(hotel->rows.size(), 1u);
    EXPECT_EQ(at(*hotel, hotel->rows[0], "CodiceAssistenza"), Value::text("K"));

    std::map<std::string, Value> payCodes;
    auto codes = table("CodiciVari.mdb", "CodiciVari");
    for (const auto& r : codes->rows)
        if (at(*codes, r, "Tipo") == Value::integer(4)) payCodes[std::string(at(*codes, r, "Sigla").asText())] = at(*codes, r, "Nazione");
    EXPECT_EQ(payCodes.size(), 6u);
    EXPECT_EQ(payCodes["VOU"], Value::text("EXTRA"));
    EXPECT_EQ(payCodes["BON"], Value::text("EXTRA"));
    EXPECT_TRUE(payCodes["CON"].isNull());

    // Accented texts come back in code page 1252.
    auto columns = table("ColonneOV.mdb", "ColonneOV");
    EXPECT_EQ(at(*columns, columns->rows[0], "Intestazione"), Value::text("BAR-CAFF\xC8"));
}

TEST_F(DemoFolder, GuestsWithoutBoardHaveAHeadWithOne) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    for (auto [cardsFile, boardsFile] : {std::pair{"Scheda_Cliente.mdb", "Arrangiamento.mdb"},
                                         std::pair{"SchedaStoricoClienti.mdb", "ArrangiamentoStoricoClienti.mdb"}}) {
        auto cards = table(cardsFile, "Scheda_Cliente");
        auto boards = table(boardsFile, "Arrangiamento");
        std::set<int64_t> withBoard;
        for (const auto& r : boards->rows) withBoard.insert(at(*boards, r, "CodiceCliente").asInteger());
        int marked = 0, heads = 0;
        for (const auto& r : cards->rows) {
            int64_t code = at(*cards, r, "NumeroProgressivo").asInteger();
            if (std::string(at(*cards, r, "Lingua").asText()).find('*') != std::string::npos) ++marked;
            if (withBoard.count(code)) continue;
            ++heads;
            int64_t head = 0;
            for (const char* f : {"CodiceCapoFamiglia", "CodiceCapoGruppo", "CodiceCapoCamera"}) {
                const Value& v = at(*cards, r, f);
                if (head == 0 && v.isInteger() && v.asInteger() > 0) head = v.asInteger();
            }
            EXPECT_TRUE(withBoard.count(head)) << cardsFile << " card " << code << " head " << head;
        }
        EXPECT_GT(marked, 0) << cardsFile;
        EXPECT_GT(heads, 0) << cardsFile;
    }
}

TEST_F(DemoFolder, PaymentLinesAddUpAndDepositsAreDocuments) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    auto docs = table("Fatture.mdb", "DatiFattura");
    auto lines = table("Fatture.mdb", "Incassi");
    auto key = [](const Table& t, const Row& r) {
        return std::string(at(t, r, "DataEmissione").asText()) + "/" + std::string(at(t, r, "TipoDocumento").asText()) + "/" +
               std::to_string(at(t, r, "NDocumento").asInteger()) + "/" +
               std::to_string(at(t, r, "Contatore").asInteger());
    };
    std::map<std::string, Money> paid;
    std::set<std::string> kinds;
    for (const auto& r : lines->rows) {
        paid[key(*lines, r)] += at(*lines, r, "Importo").asCurrency();
        kinds.insert(std::string(at(*lines, r, "TipoDocumento").asText()));
    }
    EXPECT_TRUE(kinds.count("ESTERNI") && kinds.count("USCITE"));
    std::set<std::string> docKeys, types;
    for (const auto& r : docs->rows) {
        std::string k = key(*docs, r);
        EXPECT_TRUE(docKeys.insert(k).second) << "document twice: " << k;
        types.insert(std::string(at(*docs, r, "TipoDocumento").asText()));
        if (at(*docs, r, "Annullato") == Value::text("S")) continue;  // a cancelled document took no payment
        EXPECT_EQ(paid[k], at(*docs, r, "CorrPagato").asCurrency()) << k;
    }
    for (const char* t : {"R", "RF", "F", "FT", "C", "CO", "X"}) EXPECT_TRUE(types.count(t)) << t;
    auto deposits = table("Registro_Acconti.mdb", "Registro_Acconti");
    EXPECT_FALSE(deposits->rows.empty());
    for (const auto& r : deposits->rows) EXPECT_TRUE(docKeys.count(key(*deposits, r))) << key(*deposits, r);
}

TEST_F(DemoFolder, SameSeedSameFilesAndNeverOverExistingData) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    TempFolder other;
    auto again = runOvdesk({"demo", (other / "a").string(), "--seed", "42", "--today", "15/03/2025"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    auto otherSeed = runOvdesk({"demo", (other / "b").string(), "--seed", "43", "--today", "15/03/2025"});
    ASSERT_EQ(otherSeed.exitCode, 0) << otherSeed.err;
    for (auto [file, name] : {std::pair{"Fatture.mdb", "Incassi"}, std::pair{"Scheda_Cliente.mdb", "Scheda_Cliente"},
                              std::pair{"Dettaglio.mdb", "Dettaglio"}}) {
        std::string first = dump(dir(), file, name);
        EXPECT_EQ(first, dump(other / "a", file, name)) << name;
        EXPECT_NE(first, dump(other / "b", file, name)) << name;
    }

    std::string before = dump(dir(), "Fatture.mdb", "DatiFattura");
    auto over = runOvdesk({"demo", dir().string(), "--seed", "1"});
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_NE(over.err.find("esiste già"), std::string::npos) << over.err;
    EXPECT_EQ(before, dump(dir(), "Fatture.mdb", "DatiFattura"));

    EXPECT_EQ(runOvdesk({"demo", (other / "c").string(), "--today", "31/02/2025"}).exitCode, 2);
    EXPECT_EQ(runOvdesk({"demo", (other / "c").string(), "--seed", "x"}).exitCode, 2);
}

namespace {

// What a demo folder holds per room and year, to compare hotels of different sizes.
struct Density {
    double cards = 0, takings = 0, groups = 0;
};

Density densityOf(const std::filesystem::path& folder, int rooms, int years) {
    auto open = [&](const std::string& file, const std::string& name) {
        return Database::open(Workspace(folder), file)->table(name);
    };
    Density d;
    std::set<int64_t> leaders;
    for (const char* file : {"Scheda_Cliente.mdb", "SchedaStoricoClienti.mdb"}) {
        auto cards = open(file, "Scheda_Cliente");
        d.cards += static_cast<double>(cards->rows.size());
        for (const auto& r : cards->rows) {
            const Value& g = at(*cards, r, "CodiceCapoGruppo");
            if (g.isInteger() && g.asInteger() > 0) leaders.insert(g.asInteger());
        }
    }
    d.takings = static_cast<double>(open("Fatture.mdb", "Incassi")->rows.size());
    d.groups = static_cast<double>(leaders.size());
    const double roomYears = static_cast<double>(rooms) * years;
    return {d.cards / roomYears, d.takings / roomYears, d.groups / roomYears};
}

}  // namespace

TEST_F(DemoFolder, RoomsAndYearsMakeALargerHotelOfTheSameKind) {
    ASSERT_EQ(result_->exitCode, 0) << result_->err;
    TempFolder other;
    const auto big = other / "big";
    auto made = runOvdesk({"demo", big.string(), "--seed", "42", "--today", "15/03/2025", "--rooms", "201", "--years", "2"});
    ASSERT_EQ(made.exitCode, 0) << made.err;

    // Two years of statistics, ending with the last full month.
    auto stats = Database::open(Workspace(big), "Dettaglio.mdb")->table("Dettaglio");
    std::set<std::string> days;
    for (const auto& r : stats->rows) days.insert(std::string(at(*stats, r, "DataInserimento").asText()));
    EXPECT_EQ(*days.begin(), "20230301");
    EXPECT_EQ(*days.rbegin(), "20250228");
    EXPECT_EQ(days.size(), 731u);

    // 101 rooms in hotel 1 (1001-1101), 100 in hotel 2 (2001-2100), which Hotel2.txt names; a fifth
    // of each hotel single rooms; guests in every room.
    EXPECT_EQ(other.read("big/Hotel2.txt"), "2001,2100\r\n");
    std::set<std::string> expectedRooms;
    for (int n = 1; n <= 101; ++n) expectedRooms.insert(std::to_string(1000 + n));
    for (int n = 1; n <= 100; ++n) expectedRooms.insert(std::to_string(2000 + n));
    std::set<std::string> rooms;
    std::map<std::pair<std::string, std::string>, int> party;  // room and arrival -> guests
    std::string latestHistoryDeparture = "00000000", earliestHistoryArrival = "99999999";
    for (const char* file : {"Scheda_Cliente.mdb", "SchedaStoricoClienti.mdb"}) {
        auto cards = Database::open(Workspace(big), file)->table("Scheda_Cliente");
        for (const auto& r : cards->rows) {
            const std::string room = std::string(at(*cards, r, "NumeroCamera").asText());
            rooms.insert(room);
            ++party[{room, std::string(at(*cards, r, "DataArrivo").asText())}];
            if (std::string(file) == "SchedaStoricoClienti.mdb") {
                latestHistoryDeparture = std::max(latestHistoryDeparture, std::string(at(*cards, r, "DataPartenzaReale").asText()));
                earliestHistoryArrival = std::min(earliestHistoryArrival, std::string(at(*cards, r, "DataArrivo").asText()));
            }
        }
    }
    EXPECT_EQ(rooms, expectedRooms);
    int largest = 0;
    for (const auto& [key, guests] : party) {
        const int n = std::stoi(key.first) % 1000;
        if (n <= 20) {
            EXPECT_EQ(guests, 1) << "single room " << key.first << " on " << key.second;
        }
        largest = std::max(largest, guests);
    }
    EXPECT_EQ(largest, 4);
    // Stays that ended 75 days or more before the end are history, from the first month on.
    EXPECT_LE(latestHistoryDeparture, "20241215");
    EXPECT_LT(earliestHistoryArrival, "20230401");

    // Per room and year, as many guests, takings lines and agency groups as the 60-room hotel.
    Density small = densityOf(dir(), 60, 1), large = densityOf(big, 201, 2);
    for (auto [what, a, b] : {std::tuple{"guest cards", small.cards, large.cards},
                              std::tuple{"takings lines", small.takings, large.takings},
                              std::tuple{"groups", small.groups, large.groups}}) {
        EXPECT_GT(b / a, 0.75) << what << ": " << a << " and " << b << " per room and year";
        EXPECT_LT(b / a, 1.33) << what << ": " << a << " and " << b << " per room and year";
    }
}

TEST(DemoCommand, RefusesSizesOutOfRangeBeforeWritingAnything) {
    TempFolder f;
    struct Case {
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        {{"--rooms", "9"}, "--rooms: il numero di camere deve essere tra 10 e 2000"},
        {{"--rooms", "2001"}, "--rooms: il numero di camere deve essere tra 10 e 2000"},
        {{"--rooms", "tante"}, "--rooms: numero intero non valido: tante"},
        {{"--years", "0"}, "--years: il numero di anni deve essere tra 1 e 10"},
        {{"--years", "11"}, "--years: il numero di anni deve essere tra 1 e 10"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"demo", (f / "d").string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        auto r = runOvdesk(args);
        EXPECT_EQ(r.exitCode, 2) << c.options[0] << " " << c.options[1];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(f / "d")) << c.options[0] << " " << c.options[1];
    }
}
