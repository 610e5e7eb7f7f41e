#include <gtest/gtest.h>

#include <map>
#include <set>

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
    for (const auto& r : stats->rows) days.insert(at(*stats, r, "DataInserimento").asText());
    EXPECT_EQ(*days.begin(), "20240301");
    EXPECT_EQ(*days.rbegin(), "20250228");
    EXPECT_EQ(days.size(), 365u);

    auto hotel = table("AnagraficaHotels.mdb", "AnagraficaHotels");
    ASSERT_EQ(hotel->rows.size(), 1u);
    EXPECT_EQ(at(*hotel, hotel->rows[0], "CodiceAssistenza"), Value::text("K"));

    std::map<std::string, Value> payCodes;
    auto codes = table("CodiciVari.mdb", "CodiciVari");
    for (const auto& r : codes->rows)
        if (at(*codes, r, "Tipo") == Value::integer(4)) payCodes[at(*codes, r, "Sigla").asText()] = at(*codes, r, "Nazione");
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
            if (at(*cards, r, "Lingua").asText().find('*') != std::string::npos) ++marked;
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
        return at(t, r, "DataEmissione").asText() + "/" + at(t, r, "TipoDocumento").asText() + "/" +
               std::to_string(at(t, r, "NDocumento").asInteger()) + "/" +
               std::to_string(at(t, r, "Contatore").asInteger());
    };
    std::map<std::string, Money> paid;
    std::set<std::string> kinds;
    for (const auto& r : lines->rows) {
        paid[key(*lines, r)] += at(*lines, r, "Importo").asCurrency();
        kinds.insert(at(*lines, r, "TipoDocumento").asText());
    }
    EXPECT_TRUE(kinds.count("ESTERNI") && kinds.count("USCITE"));
    std::set<std::string> docKeys, types;
    for (const auto& r : docs->rows) {
        std::string k = key(*docs, r);
        EXPECT_TRUE(docKeys.insert(k).second) << "document twice: " << k;
        types.insert(at(*docs, r, "TipoDocumento").asText());
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
