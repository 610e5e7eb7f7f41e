// The saved filter file of a printed table: written by "Salva &Filtro", read at every activation.
#include <gtest/gtest.h>

#include "core/workspace.h"
#include "support/temp_folder.h"
#include "tableform/saved_filter.h"

using namespace ov;

namespace {

const std::array<std::string, 8> kNoParams{};

CriteriaRow row(const std::string& field, int op, const std::string& value) {
    return {field, std::string(kOperatorLabels[static_cast<size_t>(op)]), value};
}

}  // namespace

TEST(SavedFilter, WritesTheChoicesAndTheRowsWithAValue) {
    ovtest::TempFolder folder;
    Workspace ws(folder.path());
    CriteriaRows rows;
    rows[0] = row("Intestazione", 0, "FATTURE");
    rows[1] = row("NumeroColonna", 4, "   ");  // only blanks: not saved
    rows[3] = row("DataEmissione", 6, "0612");
    rows[4] = {"NumeroColonna", "qualcosa", "5"};  // no label: no symbol
    rows[7] = row("Descrizione", 7, " BAR ");     // saved untrimmed
    WriteSavedFilter(ws, savedFilterNameForLayout("ColonneOV.stp"), false, "NumeroColonna", rows);
    EXPECT_EQ(folder.read("ColonneOV.fil"),
              "Compresso = N\r\nIn Ordine di NumeroColonna\r\nIntestazione = FATTURE\r\nDataEmissione In 0612\r\n"
              "NumeroColonna 5\r\nDescrizione Non  BAR \r\n");

    WriteSavedFilter(ws, "ColonneOV.fil", true, "", CriteriaRows{});
    EXPECT_EQ(folder.read("ColonneOV.fil"), "Compresso = S\r\nIn Ordine di \r\n");
}

TEST(SavedFilter, RoundTripClosesUpTheRows) {
    ovtest::TempFolder folder;
    Workspace ws(folder.path());
    CriteriaRows rows;
    for (size_t i = 0; i < 8; ++i) rows[i] = row("Campo" + std::to_string(i), static_cast<int>(i), "");
    rows[1].value = "A1";
    rows[2].value = "B 2";
    rows[6].value = "C3";
    WriteSavedFilter(ws, "Tab.fil", true, "Campo5", rows);

    auto saved = ReadSavedFilter(ws, "TAB.FIL", kNoParams);  // found in any letter case
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->compressed, true);
    EXPECT_EQ(saved->orderField, "Campo5");
    ASSERT_EQ(saved->criteria.size(), 3u);
    EXPECT_EQ(saved->criteria[0].field, "Campo1");
    EXPECT_EQ(saved->criteria[0].labelWord, "inferiore a");
    EXPECT_EQ(saved->criteria[0].value, "A1");
    EXPECT_EQ(saved->criteria[1].labelWord, "superiore a");
    EXPECT_EQ(saved->criteria[1].value, "B 2");  // blanks inside a value survive
    EXPECT_EQ(saved->criteria[2].field, "Campo6");
    EXPECT_EQ(saved->criteria[2].labelWord, "include");

    EXPECT_FALSE(ReadSavedFilter(ws, "Altra.fil", kNoParams).has_value());
}

TEST(SavedFilter, ReadsTheLinesAsTheFormDoes) {
    SavedFilter f = ParseSavedFilter(
        {"Compresso = N", "In Ordine di   NumeroColonna  ", "Intestazione = FATTURE", "DataEmissione >= 20240101"},
        kNoParams);
    EXPECT_EQ(f.compressed, false);
    EXPECT_EQ(f.orderField, "NumeroColonna");
    ASSERT_EQ(f.criteria.size(), 2u);
    EXPECT_EQ(f.criteria[0].field, "Intestazione");
    EXPECT_EQ(f.criteria[0].labelWord, "uguale a");
    EXPECT_EQ(f.criteria[0].value, "FATTURE");
    EXPECT_EQ(f.criteria[1].labelWord, "da");
    EXPECT_EQ(f.criteria[1].value, "20240101");

    // Only the 13th character of line 1 counts.
    EXPECT_EQ(ParseSavedFilter({"xxxxxxxxxxxxS"}, kNoParams).compressed, true);
    EXPECT_EQ(ParseSavedFilter({"Compresso = s"}, kNoParams).compressed, false);
    SavedFilter empty = ParseSavedFilter({}, kNoParams);
    EXPECT_FALSE(empty.compressed.has_value());
    EXPECT_FALSE(empty.orderField.has_value());
    EXPECT_EQ(ParseSavedFilter({"Compresso = S", "In Ordine"}, kNoParams).orderField, "");
}

TEST(SavedFilter, ParamsStandForTheOpenersValues) {
    std::array<std::string, 8> params{};
    params[2] = "TERZO";
    SavedFilter f = ParseSavedFilter(
        {"Compresso = S", "In Ordine di A", "A = Param3", "B = Param1", "C = Param9", "D = Param3x", "E = param3"},
        params);
    ASSERT_EQ(f.criteria.size(), 5u);
    EXPECT_EQ(f.criteria[0].value, "TERZO");
    EXPECT_EQ(f.criteria[1].value, "");  // no value supplied
    EXPECT_EQ(f.criteria[2].value, "Param9");
    EXPECT_EQ(f.criteria[3].value, "Param3x");
    EXPECT_EQ(f.criteria[4].value, "param3");
}

TEST(SavedFilter, HandEditedLinesAreReadSafely) {
    std::vector<std::string> lines{"Compresso = S", "In Ordine di A", "SoloCampo", "Campo <>", "  = X"};
    for (int i = 0; i < 8; ++i) lines.push_back("Extra" + std::to_string(i) + " = " + std::to_string(i));
    SavedFilter f = ParseSavedFilter(lines, kNoParams);
    ASSERT_EQ(f.criteria.size(), 8u);  // lines after the eighth criterion are ignored
    EXPECT_EQ(f.criteria[0].field, "SoloCampo");
    EXPECT_EQ(f.criteria[0].labelWord, "");
    EXPECT_EQ(f.criteria[0].value, "");
    EXPECT_EQ(f.criteria[1].field, "Campo");
    EXPECT_EQ(f.criteria[1].labelWord, "diverso da");
    EXPECT_EQ(f.criteria[1].value, "");
    EXPECT_EQ(f.criteria[2].field, "");  // a leading blank: no field
    EXPECT_EQ(f.criteria[2].labelWord, "");
    EXPECT_EQ(f.criteria[2].value, "= X");
    EXPECT_EQ(f.criteria[7].field, "Extra4");
}
