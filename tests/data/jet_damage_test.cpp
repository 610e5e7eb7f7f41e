// Damaged Jet files are never read as tables: the real kinds of damage of tests/fixtures/damaged,
// crafted variants of them, and copies damaged page by page at random all end in error 3049 naming
// the file, never in a shorter table, a crash, a hang or memory out of proportion to the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ovdesk_process.h"
#include "core/error.h"
#include "data/database.h"
#include "data/jet_helper.h"
#include "data/table_cache.h"
#include "page_damage.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ov::Database;
using ovtest::TempFolder;

namespace {

fs::path damagedDir() { return ovtest::fixturesDir() / "damaged"; }
fs::path edgeDir() { return ovtest::fixturesDir() / "edge/work"; }

// Reads every table of the file through the program's reader; the error it ends in, or nothing.
std::optional<ov::Error> readError(const fs::path& file, const std::string& name) {
    ov::tablecache::clear();
    try {
        auto db = Database::openPath(file, name);
        for (const auto& t : db->tableNames()) db->table(t);
    } catch (const ov::Error& e) {
        return e;
    }
    return std::nullopt;
}

void patch(std::string& bytes, size_t at, const std::string& with) { bytes.replace(at, with.size(), with); }
std::string le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

constexpr size_t kPage = 4096;
// In the edge set's Fatture.mdb: the definition of Incassi lies on page 29, which keeps its row
// count (60) at byte 16; its rows lie on data page 32. The damaged memo files keep a memo field
// header (length and kind, then where the data lies) at this offset.
constexpr size_t kIncassiDefinition = 29 * kPage;
constexpr size_t kIncassiData = 32 * kPage;
constexpr size_t kLoopingMemoHeader = 0x1afcf;

}  // namespace

TEST(JetDamage, EveryDamagedFixtureIsError3049NamingTheFile) {
    for (const char* name : {"Fatture-cut-at-page-33.mdb", "Fatture-data-page-27-zeroed.mdb",
                             "Fatture-usage-map-page-28-zeroed.mdb", "VociFattura-usage-map-row-broken.mdb",
                             "AnagraficaHotels-memo-chain-loops.mdb", "AnagraficaHotels-memo-claims-1GiB.mdb"}) {
        std::optional<ov::Error> e = readError(damagedDir() / name, name);
        ASSERT_TRUE(e) << name << " read as tables";
        EXPECT_EQ(e->number(), ov::err::Damaged) << name << ": " << e->message();
        EXPECT_NE(e->message().find(name), std::string::npos) << e->message();
    }
}

TEST(JetDamage, CraftedStructuresAreErrorsNamingTheFile) {
    const std::string fatture = ovtest::readBytes(edgeDir() / "Fatture.mdb");
    const std::string loops = ovtest::readBytes(damagedDir() / "AnagraficaHotels-memo-chain-loops.mdb");
    ASSERT_EQ(fatture.substr(kIncassiDefinition + 16, 4), le32(60)) << "the fixture moved: see the offsets above";
    ASSERT_EQ(loops.substr(kLoopingMemoHeader, 4), le32(0x3FFFFFFF));
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    auto variant = [&](const char* what, std::string bytes, size_t at, const std::string& with) {
        patch(bytes, at, with);
        cases.push_back({what, bytes});
    };
    variant("more rows counted than found", fatture, kIncassiDefinition + 16, le32(61));
    variant("a row starting past its page", fatture, kIncassiData + 14, std::string("\xF0\x1F", 2));
    variant("a memo chain that comes back on itself", loops, kLoopingMemoHeader, le32(200));
    variant("a memo longer than the file", loops, kLoopingMemoHeader, le32(static_cast<uint32_t>(loops.size() + 1)));
    std::string swapped = fatture;  // the definitions of the two tables change places
    swapped.replace(24 * kPage, kPage, fatture, 29 * kPage, kPage);
    swapped.replace(29 * kPage, kPage, fatture, 24 * kPage, kPage);
    cases.push_back({"two definitions swapped", swapped});
    // In this Access 97 file the table's definition lies on page 29 and an empty one on page 25:
    // swapped, the table would read as empty.
    const std::string access = ovtest::readBytes(ovtest::fixturesDir() / "access/work/delTestV1997.mdb");
    const size_t jet3Page = 2048;
    std::string emptied = access;
    emptied.replace(25 * jet3Page, jet3Page, access, 29 * jet3Page, jet3Page);
    emptied.replace(29 * jet3Page, jet3Page, access, 25 * jet3Page, jet3Page);
    cases.push_back({"a definition swapped with an empty one", emptied});
    // The second pages of two long definitions (Table2's 89 fields among them) change places.
    const std::string long97 = ovtest::readBytes(ovtest::fixturesDir() / "access/work/testV1997.mdb");
    std::string mixed = long97;
    mixed.replace(36 * jet3Page, jet3Page, long97, 44 * jet3Page, jet3Page);
    mixed.replace(44 * jet3Page, jet3Page, long97, 36 * jet3Page, jet3Page);
    cases.push_back({"continuation pages of two definitions swapped", mixed});

    TempFolder tmp;
    for (const Case& c : cases) {
        tmp.write("Guasto.mdb", c.bytes);
        std::optional<ov::Error> e = readError(tmp / "Guasto.mdb", "Guasto.mdb");
        ASSERT_TRUE(e) << c.what << ": read as tables";
        EXPECT_EQ(e->number(), ov::err::Damaged) << c.what << ": " << e->message();
        EXPECT_NE(e->message().find("Guasto.mdb"), std::string::npos) << e->message();
    }
}

TEST(JetDamage, AFileClosedImproperlyWithNoRowCountIsReadWhole) {
    // The engine may leave the count at 0 when the suite stopped without closing the file; the
    // rows are all there, and the count is only ever too low then.
    std::string fatture = ovtest::readBytes(edgeDir() / "Fatture.mdb");
    patch(fatture, kIncassiDefinition + 16, le32(0));
    TempFolder tmp;
    tmp.write("Fatture.mdb", fatture);
    ov::tablecache::clear();
    EXPECT_EQ(Database::openPath(tmp / "Fatture.mdb", "Fatture.mdb")->table("Incassi")->rows.size(), 60u);
}

TEST(JetDamage, CraftedMemosNeitherHangNorDriveMemory) {
    // 114 KB files declaring 1 GiB, or looping for ever: the reader stops at once, in about the
    // memory it needs for the undamaged file (a few megabytes more at the most, whatever the
    // build's allocator keeps: nowhere near the gigabyte claimed).
    const fs::path helper = ov::jet::findHelper();
    ASSERT_FALSE(helper.empty());
    const fs::path original = edgeDir() / "AnagraficaHotels.mdb";
    ovtest::ProcessResult undamaged = ovtest::runProgram(helper.string(), {original.string()});
    ASSERT_EQ(undamaged.exitCode, 0) << undamaged.err;
    const long allowedKilobytes = undamaged.peakKilobytes + 4 * 1024;
    TempFolder tmp;
    std::string loops = ovtest::readBytes(damagedDir() / "AnagraficaHotels-memo-chain-loops.mdb");
    patch(loops, kLoopingMemoHeader, le32(200));
    tmp.write("Anello.mdb", loops);
    for (const fs::path& file : {damagedDir() / "AnagraficaHotels-memo-claims-1GiB.mdb",
                                 damagedDir() / "AnagraficaHotels-memo-chain-loops.mdb", tmp / "Anello.mdb"}) {
        const auto start = std::chrono::steady_clock::now();
        ovtest::ProcessResult r = ovtest::runProgram(helper.string(), {file.string()});
        EXPECT_EQ(r.exitCode, 3) << file << ": " << r.err;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << file;
        EXPECT_LT(r.peakKilobytes, allowedKilobytes) << file;
    }
}

TEST(JetDamage, ARandomPageLevelDamageNeverReadsAsOtherRows) {
    // A fixed-seed sweep: a page zeroed, two pages swapped, a copy cut at a page boundary. Each read
    // ends in an error or gives exactly the rows of the undamaged file (in another order only when
    // two data pages of one table change places: nothing in a page says where it belongs).
    const fs::path helper = ov::jet::findHelper();
    ASSERT_FALSE(helper.empty());
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(edgeDir()))
        if (e.path().extension() == ".mdb") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    TempFolder tmp;
    const ovdamage::Figures f = ovdamage::sweep(helper, files, 240, 20240108, tmp.path());
    EXPECT_EQ(f.copies, 240u);
    EXPECT_GT(f.byOutcome[static_cast<int>(ovdamage::Outcome::Error)], 60u) << "the damage went unnoticed";
    for (const std::string& w : f.wrong) ADD_FAILURE() << w;
}

TEST(JetDamage, AReaderWritingWithoutEndIsStoppedAtALimitNamingTheFile) {
    TempFolder tmp;
    tmp.write("helper.sh", "#!/bin/sh\nexec cat /dev/zero\n");
    chmod((tmp / "helper.sh").c_str(), 0755);
    ovtest::ScopedEnv helper("OVDESK_MDBREAD", (tmp / "helper.sh").c_str());
    const auto start = std::chrono::steady_clock::now();
    std::optional<ov::Error> e = readError(edgeDir() / "Contatori.mdb", "Contatori.mdb");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->number(), ov::err::Damaged);
    EXPECT_NE(e->message().find("Contatori.mdb"), std::string::npos) << e->message();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(JetDamage, APipeOrAFolderNamedLikeADatabaseIsRefusedBeforeOpening) {
    TempFolder tmp;
    ASSERT_EQ(mkfifo((tmp / "Fatture.mdb").c_str(), 0644), 0);
    fs::create_directory(tmp / "Incassi.mdb");
    ov::Workspace ws(tmp.path());
    for (const char* name : {"Fatture.mdb", "Incassi.mdb"}) {
        try {
            Database::open(ws, name);
            ADD_FAILURE() << name << " opened";
        } catch (const ov::Error& e) {
            EXPECT_EQ(e.number(), ov::err::FileAccess) << e.message();
            EXPECT_NE(e.message().find(name), std::string::npos) << e.message();
        }
    }
}
