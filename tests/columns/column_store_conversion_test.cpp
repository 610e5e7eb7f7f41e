// A ColonneOV.mdb left in Jet format: read as it is, converted by the first change, the Jet file
// kept as a numbered backup, nothing lost when the program stops between the steps.
#include <gtest/gtest.h>

#include "columns/column_folder.h"
#include "columns/column_setup.h"
#include "core/cp1252.h"
#include "data/column_store.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::TempFolder;
namespace fs = std::filesystem;

namespace {

std::vector<Row> jetRows() {
    return Database::openPath(ovtest::edgeFile("ColonneOV.mdb"), "ColonneOV.mdb")->table("ColonneOV")->rows;
}

std::vector<Row> storedRows(const fs::path& file) {
    SqliteStore store(file, "ColonneOV.mdb", SqliteStore::Open::ReadOnly);
    return store.loadTable("ColonneOV")->rows;
}

std::string padded(const std::string& code, const std::string& description) {
    return std::string(6 - code.size(), ' ') + code + " " + description + std::string(40 - description.size(), ' ') + " ";
}

struct JetFolder {
    TempFolder dir;
    Workspace ws{dir.path()};
    ProgramState state;
    RecordingHost host;
    JetFolder() {
        ovtest::copyEdgeFile(dir, "ColonneOV.mdb");
        ovtest::copyEdgeFile(dir, "VociFattura.mdb");
    }
    Database::Format format() const { return Database::detectFormat(dir / "ColonneOV.mdb", "ColonneOV.mdb"); }
    std::vector<std::string> backups() const {
        std::vector<std::string> out;
        for (const auto& n : ovtest::filesIn(dir.path()))
            if (n.find(".bak") != std::string::npos) out.push_back(n);
        return out;
    }
    std::vector<std::string> temporaries() const {
        std::vector<std::string> out;
        for (const auto& n : ovtest::filesIn(dir.path()))
            if (n.find(".conv-") != std::string::npos) out.push_back(n);
        return out;
    }
};

}  // namespace

TEST(ColumnStoreConversion, JetStoreIsReadAsItIsAndARefusalLeavesIt) {
    JetFolder f;
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    // The groups offered: the hotel's items that are their own billing group (Codice = GruppoFatturazione).
    ASSERT_EQ(s.groupLines().size(), 14u);
    EXPECT_EQ(s.groupLines()[0], padded("1", "Pernottamento"));
    EXPECT_EQ(s.groupLines()[13], padded("40", "Tassa di soggiorno"));
    EXPECT_EQ(s.heading, "BAR-CAFF\xC8");
    EXPECT_EQ(s.columnLines(), (std::vector<std::string>{padded("12", "Bar"), padded("14", "Caffetteria e pasticceria"),
                                                         padded("16", "Enoteca - vini ros\xE9")}));
    s.showColumn(5);
    s.heading = "NUOVA";
    s.assignGroup(padded("12", "Bar"));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "Gruppo Fatturazione già utilizzato!\r\nColonna : 1 (BAR-CAFFÈ)");
    EXPECT_EQ(f.format(), Database::Format::Jet);
    EXPECT_EQ(ovtest::filesIn(f.dir.path()), (std::vector<std::string>{"ColonneOV.mdb", "VociFattura.mdb"}));
    // Nothing to change: nothing to ask.
    EXPECT_TRUE(f.host.questions.empty());
}

TEST(ColumnStoreConversion, AChangeAsksBeforeConvertingAndNoKeepsTheJetStore) {
    JetFolder f;
    f.dir.write("ColonneOV.mdb.bak", "copia di una installazione precedente");
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    const auto linesBefore = s.columnLines();
    const std::string jetBytes = ovtest::bytesOf(f.dir / "ColonneOV.mdb");

    f.host.answers = {Answer::No};
    s.removeGroup(linesBefore.at(1));
    ASSERT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.host.questions[0].text, ConversionQuestion("ColonneOV.mdb.bak1"));
    EXPECT_NE(f.host.questions[0].text.find("ColonneOV.mdb.bak1"), std::string::npos);
    EXPECT_EQ(f.host.questions[0].title, "Impostazione Colonne Incassi");
    EXPECT_EQ(f.host.questions[0].defaultButton, Answer::No);
    // No: the file, its folder and the lists stay as they were.
    EXPECT_EQ(ovtest::bytesOf(f.dir / "ColonneOV.mdb"), jetBytes);
    EXPECT_EQ(ovtest::filesIn(f.dir.path()),
              (std::vector<std::string>{"ColonneOV.mdb", "ColonneOV.mdb.bak", "VociFattura.mdb"}));
    EXPECT_EQ(s.columnLines(), linesBefore);

    s.showColumn(6);
    s.heading = "GARAGE";
    f.host.answers = {Answer::No};
    s.assignGroup(padded("25", "Garage"));
    EXPECT_EQ(f.host.questions.size(), 2u) << "every change that needs the conversion asks";
    EXPECT_TRUE(s.columnLines().empty());
    EXPECT_EQ(f.format(), Database::Format::Jet);

    // Yes: converted once, with the backup the question named; later changes ask nothing.
    f.host.answers = {Answer::Yes};
    s.assignGroup(padded("25", "Garage"));
    EXPECT_EQ(s.columnLines(), std::vector<std::string>{padded("25", "Garage")});
    EXPECT_EQ(f.format(), Database::Format::Sqlite);
    EXPECT_EQ(ovtest::bytesOf(f.dir / "ColonneOV.mdb.bak1"), jetBytes);
    s.assignGroup(padded("30", "Gruppo 30"));
    EXPECT_EQ(f.host.questions.size(), 3u);
}

TEST(ColumnStoreConversion, FirstChangeConvertsKeepingEveryRowAndTheJetFile) {
    JetFolder f;
    const std::vector<Row> before = jetRows();
    ASSERT_EQ(before.size(), 9u);
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    f.host.answers = {Answer::Yes};
    s.removeGroup(s.columnLines().at(1));  // group 14 of column 1
    EXPECT_EQ(s.columnLines(), (std::vector<std::string>{padded("12", "Bar"), padded("16", "Enoteca - vini ros\xE9")}));

    EXPECT_EQ(f.format(), Database::Format::Sqlite);
    EXPECT_EQ(f.backups(), std::vector<std::string>{"ColonneOV.mdb.bak"});
    EXPECT_TRUE(f.temporaries().empty());
    EXPECT_EQ(ovtest::bytesOf(f.dir / "ColonneOV.mdb.bak"), ovtest::bytesOf(ovtest::edgeFile("ColonneOV.mdb")));

    std::vector<Row> expected = before;
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(storedRows(f.dir / "ColonneOV.mdb"), expected);
    SqliteStore store(f.dir / "ColonneOV.mdb", "ColonneOV.mdb", SqliteStore::Open::ReadOnly);
    auto fields = store.fieldsOf("ColonneOV");
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[2].name, "Intestazione");
    EXPECT_EQ(fields[2].type, FieldType::Text);
    EXPECT_EQ(fields[2].size, 10);
    EXPECT_EQ(fields[3].type, FieldType::Integer);

    // The next change goes straight to the embedded file.
    s.showColumn(6);
    s.heading = "GARAGE";
    s.assignGroup(padded("25", "Garage"));
    EXPECT_EQ(storedRows(f.dir / "ColonneOV.mdb").size(), 9u);
    EXPECT_EQ(f.backups(), std::vector<std::string>{"ColonneOV.mdb.bak"});
}

TEST(ColumnStoreConversion, EarlierBackupsAreNeverOverwritten) {
    JetFolder f;
    f.dir.write("ColonneOV.mdb.bak", "copia di una installazione precedente");
    f.dir.write("COLONNEOV.MDB.BAK1", "un'altra copia");
    ColumnStoreConversion c = ConvertColumnStore(f.ws);
    EXPECT_TRUE(c.converted);
    EXPECT_EQ(c.backup.filename(), "ColonneOV.mdb.bak2");
    EXPECT_EQ(f.dir.read("ColonneOV.mdb.bak"), "copia di una installazione precedente");
    EXPECT_EQ(f.dir.read("COLONNEOV.MDB.BAK1"), "un'altra copia");
    EXPECT_EQ(ovtest::bytesOf(f.dir / "ColonneOV.mdb.bak2"), ovtest::bytesOf(ovtest::edgeFile("ColonneOV.mdb")));
    EXPECT_EQ(storedRows(f.dir / "ColonneOV.mdb"), jetRows());
    // Converted once: nothing more to do, no new backup.
    EXPECT_FALSE(ConvertColumnStore(f.ws).converted);
    EXPECT_EQ(ovtest::filesIn(f.dir.path()),
              (std::vector<std::string>{".ColonneOV.mdb.lock", "COLONNEOV.MDB.BAK1", "ColonneOV.mdb", "ColonneOV.mdb.bak",
                                        "ColonneOV.mdb.bak2", "VociFattura.mdb"}));
}

TEST(ColumnStoreConversion, WithoutHardLinksTheBackupIsACopy) {
    JetFolder f;
    f.dir.write("ColonneOV.mdb.bak", "copia di una installazione precedente");
    ColumnStoreOptions copying;
    copying.backupByLink = false;
    ColumnStoreConversion c = ConvertColumnStore(f.ws, copying);
    EXPECT_EQ(c.backup.filename(), "ColonneOV.mdb.bak1");
    EXPECT_EQ(ovtest::bytesOf(c.backup), ovtest::bytesOf(ovtest::edgeFile("ColonneOV.mdb")));
    EXPECT_EQ(f.dir.read("ColonneOV.mdb.bak"), "copia di una installazione precedente");
    EXPECT_TRUE(f.temporaries().empty());
    EXPECT_EQ(storedRows(f.dir / "ColonneOV.mdb"), jetRows());
}

TEST(ColumnStoreConversion, AStoreInTheEmbeddedFormatIsNotTouched) {
    TempFolder dir;
    Workspace ws(dir.path());
    EnsureColumnStore(ws);
    const std::string before = dir.read("ColonneOV.mdb");
    EXPECT_FALSE(ConvertColumnStore(ws).converted);
    EXPECT_EQ(dir.read("ColonneOV.mdb"), before);
    EXPECT_EQ(ovtest::filesIn(dir.path()), std::vector<std::string>{"ColonneOV.mdb"});
}

// The program stops (the process ends at once) after each step in turn: the folder always holds
// a readable store with every row, and the next change finishes the work with a single backup.
TEST(ColumnStoreConversion, StoppingBetweenTheStepsLosesNothing) {
    for (const std::string step : {"temporaneo", "copia", "rinomina"}) {
        SCOPED_TRACE(step);
        JetFolder f;
        pid_t child = ovtest::runChild([&] {
            ColumnStoreOptions o;
            o.afterConversionStep = [&](const std::string& s) {
                if (s == step) ::_exit(42);
            };
            ConvertColumnStore(f.ws, o);
            return 0;
        });
        ASSERT_EQ(ovtest::waitChild(child), 42);

        const bool renamed = step == "rinomina";
        EXPECT_EQ(f.format(), renamed ? Database::Format::Sqlite : Database::Format::Jet);
        auto db = Database::open(f.ws, "ColonneOV.mdb");
        EXPECT_EQ(db->table("ColonneOV")->rows, jetRows());
        EXPECT_EQ(f.temporaries().size(), step == "temporaneo" || step == "copia" ? 1u : 0u);
        EXPECT_EQ(f.backups().size(), step == "temporaneo" ? 0u : 1u);

        ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
        s.load();
        f.host.answers = {Answer::Yes};
        s.removeGroup(padded("16", "Enoteca - vini ros\xE9"));
        // The question names the backup the conversion keeps: a copy already made serves again.
        EXPECT_EQ(f.host.questions.size(), renamed ? 0u : 1u);
        EXPECT_EQ(f.format(), Database::Format::Sqlite);
        EXPECT_TRUE(f.temporaries().empty());
        EXPECT_EQ(f.backups(), std::vector<std::string>{"ColonneOV.mdb.bak"});
        EXPECT_EQ(ovtest::bytesOf(f.dir / "ColonneOV.mdb.bak"), ovtest::bytesOf(ovtest::edgeFile("ColonneOV.mdb")));
        std::vector<Row> expected = jetRows();
        expected.erase(expected.begin() + 4);
        EXPECT_EQ(storedRows(f.dir / "ColonneOV.mdb"), expected);
    }
}

TEST(ColumnStoreConversion, AFailedConversionLeavesTheJetFileInPlace) {
    JetFolder f;
    ColumnStoreOptions o;
    o.afterConversionStep = [](const std::string& s) {
        if (s == "temporaneo") throw Error(3043, "disco pieno");
    };
    EXPECT_THROW(ConvertColumnStore(f.ws, o), Error);
    EXPECT_EQ(f.format(), Database::Format::Jet);
    EXPECT_TRUE(f.temporaries().empty());
    EXPECT_TRUE(f.backups().empty());
}
