// The print file turned into a separated-values file: each rule on a line of its own, rules
// competing for one character, settings of the working folder, the whole file.
#include "print/spreadsheet_conversion.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "print/preview_handoffs.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using namespace ov;
using ovtest::SuiteFolder;

namespace {

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

const std::string kVertical = bytes({179});
const std::string kEuro = "\x80";

std::string convert(const std::string& line, const SpreadsheetSettings& s = {}) {
    return ConvertLineForSpreadsheet(line, s);
}

}  // namespace

TEST(SpreadsheetConversion, FrameCodesAndBarsCloseFields) {
    for (int code : {217, 197, 194, 195, 192, 193, 179, 191, 218, int('|')})
        EXPECT_EQ(convert("a" + bytes({code}) + "b"), "a,b") << code;
    // Other box-drawing codes are copied unchanged.
    for (int code : {187, 188, 200, 201, 186, 205})
        EXPECT_EQ(convert("a" + bytes({code}) + "b"), "a" + bytes({code}) + "b") << code;
}

TEST(SpreadsheetConversion, RightJointClosesOnlyTheLastField) {
    EXPECT_EQ(convert("x" + bytes({180}) + "y" + bytes({180})), "x y,");
    EXPECT_EQ(convert(bytes({180})), ",");
}

TEST(SpreadsheetConversion, RulesOfDashesBecomeBlanks) {
    EXPECT_EQ(convert(bytes({196, 196, 196})), "   ");
    EXPECT_EQ(convert("----"), "    ");
    EXPECT_EQ(convert(bytes({195, 196, 196, 197, 196, 180})), ",  , ,");
}

TEST(SpreadsheetConversion, ItalianAmountGetsCurrencyAndDecimalSeparator) {
    EXPECT_EQ(convert("  1.234,56"), " " + kEuro + "1234.56");
    EXPECT_EQ(convert(kVertical + "   12.345.678,90" + kVertical), ",  " + kEuro + "12345678.90,");
    // A minus sign directly before the digits stays, after the currency symbol.
    EXPECT_EQ(convert(kVertical + "  -154,21" + kVertical), ", " + kEuro + "-154.21,");
}

TEST(SpreadsheetConversion, CommaOutsideAnAmountBecomesABlank) {
    EXPECT_EQ(convert("Rossi,Mario"), "Rossi Mario");
    EXPECT_EQ(convert("a 1,5"), "a 1 5");    // one digit after it
    EXPECT_EQ(convert(",50"), " 50");         // no digit before it: the line starts there
    EXPECT_EQ(convert("tot 12,"), "tot 12 ");  // the positions after the line hold no digit
    EXPECT_EQ(convert("tot 1,2"), "tot 1 2");
}

TEST(SpreadsheetConversion, DotIsDroppedOnlyAsAThousandsDot) {
    EXPECT_EQ(convert("1.5"), "1.5");
    EXPECT_EQ(convert("1.234"), "1234");
    EXPECT_EQ(convert("T."), "T.");
    EXPECT_EQ(convert(".123"), ".123");
}

TEST(SpreadsheetConversion, DashIsAMinusSignOnlyBeforeADigit) {
    EXPECT_EQ(convert("-5"), "-5");
    EXPECT_EQ(convert("a-b"), "a b");
    EXPECT_EQ(convert("5-"), "5 ");
}

TEST(SpreadsheetConversion, OtherCharactersPassUnchanged) {
    const std::string text = "Citt\xE0 d'Albergo 12/08/2024 \xE7;\"\x80\t";
    EXPECT_EQ(convert(text), text);
    EXPECT_EQ(convert(""), "");
}

TEST(SpreadsheetConversion, CurrencySymbolTakesTheBlankLeftByAnEarlierRule) {
    // The blank a rule or a comma between words left is the last blank before the amount.
    EXPECT_EQ(convert(bytes({196}) + "5,00"), kEuro + "5.00");
    EXPECT_EQ(convert("x,5,00"), "x" + kEuro + "5.00");
    EXPECT_EQ(convert("-" + std::string("5,00")), "-5.00");  // no blank at all: no symbol
    // Two amounts in one field: each takes the last blank before it.
    EXPECT_EQ(convert(" 1,50 2,30"), kEuro + "1.50" + kEuro + "2.30");
}

TEST(SpreadsheetConversion, AFullCellGetsNoSymbolAndLeavesTheOtherCellsAlone) {
    // The cell before holds blanks, but they belong to another field.
    EXPECT_EQ(convert(kVertical + " ab" + kVertical + "1234,56" + kVertical), ", ab,1234.56,");
    EXPECT_EQ(convert(kVertical + "   0,00" + kVertical + "12345,00" + kVertical), ",  " + kEuro + "0.00,12345.00,");
}

TEST(SpreadsheetConversion, LongerSettingsAreUsedWholeAndOnlyTheFirstSymbolCharacterIsPlaced) {
    SpreadsheetSettings s{"; ", "<,>", "EUR"};
    EXPECT_EQ(convert(kVertical + "  1,50" + kVertical + "ab" + bytes({180}), s), ";  E1<,>50; ab; ");
    // The blank inside a separator is not the field's: no symbol when the field has none.
    EXPECT_EQ(convert(kVertical + "12,50", s), "; 12<,>50");
    SpreadsheetSettings empty{"", "", ""};
    EXPECT_EQ(convert(kVertical + " 1.234,50" + kVertical, empty), " 123450");
}

TEST(SpreadsheetConversion, SettingsFileLinesAreTakenWhole) {
    SuiteFolder f;
    Workspace ws = f.workspace();
    SpreadsheetSettings d = ReadSpreadsheetSettings(ws);
    EXPECT_EQ(d.fieldSeparator, ",");
    EXPECT_EQ(d.decimalSeparator, ".");
    EXPECT_EQ(d.currencySymbol, "\x80");

    f.writeText("SEPARATOREXLS.TXT", "; \r\n,\r\nEUR \r\nignorata\r\n");
    SpreadsheetSettings s = ReadSpreadsheetSettings(ws);
    EXPECT_EQ(s.fieldSeparator, "; ");
    EXPECT_EQ(s.decimalSeparator, ",");
    EXPECT_EQ(s.currencySymbol, "EUR ");

    // Lines the file lacks keep their defaults; an empty line is an empty setting.
    f.writeText("SEPARATOREXLS.TXT", "\t\n\n");
    s = ReadSpreadsheetSettings(ws);
    EXPECT_EQ(s.fieldSeparator, "\t");
    EXPECT_EQ(s.decimalSeparator, "");
    EXPECT_EQ(s.currencySymbol, "\x80");
}

TEST(SpreadsheetConversion, ConvertiXLSWritesOneLinePerLineWithCrLf) {
    SuiteFolder f;
    f.writeText("fd7", bytes({218, 196, 194, 196, 191}) + "\r\n" + kVertical + "U " + kVertical +
                           "  1.234,56" + kVertical + "\r\n" + "\r\n" + "\f\r\n" + "ultima\n" + "senza fine");
    f.writeText("FD7.CSV", "vecchio contenuto molto pi\xF9 lungo del nuovo\r\n");
    Workspace ws = f.workspace({{"PCLocal", "7"}});
    const auto written = ConvertiXLS(ws, "FD7");
    EXPECT_EQ(written.filename(), "FD7.CSV");  // the earlier file, in its own letter case, is replaced
    EXPECT_EQ(f.read("FD7.CSV"), ", , ,\r\n,U , " + kEuro + "1234.56,\r\n\r\n\f\r\nultima\r\nsenza fine\r\n");

    f.writeText("SeparatoreXLS.txt", ";\r\n,\r\n\x80\r\n");
    ConvertiXLS(ws, "fd7");
    EXPECT_EQ(f.read("FD7.CSV"), "; ; ;\r\n;U ; " + kEuro + "1234,56;\r\n\r\n\f\r\nultima\r\nsenza fine\r\n");
}

TEST(SpreadsheetConversion, NamesFollowTheWorkstationNumber) {
    SuiteFolder f;
    f.writeText("fd0", "riga\r\n");
    Workspace unset = f.workspace({});  // PCLocal not set: workstation 0
    EXPECT_EQ(SpreadsheetFileName(unset), "fd0.csv");
    EXPECT_EQ(ConvertiXLS(unset, "fd0").filename(), "fd0.csv");
    EXPECT_EQ(f.read("fd0.csv"), "riga\r\n");
    EXPECT_EQ(SpreadsheetFileName(f.workspace({{"PCLocal", "12"}})), "fd12.csv");
}

TEST(SpreadsheetConversion, MissingInputOrUnwritableOutputIsAnErrorNamingTheFile) {
    SuiteFolder f;
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    try {
        ConvertiXLS(ws, "fd1");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_NE(e.message().find("'fd1'"), std::string::npos) << e.message();
    }
    EXPECT_FALSE(std::filesystem::exists(f.path() / "fd1.csv"));

    f.writeText("fd1", "riga\r\n");
    std::filesystem::create_directory(f.path() / "fd1.csv");
    try {
        ConvertiXLS(ws, "fd1");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_NE(e.message().find("fd1.csv"), std::string::npos) << e.message();
    }
}

TEST(SpreadsheetConversion, PreviewOpensTheWorkbookAndSaysSoWhenNoProgramOpensIt) {
    ovtest::RecordingHost host;
    host.openSucceeds = false;
    SuiteFolder f;
    f.writeText("fd1", "riga\r\n");
    openPreviewAsSpreadsheet(f.workspace({{"PCLocal", "1"}}), host);
    EXPECT_EQ(f.read("fd1.csv"), "riga\r\n");
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(std::filesystem::path(host.opened[0]), f.path() / "fd1.xlsx");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Impossibile aprire il file fd1.xlsx con il programma associato");
    EXPECT_EQ(host.messages[0].icon, Icon::Warning);
}
