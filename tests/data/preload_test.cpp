// Files read ahead on a thread of their own read as any other: the same rows, a file changed
// since read again, and a missing file still reported by whoever opens it. Files opened before
// are looked up again once changed or gone.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/error.h"
#include "core/workspace.h"
#include "data/database.h"
#include "data/preload.h"
#include "data/table_cache.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

namespace {

void guests(const std::filesystem::path& file, int count) {
    std::filesystem::remove(file);
    ovtest::SqliteBuilder b(file);
    b.table("Ospiti", {{"Id", "LONG"}, {"Nome", "TEXT(20)"}});
    for (int i = 1; i <= count; ++i) b.row({i, "Ospite " + std::to_string(i)});
}

TEST(Preload, FilesReadAheadReadAsAnyOtherAndAMissingOneIsStillReported) {
    ovtest::TempFolder dir;
    guests(dir / "Storico.mdb", 3);
    ov::tablecache::clear();
    ov::Workspace ws(dir.path());
    {
        ov::Preload ahead(ws, {"Manca.mdb", "Storico.mdb"});
        EXPECT_EQ(ov::Database::open(ws, "Storico.mdb")->openRecordSet("Ospiti").recordCount(), 3u);
        try {
            ov::Database::open(ws, "Manca.mdb");
            ADD_FAILURE() << "a missing file opened";
        } catch (const ov::Error& e) {
            EXPECT_EQ(e.number(), ov::err::FileNotFound);
        }
    }
    guests(dir / "Storico.mdb", 5);
    EXPECT_EQ(ov::Database::open(ws, "Storico.mdb")->openRecordSet("Ospiti").recordCount(), 5u);
}

// A file the run has read itself by the time the thread comes to it is not read a second time.
TEST(Preload, AFileTheRunHasReadAlreadyIsNotReadAgain) {
    ovtest::TempFolder dir;
    guests(dir / "Ospiti.mdb", 2);
    guests(dir / "Storico.mdb", 3);
    ov::tablecache::clear();
    ov::Workspace ws(dir.path());
    const auto first = ov::Database::open(ws, "Ospiti.mdb")->table("Ospiti");
    ov::Preload ahead(ws, {"Ospiti.mdb", "Storico.mdb"});
    // The thread is done with the first file once the second is in hand.
    for (int i = 0; i < 1000 && !ov::tablecache::lookup(dir / "Storico.mdb", "Ospiti"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(ov::tablecache::lookup(dir / "Storico.mdb", "Ospiti"), nullptr);
    EXPECT_EQ(ov::tablecache::lookup(dir / "Ospiti.mdb", "Ospiti"), first);
}

}  // namespace

namespace {

// A run opens the same files day after day and looks each up once: a file changed or gone since
// is looked up again.
TEST(Preload, AFileOpenedBeforeIsLookedUpAgainOnceChangedOrGone) {
    ovtest::TempFolder dir;
    guests(dir / "Ospiti.mdb", 2);
    ov::Workspace ws(dir.path());
    EXPECT_EQ(ov::Database::open(ws, "OSPITI.MDB")->openRecordSet("Ospiti").recordCount(), 2u);
    guests(dir / "Ospiti.mdb", 4);
    EXPECT_EQ(ov::Database::open(ws, "OSPITI.MDB")->openRecordSet("Ospiti").recordCount(), 4u);
    std::filesystem::remove(dir / "Ospiti.mdb");
    try {
        ov::Database::open(ws, "OSPITI.MDB");
        ADD_FAILURE() << "a file gone opened";
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), ov::err::FileNotFound);
    }
}

}  // namespace
