// ovdesk table on a copy of the "edge" working folder, with its layout ColonneOV.stp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/pdf_pages.h"
#include "support/scoped_env.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;

namespace fs = std::filesystem;

namespace {

class TableCommand : public ovtest::EdgeFolderCommand {
protected:
    ovtest::ProcessResult table(std::vector<std::string> args) {
        args.insert(args.begin(), {"table", "--folder", dir.path().string(), "--table", "ColonneOV"});
        return runOvdesk(args);
    }
    // The lines of the print file between the heading block and the closing lines.
    std::vector<std::string> dataLines() const {
        std::vector<std::string> lines = printFileLines();
        if (lines.size() < 8) return {};
        return std::vector<std::string>(lines.begin() + 5, lines.end() - 3);
    }
};

}  // namespace

TEST_F(TableCommand, PreviewDestinationWritesTheSelectedRowsInOrder) {
    auto r = table({"--row", "NumeroColonna", "da", "2", "--order", "numerocolonna", "--destination", "---"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (dir.path() / "FD1").string() + "\n");
    const std::string text = dir.read("FD1");
    EXPECT_EQ(text.substr(0, 33), "Hotel : Hotel Bellavista S.r.l.\r\n");
    // No summary built in this run: no option letters, so the plain frame and a form feed at the end.
    EXPECT_EQ(text.back(), '\f');
    EXPECT_EQ(dataLines(), (std::vector<std::string>{
                               "|   2|MINIBAR     |     7|Minibar                       |",
                               "|   3|RISTORANTE  |    15|Ristorante \xE0 la carte         |",
                               "|  11|BAR-CAFF\xC8   |    12|Bar                           |",
                               "|  13|SERVIZI     |    21|Telefono                      |",
                               "|    |SERVIZI     |    22|Lavanderia                    |",
                           }));

    // A destination without a printer record also writes the print file; the path is given clean.
    r = runOvdesk({"table", "--folder", dir.path().string() + "/.", "--table", "ColonneOV", "--row", "NumeroColonna",
                   "da", "2", "--destination", "NESSUNA"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, (dir.path() / "FD1").string() + "\n");
}

TEST_F(TableCommand, SavedFilterGivesRowsAndOrderUnlessTheCommandLineDoes) {
    dir.write("ColonneOV.fil", "Compresso = N\r\nIn Ordine di CodiceVoce\r\nIntestazione In serv\r\n");
    auto r = table({"--destination", "---"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = dataLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "|  13|SERVIZI     |    21|Telefono                      |");

    r = table({"--destination", "---", "--row", "CodiceVoce", "uguale a", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    lines = dataLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "|   2|MINIBAR     |     7|Minibar                       |");
}

TEST_F(TableCommand, RawDestinationGetsTheControlCharacters) {
    // ARCHIVIO is a raw printer whose line is "fd1": a device, not the print file.
    auto r = table({"--row", "Intestazione", "include", "minibar", "--destination", "ARCHIVIO", "--normal"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string text = dir.read("fd1");
    EXPECT_EQ(text.substr(0, 5), std::string("\x1B\x12\0\0\0", 5));
    EXPECT_NE(text.find("|   2|MINIBAR     |"), std::string::npos);
}

TEST_F(TableCommand, PdfPrintsTheListingThroughTheDriverWithADriverDestinationsSettings) {
    const fs::path pdf = dir.path() / "colonne.pdf";
    auto r = table({"--row", "NumeroColonna", "da", "1", "--pdf", pdf.string(), "--normal"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, pdf.string() + "\n");
    EXPECT_FALSE(fs::exists(dir.path() / "FD1"));
    ASSERT_EQ(ovtest::pdfPageCount(pdf), 1);
    for (auto [w, h] : ovtest::pdfPageSizes(pdf)) EXPECT_LT(w, h);
    const std::string text = ovtest::pdfPageText(pdf, 1);
    EXPECT_NE(text.find("Hotel : Hotel Bellavista S.r.l."), std::string::npos) << text;
    EXPECT_NE(text.find("|   2|MINIBAR     |     7|Minibar"), std::string::npos) << text;

    // A raw destination is no way to a PDF.
    r = table({"--row", "NumeroColonna", "da", "1", "--pdf", pdf.string(), "--destination", "ARCHIVIO"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("ARCHIVIO"), std::string::npos) << r.err;
}

TEST_F(TableCommand, NothingToSelectOrNoLayoutFailsWithTheMessage) {
    auto r = table({"--destination", "---", "--row", "Intestazione", "uguale a", " "});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Mancano dati!: E' necessario definire un criterio di stampa!\n");
    EXPECT_FALSE(fs::exists(dir.path() / "FD1"));

    r = runOvdesk({"table", "--folder", dir.path().string(), "--table", "Nessuna", "--row", "A", "da", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "File Mancante: Nessuna.stp - Inesistente!\n");

    r = table({"--row", "Sconosciuto", "uguale a", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Errore 3265"), std::string::npos) << r.err;

    // A saved criterion on a field the table no longer has: named, with its file.
    dir.write("ColonneOV.fil", "Compresso = S\r\nIn Ordine di NumeroColonna\r\nCampoVecchio = 3\r\n");
    r = table({"--destination", "---"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("il campo 'CampoVecchio' del filtro salvato 'ColonneOV.fil' non esiste"), std::string::npos)
        << r.err;

    // A layout whose header names no database and table.
    dir.write("Vuota.stp", "");
    r = runOvdesk({"table", "--folder", dir.path().string(), "--table", "Vuota", "--row", "A", "da", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Formato Errato: Vuota.stp - Formato non valido!\n");
}

TEST_F(TableCommand, AJobThatFailedExitsOneWithItsFirstFailureAndNoPath) {
    dir.write("FD1", "listato precedente\r\n");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string expected;  // on stderr
    };
    const std::vector<Case> cases = {
        {"a typed 1 OR 1=1 for a number field", {"--row", "NumeroColonna", "uguale a", "1 OR 1=1", "--destination", "---"},
         "Errore 3464"},
        {"a driver printer that does not exist", {"--row", "NumeroColonna", "da", "1", "--destination", "UFFICIO"},
         "Errore 68: Periferica non disponibile: la stampante 'LPT1' non esiste."},
        {"a raw device that cannot take the bytes", {"--row", "NumeroColonna", "da", "1", "--destination", "SCARTO"},
         "Errore 68: Periferica non disponibile: impossibile stampare su '/dev/full'"},
    };
    fs::create_directory(dir.path() / "Cartella.stp");
    {
        ovtest::ScopedEnv device("SCARTO", "/dev/full");  // the destination's variable names its device
        for (const Case& c : cases) {
            auto r = table(c.args);
            EXPECT_EQ(r.exitCode, 1) << c.what;
            EXPECT_NE(r.err.find(c.expected), std::string::npos) << c.what << ": " << r.err;
            EXPECT_EQ(r.out, "") << c.what;
        }
    }
    EXPECT_EQ(dir.read("FD1"), "listato precedente\r\n");

    auto r = runOvdesk({"table", "--folder", dir.path().string(), "--table", "Cartella", "--row", "A", "da", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore 75: Impossibile leggere il file 'Cartella.stp': è una cartella.\n");
}

TEST_F(TableCommand, APrintFileCutShortByAFullDiskLeavesTheEarlierOne) {
    dir.write("FD1", "listato precedente\r\n");
    // Files may not grow past 512 bytes: the listing cannot be written whole.
    const std::string command = "trap '' XFSZ; ulimit -f 1; exec '" + std::string(OVDESK_BINARY) +
                                "' table --folder '" + dir.path().string() +
                                "' --table ColonneOV --row NumeroColonna da 1 --destination ---";
    auto r = ovtest::runProgram("/bin/sh", {"-c", command});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("'FD1'"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.read("FD1"), "listato precedente\r\n");
}

TEST_F(TableCommand, WrongCommandLinesExitTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--row", "Intestazione", "uguale", "BAR"},        // not an operator
             {"--row", "Intestazione", "uguale a"},             // a word missing
             {"--compressed", "--normal"},
         }) {
        auto r = table(args);
        EXPECT_EQ(r.exitCode, 2) << args.front() << ": " << r.err;
    }
    std::vector<std::string> nine;
    for (int i = 0; i < 9; ++i) nine.insert(nine.end(), {"--row", "NumeroColonna", "da", "1"});
    EXPECT_EQ(table(nine).exitCode, 2);
    EXPECT_EQ(runOvdesk({"table", "--folder", dir.path().string()}).exitCode, 2);

    // A day that does not exist is refused rather than silently dropped, which would widen the listing.
    dir.write("DatiFattura.stp", "1,Documenti,Fatture.mdb,DatiFattura,,,,,,\r\n2,Data,,,DataEmissione,10,N,S,,\r\n");
    auto r = runOvdesk({"table", "--folder", dir.path().string(), "--table", "DatiFattura", "--row", "dataemissione",
                        "fino a", "310224", "--row", "NDocumento", "da", "1", "--destination", "---"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "ovdesk table: data non valida per --row dataemissione: 310224");
    EXPECT_FALSE(fs::exists(dir.path() / "FD1"));
}

namespace {

// A hand-built working folder whose layouts list saved queries: takings by item, a join with a
// group-by, and a query that selects from it.
class TableOverSavedQuery : public ovtest::WorkstationOneCommand {
protected:
    void SetUp() override {
        WorkstationOneCommand::SetUp();
        // The job's own settings: hotel record, printers and page lengths of the edge set.
        for (const char* settings : {"AnagraficaHotels.mdb", "Stampanti.mdb", "Contatori.mdb"})
            fs::copy_file(ovtest::fixturesDir() / "edge" / "work" / settings, dir / settings);
        ovtest::SqliteBuilder(dir / "Movimenti.mdb")
            .table("Incassi", {{"NumeroHotel", "SHORT"}, {"NCamera", "TEXT(4)"}, {"Sigla", "TEXT(10)"},
                               {"Importo", "CURRENCY"}})
            .row({1, "101", "BAR", ovtest::money("12.50")})
            .row({1, "102", "bar", ovtest::money("7.50")})
            .row({1, "101", "RIST", ovtest::money("150")})
            .row({2, "201", "BAR", ovtest::money("99")})
            .row({1, "103", "MINI", ovtest::money("3")})  // no item of that code: left out by the join
            .table("Voci", {{"Sigla", "TEXT(10)"}, {"Descrizione", "TEXT(30)"}})
            .row({"BAR", "Bar"})
            .row({"RIST", "Ristorante"})
            .query("IncassiPerVoce",
                   "SELECT Incassi.NumeroHotel, Voci.Descrizione, Count(*) AS Righe, Sum(Incassi.Importo) AS Totale "
                   "FROM Incassi INNER JOIN Voci ON Incassi.Sigla = Voci.Sigla "
                   "GROUP BY Incassi.NumeroHotel, Voci.Descrizione")
            .query("VociMaggiori", "SELECT * FROM IncassiPerVoce WHERE Totale > 100");
        const std::string columns = "2,Voce,,,Descrizione,12,N,S,,\r\n3,Righe,,,Righe,5,S,S,,\r\n4,Totale,,,Totale,9,S,S,,\r\n";
        dir.write("IncassiPerVoce.stp", "1,Incassi per voce,Movimenti.mdb,IncassiPerVoce,,,,,,\r\n" + columns);
        dir.write("VociMaggiori.stp", "1,Voci maggiori,Movimenti.mdb,VociMaggiori,,,,,,\r\n" + columns);
    }
    // The print file's lines after the heading block: data lines, middle line, totals, bottom line.
    std::vector<std::string> listing(const std::string& layout) {
        auto r = runOvdesk({"table", "--folder", dir.path().string(), "--table", layout, "--row", "Righe", "da", "1",
                            "--order", "Descrizione", "--destination", "---"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> lines = printFileLines();
        return lines.size() > 5 ? std::vector<std::string>(lines.begin() + 5, lines.end()) : lines;
    }
};

}  // namespace

TEST_F(TableOverSavedQuery, ALayoutOverAJoinWithGroupByListsTheHotelsGroups) {
    EXPECT_EQ(listing("IncassiPerVoce"), (std::vector<std::string>{
                                             "|Bar         |    2|       20|",
                                             "|Ristorante  |    1|      150|",
                                             "|============|=====|=========|",
                                             "|            |    3|      170|",
                                             "|============|=====|=========|",
                                         }));
}

TEST_F(TableOverSavedQuery, ALayoutOverAQueryOfAQuery) {
    EXPECT_EQ(listing("VociMaggiori"), (std::vector<std::string>{
                                           "|Ristorante  |    1|      150|",
                                           "|============|=====|=========|",
                                           "|            |    1|      150|",
                                           "|============|=====|=========|",
                                       }));
}
