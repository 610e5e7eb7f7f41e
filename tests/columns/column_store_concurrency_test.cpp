// Several workstations (real processes) changing the columns at the same time, the conversion of
// a Jet store racing with itself, and a workstation that holds the table too long.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

#include "columns/column_folder.h"
#include "columns/column_setup.h"
#include "data/column_store.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "support/recording_host.h"

using namespace ov;
using ovtest::Gate;
using ovtest::RecordingHost;
using ovtest::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string groupLine(int code) {
    std::string c = std::to_string(code);
    return std::string(6 - c.size(), ' ') + c + " " + std::string(41, ' ');
}

std::string integrity(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    std::string out = sqlite3_step(st) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) : "?";
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

// How many rows each item code has, and the column of each.
std::map<int64_t, std::vector<int64_t>> columnsByCode(const fs::path& file) {
    SqliteStore store(file, "ColonneOV.mdb", SqliteStore::Open::ReadOnly);
    std::map<int64_t, std::vector<int64_t>> out;
    auto table = store.loadTable("ColonneOV");
    for (const Row& r : table->rows)
        if (r[0] == Value::integer(1)) out[r[3].asInteger()].push_back(r[1].asInteger());
    return out;
}

}  // namespace

// Three workstations start from the Jet store at the same moment: each assigns groups of its own
// to a column of its own, and all of them try group 25. The first change of each converts (only
// one does the work), every group lands once, and exactly two are told group 25 is taken.
TEST(ColumnStoreConcurrency, WorkstationsChangingTogetherAllSucceedOnAnUndamagedTable) {
    const std::vector<std::vector<int>> own = {{1, 3}, {4, 30}, {31, 40}};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        TempFolder dir;
        ovtest::copyEdgeFile(dir, "ColonneOV.mdb");
        ovtest::copyEdgeFile(dir, "VociFattura.mdb");
        Workspace ws(dir.path());
        Gate gate;
        std::vector<pid_t> children;
        for (size_t w = 0; w < own.size(); ++w) {
            children.push_back(ovtest::runChild([&, w] {
                ProgramState state;
                RecordingHost host;
                host.answers = {Answer::Yes};  // to the conversion, for whichever change finds the Jet store
                ColumnSetup s(ws, state, NumberFormat::italian(), host);
                s.load();
                s.showColumn(static_cast<int>(5 + w));
                s.heading = "POSTO" + std::to_string(w);
                gate.wait();
                // Alternate the shared group with the own ones so the writes interleave.
                s.assignGroup(groupLine(own[w][0]));
                s.assignGroup(groupLine(25));
                s.assignGroup(groupLine(own[w][1]));
                if (s.columnLines().size() != (host.messages.empty() ? 3u : 2u)) return 50;
                return static_cast<int>(host.messages.size());
            }));
        }
        gate.open(static_cast<int>(children.size()));
        int refused = 0;
        for (pid_t c : children) {
            int code = ovtest::waitChild(c);
            ASSERT_TRUE(code == 0 || code == 1) << "exit " << code;
            refused += code;
        }
        EXPECT_EQ(refused, 2);
        EXPECT_EQ(Database::detectFormat(dir / "ColonneOV.mdb", "ColonneOV.mdb"), Database::Format::Sqlite);
        EXPECT_EQ(integrity(dir / "ColonneOV.mdb"), "ok");
        auto byCode = columnsByCode(dir / "ColonneOV.mdb");
        for (size_t w = 0; w < own.size(); ++w)
            for (int code : own[w]) EXPECT_EQ(byCode[code], std::vector<int64_t>{static_cast<int64_t>(5 + w)});
        EXPECT_EQ(byCode[25].size(), 1u);
        size_t rows = 0;
        for (auto& [code, columns] : byCode) rows += columns.size();
        EXPECT_EQ(rows, 8u + 7u);  // eight rows of hotel 1 before, seven groups added
        size_t backups = 0;
        for (const auto& n : ovtest::filesIn(dir.path())) backups += n.find(".bak") != std::string::npos;
        EXPECT_EQ(backups, 1u);
    }
}

// A conversion that takes long on another workstation: this one gives up with a clear message
// after its wait, changes nothing, and finds the work done afterwards.
TEST(ColumnStoreConcurrency, ConversionWaitsForTheOneUnderWayThenFindsItDone) {
    TempFolder dir;
    ovtest::copyEdgeFile(dir, "ColonneOV.mdb");
    Workspace ws(dir.path());
    Gate reached, release;
    pid_t child = ovtest::runChild([&] {
        ColumnStoreOptions o;
        o.afterConversionStep = [&](const std::string& s) {
            if (s != "temporaneo") return;
            reached.open(1);
            release.wait();
        };
        return ConvertColumnStore(ws, o).converted ? 0 : 1;
    });
    reached.wait();
    ColumnStoreOptions quick;
    quick.busyTimeout = std::chrono::milliseconds(200);
    try {
        ConvertColumnStore(ws, quick);
        ADD_FAILURE() << "converted while another conversion held the lock";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Locked);
        EXPECT_EQ(e.message(),
                  "Impossibile convertire il file 'ColonneOV.mdb': un'altra postazione lo sta convertendo. "
                  "Riprovare più tardi.");
    }
    EXPECT_EQ(Database::detectFormat(dir / "ColonneOV.mdb", "ColonneOV.mdb"), Database::Format::Jet);
    release.open(1);
    EXPECT_EQ(ovtest::waitChild(child), 0);
    EXPECT_FALSE(ConvertColumnStore(ws).converted);
    EXPECT_EQ(columnsByCode(dir / "ColonneOV.mdb").size(), 7u);
}

// Another workstation keeps its write open past the wait: the change ends with the locked
// message and nothing written; once it is through, the same change succeeds.
TEST(ColumnStoreConcurrency, ATableHeldTooLongGivesTheLockedMessage) {
    TempFolder dir;
    Workspace ws(dir.path());
    EnsureColumnStore(ws);
    Gate holding, release;
    pid_t child = ovtest::runChild([&] {
        SqliteStore store(dir / "ColonneOV.mdb", "ColonneOV.mdb");
        store.beginBatch();
        store.insertRow("ColonneOV", {Value::integer(1), Value::integer(2), Value::text("ALTRO"), Value::integer(7),
                                      Value::text("Minibar")});
        holding.open(1);
        release.wait();
        store.commitBatch();
        return 0;
    });
    holding.wait();
    ColumnStoreOptions quick;
    quick.busyTimeout = std::chrono::milliseconds(300);
    auto addGroup12 = [](const std::shared_ptr<const Table>& t) {
        return ColumnChange::add({Value::integer(1), Value::integer(1), Value::text("BAR"), Value::integer(12),
                                  Value::text("Bar")});
        (void)t;
    };
    try {
        ChangeColumnStore(ws, addGroup12, quick);
        ADD_FAILURE() << "wrote while another workstation held the table";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Locked);
        EXPECT_NE(e.message().find("bloccato da un altro utente"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find("'ColonneOV.mdb'"), std::string::npos) << e.message();
    }
    release.open(1);
    EXPECT_EQ(ovtest::waitChild(child), 0);
    EXPECT_TRUE(ChangeColumnStore(ws, addGroup12, quick));
    EXPECT_EQ(columnsByCode(dir / "ColonneOV.mdb"), (std::map<int64_t, std::vector<int64_t>>{{7, {2}}, {12, {1}}}));
    EXPECT_EQ(integrity(dir / "ColonneOV.mdb"), "ok");
}
