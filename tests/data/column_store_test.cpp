#include <gtest/gtest.h>

#include "core/error.h"
#include "core/workspace.h"
#include "data/column_store.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::TempFolder;

namespace {

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(ColumnStore, CreatesTheEmptyTableWithItsFieldsInOrder) {
    TempFolder dir;
    Workspace ws(dir.path());
    EnsureColumnStore(ws);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"ColonneOV.mdb"});  // no temporary left behind
    auto db = Database::open(ws, "ColonneOV.mdb");
    EXPECT_EQ(db->format(), Database::Format::Sqlite);
    EXPECT_TRUE(db->writable());
    auto t = db->table("ColonneOV");
    EXPECT_TRUE(t->rows.empty());
    struct Expected {
        const char* name;
        FieldType type;
        int size;
    };
    const Expected expected[] = {{"NumeroHotel", FieldType::Integer, 2},
                                 {"NumeroColonna", FieldType::Integer, 2},
                                 {"Intestazione", FieldType::Text, 10},
                                 {"CodiceVoce", FieldType::Integer, 2},
                                 {"Descrizione", FieldType::Text, 40}};
    ASSERT_EQ(t->fields.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(t->fields[i].name, expected[i].name);
        EXPECT_EQ(t->fields[i].type, expected[i].type);
        EXPECT_EQ(t->fields[i].size, expected[i].size);
    }
}

TEST(ColumnStore, SecondStartKeepsTheRows) {
    TempFolder dir;
    Workspace ws(dir.path());
    EnsureColumnStore(ws);
    {
        SqliteStore store(dir / "ColonneOV.mdb", "ColonneOV.mdb");
        store.insertRow("ColonneOV", {Value::integer(1), Value::integer(1), Value::text("BAR-CAFF\xC8"),
                                      Value::integer(12), Value::text("Bar")});
    }
    EnsureColumnStore(ws);
    SqliteStore store(dir / "ColonneOV.mdb", "ColonneOV.mdb");
    auto t = store.loadTable("ColonneOV");
    ASSERT_EQ(t->rows.size(), 1u);
    EXPECT_EQ(t->rows[0][2], Value::text("BAR-CAFF\xC8"));
}

TEST(ColumnStore, FileInOtherLetterCaseOrFormatIsLeftAlone) {
    TempFolder dir;
    std::string jet = std::string(4, '\0') + "Standard Jet DB" + std::string(40, 'x');
    dir.write("colonneov.MDB", jet);
    Workspace ws(dir.path());
    EnsureColumnStore(ws);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"colonneov.MDB"});
    EXPECT_EQ(dir.read("colonneov.MDB"), jet);
}

TEST(ColumnStore, CreationNeverReplacesNorLeavesHalfFiles) {
    TempFolder dir;
    dir.write("Altro.mdb", "gia presente");
    bool called = false;
    EXPECT_FALSE(createSqliteDatabase(dir / "Altro.mdb", "Altro.mdb", [&](SqliteStore&) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(dir.read("Altro.mdb"), "gia presente");

    // A failure while filling leaves neither the target nor the temporary file.
    EXPECT_THROW(createSqliteDatabase(dir / "Nuovo.mdb", "Nuovo.mdb",
                                      [](SqliteStore& s) {
                                          s.createTable({"T", {makeField("A", "SHORT")}});
                                          s.insertRow("T", {Value::integer(70000)});
                                      }),
                 Error);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"Altro.mdb"});
}

TEST(ColumnStore, FolderThatCannotTakeTheFileGivesTheDatabaseError) {
    TempFolder dir;
    Workspace ws(dir / "manca");
    try {
        EnsureColumnStore(ws);
        FAIL() << "created in a missing folder";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 3043);
        EXPECT_NE(e.message().find("'ColonneOV.mdb'"), std::string::npos) << e.message();
    }
}
