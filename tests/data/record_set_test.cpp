// Record sets: find-first / find-next walks, the current record, field access and its errors,
// writes on an embedded-format file and their refusal where nothing may be written.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "core/error.h"
#include "data/database.h"
#include "data/query/parser.h"
#include "data/query/planner.h"
#include "data/record_set.h"
#include "data/query_dialect_cases.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

namespace {

using namespace ovtest::dialect;

std::vector<uint32_t> allRows(const ov::Table& t) {
    std::vector<uint32_t> r(t.rows.size());
    std::iota(r.begin(), r.end(), 0u);
    return r;
}

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ov::Error& e) {
        return e.number();
    }
    return 0;
}

int64_t id(const ov::RecordSet& rs) { return rs.field("Id").asInteger(); }

TEST(RecordSet, FindNextAfterTheLastMatchKeepsTheCurrentRecord) {
    auto t = inMemoryTable();
    ov::RecordSet rs(nullptr, t, allRows(*t));
    // Opened on its first record, as the engine's record sets are.
    EXPECT_EQ(id(rs), 1);
    ASSERT_TRUE(rs.findFirst("Gruppo = 1"));
    EXPECT_EQ(id(rs), 1);
    ASSERT_TRUE(rs.findNext("Gruppo = 1"));
    EXPECT_EQ(id(rs), 2);
    EXPECT_FALSE(rs.findNext("Gruppo = 1"));
    EXPECT_TRUE(rs.noMatch());
    EXPECT_EQ(id(rs), 2);
    EXPECT_FALSE(rs.findNext("Gruppo = 1"));
    EXPECT_EQ(rs.position(), 1u);
    EXPECT_FALSE(rs.findFirst("Codice = 99"));
    EXPECT_EQ(id(rs), 2);
    ASSERT_TRUE(rs.findFirst("Codice = 7"));
    EXPECT_FALSE(rs.noMatch());
    EXPECT_FALSE(rs.findNext("Codice = 7"));  // the last record: nothing after it
    EXPECT_EQ(id(rs), 7);
}

TEST(RecordSet, FindsWalkTheRecordSetOrderNotTheTableOrder) {
    auto t = inMemoryTable();
    auto rows = ov::query::selectRows(*t, ov::query::parseStatement("Select * From T Order by Codice Desc"));
    ov::RecordSet rs(nullptr, t, rows);
    std::vector<int64_t> ids;
    for (bool f = rs.findFirst("Codice = Gruppo"); f; f = rs.findNext("Codice = Gruppo")) ids.push_back(id(rs));
    EXPECT_EQ(ids, (std::vector<int64_t>{7, 5, 3, 1}));
}

TEST(RecordSet, FieldAccessAndPositioning) {
    auto t = inMemoryTable();
    ov::RecordSet rs(nullptr, t, allRows(*t));
    EXPECT_EQ(rs.fieldCount(), 9);
    EXPECT_EQ(rs.fieldName(1), "Nome");
    EXPECT_EQ(rs.fieldType(3), ov::FieldType::Currency);
    EXPECT_EQ(rs.fieldType(7), ov::FieldType::Text);
    EXPECT_EQ(errorOf([&] { rs.fieldType(9); }), ov::err::FieldNotFound);
    EXPECT_EQ(errorOf([&] { rs.field("Pippo"); }), ov::err::FieldNotFound);
    rs.moveTo(2);
    EXPECT_EQ(rs.position(), 2u);
    EXPECT_EQ(rs.field("nome").asText(), "Bianchi");  // names without regard to case
    EXPECT_EQ(rs.field(0).asInteger(), 3);
    EXPECT_EQ(errorOf([&] { rs.moveTo(7); }), ov::err::NoCurrentRecord);
    EXPECT_EQ(rs.position(), 2u);

    ov::RecordSet empty(nullptr, t, {});
    EXPECT_FALSE(empty.hasCurrent());
    EXPECT_EQ(errorOf([&] { empty.field("Id"); }), ov::err::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { empty.position(); }), ov::err::NoCurrentRecord);
    EXPECT_FALSE(empty.findFirst("Codice = 1"));
    EXPECT_TRUE(empty.noMatch());
}

TEST(RecordSet, AFailingCriteriaLeavesTheRecordSetAsItWas) {
    auto t = inMemoryTable();
    ov::RecordSet rs(nullptr, t, allRows(*t));
    ASSERT_TRUE(rs.findFirst("Codice = 3"));
    EXPECT_EQ(errorOf([&] { rs.findNext("Pippo = 1"); }), ov::err::FieldNotFound);
    EXPECT_EQ(errorOf([&] { rs.findNext("Codice = 4 and Codice / 0 = 1"); }), 11);
    EXPECT_EQ(errorOf([&] { rs.findNext("Stanza = 101"); }), ov::err::TypeMismatch);  // "A5" is no number
    EXPECT_EQ(id(rs), 3);
    EXPECT_FALSE(rs.noMatch());
}

TEST(RecordSet, IndexedFindsOnASubsetFollowItsOrder) {
    // 300 rows: enough for the record set to index its own positions.
    auto t = std::make_shared<ov::Table>();
    t->name = "Big";
    t->fields = {{"Id", ov::FieldType::Long, 4}, {"Codice", ov::FieldType::Long, 4}, {"Sigla", ov::FieldType::Text, 6}};
    for (int i = 0; i < 300; ++i)
        t->rows.push_back({ov::Value::integer(i), i % 11 == 0 ? ov::Value::null() : ov::Value::integer(i % 13),
                           ov::Value::text(i % 2 ? "cc" : "CON")});
    std::vector<uint32_t> subset;  // every third row, backwards
    for (int i = 299; i >= 0; i -= 3) subset.push_back(static_cast<uint32_t>(i));
    ov::RecordSet rs(nullptr, t, subset);

    for (const char* criteria : {"Codice = 5", "Codice = 5 and Sigla = 'CC'", "Sigla = 'con' and Codice <> 2"}) {
        auto cond = ov::query::conditionFor(*t, criteria);
        std::vector<int64_t> expected, found;
        for (uint32_t r : subset)
            if (cond->matches(t->rows[r])) expected.push_back(t->rows[r][0].asInteger());
        for (bool f = rs.findFirst(criteria); f; f = rs.findNext(criteria)) found.push_back(id(rs));
        EXPECT_EQ(found, expected) << criteria;
        EXPECT_FALSE(expected.empty()) << criteria;
    }
}

TEST(RecordSet, WritesNeedADatabaseThatCanBeWritten) {
    auto t = inMemoryTable();
    ov::RecordSet rs(nullptr, t, allRows(*t));
    EXPECT_EQ(errorOf([&] { rs.addNew(); }), ov::err::ReadOnly);
    EXPECT_EQ(errorOf([&] { rs.edit(); }), ov::err::ReadOnly);
    EXPECT_EQ(errorOf([&] { rs.deleteCurrent(); }), ov::err::ReadOnly);
    EXPECT_EQ(errorOf([&] { rs.update(); }), 3020);
    EXPECT_EQ(id(rs), 1);
}

class RecordSetWrites : public ::testing::Test {
protected:
    void SetUp() override {
        ovtest::SqliteBuilder(folder / "ColonneOV.mdb")
            .table("ColonneOV", {{"NumeroHotel", "SHORT"}, {"NumeroColonna", "SHORT"}, {"Intestazione", "TEXT(10)"},
                                 {"CodiceVoce", "LONG"}, {"Descrizione", "TEXT(40)"}})
            .row({1, 3, "RISTORANTE", 15, "Ristorante"})
            .row({1, 1, "BAR", 12, "Bar"})
            .row({1, 1, "BAR", 14, "Caffetteria"})
            .row({2, 5, "GARAGE", 25, "Garage"});
        db = ov::Database::openPath(folder / "ColonneOV.mdb", "ColonneOV.mdb");
    }

    std::vector<int64_t> codes(const std::string& query) {
        ov::RecordSet rs = db->openRecordSet(query);
        std::vector<int64_t> out;
        for (bool f = rs.findFirst("NumeroHotel > 0"); f; f = rs.findNext("NumeroHotel > 0"))
            out.push_back(rs.field("CodiceVoce").asInteger());
        return out;
    }

    ovtest::TempFolder folder;
    std::shared_ptr<ov::Database> db;
};

TEST_F(RecordSetWrites, EditAddAndDeleteReachTheFileAndTheRecordSet) {
    ov::RecordSet rs = db->openRecordSet("Select * From ColonneOV Where NumeroHotel = 1 Order by CodiceVoce");
    ASSERT_TRUE(rs.findFirst("CodiceVoce = 14"));
    rs.edit();
    rs.setField("Intestazione", ov::Value::text("CAFFE"));
    rs.update();
    EXPECT_EQ(rs.field("Intestazione").asText(), "CAFFE");
    EXPECT_EQ(rs.field("CodiceVoce").asInteger(), 14);

    rs.addNew();
    rs.setField("NumeroHotel", ov::Value::text("1"));  // converted to the field's type
    rs.setField("NumeroColonna", ov::Value::integer(2));
    rs.setField("CodiceVoce", ov::Value::integer(7));
    EXPECT_EQ(rs.field("CodiceVoce").asInteger(), 7);  // the record being added
    rs.update();
    EXPECT_EQ(rs.field("CodiceVoce").asInteger(), 14);  // the current record stays
    EXPECT_EQ(rs.recordCount(), 4u);
    ASSERT_TRUE(rs.findNext("NumeroColonna = 2"));      // the new record joined the end
    EXPECT_EQ(rs.field("NumeroHotel").asInteger(), 1);
    EXPECT_TRUE(rs.field("Intestazione").isNull());

    ASSERT_TRUE(rs.findFirst("CodiceVoce = 12"));
    rs.deleteCurrent();
    EXPECT_FALSE(rs.hasCurrent());
    EXPECT_EQ(errorOf([&] { rs.field("CodiceVoce"); }), ov::err::NoCurrentRecord);
    ASSERT_TRUE(rs.findNext("NumeroHotel = 1"));  // goes on with the record that followed
    EXPECT_EQ(rs.field("CodiceVoce").asInteger(), 14);
    EXPECT_EQ(rs.recordCount(), 3u);

    // A fresh record set reads the file as it is now.
    EXPECT_EQ(codes("ColonneOV"), (std::vector<int64_t>{15, 14, 25, 7}));
    ov::RecordSet again = db->openRecordSet("Select * From ColonneOV Where Intestazione = 'caffe'");
    EXPECT_EQ(again.recordCount(), 1u);
}

TEST_F(RecordSetWrites, ARefusedValueChangesNothing) {
    ov::RecordSet rs = db->openRecordSet("ColonneOV");
    EXPECT_EQ(errorOf([&] { rs.setField("Intestazione", ov::Value::text("X")); }), 3020);
    rs.edit();
    EXPECT_EQ(errorOf([&] { rs.setField("Intestazione", ov::Value::text("PIU DI DIECI")); }), 3163);
    EXPECT_EQ(errorOf([&] { rs.setField("NumeroColonna", ov::Value::text("tre")); }), ov::err::TypeMismatch);
    EXPECT_EQ(errorOf([&] { rs.setField("NumeroColonna", ov::Value::integer(40000)); }), 6);
    EXPECT_EQ(errorOf([&] { rs.setField("Pippo", ov::Value::integer(1)); }), ov::err::FieldNotFound);
    rs.setField("Intestazione", ov::Value::text("NUOVA"));
    rs.cancelUpdate();
    EXPECT_EQ(rs.field("Intestazione").asText(), "RISTORANTE");
    EXPECT_EQ(codes("Select * From ColonneOV Where Intestazione = 'RISTORANTE'"), (std::vector<int64_t>{15}));
    EXPECT_EQ(codes("Select * From ColonneOV Where Intestazione = 'NUOVA'"), (std::vector<int64_t>{}));
}

}  // namespace
