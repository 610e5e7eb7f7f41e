// The Jet reader: the fixtures' Jet files read exactly as their tables.json describes them, the
// table cache filled from one read, and damaged files or a misbehaving helper ending in an error
// that names the file, never in a crash or a hang of the program.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "data/column_needs.h"
#include "data/database.h"
#include "data/jet_helper.h"
#include "data/table_cache.h"
#include "support/json.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ov::Database;
using ov::FieldType;
using ov::Value;
using ovtest::Json;
using ovtest::ScopedEnv;
using ovtest::TempFolder;

namespace {

// ---------------------------------------------------------------------------------------------
// Fixture content against tables.json

struct ExpectedField {
    FieldType type;
    int size;  // -1: not checked
};

ExpectedField expectedField(const std::string& t) {
    if (t.rfind("TEXT(", 0) == 0) return {FieldType::Text, std::atoi(t.c_str() + 5)};
    if (t == "SHORT") return {FieldType::Integer, -1};
    if (t == "LONG") return {FieldType::Long, -1};
    if (t == "CURRENCY") return {FieldType::Currency, -1};
    if (t == "DOUBLE") return {FieldType::Double, -1};
    if (t == "DATETIME") return {FieldType::DateTime, -1};
    if (t == "MEMO") return {FieldType::Memo, -1};
    if (t == "BIT") return {FieldType::Boolean, -1};
    throw std::runtime_error("unknown column type in tables.json: " + t);
}

std::string describe(const Value& v) {
    if (v.isNull()) return "null";
    if (v.isText()) return "'" + ov::cp1252::toUtf8(v.asText()) + "'";
    if (v.isCurrency()) return v.asCurrency().toPlainString() + " (currency)";
    if (v.isInteger()) return std::to_string(v.asInteger());
    return v.toText(ov::NumberFormat::english());
}

std::string describe(const Json& j) {
    if (j.isNull()) return "null";
    if (j.isString()) return "'" + j.asString() + "'";
    return j.asString();
}

bool sameValue(const Value& v, const Json& e, FieldType type) {
    if (e.isNull()) return v.isNull();
    switch (type) {
    case FieldType::Currency: {
        auto m = ov::Money::parse(e.asString());
        return m && v.isCurrency() && v.asCurrency() == *m;
    }
    case FieldType::Integer:
    case FieldType::Long: return v.isInteger() && v.asInteger() == e.asInt();
    case FieldType::Text:
    case FieldType::Memo: return v.isText() && ov::cp1252::toUtf8(v.asText()) == e.asString();
    default: return false;
    }
}

// The first difference between a loaded table and its description; empty when they agree.
std::string firstMismatch(const ov::Table& t, const Json& expected) {
    const Json& columns = expected["columns"];
    const Json& rows = expected["rows"];
    if (t.fields.size() != columns.size())
        return "has " + std::to_string(t.fields.size()) + " fields, expected " + std::to_string(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) {
        const ov::Field& f = t.fields[c];
        std::string name = ov::cp1252::toUtf8(f.name);
        ExpectedField want = expectedField(columns[c][1].asString());
        if (name != columns[c][0].asString()) return "field " + std::to_string(c) + " is " + name;
        if (f.type != want.type || (want.size >= 0 && f.size != want.size))
            return "field " + name + " has type " + std::to_string(static_cast<int>(f.type)) + " size " +
                   std::to_string(f.size) + ", expected " + columns[c][1].asString();
    }
    if (t.rows.size() != rows.size())
        return "has " + std::to_string(t.rows.size()) + " rows, expected " + std::to_string(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            const Value& got = t.rows[r][c];
            const Json& want = rows[r][c];
            if (!sameValue(got, want, t.fields[c].type))
                return "row " + std::to_string(r) + " field " + ov::cp1252::toUtf8(t.fields[c].name) + ": got " +
                       describe(got) + ", expected " + describe(want);
        }
    }
    return {};
}

// Every table the set's tables.json lists, read through Database, equals it. `complete`: the
// JSON lists every table of each file (the access set leaves out tables of other field types).
void expectSetMatches(const std::string& set, bool complete) {
    fs::path dir = ovtest::fixturesDir() / set;
    Json doc = Json::parseFile((dir / "tables.json").string());
    const Json& files = doc["files"];
    size_t tables = 0;
    for (size_t f = 0; f < files.size(); ++f) {
        const std::string& file = files.keys()[f];
        const Json& described = files[f];
        try {
            auto db = Database::openPath(dir / file, file);
            ASSERT_EQ(db->format(), Database::Format::Jet) << file;
            if (complete) {
                std::vector<std::string> names;
                for (const auto& n : db->tableNames()) names.push_back(ov::cp1252::toUtf8(n));
                EXPECT_EQ(names, described.keys()) << set << "/" << file;
            }
            for (size_t t = 0; t < described.size(); ++t) {
                const std::string& table = described.keys()[t];
                std::string mismatch = firstMismatch(*db->table(ov::cp1252::fromUtf8(table)), described[t]);
                EXPECT_EQ(mismatch, "") << set << "/" << file << " table " << table;
                ++tables;
            }
        } catch (const ov::Error& e) {
            ADD_FAILURE() << set << "/" << file << ": error " << e.number() << " " << e.message();
        }
    }
    EXPECT_GT(tables, 0u) << "no tables in " << dir;
}

TEST(JetReader, AccessWrittenJet3AndJet4FilesMatchTheirContent) { expectSetMatches("access", false); }
TEST(JetReader, EdgeSetMatchesItsContent) { expectSetMatches("edge", true); }
TEST(JetReader, HotelSetMatchesItsContent) { expectSetMatches("hotel", true); }

TEST(JetReader, TypesOfOtherFieldsAreMappedToTheEngineCodes) {
    // Table1 of this Access 97 file holds one field of each basic type.
    auto db = Database::openPath(ovtest::fixturesDir() / "access/work/testV1997.mdb", "testV1997.mdb");
    auto t = db->table("Table1");
    std::vector<FieldType> types;
    for (const auto& f : t->fields) types.push_back(f.type);
    EXPECT_EQ(types, (std::vector<FieldType>{FieldType::Text, FieldType::Text, FieldType::Integer, FieldType::Integer,
                                             FieldType::Long, FieldType::Double, FieldType::DateTime,
                                             FieldType::Currency, FieldType::Boolean}));
    ASSERT_EQ(t->rows.size(), 2u);
    const ov::Row& r = t->rows[1];
    EXPECT_EQ(r[2], Value::integer(2));  // a Byte field
    EXPECT_EQ(r[4], Value::integer(333333333));
    EXPECT_EQ(r[5], Value::real(444.555));
    EXPECT_EQ(r[6], Value::dateTime({27293}));  // 21/09/1974
    EXPECT_EQ(r[7], Value::currency(ov::Money::fromUnits(35000)));
    EXPECT_EQ(r[8], Value::boolean(true));
    EXPECT_EQ(t->rows[0][8], Value::boolean(false));
}

TEST(JetReader, ARowThatMovedToAnotherPageComesOnceInItsPlace) {
    // The catalog of this Access 97 file holds a row that grew and moved to another page: its old
    // place points there, and the moved data is marked so that the scan does not meet it twice.
    auto db = Database::openPath(ovtest::fixturesDir() / "access/work/queryTestV1997.mdb", "queryTestV1997.mdb");
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3"}));
}

// ---------------------------------------------------------------------------------------------
// One read per file, the cache, and a file that changes

// A run (one that declares what it reads, data/column_needs.h) reads each file once; a reader on
// its own reads the one table it asks for.
TEST(JetReader, OneReadPutsEveryTableOfTheFileInTheCache) {
    ov::tablecache::clear();
    fs::path file = ovtest::fixturesDir() / "edge/work/Fatture.mdb";
    Database::openPath(file, "Fatture.mdb")->table("DatiFattura");
    EXPECT_EQ(ov::tablecache::lookup(file, "Incassi"), nullptr);

    ov::tablecache::clear();
    const ov::ColumnNeeds run({});
    ov::ColumnNeedsScope scope(&run);
    auto first = Database::openPath(file, "Fatture.mdb")->table("DatiFattura");
    auto cached = ov::tablecache::lookup(file, "Incassi");
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(cached->rows.size(), 60u);
    // A later opening of the unchanged file needs no helper at all.
    ScopedEnv noHelper("OVDESK_MDBREAD", "/nonexistent/ovdesk-mdbread");
    EXPECT_EQ(Database::openPath(file, "Fatture.mdb")->table("incassi"), cached);
}

TEST(JetReader, AFileTheSuiteHasChangedIsReadAgain) {
    TempFolder tmp;
    fs::path edge = ovtest::fixturesDir() / "edge/work";
    tmp.write("Archivio.mdb", ovtest::readBytes(edge / "Contatori.mdb"));
    auto db = Database::openPath(tmp / "Archivio.mdb", "Archivio.mdb");
    {
        // A run sees the file as it was when it first looked at it; the change waits for the next.
        ov::tablecache::FileSnapshotScope run;
        EXPECT_EQ(db->table("Contatori")->rows.size(), 2u);
        auto before = fs::last_write_time(tmp / "Archivio.mdb");
        tmp.write("Archivio.mdb", ovtest::readBytes(edge / "CodiciVari.mdb"));
        fs::last_write_time(tmp / "Archivio.mdb", before + std::chrono::seconds(5));
        EXPECT_EQ(db->table("Contatori")->rows.size(), 2u);
    }
    EXPECT_EQ(db->table("CodiciVari")->rows.size(), 11u);
    try {
        db->table("Contatori");
        ADD_FAILURE() << "a table the new file lacks was found";
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), ov::err::TableNotFound);
    }
}

TEST(JetReader, UnknownTableIsAnErrorNamingTableAndFile) {
    auto db = Database::openPath(ovtest::fixturesDir() / "edge/work/Contatori.mdb", "Contatori.mdb");
    try {
        db->table("Fatture");
        ADD_FAILURE() << "no error";
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), ov::err::TableNotFound);
        EXPECT_NE(e.message().find("'Fatture'"), std::string::npos) << e.message();
        EXPECT_NE(e.message().find("Contatori.mdb"), std::string::npos) << e.message();
    }
}

TEST(JetReader, WritesAreRefusedNamingTheFile) {
    TempFolder tmp;
    std::string original = ovtest::readBytes(ovtest::fixturesDir() / "edge/work/Contatori.mdb");
    tmp.write("Contatori.mdb", original);
    auto db = Database::openPath(tmp / "Contatori.mdb", "Contatori.mdb");
    EXPECT_FALSE(db->writable());
    ov::Row row{Value::integer(3), Value::integer(70), Value::integer(60)};
    std::vector<std::function<void()>> writes = {
        [&] { db->backend().insertRow("Contatori", row); },
        [&] { db->backend().updateRow("Contatori", 1, row); },
        [&] { db->backend().deleteRow("Contatori", 1); },
    };
    for (auto& write : writes) {
        try {
            write();
            ADD_FAILURE() << "a write went through";
        } catch (const ov::Error& e) {
            EXPECT_EQ(e.number(), ov::err::ReadOnly);
            EXPECT_NE(e.message().find("Contatori.mdb"), std::string::npos) << e.message();
        }
    }
    EXPECT_EQ(tmp.read("Contatori.mdb"), original);
}

// ---------------------------------------------------------------------------------------------
// Damaged files

// Reads every table of the file: true when it all worked, false after error 3049 (damaged) or
// 3343 (no database) naming it. Anything else (another error, a crash of the test program) fails
// the test.
bool readsWholly(const fs::path& file, const std::string& name) {
    try {
        auto db = Database::openPath(file, name);
        for (const auto& t : db->tableNames()) db->table(t);
        return true;
    } catch (const ov::Error& e) {
        EXPECT_TRUE(e.number() == ov::err::Damaged || e.number() == ov::err::NotADatabase)
            << name << ": " << e.number() << " " << e.message();
        EXPECT_NE(e.message().find(name), std::string::npos) << e.message();
        return false;
    }
}

int openDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

bool noChildLeft() {
    errno = 0;
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

TEST(JetReaderDamage, CutCopiesAreErrorsNamingTheFile) {
    ScopedEnv timeout("OVDESK_MDBREAD_TIMEOUT", "20");
    TempFolder tmp;
    std::string bytes = ovtest::readBytes(ovtest::fixturesDir() / "edge/work/Fatture.mdb");
    ASSERT_GT(bytes.size(), 8192u);
    int descriptors = openDescriptors();
    for (size_t length : {size_t{0}, size_t{100}, size_t{4096}, bytes.size() / 2, bytes.size() - 1000}) {
        std::string name = "Fatture" + std::to_string(length) + ".mdb";
        tmp.write(name, bytes.substr(0, length));
        EXPECT_FALSE(readsWholly(tmp / name, name)) << "cut at " << length;
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_TRUE(noChildLeft());
}

TEST(JetReaderDamage, OverwrittenBytesGiveAnErrorOrAReadNeverACrash) {
    ScopedEnv timeout("OVDESK_MDBREAD_TIMEOUT", "20");
    TempFolder tmp;
    std::string bytes = ovtest::readBytes(ovtest::fixturesDir() / "edge/work/Fatture.mdb");
    const size_t page = 4096, pages = bytes.size() / page;
    std::mt19937 random(20240108);
    auto noise = [&](std::string& b, size_t at, size_t n) {
        for (size_t i = at; i < at + n && i < b.size(); ++i) b[i] = static_cast<char>(random());
    };
    std::vector<std::string> variants;
    // The header after the format name, the catalog's pages, the tables' definitions and data.
    for (size_t p : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, pages / 2, pages - 1}) {
        std::string b = bytes;
        noise(b, p * page + (p == 0 ? 0x20 : 0), 600);
        variants.push_back(b);
    }
    for (int k = 0; k < 4; ++k) {  // bytes scattered all over the file
        std::string b = bytes;
        for (int i = 0; i < 60; ++i) noise(b, 0x20 + random() % (b.size() - 0x20), 1);
        variants.push_back(b);
    }
    int errors = 0;
    for (size_t v = 0; v < variants.size(); ++v) {
        std::string name = "Guasto" + std::to_string(v) + ".mdb";
        tmp.write(name, variants[v]);
        if (!readsWholly(tmp / name, name)) ++errors;
    }
    EXPECT_GT(errors, 0) << "no damage was noticed at all";
    EXPECT_TRUE(noChildLeft());
}

TEST(JetReaderDamage, TextFilesNamedMdbAreError3343NamingThem) {
    TempFolder tmp;
    tmp.write("Fatture.mdb", "NumeroHotel;DataEmissione\r\n1;20240108\r\n");
    EXPECT_FALSE(readsWholly(tmp / "Fatture.mdb", "Fatture.mdb"));
    // Text behind the first bytes of a Jet file gets as far as the helper.
    std::string fake = std::string(4, '\0') + "Standard Jet DB";
    while (fake.size() < 3 * 4096) fake += "Riga di testo qualsiasi, non un database.\r\n";
    tmp.write("Finto.mdb", fake.substr(0, 3 * 4096));
    EXPECT_FALSE(readsWholly(tmp / "Finto.mdb", "Finto.mdb"));
}

// ---------------------------------------------------------------------------------------------
// A helper that crashes, hangs, fails or talks nonsense

class MisbehavingHelper : public ::testing::Test {
protected:
    void SetUp() override {
        realHelper_ = ov::jet::findHelper();
        ASSERT_FALSE(realHelper_.empty()) << "set OVDESK_MDBREAD to the built ovdesk-mdbread";
    }
    // Installs a shell script as the helper; $REAL is the real one, $DIR the temporary folder.
    std::unique_ptr<ScopedEnv> useScript(const std::string& body) {
        fs::path script = tmp_ / "helper.sh";
        tmp_.write("helper.sh", "#!/bin/sh\nREAL='" + realHelper_.string() + "'\nDIR='" + tmp_.path().string() +
                                    "'\n" + body + "\n");
        chmod(script.c_str(), 0755);
        return std::make_unique<ScopedEnv>("OVDESK_MDBREAD", script.c_str());
    }
    fs::path fixture() const { return ovtest::fixturesDir() / "edge/work/Contatori.mdb"; }
    // How many times the script ran.
    long runs() const {
        std::string log = fs::exists(tmp_ / "runs") ? tmp_.read("runs") : "";
        return std::count(log.begin(), log.end(), '\n');
    }

    TempFolder tmp_;
    fs::path realHelper_;
};

TEST_F(MisbehavingHelper, CrashFailureGarbageAndCutStreamAreErrorsNamingTheFile) {
    const char* bodies[] = {
        "echo x >> \"$DIR/runs\"; kill -SEGV $$",
        "echo x >> \"$DIR/runs\"; \"$REAL\" \"$1\"; exit 1",
        "echo x >> \"$DIR/runs\"; echo 'niente di buono'",
        "echo x >> \"$DIR/runs\"; \"$REAL\" \"$1\" | head -c 60",
        "echo x >> \"$DIR/runs\"; \"$REAL\" \"$1\"; echo trailing",
    };
    int descriptors = openDescriptors();
    for (const char* body : bodies) {
        fs::remove(tmp_ / "runs");
        auto env = useScript(body);
        ov::tablecache::clear();
        EXPECT_FALSE(readsWholly(fixture(), "Contatori.mdb")) << body;
        EXPECT_EQ(runs(), 2) << "a failed read is tried once more: " << body;
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(MisbehavingHelper, AReadThatFailsOnceSucceedsTheSecondTime) {
    auto env = useScript(
        "echo x >> \"$DIR/runs\"\n"
        "if [ ! -e \"$DIR/second\" ]; then touch \"$DIR/second\"; exit 3; fi\n"
        "exec \"$REAL\" \"$1\"");
    ov::tablecache::clear();
    auto t = Database::openPath(fixture(), "Contatori.mdb")->table("Contatori");
    EXPECT_EQ(t->rows.size(), 2u);
    EXPECT_EQ(runs(), 2);
}

TEST_F(MisbehavingHelper, AHangingReadIsStoppedAfterTheTimeout) {
    auto env = useScript("echo x >> \"$DIR/runs\"; exec sleep 30");
    ScopedEnv timeout("OVDESK_MDBREAD_TIMEOUT", "0.5");
    ov::tablecache::clear();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(readsWholly(fixture(), "Contatori.mdb"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(runs(), 1) << "a hang is not waited for twice";
    EXPECT_TRUE(noChildLeft());
}

TEST_F(MisbehavingHelper, UnreadableSavedQueriesLeaveTheTablesReadable) {
    // The stream says the saved queries could not be read: a damaged system table of queries.
    auto env = useScript(
        "\"$REAL\" \"$1\" > \"$DIR/out\"; head -c -5 \"$DIR/out\"; printf 'X\\006\\000\\000\\000guasto'; "
        "tail -c 5 \"$DIR/out\"");
    ov::tablecache::clear();
    auto db = Database::openPath(fixture(), "Contatori.mdb");
    EXPECT_EQ(db->table("Contatori")->rows.size(), 2u);
    for (auto run : {std::function<void()>([&] { db->storedQueries(); }), std::function<void()>([&] { db->table("Nessuna"); })}) {
        try {
            run();
            ADD_FAILURE() << "no error";
        } catch (const ov::Error& e) {
            EXPECT_EQ(e.number(), 3049);  // damaged
            EXPECT_NE(e.message().find("query salvate nel database 'Contatori.mdb'"), std::string::npos) << e.message();
            EXPECT_NE(e.message().find("guasto"), std::string::npos) << e.message();
        }
    }
}

TEST_F(MisbehavingHelper, AMissingHelperIsAnErrorNamingTheFile) {
    ScopedEnv env("OVDESK_MDBREAD", (tmp_ / "no-such-helper").c_str());
    ov::tablecache::clear();
    EXPECT_FALSE(readsWholly(fixture(), "Contatori.mdb"));
}

// ---------------------------------------------------------------------------------------------
// Timing of the tables a hotel data summary reads (run with --gtest_also_run_disabled_tests).

TEST(JetReaderTiming, DISABLED_HotelSummaryTables) {
    fs::path hotel = ovtest::fixturesDir() / "hotel";
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"work/AnagraficaHotels.mdb", "AnagraficaHotels"},
        {"work/CodiciVari.mdb", "CodiciVari"},
        {"work/Fatture.mdb", "DatiFattura"},
        {"work/Fatture.mdb", "Incassi"},
        {"work/Registro_Acconti.mdb", "Registro_Acconti"},
        {"work/Scheda_Cliente.mdb", "Scheda_Cliente"},
        {"work/Arrangiamento.mdb", "Arrangiamento"},
        {"work/Arrangiamenti.mdb", "NomiArrangiamenti"},
        {"work/Ditta_Intestataria.mdb", "Ditta_Intestataria"},
        {"work/ColonneOV.mdb", "ColonneOV"},
        {"storico/SchedaStoricoClienti.mdb", "Scheda_Cliente"},
        {"storico/ArrangiamentoStoricoClienti.mdb", "Arrangiamento"},
        {"storico/DittaStoricoClienti.mdb", "Ditta_Intestataria"},
    };
    ov::tablecache::clear();
    size_t rows = 0;
    auto start = std::chrono::steady_clock::now();
    for (const auto& [file, table] : tables) rows += Database::openPath(hotel / file, file)->table(table)->rows.size();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << "loaded " << tables.size() << " tables, " << rows << " rows in " << took.count() << " s\n";
    EXPECT_EQ(rows, 67066u);
}

}  // namespace
