// The padded list lines of the column set-up dialog's lists.
#include <gtest/gtest.h>

#include "columns/list_filler.h"
#include "core/cp1252.h"
#include "data/database.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::money;
using ovtest::SqliteBuilder;
using ovtest::TempFolder;

namespace {

std::string pad(const std::string& s, size_t width) { return s + std::string(width - s.size(), ' '); }

ListColumns groupColumns() {
    ListColumns c;
    ClearColumnSpecs(c);
    c[0] = {"Codice", "Codice", 6, 'S', 'R'};
    c[1] = {"Descrizione", "Descrizione", 40, 'S', 'L'};
    return c;
}

struct Filled {
    std::vector<std::string> lines;
    std::string label, totals;
};

struct ItemsFolder {
    TempFolder dir;
    Workspace ws{dir.path()};
    ItemsFolder() {
        SqliteBuilder(dir / "VociFattura.mdb")
            .table("VociFattura",
                   {{"NumeroHotel", "SHORT"}, {"Codice", "SHORT"}, {"GruppoFatturazione", "SHORT"}, {"Descrizione", "TEXT(40)"}})
            .row({1, 12, 12, "Bar"})
            .row({1, 13, 12, "Bar - caff\xC3\xA8"})
            .row({1, 7, 7, "Minibar"})
            .row({2, 50, 50, "Piazzola"})
            .row({1, 12345, 12345, "Descrizione lunga di quaranta caratteri!"})
            .row({1, 7, 7, "Minibar"});
    }
    Filled fill(const std::string& criteria, const ProgramState& state = {}, int most = 9999,
                ListColumns columns = groupColumns()) {
        auto db = Database::open(ws, "VociFattura.mdb");
        RecordSet rs = db->openRecordSet("VociFattura");
        Filled f;
        f.totals = FillListFromRecords(rs, criteria, f.lines, f.label, columns, most, state, NumberFormat::italian());
        return f;
    }
};

}  // namespace

TEST(ListFiller, CodeRightInSixDescriptionLeftInFortyEachFollowedByABlank) {
    ItemsFolder f;
    Filled got = f.fill("NumeroHotel = 1 and Codice = GruppoFatturazione");
    EXPECT_EQ(got.label, "Codice " + pad("Descrizione", 40) + " ");
    ASSERT_EQ(got.lines.size(), 3u);  // the second Minibar line repeats the first
    EXPECT_EQ(got.lines[0], "    12 " + pad("Bar", 40) + " ");
    EXPECT_EQ(got.lines[1], "     7 " + pad("Minibar", 40) + " ");
    // Each value is cut to one character less than its width before padding.
    EXPECT_EQ(got.lines[2], " 12345 " + pad("Descrizione lunga di quaranta caratteri", 40) + " ");
    EXPECT_EQ(got.lines[2].size(), 48u);
    // No "N" column: the totals line is blanks.
    EXPECT_EQ(got.totals, std::string(7, ' ') + std::string(41, ' '));
}

TEST(ListFiller, DuplicatesAreKeptOnlyWhenTheOptionLettersHoldL) {
    ItemsFolder f;
    ProgramState state;
    state.optionLetters = "&Kl";  // lower case does not count
    EXPECT_EQ(f.fill("Codice = 7", state).lines.size(), 1u);
    state.optionLetters = "&KL";
    EXPECT_EQ(f.fill("Codice = 7", state).lines.size(), 2u);
}

TEST(ListFiller, MostLinesCountsTheLinesAdded) {
    ItemsFolder f;
    // Six records: the repeated Minibar is left out and does not use up a place.
    EXPECT_EQ(f.fill("NumeroHotel = 1", {}, 4).lines.size(), 4u);
    EXPECT_EQ(f.fill("NumeroHotel = 1", {}, 2).lines.size(), 2u);
}

TEST(ListFiller, UnreadableColumnStaysBlankAndBadCriteriaEndsTheList) {
    ItemsFolder f;
    ListColumns c = groupColumns();
    c[0].field = "NonEsiste";
    Filled got = f.fill("Codice = 12", {}, 9999, c);
    ASSERT_EQ(got.lines.size(), 1u);
    EXPECT_EQ(got.lines[0], std::string(7, ' ') + pad("Bar", 40) + " ");

    Filled bad = f.fill("Codice = = 12");
    EXPECT_TRUE(bad.lines.empty());
    EXPECT_EQ(bad.label, "Codice " + pad("Descrizione", 40) + " ");
}

TEST(ListFiller, DatesAmountsAndTotalsOfNumberColumns) {
    TempFolder dir;
    SqliteBuilder(dir / "Fatture.mdb")
        .table("DatiFattura", {{"DataEmissione", "TEXT(8)"}, {"Totale", "CURRENCY"}, {"NDocumento", "LONG"}})
        .row({"20240108", money("1234.50"), 31})
        .row({"20240229", money("100"), 7})
        .row({"20240301", nullptr, 8});
    Workspace ws(dir.path());
    ListColumns c;
    ClearColumnSpecs(c);
    c[0] = {"Data", "DataEmissione", 11, 'S', 'L'};
    c[1] = {"Importo", "Totale", 10, 'N', 'R'};
    c[2] = {"Numero", "NDocumento", 5, 'N', 'R'};
    auto db = Database::open(ws, "Fatture.mdb");
    RecordSet rs = db->openRecordSet("DatiFattura");
    std::vector<std::string> lines;
    std::string label;
    std::string totals =
        FillListFromRecords(rs, "NDocumento > 0", lines, label, c, 9999, ProgramState{}, NumberFormat::italian());
    EXPECT_EQ(label, "Data        Importo    Numer ");
    ASSERT_EQ(lines.size(), 3u);
    // Amounts are grouped without decimals; dates read DD/MM/YYYY.
    EXPECT_EQ(lines[0], "08/01/2024       1.235    31 ");
    EXPECT_EQ(lines[1], "29/02/2024         100     7 ");
    // An empty amount still goes through the amount format, which makes it 0.
    EXPECT_EQ(lines[2], "01/03/2024           0     8 ");
    EXPECT_EQ(totals, "            " "     1.335 " "   46 ");
}
