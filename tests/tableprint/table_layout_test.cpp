#include "tableprint/table_layout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/error.h"
#include "support/temp_folder.h"

using namespace ov;

TEST(TableLayout, ReadsTheColumnTableLayoutOfTheFixture) {
    ovtest::TempFolder folder;
    Workspace ws(folder.path());
    std::string text = [] {
        std::ifstream in(ovtest::fixturesDir() / "edge" / "work" / "ColonneOV.stp", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    ASSERT_FALSE(text.empty());
    folder.write("colonneov.stp", text);

    // The file is found in any letter case.
    TableLayout layout = ReadLayout(ws, "ColonneOV.stp");
    EXPECT_EQ(layout.title(), "Colonne configurate");
    EXPECT_EQ(layout.database(), "ColonneOV.mdb");
    EXPECT_EQ(layout.table(), "ColonneOV");
    EXPECT_EQ(layout.header[0], "1");
    EXPECT_FALSE(layout.headerHasExtraCommas);
    ASSERT_EQ(layout.columns.size(), 4u);
    EXPECT_EQ(layout.columns[0].heading, "Col.");
    EXPECT_EQ(layout.columns[0].field, "NumeroColonna");
    EXPECT_EQ(layout.columns[0].width, 4);
    EXPECT_EQ(layout.columns[0].repeat, "N");
    EXPECT_EQ(layout.columns[1].repeat, "S");
    EXPECT_EQ(layout.columns[3].width, 30);
    EXPECT_EQ(layout.columns[3].lookupKey, "");
    EXPECT_EQ(layout.lineWidth, 1 + 5 + 13 + 7 + 31);
}

TEST(TableLayout, MissingFileIsErrorNamingIt) {
    ovtest::TempFolder folder;
    Workspace ws(folder.path());
    try {
        ReadLayout(ws, "Manca.stp");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileIo);
        EXPECT_NE(e.message().find("Manca.stp"), std::string::npos);
    }
}

TEST(TableLayout, WidthExampleAndFieldsUsedUntrimmed) {
    TableLayout layout = ParseLayout(
        "1,Colonne,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
        "2,Col.,,,NumeroColonna,4,N,N,,\r\n"
        "3, Intestazione ,,,Intestazione,20,N,N,,\r\n");
    EXPECT_EQ(layout.lineWidth, 27);
    ASSERT_EQ(layout.columns.size(), 2u);
    EXPECT_EQ(layout.columns[1].heading, " Intestazione ");
    EXPECT_EQ(layout.columns[1].width, 20);
}

TEST(TableLayout, ShortLineFillsFieldTenAndKeepsDefaults) {
    TableLayout layout = ParseLayout("1,T,Db.mdb,Tab\n1,Col.,,,NumeroColonna,4\n");
    // The header's text after its last comma is field 10, not field 4.
    EXPECT_EQ(layout.header[2], "Db.mdb");
    EXPECT_EQ(layout.header[3], "");
    EXPECT_EQ(layout.header[9], "Tab");
    ASSERT_EQ(layout.columns.size(), 1u);
    const ColumnLayout& c = layout.columns[0];
    EXPECT_EQ(c.field, "NumeroColonna");
    EXPECT_EQ(c.width, 0);
    EXPECT_EQ(c.mainKey, "4");
    EXPECT_EQ(c.total, "N");
    EXPECT_EQ(c.repeat, "N");
    EXPECT_EQ(layout.lineWidth, 2);

    // Present but empty, fields 7 and 8 are not the default "N".
    TableLayout empty = ParseLayout("h\r\n1,A,,,F,3,,,,\r\n");
    EXPECT_EQ(empty.columns.at(0).total, "");
    EXPECT_EQ(empty.columns.at(0).repeat, "");
    EXPECT_TRUE(ParseLayout("").columns.empty());
}

TEST(TableLayout, ExtraCommasDropMiddleTextAndAreFlagged) {
    TableLayout layout = ParseLayout("1,T,Db.mdb,Tab,5,6,7,8,9,dieci,undici\r\n1,A,,,F,3,S,N,,x,y\r\n");
    EXPECT_TRUE(layout.headerHasExtraCommas);
    EXPECT_EQ(layout.header[8], "9");
    EXPECT_EQ(layout.header[9], "undici");
    EXPECT_EQ(layout.columns[0].mainKey, "y");
    EXPECT_FALSE(ParseLayout("1,T,Db.mdb,Tab,,,,,,\r\n").headerHasExtraCommas);
}

TEST(TableLayout, FiftyColumnLinesAtMostAndEveryLineCountsInTheWidth) {
    std::string text = "1,T,Db.mdb,Tab,,,,,,\r\n";
    for (int i = 0; i < 60; ++i) text += "1,C" + std::to_string(i) + ",,,F,2,N,N,,\r\n";
    TableLayout layout = ParseLayout(text);
    ASSERT_EQ(layout.columns.size(), 50u);
    EXPECT_EQ(layout.columns.back().heading, "C49");
    EXPECT_EQ(layout.lineWidth, 1 + 50 * 3);

    // An empty line in the middle is a column line with width 0; lone CR and LF end lines too.
    TableLayout gaps = ParseLayout("h\r1,A,,,F,3,N,N,,\n\r\n1,B,,,G,2,N,N,,");
    ASSERT_EQ(gaps.columns.size(), 3u);
    EXPECT_EQ(gaps.columns[1].heading, "");
    EXPECT_EQ(gaps.columns[2].heading, "B");
    EXPECT_EQ(gaps.lineWidth, 1 + 4 + 1 + 3);
}

TEST(TableLayout, WidthIsTheNumericValueRoundedToAWholeNumber) {
    TableLayout layout = ParseLayout("h\r\n1,A,,,F, 12abc,N,N,,\r\n1,B,,,F,2.5,N,N,,\r\n1,C,,,F,-3,N,N,,\r\n"
                                     "1,D,,,F,99999,N,N,,\r\n1,E,,,F,x,N,N,,\r\n");
    ASSERT_EQ(layout.columns.size(), 5u);
    EXPECT_EQ(layout.columns[0].width, 12);
    EXPECT_EQ(layout.columns[1].width, 2);  // half to even, as the engine's integer conversion
    EXPECT_EQ(layout.columns[2].width, -3);
    EXPECT_EQ(layout.columns[3].width, 0);  // out of the 16-bit range
    EXPECT_EQ(layout.columns[4].width, 0);
}
