#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "core/error.h"
#include "core/workspace.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::money;
using ovtest::SqliteBuilder;
using ovtest::TempFolder;

namespace {

// Builds one file holding every engine type, the way fixtures are written.
void buildAllTypes(const std::filesystem::path& file) {
    SqliteBuilder(file)
        .table("Tipi", {{"Breve", "SHORT"},
                        {"Lungo", "LONG"},
                        {"Importo", "CURRENCY"},
                        {"Reale", "DOUBLE"},
                        {"Testo", "TEXT(12)"},
                        {"Nota", "MEMO"},
                        {"Quando", "DATETIME"},
                        {"Si", "BIT"}})
        .row({-7, 123456, money("12.50"), 0.25, "Caffè à", "0012", 45300.5, 1})
        .row({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr})
        .row({32767, -5, 3, 2.0, "", "€ 45", 0, 0});
}

std::string rawColumnBytes(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    std::string out;
    if (sqlite3_step(st) == SQLITE_ROW) {
        const void* p = sqlite3_column_blob(st, 0);
        out.assign(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, 0)));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

template <class F>
int errorNumberOf(F&& f, std::string* message = nullptr) {
    try {
        f();
    } catch (const Error& e) {
        if (message) *message = e.message();
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(SqliteBackend, ReportsEngineTypesAndValuesInTableOrder) {
    TempFolder dir;
    buildAllTypes(dir / "Tipi.mdb");
    Workspace ws(dir.path());
    auto db = Database::open(ws, "TIPI.MDB");
    EXPECT_EQ(db->format(), Database::Format::Sqlite);
    auto t = db->table("tipi");
    ASSERT_EQ(t->fields.size(), 8u);
    EXPECT_EQ(t->name, "Tipi");
    const FieldType expected[] = {FieldType::Integer, FieldType::Long,     FieldType::Currency, FieldType::Double,
                                  FieldType::Text,    FieldType::Memo,     FieldType::DateTime, FieldType::Boolean};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(t->fields[i].type, expected[i]) << t->fields[i].name;
    EXPECT_EQ(t->fields[4].size, 12);
    EXPECT_EQ(t->fields[0].name, "Breve");

    ASSERT_EQ(t->rows.size(), 3u);
    ASSERT_EQ(t->rowIds.size(), 3u);
    EXPECT_LT(t->rowIds[0], t->rowIds[1]);
    const Row& r = t->rows[0];
    EXPECT_EQ(r[0], Value::integer(-7));
    EXPECT_EQ(r[1], Value::integer(123456));
    EXPECT_EQ(r[2], Value::currency(Money::fromUnits(125000)));
    EXPECT_EQ(r[3], Value::real(0.25));
    EXPECT_EQ(r[4], Value::text("Caff\xE8 \xE0"));  // code page 1252 in memory
    EXPECT_EQ(r[5], Value::text("0012"));           // a memo keeps its leading zeros
    EXPECT_EQ(r[6], Value::dateTime(DateTimeValue{45300.5}));
    EXPECT_EQ(r[7], Value::boolean(true));
    for (const auto& v : t->rows[1]) EXPECT_TRUE(v.isNull());
    EXPECT_EQ(t->rows[2][2], Value::currency(Money::fromInteger(3)));
    EXPECT_EQ(t->rows[2][4], Value::text(""));  // zero-length is not null
    EXPECT_EQ(t->rows[2][5], Value::text("\x80 45"));

    // In the file: UTF-8 text and currency as ten-thousandths.
    EXPECT_EQ(rawColumnBytes(dir / "Tipi.mdb", "SELECT Testo FROM Tipi WHERE rowid = 1"), "Caff\xC3\xA8 \xC3\xA0");
    EXPECT_EQ(rawColumnBytes(dir / "Tipi.mdb", "SELECT CAST(Importo AS TEXT) FROM Tipi WHERE rowid = 1"), "125000");
}

TEST(SqliteBackend, WritesEachRowInItsOwnTransactionAndConvertsTypes) {
    TempFolder dir;
    buildAllTypes(dir / "Tipi.mdb");
    SqliteStore store(dir / "Tipi.mdb", "Tipi.mdb");
    ASSERT_TRUE(store.writable());
    Row row{Value::integer(1),          Value::integer(2),  Value::real(7.125),
            Value::integer(3),          Value::text("BAR-CAFF\xC8"), Value::text("x"),
            Value::dateTime({45000.0}), Value::boolean(false)};
    int64_t id = store.insertRow("TIPI", row);
    row[4] = Value::text("Ros\xE9");
    row[2] = Value::text("-0.5");
    store.updateRow("Tipi", id, row);
    auto first = store.loadTable("Tipi");
    store.deleteRow("Tipi", first->rowIds[0]);

    auto t = store.loadTable("Tipi");
    ASSERT_EQ(t->rows.size(), 3u);
    EXPECT_EQ(t->rowIds.back(), id);
    const Row& r = t->rows.back();
    EXPECT_EQ(r[2], Value::currency(Money::fromUnits(-5000)));
    EXPECT_EQ(r[3], Value::real(3.0));
    EXPECT_EQ(r[4], Value::text("Ros\xE9"));
    EXPECT_EQ(r[7], Value::boolean(false));
    EXPECT_TRUE(t->rows[0][0].isNull());  // the first row was deleted

    // The engine's checks: text longer than the field, a number too big for SHORT, a word in a
    // number field. Nothing is written by a failed write.
    Row tooLong = row;
    tooLong[4] = Value::text("tredici lettere");
    EXPECT_EQ(errorNumberOf([&] { store.insertRow("Tipi", tooLong); }), 3163);
    Row overflow = row;
    overflow[0] = Value::integer(40000);
    EXPECT_EQ(errorNumberOf([&] { store.insertRow("Tipi", overflow); }), 6);
    Row word = row;
    word[1] = Value::text("dodici");
    EXPECT_EQ(errorNumberOf([&] { store.insertRow("Tipi", word); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { store.updateRow("Tipi", 9999, row); }), err::NoCurrentRecord);
    EXPECT_EQ(store.loadTable("Tipi")->rows.size(), 3u);
}

TEST(SqliteBackend, UnknownTableNamesTableAndFile) {
    TempFolder dir;
    buildAllTypes(dir / "Tipi.mdb");
    Workspace ws(dir.path());
    auto db = Database::open(ws, "Tipi.mdb");
    std::string msg;
    EXPECT_EQ(errorNumberOf([&] { db->table("Incassi"); }, &msg), err::TableNotFound);
    EXPECT_NE(msg.find("'Incassi'"), std::string::npos) << msg;
    EXPECT_NE(msg.find("'Tipi.mdb'"), std::string::npos) << msg;
    ASSERT_EQ(db->tableNames().size(), 1u);
    EXPECT_EQ(db->tableNames()[0], "Tipi");
}

TEST(SqliteBackend, DamagedFileIsReportedNotCrashed) {
    TempFolder dir;
    std::string bytes("SQLite format 3\0", 16);
    for (int i = 0; i < 8192; ++i) bytes += static_cast<char>((i * 37 + 11) & 0xFF);
    dir.write("Rotto.mdb", bytes);
    Workspace ws(dir.path());
    std::string msg;
    EXPECT_EQ(errorNumberOf([&] { Database::open(ws, "Rotto.mdb")->table("X"); }, &msg), err::NotADatabase);
    EXPECT_NE(msg.find("'Rotto.mdb'"), std::string::npos) << msg;

    // A header and nothing else.
    dir.write("Corto.mdb", std::string("SQLite format 3\0", 16));
    EXPECT_EQ(errorNumberOf([&] { Database::open(ws, "Corto.mdb")->tableNames(); }), err::NotADatabase);
}

TEST(SqliteBackend, WriteWaitsForAnotherWorkstationThenReportsTheLock) {
    TempFolder dir;
    SqliteBuilder(dir / "ColonneOV.mdb").table("ColonneOV", {{"NumeroColonna", "SHORT"}});
    SqliteStore store(dir / "ColonneOV.mdb", "ColonneOV.mdb");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "ColonneOV.mdb").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    store.setBusyTimeout(std::chrono::milliseconds(150));
    std::string msg;
    EXPECT_EQ(errorNumberOf([&] { store.insertRow("ColonneOV", {Value::integer(1)}); }, &msg), err::Locked);
    EXPECT_NE(msg.find("'ColonneOV.mdb'"), std::string::npos) << msg;

    // The other workstation finishes within the wait: the write goes through.
    store.setBusyTimeout(std::chrono::seconds(5));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    EXPECT_NO_THROW(store.insertRow("ColonneOV", {Value::integer(2)}));
    release.join();
    sqlite3_close(other);
    auto t = store.loadTable("ColonneOV");
    ASSERT_EQ(t->rows.size(), 1u);
    EXPECT_EQ(t->rows[0][0], Value::integer(2));
}

TEST(SqliteBackend, ReadOnlyStoreRefusesWrites) {
    TempFolder dir;
    buildAllTypes(dir / "Tipi.mdb");
    SqliteStore store(dir / "Tipi.mdb", "Tipi.mdb", SqliteStore::Open::ReadOnly);
    EXPECT_FALSE(store.writable());
    EXPECT_EQ(store.loadTable("Tipi")->rows.size(), 3u);
    EXPECT_EQ(errorNumberOf([&] { store.deleteRow("Tipi", 1); }), err::ReadOnly);
    EXPECT_EQ(errorNumberOf([&] { SqliteStore(dir / "Manca.mdb", "Manca.mdb"); }), err::FileNotFound);
}

TEST(SqliteStore, DeclaredTypesOfOtherToolsAreUnderstood) {
    EXPECT_EQ(fieldFromDeclaredType("a", "text(8)").size, 8);
    EXPECT_EQ(fieldFromDeclaredType("a", "INTEGER").type, FieldType::Long);
    EXPECT_EQ(fieldFromDeclaredType("a", "VARCHAR(20)").type, FieldType::Text);
    EXPECT_EQ(fieldFromDeclaredType("a", "").type, FieldType::Memo);
    EXPECT_EQ(engineTypeName(makeField("a", "Text(40)")), "TEXT(40)");
    EXPECT_EQ(errorNumberOf([] { makeField("a", "INTEGER"); }), err::Usage);
}
