// The hotel data summary's rules, each on a small hand-built working folder.
#include <gtest/gtest.h>

#include "summary/data_summary.h"
#include "summary/hotel_rooms.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using ov::Money;
using ovtest::ItalianAmount;

namespace {

Money m(const char* s) { return *Money::parse(s); }

const char* kFatture = "Fatture.mdb";

class SummaryRules : public ::testing::Test {
protected:
    SummaryRules() {
        for (auto [sigla, nazione] : std::vector<std::pair<const char*, ovtest::CellValue>>{
                 {"CON", nullptr}, {"CC", ""}, {"BON", "EXTRA"}, {"VOU", "EXTRA"}})
            f.add("CodiciVari.mdb", "CodiciVari", {1, 4, sigla, "x", nazione});
        f.add("CodiciVari.mdb", "CodiciVari", {1, 1, "ZZ", "nazione", "ITALIA"});
        f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "BB", "Pernottamento", "C"});
        f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "HB", "Mezza pensione", "M"});
        f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "H1", "Mezza pensione", "1"});
        f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "FB", "Pensione completa", "P"});
        f.add("Arrangiamenti.mdb", "NomiArrangiamenti", {1, "SO", "Solo", "X"});
    }

    // A document and its payment lines on 08/01/2024.
    void document(const char* type, long number, const char* room, ovtest::CellValue total, ovtest::CellValue paid,
                  ovtest::CellValue riepAcc, ovtest::CellValue cancelled, ovtest::CellValue company,
                  std::vector<std::pair<const char*, ovtest::CellValue>> lines = {}) {
        f.add(kFatture, "DatiFattura",
              {1, "20240108", type, number, 1, room, 0, company, total, paid, riepAcc, cancelled});
        for (auto& [sigla, amount] : lines)
            f.add(kFatture, "Incassi", {1, "20240108", type, number, 1, sigla, amount, nullptr});
    }
    void line(const char* type, ovtest::CellValue amount, ovtest::CellValue note, const char* day = "20240108") {
        f.add(kFatture, "Incassi", {1, day, type, 0, 0, nullptr, amount, note});
    }
    void guest(long code, const char* room, const char* from, const char* to, ovtest::CellValue family,
               ovtest::CellValue group, ovtest::CellValue roomHead, ovtest::CellValue lingua,
               const char* file = "Scheda_Cliente.mdb") {
        f.add(file, "Scheda_Cliente", {1, code, room, "Rossi", "Anna", from, to, to, family, group, roomHead, lingua});
    }
    void arrangement(long code, const char* sigla, const char* from = "20240101", const char* to = "20240201",
                     const char* file = "Arrangiamento.mdb") {
        f.add(file, "Arrangiamento", {1, code, from, to, sigla});
    }

    ovtest::SummaryDay runDay(const std::string& day = "08/01/2024", const std::string& r1 = "",
                              const std::string& r2 = "ZZZZ") {
        build();
        auto ws = f.workspace(env);
        host = ovtest::RecordingHost();
        outcome = ov::RunDataSummary({day, day, r1, r2}, ws, state, ov::NumberFormat::italian(), host);
        EXPECT_TRUE(host.errors.empty()) << (host.errors.empty() ? "" : host.errors[0].message());
        auto csv = ovtest::ParseSummaryCsv(f.read("Orvalis.csv"));
        EXPECT_EQ(csv.days.size(), 1u);
        return csv.days.begin()->second;
    }

    void build() {
        if (!hotelAdded) f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {1, 1, "Hotel Prova", options, nullptr, nullptr});
        hotelAdded = true;
        f.build();
    }

    ovtest::SuiteFolder f;
    std::string options;
    bool hotelAdded = false;
    std::map<std::string, std::string> env{{"PCLocal", "1"}};
    ov::ProgramState state;
    ovtest::RecordingHost host;
    ov::SummaryOutcome outcome;
};

}  // namespace

TEST_F(SummaryRules, ReceiptPaymentsSkipExtraAndUnknownCodesAndReverseWithRiepAccN) {
    f.writeText("Hotel2.txt", "200,299\r\n");
    document("R", 1, "101", 300, 300, "S", "N", nullptr, {{"CON", 100}, {"BON", 50}, {"XYZ", 30}, {"ZZ", 20}});
    document("RF", 2, "201", 90, 90, nullptr, "N", nullptr, {{"VOU", 40}, {"CC", 60}});
    document("R", 3, "102", 45, 45, "N", "N", nullptr, {{"CON", 45}});
    document("R", 4, "103", 75, 0, "S", "N", nullptr, {{"CON", 75}});          // nothing paid
    document("R", 5, "104", 75, nullptr, "S", "N", nullptr, {{"CON", 75}});    // null paid counts as 0
    document("R", 6, "105", 75, 75, "S", "S", nullptr, {{"CON", 75}});         // cancelled
    document("R", 7, "105", 75, 75, "S", nullptr, nullptr, {{"CON", 75}});     // null Annullato is left out
    document("F", 8, "106", 480, 480, "S", "N", nullptr, {{"CON", 480}});      // invoices count for nothing
    auto day = runDay();
    EXPECT_EQ(ItalianAmount(day.u[13]), m("55"));   // 100 - 45
    EXPECT_EQ(ItalianAmount(day.u[14]), m("60"));
    EXPECT_EQ(ItalianAmount(day.u[29]), m("115"));
}

TEST_F(SummaryRules, DepositsOfAnyTypeCountTheRegisterAmountAndExtraTillTheFirstLine) {
    document("R", 11, "101", 320, 320, "S", "N", nullptr, {{"CC", 320}});
    document("F", 12, "102", 500, 500, "S", "N", nullptr, {{"CON", 500}});
    document("R", 13, "103", 150, 150, "S", "N", nullptr, {{"BON", 150}, {"CON", 1}});
    document("C", 14, "104", 60, 60, "S", "N", nullptr);
    for (auto [type, n, total] : std::vector<std::tuple<const char*, long, int>>{
             {"R", 11, 300}, {"F", 12, 500}, {"R", 13, 150}, {"C", 14, 60}, {"RA", 15, 999}})
        f.add("Registro_Acconti.mdb", "Registro_Acconti", {1, "20240108", type, n, 1, "101", total});
    document("R", 15, "105", 90, 90, "S", "N", nullptr, {{"CON", 90}});  // the register holds RA 15, not R 15
    auto day = runDay();
    EXPECT_EQ(ItalianAmount(day.u[16]), m("1010"));
    EXPECT_EQ(ItalianAmount(day.u[13]), m("90"));
    EXPECT_EQ(ItalianAmount(day.nu[13]), Money());
    ASSERT_GE(outcome.written.size(), 2u);
    auto lines = ovtest::SplitLines(f.read("Orvalis.csv"));
    EXPECT_EQ(lines[41], "Acconti Extra Cassa; ;\x80" "150,00;");
}

TEST_F(SummaryRules, SaleDocumentsWithoutCompanyGoToTheNuLineByHotel) {
    f.writeText("Hotel2.txt", "nonsense without comma\r\n 120 , 130 \r\n");
    document("C", 21, "9", 40, 40, "S", "N", nullptr);
    document("C", 22, "125", 25.5, 0, "S", "N", "   ");
    document("CO", 23, "9", 70, 0, "S", "N", "Viaggi Sereni S.r.l.");
    document("CO", 24, "1250", 12, 0, "S", "N", "");  // "1250" lies between "120" and "130" as text
    document("X", 25, "9", 10, 10, "S", "N", nullptr, {{"CON", 10}});
    document("C", 26, "9", nullptr, 0, "S", "N", nullptr);  // a null total counts as 0
    auto day = runDay();
    EXPECT_EQ(ItalianAmount(day.nu[13]), m("40"));
    EXPECT_EQ(ItalianAmount(day.nu[14]), m("37.5"));
    EXPECT_EQ(ItalianAmount(day.nu[29]), m("77.5"));
    EXPECT_EQ(ItalianAmount(day.row[13]), m("40"));
    EXPECT_EQ(ItalianAmount(day.row[14]), m("37.5"));
}

TEST_F(SummaryRules, RoomRangeLimitsDocumentsAndGuests) {
    document("R", 1, "9", 30, 30, "S", "N", nullptr, {{"CON", 30}});
    document("R", 2, "150", 44, 44, "S", "N", nullptr, {{"CON", 44}});
    guest(1, "9", "20240101", "20240110", 0, 0, 0, "IT");
    guest(2, "150", "20240101", "20240110", 0, 0, 0, "IT");
    arrangement(1, "BB");
    arrangement(2, "BB");
    auto day = runDay("08/01/2024", "10", "199");
    EXPECT_EQ(ItalianAmount(day.u[13]), m("44"));
    EXPECT_EQ(day.counters[0], 1);
}

TEST_F(SummaryRules, ItemTakingsFeedEveryColumnTheirCodeIsConfiguredUnder) {
    for (auto [col, head, code] : std::vector<std::tuple<int, const char*, int>>{
             {1, "BAR", 12}, {1, "BAR", 14}, {11, "BAR", 12}, {3, "RISTORANTE", 15}, {5, "GARAGE", 25}})
        f.add("ColonneOV.mdb", "ColonneOV", {col == 5 ? 2 : 1, col, head, code, "voce"});
    line("ESTERNI", 15.5, "0012 Bar");
    line("ESTERNI", 4, "12 Bar");
    line("ESTERNI", 3.2, "0014 Caffetteria");
    line("ESTERNI", 48, "0015 Ristorante");
    line("ESTERNI", 15, "0025 Garage");
    line("ESTERNI", 6, "0040 Tassa");
    line("ESTERNI", 5, nullptr);
    line("ESTERNI", 5, "");
    line("ESTERNI", 9, "0012 Bar", "20240109");
    line("USCITE", -20, "OSPITI");
    line("USCITE", -4.8, "OSPITI ");
    line("USCITE", 7, "Storno");
    line("USCITE", nullptr, nullptr);
    auto day = runDay();
    EXPECT_EQ(ItalianAmount(day.u[17]), m("22.7"));
    EXPECT_EQ(ItalianAmount(day.nu[17]), m("19.5"));
    EXPECT_EQ(ItalianAmount(day.row[17]), m("42.2"));
    EXPECT_EQ(ItalianAmount(day.u[19]), m("48"));
    EXPECT_EQ(ItalianAmount(day.u[21]), m("15"));  // the criteria of the walk hold no hotel number
    EXPECT_EQ(ItalianAmount(day.u[27]), m("2.2"));
    EXPECT_EQ(ItalianAmount(day.u[28]), m("-20"));
    EXPECT_EQ(ItalianAmount(day.u[29]), m("22.7") + m("48") + m("15") + m("2.2") - m("20"));
    auto lines = ovtest::SplitLines(f.read("Orvalis.csv"));
    // Headings of hotel 1 only: column 5 stays blank.
    EXPECT_NE(lines[1].find(";BAR      ;         ;RISTORANT;         ;         ;"), std::string::npos) << lines[1];
}

TEST_F(SummaryRules, GuestCountersByHotelMarkCompanyAndBoard) {
    f.writeText("Hotel2.txt", "200,299\r\n");
    guest(1, "101", "20240105", "20240108", 0, 0, 0, "IT");       // left on the day: not present
    guest(2, "101", "20240108", "20240109", 0, 0, 0, "IT");       // arrived on the day: present
    arrangement(2, "HB");
    guest(3, "201", "20240101", "20240110", 0, 0, 0, "D*E");      // hotel 2, marked, company, M
    arrangement(3, "H1");
    f.add("Ditta_Intestataria.mdb", "Ditta_Intestataria", {1, 3, "Agenzia"});
    guest(4, "102", "20240101", "20240110", 0, 0, 0, nullptr);    // own code missing from the names: board 0
    arrangement(4, "ZZ");
    guest(5, "102", "20240101", "20240110", 0, 0, 0, "IT");       // type X: counted nowhere
    arrangement(5, "SO");
    guest(6, "103", "20240101", "20240110", 0, 7, 0, "IT*");      // group head 7 with FB and a company
    arrangement(7, "FB");
    f.add("Ditta_Intestataria.mdb", "Ditta_Intestataria", {1, 7, "Ditta"});
    auto day = runDay();
    EXPECT_EQ(day.counters[1], 1);
    EXPECT_EQ(day.counters[22], 1);
    EXPECT_EQ(day.counters[0], 1);
    EXPECT_EQ(day.counters[11], 1);
    long total = 0;
    for (long c : day.counters) total += c;
    EXPECT_EQ(total, 4);
    EXPECT_EQ(day.row.at(1 + 1), "1");   // PRIVATI hotel 1 MP
    EXPECT_EQ(day.row.at(1 + 5), "1");   // AGENZIE hotel 1 PC: marked guest 6 joins the unmarked cell
    EXPECT_EQ(day.row.at(1 + 10), "1");  // AGENZIE hotel 2 MP
}

TEST_F(SummaryRules, HeadCodeCarriesOverFromTheGuestWalkedBefore) {
    // Room 101: card 10 with room head 11, card 12 with no heads; the walk runs by room then card.
    guest(12, "101", "20240101", "20240110", 0, nullptr, 0, "IT");
    guest(10, "101", "20240101", "20240110", 0, 0, 11, "IT");
    arrangement(11, "FB");
    f.add("Ditta_Intestataria.mdb", "Ditta_Intestataria", {1, 11, "Ditta"});
    // Live rule: an own arrangement takes the company of the first head that has one.
    guest(20, "102", "20240101", "20240110", 21, 0, 0, "IT");
    arrangement(20, "BB");
    f.add("Ditta_Intestataria.mdb", "Ditta_Intestataria", {1, 21, "Ditta"});
    // History rule: an own arrangement looks at the own code only.
    guest(30, "103", "20240101", "20240110", 21, 0, 0, "IT", "SchedaStoricoClienti.mdb");
    arrangement(30, "BB", "20240101", "20240201", "ArrangiamentoStoricoClienti.mdb");
    auto day = runDay();
    EXPECT_EQ(day.counters[5], 2);  // cards 10 and 12: FB through head 11, with its company
    EXPECT_EQ(day.counters[3], 1);  // card 20
    EXPECT_EQ(day.counters[0], 1);  // card 30
    EXPECT_EQ(state.headCode, 11);
}

TEST_F(SummaryRules, HistoryDatabasesComeFromDirshWhenTheOptionsHoldAmpersand) {
    ovtest::TempFolder storico;
    {
        ovtest::SuiteFolder hist;
        hist.add("SchedaStoricoClienti.mdb", "Scheda_Cliente",
                 {1, 40, "101", "x", "y", "20240101", "20240101", "20240110", 0, 0, 0, "IT"});
        hist.add("ArrangiamentoStoricoClienti.mdb", "Arrangiamento", {1, 40, "20240101", "20240201", "HB"});
        hist.build();
        for (auto name : {"SchedaStoricoClienti.mdb", "ArrangiamentoStoricoClienti.mdb", "DittaStoricoClienti.mdb"})
            std::filesystem::copy_file(hist.path() / name, storico.path() / name);
    }
    options = "X&";
    env["DIRSH"] = storico.path().string();
    auto day = runDay();
    EXPECT_EQ(day.counters[1], 1);
    EXPECT_EQ(state.optionLetters, "X&");

    env.erase("DIRSH");
    host = ovtest::RecordingHost();
    auto ws = f.workspace(env);
    std::filesystem::remove(f.path() / "Orvalis.csv");
    auto o = ov::RunDataSummary({"08/01/2024", "08/01/2024", "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
    EXPECT_FALSE(o.completed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili");
    EXPECT_FALSE(std::filesystem::exists(f.path() / "Orvalis.csv"));
}
