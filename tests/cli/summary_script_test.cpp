// ovdesk summary, presence and convert as a script runs them: on a copy of the "edge" working
// folder, with runs that fail part way, dates the run would not take and a folder without the
// program's column store.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ovtest::runOvdesk;

namespace {

class ScriptedSummary : public ovtest::EdgeFolderCommand {
protected:
    void SetUp() override {
        EdgeFolderCommand::SetUp();
        dir.write("fd1", "stampa precedente\r\n");
        dir.write("Orvalis.csv", "foglio precedente\r\n");
    }
    std::vector<std::string> summary(const std::string& from, const std::string& to) const {
        return {"summary", "--folder", dir.path().string(), "--from", from, "--to", to};
    }
    // The command with files limited to 512 bytes, as on a disk that fills up.
    ovtest::ProcessResult onAFullDisk(const std::vector<std::string>& args) const {
        std::string command = "trap '' XFSZ; ulimit -f 1; exec '" + std::string(OVDESK_BINARY) + "'";
        for (const auto& a : args) command += " '" + a + "'";
        return ovtest::runProgram("/bin/sh", {"-c", command});
    }
    bool earlierFilesKept() const {
        return dir.read("fd1") == "stampa precedente\r\n" && dir.read("Orvalis.csv") == "foglio precedente\r\n";
    }
};

}  // namespace

TEST_F(ScriptedSummary, ReportsCutShortByAFullDiskLeaveTheEarlierFilesWhole) {
    auto r = onAFullDisk(summary("01/01/2024", "31/01/2024"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Errore 75"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(earlierFilesKept());

    r = onAFullDisk({"presence", "--folder", dir.path().string(), "--from", "01/01/2024", "--to", "31/03/2024"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("'fd1'"), std::string::npos) << r.err;
    EXPECT_TRUE(earlierFilesKept());

    // The conversion then converts the earlier report, never a cut one, and is replaced whole too.
    dir.write("fd1", std::string(2000, 'x') + "\r\n");
    dir.write("fd1.csv", "conversione precedente\r\n");
    r = onAFullDisk({"convert", "--folder", dir.path().string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("'fd1.csv'"), std::string::npos) << r.err;
    EXPECT_EQ(dir.read("fd1.csv"), "conversione precedente\r\n");
}

TEST_F(ScriptedSummary, DatesTheRunWouldNotTakeAreRefusedOnTheCommandLine) {
    for (const char* bad : {"08x01x2024", "01-01-2024", "29/02/2100", "31/04/2024"}) {
        auto r = runOvdesk(summary(bad, "31/01/2024"));
        EXPECT_EQ(r.exitCode, 2) << bad << ": " << r.err;
        EXPECT_NE(r.err.find(std::string("data non valida per --from: ") + bad), std::string::npos) << r.err;
    }
    EXPECT_TRUE(earlierFilesKept());
    // Digits without separators are completed as the window completes them.
    auto r = runOvdesk(summary("080124", "08012024"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dir.read("fd1").substr(0, 36), "RIEPILOGO DATI HOTEL DAL 08/01/2024 ");
}

TEST_F(ScriptedSummary, AFolderWithoutTheColumnStoreGetsOneAsTheWindowWouldCreate) {
    fs::remove(dir.path() / "ColonneOV.mdb");
    auto r = runOvdesk(summary("08/01/2024", "08/01/2024"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir.path() / "ColonneOV.mdb"));
    EXPECT_NE(dir.read("Orvalis.csv"), "foglio precedente\r\n");
}

TEST_F(ScriptedSummary, SettingsFilesThatCannotBeReadAreErrorsNamingThem) {
    fs::create_directory(dir.path() / "SeparatoreXLS.txt");
    auto r = runOvdesk({"convert", "--folder", dir.path().string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore 75: Impossibile leggere il file 'SeparatoreXLS.txt': è una cartella.\n");
    EXPECT_FALSE(fs::exists(dir.path() / "fd1.csv"));
}
