// ovdesk table on a copy of the "edge" working folder, with its layout ColonneOV.stp.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;

namespace fs = std::filesystem;

namespace {

class TableCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* v = std::getenv("PCLocal")) saved_ = v;
        setenv("PCLocal", "1", 1);
        fs::copy(ovtest::fixturesDir() / "edge" / "work", dir.path(), fs::copy_options::recursive);
    }
    void TearDown() override {
        if (saved_)
            setenv("PCLocal", saved_->c_str(), 1);
        else
            unsetenv("PCLocal");
    }

    ovtest::ProcessResult table(std::vector<std::string> args) {
        args.insert(args.begin(), {"table", "--folder", dir.path().string(), "--table", "ColonneOV"});
        return runOvdesk(args);
    }
    // The lines of the print file between the heading block and the closing lines.
    std::vector<std::string> dataLines() const {
        std::vector<std::string> lines;
        std::string text = dir.read("FD1");
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        if (lines.size() < 8) return {};
        return std::vector<std::string>(lines.begin() + 5, lines.end() - 3);
    }

    ovtest::TempFolder dir;
    std::optional<std::string> saved_;
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
