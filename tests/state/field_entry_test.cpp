#include <gtest/gtest.h>

#include "state/field_entry.h"
#include "state/selection.h"

using namespace ov;

namespace {
const NumberFormat kItalian = NumberFormat::italian();
const std::string kAcute = "\xB4";

std::string completed(std::string text) {
    std::string result = CompleteDate(text);
    EXPECT_EQ(result, text) << "the text is updated in place and returned";
    return text;
}
}  // namespace

TEST(FilterField, FreeTextIsUpperCasedWithApostrophesTurnedIntoAcuteAccents) {
    EXPECT_EQ(FilterField("ab'c", 0, kItalian), "AB" + kAcute + "C");
    EXPECT_EQ(FilterField("a'1", 0, kItalian), "A" + kAcute + "1");
    EXPECT_EQ(FilterField("", 0, kItalian), " ");
    EXPECT_EQ(FilterField(" x ", 0, kItalian), " X ");
    // Accented letters of the code page are upper-cased too: "è" (E8) -> "È" (C8).
    EXPECT_EQ(FilterField("citt\xE8", 0, kItalian), "CITT\xC8");
}

TEST(FilterField, NumberModesKeepDigitsCommaAndMinus) {
    EXPECT_EQ(FilterField("", 1, kItalian), "0");
    EXPECT_EQ(FilterField("12a,5-", 1, kItalian), "12,5-");
    EXPECT_EQ(FilterField("1.234", 1, kItalian), "1234");
    EXPECT_EQ(FilterField("abc", 1, kItalian), "0");
    EXPECT_EQ(FilterField("anything", 7, kItalian), "0");
    EXPECT_EQ(FilterField("", 7, kItalian), "0");
}

TEST(FilterField, AmountModeGroupsThousandsInTheUsersNotation) {
    EXPECT_EQ(FilterField("1234567", 2, kItalian), "1.234.567");
    EXPECT_EQ(FilterField("", 2, kItalian), "0");
    EXPECT_EQ(FilterField("1234,5", 2, kItalian), "1.235");   // rounded half away from zero
    EXPECT_EQ(FilterField("12,5-", 2, kItalian), "-13");       // trailing sign
    EXPECT_EQ(FilterField("1-2", 2, kItalian), "1-2");         // not a number: left as it is
    EXPECT_EQ(FilterField("1234567", 2, NumberFormat::english()), "1,234,567");
}

TEST(CompleteDate, SixDigitsTakeACenturyEightDigitsAreSplit) {
    EXPECT_EQ(completed("311224"), "31/12/2024");
    EXPECT_EQ(completed("010125"), "01/01/1925");
    EXPECT_EQ(completed("010520"), "01/05/2020");
    EXPECT_EQ(completed("010599"), "01/05/1999");
    EXPECT_EQ(completed("010500"), "01/05/2000");
    EXPECT_EQ(completed("31022021"), "31/02/2021");
    EXPECT_EQ(completed("1/1/24"), "1/1/24");      // six characters, but typed with separators
    EXPECT_EQ(completed("1/1/2024"), "1/1/2024");
    EXPECT_EQ(completed("0105ab"), "01/05/20ab");  // not checked for digits
    EXPECT_EQ(completed("01/05/2024"), "01/05/2024");
    EXPECT_EQ(completed(""), "");
}

TEST(IsValidDate, ChecksDayMonthAndYearWithoutTheCenturyRule) {
    ProgramState state;
    EXPECT_EQ(IsValidDate("29/02/1900", state), 1);
    EXPECT_EQ(IsValidDate("29/02/2100", state), 1);
    EXPECT_EQ(IsValidDate("29/02/2024", state), 1);
    EXPECT_EQ(IsValidDate("29/02/2021", state), 0);
    EXPECT_EQ(IsValidDate("31/02/2021", state), 0);
    EXPECT_EQ(IsValidDate("01x01x2020", state), 1);  // separators are not checked
    EXPECT_EQ(IsValidDate(" 01/01/2020 ", state), 1);
    EXPECT_EQ(IsValidDate("31/04/2020", state), 0);
    EXPECT_EQ(IsValidDate("30/04/2020", state), 1);
    EXPECT_EQ(IsValidDate("31/12/2020", state), 1);
    EXPECT_EQ(IsValidDate("01/01/1899", state), 0);
    EXPECT_EQ(IsValidDate("01-13-2020", state), 0);
    EXPECT_EQ(IsValidDate("00/01/2020", state), 0);
    EXPECT_EQ(IsValidDate("01/00/2020", state), 0);
    EXPECT_EQ(IsValidDate("1/1/2020", state), 0);
    EXPECT_EQ(IsValidDate("", state), 0);
    EXPECT_EQ(IsValidDate("ab/cd/efgh", state), 0);
}

TEST(IsValidDate, RewritesFebruaryOfTheSharedTable) {
    ProgramState state;
    IsValidDate("01/02/2024", state);
    EXPECT_EQ(state.monthLengths[1], 29);
    IsValidDate("01/02/2023", state);
    EXPECT_EQ(state.monthLengths[1], 28);
    IsValidDate("15/07/2028", state);  // any month of the year checked
    EXPECT_EQ(state.monthLengths[1], 29);
    EXPECT_EQ(state.monthLengths[0], 31);
    EXPECT_EQ(state.monthLengths[3], 30);
}

TEST(DatesInOrder, ComparesYearThenMonthThenDay) {
    EXPECT_EQ(DatesInOrder("05/03/2024", "05/03/2024"), 1);
    EXPECT_EQ(DatesInOrder("06/03/2024", "05/03/2024"), 0);
    EXPECT_EQ(DatesInOrder("31/12/2023", "01/01/2024"), 1);
    EXPECT_EQ(DatesInOrder("01/01/2024", "31/12/2023"), 0);
    EXPECT_EQ(DatesInOrder("01/04/2024", "31/03/2024"), 0);
    EXPECT_EQ(DatesInOrder("05/03/2024 and more", "05/03/2024"), 1);  // first ten characters
    EXPECT_EQ(DatesInOrder("", "01/01/2024"), 1);
}

TEST(IsLeapYear, EveryFourthYear) {
    EXPECT_EQ(IsLeapYear(2024), 1);
    EXPECT_EQ(IsLeapYear(1900), 1);
    EXPECT_EQ(IsLeapYear(2100), 1);
    EXPECT_EQ(IsLeapYear(2000), 1);
    EXPECT_EQ(IsLeapYear(2023), 0);
    EXPECT_EQ(IsLeapYear(2022), 0);
}

// The main window's Enter handling, field by field.
class SelectionEntry : public ::testing::Test {
protected:
    FocusTarget enter(int field, const std::string& typed) {
        sel.fields[static_cast<size_t>(field)] = typed;
        return ConfirmSelectionField(sel, field, state, kItalian);
    }
    Selection sel{{"", "", "", "ZZZZ"}};
    ProgramState state;
};

TEST_F(SelectionEntry, FirstDayIsCompletedAndMovesOnWhenValid) {
    EXPECT_EQ(enter(Selection::FirstDay, "010520"), FocusTarget::LastDay);
    EXPECT_EQ(sel.firstDay(), "01/05/2020");
    EXPECT_EQ(enter(Selection::FirstDay, "010599"), FocusTarget::LastDay);
    EXPECT_EQ(sel.firstDay(), "01/05/1999");
}

TEST_F(SelectionEntry, InvalidDatesAreEmptiedAndKeepTheFocus) {
    EXPECT_EQ(enter(Selection::FirstDay, "31022021"), FocusTarget::FirstDay);
    EXPECT_EQ(sel.firstDay(), "");
    EXPECT_EQ(enter(Selection::FirstDay, ""), FocusTarget::FirstDay);  // a blank is not a date
    EXPECT_EQ(sel.firstDay(), "");
    EXPECT_EQ(enter(Selection::LastDay, "290221"), FocusTarget::LastDay);
    EXPECT_EQ(sel.lastDay(), "");
}

TEST_F(SelectionEntry, LastDayBeforeFirstDaySendsTheFocusBackAndKeepsBoth) {
    enter(Selection::FirstDay, "10052024");
    EXPECT_EQ(enter(Selection::LastDay, "01052024"), FocusTarget::FirstDay);
    EXPECT_EQ(sel.firstDay(), "10/05/2024");
    EXPECT_EQ(sel.lastDay(), "01/05/2024");
    EXPECT_EQ(enter(Selection::LastDay, "100524"), FocusTarget::FirstRoom);  // equal days are in order
}

TEST_F(SelectionEntry, RoomsAreCleanedAndComparedAsText) {
    EXPECT_EQ(enter(Selection::FirstRoom, "a'1"), FocusTarget::LastRoom);
    EXPECT_EQ(sel.firstRoom(), "A" + kAcute + "1");
    EXPECT_EQ(enter(Selection::FirstRoom, "9"), FocusTarget::LastRoom);
    EXPECT_EQ(enter(Selection::LastRoom, "10"), FocusTarget::FirstRoom);  // "10" sorts before "9"
    EXPECT_EQ(enter(Selection::LastRoom, "zzzz"), FocusTarget::PrintButton);
    EXPECT_EQ(sel.lastRoom(), "ZZZZ");
    EXPECT_EQ(enter(Selection::LastRoom, " 9 "), FocusTarget::PrintButton);  // trimmed, equal
    EXPECT_EQ(enter(Selection::FirstRoom, ""), FocusTarget::LastRoom);
    EXPECT_EQ(sel.firstRoom(), " ");
}

TEST(RoomRangeInOrder, ComparesCharactersAsTheUserSeesThem) {
    EXPECT_TRUE(RoomRangeInOrder("", "ZZZZ"));
    EXPECT_TRUE(RoomRangeInOrder("101", "101"));
    EXPECT_FALSE(RoomRangeInOrder("102", "101"));
    EXPECT_TRUE(RoomRangeInOrder("10", "100"));
    // "€" (byte 80) is a character above the Latin letters, not below them.
    EXPECT_TRUE(RoomRangeInOrder("\xE9", "\x80"));
    EXPECT_FALSE(RoomRangeInOrder("\x80", "\xE9"));
}
