// Lines of a printed table: the heading block, cells, dates, repeated values, totals in the user's
// notation, look-up and "EURO" columns, nulls and fields the table lacks.
#include "tableprint/table_lines.h"

#include <gtest/gtest.h>

#include <optional>

#include "data/database.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::money;
using ovtest::SqliteBuilder;
using Lines = std::vector<std::string>;

namespace {

const std::string kRule = "\xB3";

// A working folder with the table "T" of "Tab.mdb" and, for look-ups, "Voci" of "Voci.mdb".
struct Records {
    ovtest::TempFolder folder;
    Workspace ws{folder.path()};

    explicit Records(const std::vector<std::pair<std::string, std::string>>& columns,
                     const std::vector<std::vector<ovtest::CellValue>>& rows) {
        SqliteBuilder b(folder / "Tab.mdb");
        b.table("T", columns);
        for (const auto& r : rows) b.row(r);
    }

    void addLookupTable() {
        SqliteBuilder b(folder / "Voci.mdb");
        b.table("Voci", {{"NumeroHotel", "SHORT"}, {"Codice", "TEXT(10)"}, {"Numero", "LONG"},
                         {"Descrizione", "TEXT(40)"}, {"Prezzo", "CURRENCY"}});
        b.row({1, "BAR", 12, "Bar centrale", money("12.50")});
        b.row({1, "L'ORO", 13, "Sala d'oro", nullptr});
        b.row({2, "MINI", 7, "Minibar del campeggio", money("3")});
        b.row({1, "MINI", 7, "Minibar", money("0.5")});
    }

    // The data lines of every record in table order, then the totals line.
    Lines print(const std::string& layoutText, Money rate = Money::fromInteger(1),
                const NumberFormat& numbers = NumberFormat::italian(), FrameStyle style = FrameStyle::Box) {
        TableLayout layout = ParseLayout(layoutText);
        auto db = Database::open(ws, "Tab.mdb");
        RecordSet rs = db->openRecordSet("T");
        TableLineState state(ws, numbers, layout.columns.size());
        Lines out;
        for (size_t i = 0; i < rs.recordCount(); ++i) {
            rs.moveTo(i);
            out.push_back(FormatDataLine(layout, style, rs, rate, state));
        }
        out.push_back(FormatTotalsLine(layout, style, state));
        return out;
    }
};

std::string boxed(const Lines& cells) {
    std::string s = kRule;
    for (const auto& c : cells) s += c + kRule;
    return s;
}

const std::string kHeader = "1,Prova,Tab.mdb,T,,,,,,\r\n";

}  // namespace

// ---- Heading block ----

TEST(TableHeading, FrameLinesInBothStylesAndTheCentredTitle) {
    TableLayout layout = ParseLayout(
        "1,Colonne,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
        "2,Col.,,,NumeroColonna,4,N,N,,\r\n"
        "3,Intestazione,,,Intestazione,20,N,N,,\r\n");
    DateTime now{Date{2026, 12, 7}, 10, 15, 0};

    HeadingBlock box = MakeHeadingBlock(layout, FrameStyle::Box, "Hotel : Prova", now);
    EXPECT_EQ(box.hotelLine, "Hotel : Prova");
    EXPECT_EQ(box.dateLine, "07/12/2026  Colonne  10:15");
    EXPECT_EQ(box.topLine, "\xDA" + std::string(4, '\xC4') + "\xC2" + std::string(20, '\xC4') + "\xBF");
    EXPECT_EQ(box.headingLine, kRule + "Col." + kRule + "Intestazione        " + kRule);
    EXPECT_EQ(box.middleLine, "\xC3" + std::string(4, '\xC4') + "\xC5" + std::string(20, '\xC4') + "\xB4");
    EXPECT_EQ(box.bottomLine, "\xC0" + std::string(4, '\xC4') + "\xC1" + std::string(20, '\xC4') + "\xD9");
    EXPECT_EQ(box.pageLines(), (Lines{box.hotelLine, box.dateLine, box.topLine, box.headingLine, box.middleLine}));

    HeadingBlock plain = MakeHeadingBlock(layout, FrameStyle::Plain, "", now);
    EXPECT_EQ(plain.topLine, "|====|====================|");
    EXPECT_EQ(plain.middleLine, plain.topLine);
    EXPECT_EQ(plain.bottomLine, plain.topLine);
    EXPECT_EQ(plain.headingLine, "|Col.|Intestazione        |");
    EXPECT_EQ(plain.topLine.size(), static_cast<size_t>(layout.lineWidth));
}

TEST(TableHeading, NarrowLayoutGivesTheDateAloneAndHeadingsAreCut) {
    // W = 1 + 4 + 6 = 11: n = floor((11 - 15 - 5) / 2) < 0.
    TableLayout layout = ParseLayout("1,Corto,Tab.mdb,T,,,,,,\r\n1,Numero,,,A,3,N,N,,\r\n1,B,,,B,5,N,N,,\r\n");
    HeadingBlock b = MakeHeadingBlock(layout, FrameStyle::Plain, "", DateTime{Date{2024, 1, 5}, 9, 3, 0});
    EXPECT_EQ(b.dateLine, "05/01/2024");
    EXPECT_EQ(b.headingLine, "|Num|B    |");

    // n = 0: date, title and time side by side. W = 1 + 21 = 22, title of 7.
    TableLayout exact = ParseLayout("1,Colonne,Tab.mdb,T,,,,,,\r\n1,A,,,A,20,N,N,,\r\n");
    EXPECT_EQ(MakeHeadingBlock(exact, FrameStyle::Plain, "", DateTime{Date{2024, 1, 5}, 9, 3, 0}).dateLine,
              "05/01/2024Colonne09:03");
}

TEST(TableHeading, ColumnsEndAtTheFirstEmptyHeadingAndNegativeWidthsKeepTheSeparator) {
    TableLayout layout = ParseLayout("h\r\n1,A,,,A,2,N,N,,\r\n1,B,,,B,-2,N,N,,\r\n1,,,,C,3,N,N,,\r\n1,D,,,D,3,N,N,,\r\n");
    HeadingBlock b = MakeHeadingBlock(layout, FrameStyle::Plain, "", DateTime{});
    EXPECT_EQ(b.headingLine, "|A ||");
    EXPECT_EQ(b.topLine, "|==||");
}

// ---- Cells ----

TEST(TableCell, NumbersRightTextsLeftLongValuesCut) {
    EXPECT_EQ(MakeCell("5", 4, '|').text, "   5|");
    EXPECT_TRUE(MakeCell("5", 4, '|').counts);
    EXPECT_EQ(MakeCell("ROSSI", 4, '|').text, "ROSS|");
    EXPECT_FALSE(MakeCell("12345", 4, '|').counts);  // cut: nothing is totalled
    EXPECT_EQ(MakeCell("", 4, '|').text, "    |");
    EXPECT_EQ(MakeCell("0", 4, '|').text, "   0|");
    EXPECT_TRUE(MakeCell("0", 4, '|').counts);
    EXPECT_EQ(MakeCell("0,50", 6, '|').text, "0,50  |");  // numeric value 0: a text
    EXPECT_FALSE(MakeCell("0,50", 6, '|').counts);
    EXPECT_EQ(MakeCell("12abc", 6, '|').text, " 12abc|");  // numeric value 12: a number
    EXPECT_EQ(MakeCell("ROSSI", -1, '|').text, "|");
    EXPECT_EQ(MakeCell("", 0, '|').text, "|");
}

// ---- Data lines ----

TEST(TableDataLine, DatesNullsAndMissingFieldsKeepTheLineWidth) {
    Records r({{"Nome", "TEXT(20)"}, {"DataEmissione", "TEXT(8)"}, {"Importo", "CURRENCY"}},
              {{"ROSSI", "20240131", money("5")}, {"", "00000000", nullptr}, {nullptr, nullptr, money("0")}});
    Lines lines = r.print(kHeader +
                          "1,Nome,,,Nome,4,N,S,,\r\n"
                          "1,Data,,,DataEmissione,10,N,S,,\r\n"
                          "1,Corta,,,DataEmissione,8,N,S,,\r\n"
                          "1,Euro,,,Importo,6,N,S,,\r\n"
                          "1,Manca,,,Inesistente,3,N,S,,\r\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], boxed({"ROSS", "31/01/2024", "31/01/20", "     5", "   "}));
    EXPECT_EQ(lines[1], boxed({"    ", "          ", "        ", "      ", "   "}));
    EXPECT_EQ(lines[2], boxed({"    ", "          ", "        ", "     0", "   "}));
    for (const auto& l : lines) EXPECT_EQ(l.size(), 1u + 5 + 11 + 9 + 7 + 4);
}

TEST(TableDataLine, RepeatedValuesAreBlankedUnlessTheColumnSaysS) {
    Records r({{"Gruppo", "LONG"}, {"Nome", "TEXT(20)"}},
              {{1, "BAR"}, {1, "BAR"}, {2, "BAR"}, {1, "BAR"}, {nullptr, nullptr}, {nullptr, nullptr}});
    Lines lines = r.print(kHeader + "1,Gr,,,Gruppo,2,N,N,,\r\n1,Nome,,,Nome,3,N,S,,\r\n");
    EXPECT_EQ(lines[0], boxed({" 1", "BAR"}));
    EXPECT_EQ(lines[1], boxed({"  ", "BAR"}));
    EXPECT_EQ(lines[2], boxed({" 2", "BAR"}));
    EXPECT_EQ(lines[3], boxed({" 1", "BAR"}));
    EXPECT_EQ(lines[4], boxed({"  ", "   "}));
    EXPECT_EQ(lines[5], boxed({"  ", "   "}));
}

TEST(TableDataLine, RepeatedDateBecomesTenBlanksAndDatesStandRight) {
    Records r({{"DataArrivo", "TEXT(8)"}}, {{"20240105"}, {"20240105"}, {"20240106"}});
    Lines lines = r.print(kHeader + "1,Arrivo,,,DataArrivo,12,N,N,,\r\n", Money::fromInteger(1),
                          NumberFormat::italian(), FrameStyle::Plain);
    // A printed date has the numeric value of its day: it stands right-aligned like a number.
    EXPECT_EQ(lines[0], "|  05/01/2024|");
    EXPECT_EQ(lines[1], "|            |");
    EXPECT_EQ(lines[2], "|  06/01/2024|");
}

TEST(TableDataLine, DateTimeFieldNamedDataPrintsItsDay) {
    // 45322 is 31/01/2024 as the engine counts days.
    Records r({{"DataOra", "DATETIME"}}, {{45322.5}});
    Lines lines = r.print(kHeader + "1,Quando,,,DataOra,10,N,N,,\r\n", Money::fromInteger(1), NumberFormat::italian(),
                          FrameStyle::Plain);
    EXPECT_EQ(lines[0], "|31/01/2024|");
}

TEST(TableDataLine, TotalsFollowTheNumericValueRulesAndTheLocale) {
    Records r({{"Qta", "LONG"}, {"Importo", "CURRENCY"}, {"Piccolo", "CURRENCY"}, {"Testo", "TEXT(10)"}},
              {{3, money("12.50"), money("0.5"), "12,50"}, {4, money("3"), money("0.25"), "abc"}});
    const std::string layout = kHeader +
                               "1,Qta,,,Qta,4,S,S,,\r\n"
                               "1,Importo,,,Importo,7,S,S,,\r\n"
                               "1,Piccolo,,,Piccolo,6,S,S,,\r\n"
                               "1,Testo,,,Testo,6,S,S,,\r\n"
                               "1,Senza,,,Qta,4,N,S,,\r\n";
    Lines it = r.print(layout);
    EXPECT_EQ(it[0], boxed({"   3", "   12,5", "0,5   ", " 12,50", "   3"}));
    EXPECT_EQ(it[1], boxed({"   4", "      3", "0,25  ", "abc   ", "   4"}));
    EXPECT_EQ(it[2], boxed({"   7", "   15,5", "      ", "  12,5", "    "}));

    Lines en = r.print(layout, Money::fromInteger(1), NumberFormat::english());
    EXPECT_EQ(en[0], boxed({"   3", "   12.5", "   0.5", " 12,50", "   3"}));
    // "12,50" reads as 1250 with English settings; 0.5 and 0.25 are numbers there.
    EXPECT_EQ(en[2], boxed({"   7", "   15.5", "  0.75", "  1250", "    "}));
}

TEST(TableDataLine, TotalWiderThanItsCellIsWrittenWhole) {
    Records r({{"Qta", "LONG"}}, {{600}, {700}});
    Lines lines = r.print(kHeader + "1,Q,,,Qta,3,S,S,,\r\n1,Altro,,,Qta,2,N,S,,\r\n", Money::fromInteger(1),
                          NumberFormat::italian(), FrameStyle::Plain);
    EXPECT_EQ(lines[0], "|600|60|");  // a value too wide for its cell is cut
    EXPECT_EQ(lines[2], "|1300|  |");
}

TEST(TableDataLine, NegativeWidthPrintsOnlyTheSeparator) {
    Records r({{"Qta", "LONG"}, {"Nome", "TEXT(10)"}}, {{5, "ROSSI"}});
    Lines lines = r.print(kHeader + "1,Q,,,Qta,-2,S,S,,\r\n1,N,,,Nome,5,N,S,,\r\n", Money::fromInteger(1),
                          NumberFormat::italian(), FrameStyle::Plain);
    EXPECT_EQ(lines[0], "||ROSSI|");
    EXPECT_EQ(lines[1], "||     |");
}

TEST(TableDataLine, SingleBlankHeadingEndsDataLinesButNotTheTotals) {
    Records r({{"Qta", "LONG"}}, {{5}});
    Lines lines = r.print(kHeader + "1,Q,,,Qta,2,S,S,,\r\n1, ,,,Qta,3,S,S,,\r\n", Money::fromInteger(1),
                          NumberFormat::italian(), FrameStyle::Plain);
    EXPECT_EQ(lines[0], "| 5|");
    EXPECT_EQ(lines[1], "| 5|   |");
}

TEST(TableDataLine, EuroColumnsDivideByTheRate) {
    Records r({{"Importo", "CURRENCY"}, {"Testo", "TEXT(10)"}},
              {{money("1936.27"), "3872,54"}, {money("5"), "x"}, {nullptr, nullptr}});
    const std::string layout = kHeader + "1,Euro,,,EUROImporto,8,S,S,,\r\n1,EuroT,,,EUROTesto,6,S,S,,\r\n";
    Lines lines = r.print(layout, money("1936.27"));
    EXPECT_EQ(lines[0], boxed({"    1,00", "  2,00"}));
    EXPECT_EQ(lines[1], boxed({"0,00    ", "      "}));  // 5 / 1936,27 rounds to 0,00: text, not totalled
    EXPECT_EQ(lines[2], boxed({"        ", "      "}));
    EXPECT_EQ(lines[3], boxed({"       1", "     2"}));

    Lines byTwo = r.print(layout, money("2"));
    EXPECT_EQ(byTwo[1], boxed({"    2,50", "      "}));
    EXPECT_EQ(byTwo[0], boxed({"  968,14", "1936,2"}));  // too wide: cut and not totalled
    EXPECT_EQ(byTwo[3], boxed({"  970,64", "      "}));
}

TEST(TableDataLine, EuroQuotientAndDoublesAreFormattedOnceFromTheDouble) {
    Records r({{"Importo", "CURRENCY"}, {"Valore", "DOUBLE"}},
              {{money("28.98"), 1e-5}, {money("784.10"), 123456789012345678.0}, {money("0"), 1000.0}});
    Lines lines = r.print(kHeader + "1,Euro,,,EUROImporto,6,S,S,,\r\n1,Valore,,,Valore,22,N,S,,\r\n",
                          money("1936.27"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], boxed({"0,01  ", "                 1E-05"}));
    EXPECT_EQ(lines[1], boxed({"0,40  ", "  1,23456789012346E+17"}));
    EXPECT_EQ(lines[2], boxed({"0,00  ", "                  1000"}));
    // Totals follow the printed values (0 + 0 + 0 here, so blank); Valore is not totalled.
    EXPECT_EQ(lines[3], boxed({"      ", "                      "}));
}

TEST(TableDataLine, LookupColumnsWithAndWithoutAMatch) {
    Records r({{"NumeroHotel", "SHORT"}, {"Voce", "TEXT(10)"}, {"Numero", "LONG"}},
              {{1, "BAR", 12}, {1, "BAR", 12}, {1, "MINI", 7}, {1, "NESSUNA", 99}, {1, "L'ORO", 13},
               {1, nullptr, nullptr}, {2, "MINI", 7}});
    r.addLookupTable();
    Lines lines = r.print(kHeader +
                          "1,Descr.,Voci.mdb,Voci,Descrizione,12,N,N,Codice,Voce\r\n"
                          "1,Prezzo,Voci.mdb,Voci,Prezzo,6,S,S,Codice,Voce\r\n"
                          "1,Per n.,Voci.mdb,Voci,Codice,5,N,S,Numero,Numero\r\n");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], boxed({"Bar centrale", "  12,5", "BAR  "}));
    EXPECT_EQ(lines[1], boxed({"            ", "  12,5", "BAR  "}));  // repeated: blank
    EXPECT_EQ(lines[2], boxed({"Minibar     ", "0,5   ", "MINI "}));
    EXPECT_EQ(lines[3], boxed({"            ", "      ", "     "}));  // no match
    EXPECT_EQ(lines[4], boxed({"Sala d'oro  ", "      ", "L'ORO"}));  // apostrophe in the key; null price
    EXPECT_EQ(lines[5], boxed({"            ", "      ", "     "}));  // null keys
    EXPECT_EQ(lines[6], boxed({"Minibar del ", "     3", "MINI "}));  // the record's own hotel
    // Look-up totals add the numeric value: 12,5 adds 12.
    EXPECT_EQ(lines[7], boxed({"            ", "    27", "     "}));
}

TEST(TableDataLine, LookupColumnsMayLookInASavedQuery) {
    Records r({{"NumeroHotel", "SHORT"}, {"Voce", "TEXT(10)"}}, {{1, "BAR"}, {1, "MINI"}, {2, "MINI"}});
    r.addLookupTable();
    SqliteBuilder(r.folder / "Voci.mdb")
        .query("VociBrevi", "SELECT NumeroHotel, Codice, UCase(Left(Descrizione, 3)) & '.' AS Breve FROM Voci");
    Lines lines = r.print(kHeader + "1,Breve,Voci.mdb,VociBrevi,Breve,5,N,S,Codice,Voce\r\n");
    EXPECT_EQ(lines[0], boxed({"BAR. "}));
    EXPECT_EQ(lines[1], boxed({"MIN. "}));
    EXPECT_EQ(lines[2], boxed({"MIN. "}));
}

TEST(TableDataLine, LookupInAMissingDatabasePrintsBlanks) {
    Records r({{"NumeroHotel", "SHORT"}, {"Voce", "TEXT(10)"}}, {{1, "BAR"}});
    Lines lines = r.print(kHeader + "1,Descr.,Manca.mdb,Voci,Descrizione,5,N,N,Codice,Voce\r\n"
                                    "1,Voce,,,Voce,4,N,N,,\r\n");
    EXPECT_EQ(lines[0], boxed({"     ", "BAR "}));
}
