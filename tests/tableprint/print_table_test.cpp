// The table print job on its three outputs: the print file, a raw device and the printer driver,
// with their page rules, the settings read at every job and the failures it goes past.
#include "tableprint/print_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/recording_printer.h"
#include "print/print_fixture.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::PrintTables;
using ovtest::SuiteFolder;
using Lines = std::vector<std::string>;

namespace {

const std::string kNormalPrefix("\x1b\x12\0\0\0", 5);
const std::string kCompressedPrefix("\x1b\x0f\0\0\0", 5);
const std::string kNoCodes(5, '\0');

const std::string kLayout =
    "1,Colonne,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
    "2,Col.,,,NumeroColonna,4,N,N,,\r\n"
    "3,Voce,,,CodiceVoce,5,S,S,,\r\n"
    "4,Descrizione,,,Descrizione,12,N,S,,\r\n";

// The heading block of kLayout in the plain style (31/01/2024 at 10:15, the folder's clock).
const Lines kHeading = {"Hotel : Hotel Prova", "31/01/2024 Colonne 10:15", "|====|=====|============|",
                        "|Col.|Voce |Descrizione |", "|====|=====|============|"};
const std::string kFrame = "|====|=====|============|";

// The hotel's records ordered by CodiceVoce; repeated column numbers are blanked.
const Lines kData = {"|   2|    7|Minibar     |", "|   1|   12|Bar         |", "|    |   14|Caffetteria |",
                     "|   3|   15|Ristorante  |", "|  11|   18|Bar         |", "|  13|   21|Telefono    |",
                     "|    |   22|Lavanderia  |", "|   4|   30|Extra       |"};
const std::string kTotals = "|    |  139|            |";

std::string crlf(const Lines& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

PrintTables pageLengths(std::optional<std::pair<int, int>> compressedAndNormal) {
    PrintTables t;
    t.pageLengths = compressedAndNormal;
    return t;
}

PrintTables withRawDevice(PrintTables t, const std::string& device) {
    t.rawDevice = device;
    return t;
}

Lines slice(const Lines& lines, size_t from, size_t to) { return Lines(lines.begin() + from, lines.begin() + to); }

struct Folder {
    SuiteFolder f;
    std::map<std::string, std::string> env{{"PCLocal", "1"}};

    explicit Folder(const PrintTables& t = {}, const std::vector<std::string>& skip = {}) {
        ovtest::addPrintTables(f, t);
        const char* file = "ColonneOV.mdb";
        f.add(file, "ColonneOV", {1, 1, "BAR", 12, "Bar"});
        f.add(file, "ColonneOV", {1, 1, "BAR", 14, "Caffetteria"});
        f.add(file, "ColonneOV", {1, 2, "MINIBAR", 7, "Minibar"});
        f.add(file, "ColonneOV", {2, 5, "GARAGE", 25, "Garage"});
        f.add(file, "ColonneOV", {1, 3, "RISTORANTE", 15, "Ristorante"});
        f.add(file, "ColonneOV", {1, 11, "BAR", 18, "Bar"});
        f.add(file, "ColonneOV", {1, 13, "SERVIZI", 21, "Telefono"});
        f.add(file, "ColonneOV", {1, 13, "SERVIZI", 22, "Lavanderia"});
        f.add(file, "ColonneOV", {1, 4, "EXTRA", 30, "Extra"});
        f.build(skip);
        f.writeText("ColonneOV.stp", kLayout);
    }

    bool has(const std::string& name) const { return std::filesystem::exists(f.path() / name); }

    std::string print(const std::string& destination, const std::string& options = "", bool compressed = false,
                      Printer* printer = nullptr, const std::string& criteria = "NumeroColonna > 0",
                      const std::string& order = "CodiceVoce") {
        ProgramState state;
        state.optionLetters = options;
        TableJob job{"ColonneOV.stp", destination, criteria, order, compressed};
        RecordingPrinter none;
        failure = PrintTable(f.workspace(env), state, NumberFormat::italian(), job, printer ? *printer : none);
        return f.read("FD1");
    }

    std::optional<Error> failure;  // what the last job reported
};

}  // namespace

// ---- Print file ----

TEST(PrintTable, DashesWriteThePrintFileWithoutControlCharactersOrPageBreaks) {
    Folder folder(pageLengths(std::make_pair(8, 8)));
    folder.f.writeText("FD1", "resto di una stampa precedente\r\n");
    std::string file = folder.print("---");
    EXPECT_EQ(file, crlf(kHeading) + crlf(kData) + crlf({kFrame, kTotals, kFrame}) + "\f");
}

TEST(PrintTable, BoxFrameWithOptionKAndEmptyLinesWithU) {
    Folder folder;
    std::string file = folder.print("---", "KU");
    // Without a printer record all groups are 0: no physical lines, so no empty lines either.
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.back(), '\n');
    EXPECT_EQ(file.find('\f'), std::string::npos);
    const std::string top = "\xDA\xC4\xC4\xC4\xC4\xC2\xC4\xC4\xC4\xC4\xC4\xC2" + std::string(12, '\xC4') + "\xBF";
    EXPECT_NE(file.find("\r\n" + top + "\r\n\xB3" "Col.\xB3" "Voce \xB3" "Descrizione \xB3\r\n"), std::string::npos);
    EXPECT_NE(file.find("\xB3   2\xB3    7\xB3Minibar     \xB3\r\n"), std::string::npos);
    const std::string bottom = "\xC0\xC4\xC4\xC4\xC4\xC1\xC4\xC4\xC4\xC4\xC4\xC1" + std::string(12, '\xC4') + "\xD9";
    EXPECT_EQ(file.substr(file.size() - bottom.size() - 2), bottom + "\r\n");
}

TEST(PrintTable, FailingCriteriaStillWritesHeadingAndClosingLines) {
    // On a raw device, which takes the lines as they come; the print file would be left alone.
    Folder folder;
    folder.print("AGHI", "", false, nullptr, "NumeroColonna = = 1");
    EXPECT_EQ(folder.f.read("porta.prn"),
              kNormalPrefix + crlf(kHeading) + crlf({kFrame, "|    |     |            |", kFrame}) + "\f");
    ASSERT_TRUE(folder.failure);
    EXPECT_EQ(folder.failure->number(), err::SyntaxError);
    // A table without the field the records are walked by: no data lines either.
    folder.f.writeText("ColonneOV.stp", "1,Colonne,Stampanti.mdb,SetStampa,,,,,,\r\n"
                                        "1,Tipo,,,TipoStampa,4,S,S,,\r\n");
    folder.print("AGHI", "", false, nullptr, "TipoStampa > 0", "TipoStampa");
    EXPECT_EQ(folder.f.read("porta.prn"),
              kNormalPrefix +
                  crlf({kHeading[0], "31/01/2024", "|====|", "|Tipo|", "|====|", "|====|", "|    |", "|====|"}) + "\f");
    ASSERT_TRUE(folder.failure);
    EXPECT_EQ(folder.failure->number(), err::FieldNotFound);
    EXPECT_FALSE(folder.has("FD1"));
}

TEST(PrintTable, EmptyOrderFieldPrintsInTableOrder) {
    Folder folder;
    std::string file = folder.print("---", "", false, nullptr, "NumeroColonna > 0", "");
    EXPECT_NE(file.find(crlf({"|   1|   12|Bar         |", "|    |   14|Caffetteria |", "|   2|    7|Minibar     |"})),
              std::string::npos);
}

TEST(PrintTable, MissingSettingsFilesAndDatabasesAreSkipped) {
    // No Contatori nor AnagraficaHotels: the job goes on with an empty hotel line and no page
    // breaks, and reports the first database missing.
    Folder folder(PrintTables{}, {"Contatori.mdb", "AnagraficaHotels.mdb"});
    folder.print("AGHI");
    Lines heading = kHeading;
    heading[0] = "";
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + crlf(heading) + crlf(kData) + crlf({kFrame, kTotals, kFrame}) + "\f");
    ASSERT_TRUE(folder.failure);
    EXPECT_EQ(folder.failure->number(), err::FileNotFound);
    EXPECT_NE(folder.failure->message().find("AnagraficaHotels.mdb"), std::string::npos);

    // No Stampanti either: no printer record, so the print file, which a failed job leaves alone.
    Folder bare(PrintTables{}, {"Stampanti.mdb", "Contatori.mdb", "AnagraficaHotels.mdb"});
    bare.print("AGHI");
    ASSERT_TRUE(bare.failure);
    EXPECT_NE(bare.failure->message().find("Stampanti.mdb"), std::string::npos);
    EXPECT_FALSE(bare.has("FD1"));
}

TEST(PrintTable, EuroColumnsUseTheRateOfEuroTxtInTheUsersNotation) {
    Folder folder;
    folder.f.writeText("euro.txt", "2,5\r\n");
    folder.f.writeText("ColonneOV.stp", "1,Colonne,ColonneOV.mdb,ColonneOV,,,,,,\r\n"
                                        "1,Euro,,,EUROCodiceVoce,6,S,S,,\r\n");
    std::string file = folder.print("---", "", false, nullptr, "CodiceVoce = 15");
    EXPECT_NE(file.find("|  6,00|\r\n|======|\r\n|     6|\r\n"), std::string::npos);
}

// ---- Raw device ----

TEST(PrintTable, RawDeviceWithPageLengthTenBreaksAfterSixDataLines) {
    Folder folder(pageLengths(std::make_pair(72, 10)));
    folder.print("AGHI");
    EXPECT_FALSE(folder.has("FD1"));
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + crlf(kHeading) + crlf(slice(kData, 0, 6)) + crlf({kFrame}) +
                                              "\f" + kNormalPrefix + crlf(kHeading) + crlf(slice(kData, 6, 8)) +
                                              crlf({kFrame, kTotals, kFrame}) + "\f");
}

TEST(PrintTable, RawDeviceCompressedUsesTheCompressedCodesAndPageLength) {
    Folder folder(pageLengths(std::make_pair(9, 60)));
    folder.print("AGHI", "", true);
    EXPECT_EQ(folder.f.read("porta.prn"), kCompressedPrefix + crlf(kHeading) + crlf(slice(kData, 0, 5)) +
                                              crlf({kFrame}) + "\f" + kCompressedPrefix + crlf(kHeading) +
                                              crlf(slice(kData, 5, 8)) + crlf({kFrame, kTotals, kFrame}) + "\f");
}

TEST(PrintTable, OptionUEndsRawPagesWithEmptyLinesUpToPhysicalLinesLessThree) {
    PrintTables tables = pageLengths(std::make_pair(72, 10));
    tables.physicalNormal = 20;
    Folder folder(tables);
    folder.print("AGHI", "U");
    // The first page ends at count 11 (counts 11 to 17), the last one at count 8 (8 to 17).
    EXPECT_EQ(folder.f.read("porta.prn"), kNormalPrefix + crlf(kHeading) + crlf(slice(kData, 0, 6)) + crlf({kFrame}) +
                                              crlf(Lines(7, "")) +
                                              kNormalPrefix + crlf(kHeading) + crlf(slice(kData, 6, 8)) +
                                              crlf({kFrame, kTotals, kFrame}) + crlf(Lines(10, "")));
}

TEST(PrintTable, NoContatoriRecordMeansNoPageBreaks) {
    Folder folder(pageLengths(std::nullopt));
    folder.print("AGHI");
    EXPECT_EQ(folder.f.read("porta.prn"),
              kNormalPrefix + crlf(kHeading) + crlf(kData) + crlf({kFrame, kTotals, kFrame}) + "\f");
}

TEST(PrintTable, NoSetStampaRecordSendsFiveNulCodesAndNoEmptyLines) {
    Folder folder(pageLengths(std::make_pair(72, 10)));
    folder.print("SENZA TIPO", "U");
    EXPECT_EQ(folder.f.read("senza.prn"), kNoCodes + crlf(kHeading) + crlf(slice(kData, 0, 6)) + crlf({kFrame}) +
                                              kNoCodes + crlf(kHeading) + crlf(slice(kData, 6, 8)) +
                                              crlf({kFrame, kTotals, kFrame}));
}

TEST(PrintTable, LineaInOtherLetterCaseIsARawDeviceAndTheExactNameIsThePrintFile) {
    {
        Folder folder(withRawDevice(pageLengths(std::make_pair(72, 10)), "fd1"));
        folder.print("AGHI");
        std::string file = folder.f.read("fd1");
        EXPECT_EQ(file.substr(0, 5), kNormalPrefix);
        EXPECT_EQ(std::count(file.begin(), file.end(), '\f'), 2);
    }
    {
        Folder folder(withRawDevice(pageLengths(std::make_pair(72, 10)), "FD1"));
        EXPECT_EQ(folder.print("AGHI"), crlf(kHeading) + crlf(kData) + crlf({kFrame, kTotals, kFrame}) + "\f");
    }
}

TEST(PrintTable, DestinationVariableWinsOverLinea) {
    Folder folder;
    folder.env["AGHI"] = "altro.prn";
    folder.print("AGHI");
    EXPECT_FALSE(folder.has("porta.prn"));
    EXPECT_EQ(folder.f.read("altro.prn").substr(0, 5), kNormalPrefix);
}

TEST(PrintTable, DeviceThatCannotBeOpenedPrintsNothingAndRaisesNothing) {
    Folder folder(withRawDevice(PrintTables{}, "LPT1"));
    folder.f.writeText("FD1", "precedente\r\n");
    EXPECT_EQ(folder.print("AGHI"), "precedente\r\n");
    ASSERT_TRUE(folder.failure);  // but says so afterwards
    EXPECT_EQ(folder.failure->number(), err::Device);
    EXPECT_NE(folder.failure->message().find("LPT1"), std::string::npos) << folder.failure->message();
}

// ---- What a job went past ----

TEST(PrintTable, TheFirstFailingStepIsReportedAfterTheJobWentOn) {
    struct Case {
        const char* what;
        std::string destination;
        std::string criteria = "NumeroColonna > 0";
        PrintTables tables = {};
        std::vector<std::string> skip = {};
        std::string folderName = "";  // a settings file that is a folder
        int number;
        std::string named;
        std::vector<std::string> installed = {"Stampante Ufficio"};  // the system's printers
    };
    const std::vector<Case> cases = {
        {"criteria the engine rejects", "---", "NumeroColonna = = 1", {}, {}, "", err::SyntaxError, "NumeroColonna"},
        {"a typed text for a number", "---", "NumeroColonna = '1 OR 1=1'", {}, {}, "", err::TypeMismatch, ""},
        {"no printer database", "AGHI", "NumeroColonna > 0", {}, {"Stampanti.mdb"}, "", err::FileNotFound,
         "Stampanti.mdb"},
        {"a raw device that refuses bytes", "AGHI", "NumeroColonna > 0", withRawDevice({}, "/dev/full"), {}, "",
         err::Device, "/dev/full"},
        {"a driver printer that does not exist, and no other", "LASER", "NumeroColonna > 0",
         PrintTables{.laserDevice = "Nessuna"}, {}, "", err::Device, "Nessuna", {}},
        {"a font file that is a folder", "---", "NumeroColonna > 0", {}, {}, "FontStp.txt", err::FileAccess,
         "FontStp.txt"},
        {"a rate file that is a folder", "---", "NumeroColonna > 0", {}, {}, "euro.txt", err::FileAccess, "euro.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder folder(c.tables, c.skip);
        if (!c.folderName.empty()) std::filesystem::create_directory(folder.f.path() / c.folderName);
        RecordingPrinter printer(c.installed);
        folder.print(c.destination, "", false, &printer, c.criteria);
        ASSERT_TRUE(folder.failure);
        EXPECT_EQ(folder.failure->number(), c.number) << folder.failure->message();
        EXPECT_NE(folder.failure->message().find(c.named), std::string::npos) << folder.failure->message();
    }
    Folder clean;
    clean.print("---");
    EXPECT_FALSE(clean.failure) << clean.failure->message();
    // A name the system has no printer of prints on the current (default) one, as the print menu does.
    Folder unknownName(PrintTables{.laserDevice = "Nessuna"}, {});
    RecordingPrinter fallback({"Stampante Ufficio"});
    unknownName.print("LASER", "", false, &fallback, "NumeroColonna > 0");
    EXPECT_FALSE(unknownName.failure) << unknownName.failure->message();
}

TEST(PrintTable, APrintFileThatCannotBeReplacedLeavesWhatWasThere) {
    Folder folder;
    std::filesystem::create_directory(folder.f.path() / "FD1");
    std::filesystem::create_directory(folder.f.path() / "FD1" / "dentro");
    folder.print("---");
    ASSERT_TRUE(folder.failure);
    EXPECT_EQ(folder.failure->number(), err::FileAccess);
    EXPECT_NE(folder.failure->message().find("FD1"), std::string::npos) << folder.failure->message();
    EXPECT_TRUE(std::filesystem::is_directory(folder.f.path() / "FD1" / "dentro"));
    for (const auto& e : std::filesystem::directory_iterator(folder.f.path()))
        EXPECT_NE(e.path().filename().string().front(), '.') << "left behind: " << e.path();
}

// ---- Printer driver ----

TEST(PrintTable, DriverWithPageLengthTenMakesEveryPageAJobOfItsOwn) {
    Folder folder(pageLengths(std::make_pair(72, 10)));
    folder.f.writeText("FontStp.txt", "  Lucida Console \r\n");
    RecordingPrinter printer({"Altra", "Stampante Ufficio"});
    folder.print("LASER", "", false, &printer);
    EXPECT_FALSE(folder.has("FD1"));

    const Lines start = {"font Times New Roman", "size 8", "print ' '", "font Lucida Console", "size 10"};
    const Lines& calls = printer.calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], "select Stampante Ufficio");
    EXPECT_EQ(slice(calls, 1, 6), start);

    auto jobs = printer.jobs();
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& job : jobs) {
        EXPECT_TRUE(job.ended);
        EXPECT_EQ(job.printer, "Stampante Ufficio");
        ASSERT_EQ(job.pages.size(), 1u);
    }
    Lines first = {" "};
    for (const auto& l : kHeading) first.push_back(l);
    for (const auto& l : slice(kData, 0, 5)) first.push_back(l);
    first.push_back(kFrame);
    EXPECT_EQ(jobs[0].pages[0].texts(), first);

    Lines second = {" "};
    for (const auto& l : kHeading) second.push_back(l);
    for (const auto& l : slice(kData, 5, 8)) second.push_back(l);
    for (const auto& l : {kFrame, kTotals, kFrame}) second.push_back(l);
    EXPECT_EQ(jobs[1].pages[0].texts(), second);
    EXPECT_EQ(jobs[1].pages[0].lines[1].pieces[0].font, "Lucida Console");
}

TEST(PrintTable, DriverCompressedUsesCodeOneForBothSizes) {
    Folder folder;
    RecordingPrinter printer({"Stampante Ufficio"});
    folder.print("LASER", "", true, &printer);
    const Lines& calls = printer.calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(slice(calls, 1, 6), (Lines{"font Times New Roman", "size 8", "print ' '", "font Courier New", "size 8"}));
    ASSERT_EQ(printer.jobs().size(), 1u);
    EXPECT_EQ(calls.back(), "enddoc");
}

TEST(PrintTable, DriverDrawsTheBoxAndShrinksALayoutWiderThanThePaper) {
    Folder folder;
    RecordingPrinter narrow({"Stampante Ufficio"});
    folder.print("LASER", "K", false, &narrow);
    const PrintedPage page = narrow.jobs().at(0).pages.at(0);
    EXPECT_EQ(page.lines.at(3).shown(), "┌────┬─────┬────────────┐");
    EXPECT_EQ(page.lines.at(4).shown(), "│Col.│Voce │Descrizione │");
    EXPECT_EQ(page.lines.at(6).shown(), "│   2│    7│Minibar     │");
    EXPECT_EQ(page.lines.back().shown(), "└────┴─────┴────────────┘");
    EXPECT_EQ(page.lines.at(6).pieces.at(0).size, 10);  // 25 characters fit at the configured size

    // 133 characters do not fit A4 upright at 10 points: 559 points / (133 x 0.6) = 7.0.
    folder.f.writeText("ColonneOV.stp", "1,Colonne,ColonneOV.mdb,ColonneOV,,,,,,\r\n2,Col.,,,NumeroColonna,4,N,N,,\r\n"
                                        "3,Voce,,,CodiceVoce,5,S,S,,\r\n4,Descrizione,,,Descrizione,120,N,S,,\r\n");
    RecordingPrinter wide({"Stampante Ufficio"});
    folder.print("LASER", "K", false, &wide);
    const PrintedPage widePage = wide.jobs().at(0).pages.at(0);
    ASSERT_EQ(widePage.lines.at(6).text().size(), 133u);
    EXPECT_EQ(widePage.lines.at(0).pieces.at(0).size, 8);  // the page-start line
    for (size_t i = 1; i < widePage.lines.size(); ++i)
        for (const PrintedPiece& piece : widePage.lines[i].pieces) EXPECT_DOUBLE_EQ(piece.size, 7.0) << i;
}

// ---- The column table of the "edge" fixture, read from its Jet file ----

TEST(PrintTable, ColumnTableOfTheEdgeFixtureByteForByte) {
    ovtest::TempFolder folder;
    for (const char* name : {"ColonneOV.mdb", "ColonneOV.stp", "Stampanti.mdb", "Contatori.mdb", "AnagraficaHotels.mdb"})
        std::filesystem::copy_file(ovtest::fixturesDir() / "edge" / "work" / name, folder / name);
    Workspace ws(folder.path(), std::make_shared<MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}}),
                 [] { return DateTime{Date{2024, 1, 31}, 10, 15, 0}; });
    // No summary built yet: no option letters, plain frame, a form feed at the end.
    ProgramState state;
    RecordingPrinter printer;
    PrintTable(ws, state, NumberFormat::italian(), {"ColonneOV.stp", "---", "NumeroColonna < 11", "CodiceVoce", true},
               printer);

    const std::string frame = "|====|============|======|==============================|";
    const Lines expected = {
        "Hotel : Hotel Bellavista S.r.l.",
        "31/01/2024" + std::string(11, ' ') + "Colonne configurate" + std::string(11, ' ') + "10:15",
        frame,
        "|Col.|Intestazione|Codice|Descrizione                   |",
        frame,
        "|   2|MINIBAR     |     7|Minibar                       |",
        "|   1|BAR-CAFF\xC8   |    12|Bar                           |",
        "|    |BAR-CAFF\xC8   |    14|Caffetteria e pasticceria     |",
        "|   3|RISTORANTE  |    15|Ristorante \xE0 la carte         |",
        "|   1|BAR-CAFF\xC8   |    16|Enoteca - vini ros\xE9           |",
        frame,
        "|    |            |      |                              |",
        frame,
    };
    EXPECT_EQ(folder.read("FD1"), crlf(expected) + "\f");
    EXPECT_TRUE(printer.calls().empty());
}
