// The query dialect through Database::openRecordSet on real files: the shared cases on an
// embedded-format file, and the reports' own texts on the suite's Jet files of the "edge" set.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/error.h"
#include "data/database.h"
#include "data/query_dialect_cases.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

namespace {

using namespace ovtest::dialect;

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ov::Error& e) {
        return e.number();
    }
    return 0;
}

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ov::Error& e) {
        return e.message();
    }
    return {};
}

// Every record of the record set, in its order, by a numeric field.
std::vector<int64_t> listed(ov::RecordSet& rs, const char* field) {
    std::vector<int64_t> out;
    for (size_t i = 0; i < rs.recordCount(); ++i) {
        rs.moveTo(i);
        out.push_back(rs.field(field).asInteger());
    }
    return out;
}

std::vector<int64_t> found(ov::RecordSet& rs, const std::string& criteria, const char* field) {
    std::vector<int64_t> out;
    for (bool f = rs.findFirst(criteria); f; f = rs.findNext(criteria)) out.push_back(rs.field(field).asInteger());
    return out;
}

class QueryOnSqlite : public ::testing::Test {
protected:
    void SetUp() override {
        ovtest::SqliteBuilder b(folder / "Dialetto.mdb");
        b.table("T", columns());
        auto text = [](const char* s) -> ovtest::CellValue { return s ? ovtest::CellValue(s) : ovtest::CellValue(nullptr); };
        for (const FixtureRow& r : rows()) {
            b.row({r.id, text(r.nome), text(r.nota),
                   r.importo ? ovtest::CellValue(ovtest::money(r.importo)) : ovtest::CellValue(nullptr),
                   r.num ? ovtest::CellValue(*r.num) : ovtest::CellValue(nullptr),
                   r.codice ? ovtest::CellValue(*r.codice) : ovtest::CellValue(nullptr),
                   r.gruppo ? ovtest::CellValue(*r.gruppo) : ovtest::CellValue(nullptr), text(r.data), text(r.stanza)});
        }
        db = ov::Database::openPath(folder / "Dialetto.mdb", "Dialetto.mdb");
    }

    ovtest::TempFolder folder;
    std::shared_ptr<ov::Database> db;
};

TEST_F(QueryOnSqlite, TheDialectCasesHoldOnAFile) {
    ov::RecordSet whole = db->openRecordSet("T");
    for (const Case& c : matchingCases()) {
        std::vector<int64_t> expected(c.ids.begin(), c.ids.end());
        ov::RecordSet rs = db->openRecordSet(cp("Select * From T Where ") + cp(c.criteria) + ";");
        EXPECT_EQ(listed(rs, "Id"), expected) << "WHERE " << c.criteria;
        EXPECT_EQ(found(whole, cp(c.criteria), "Id"), expected) << "find " << c.criteria;
    }
    for (const ErrorCase& c : errorCases()) {
        EXPECT_EQ(errorOf([&] { db->openRecordSet(cp("Select * From T Where ") + cp(c.criteria)); }), c.number)
            << "WHERE " << c.criteria;
        EXPECT_EQ(errorOf([&] { found(whole, cp(c.criteria), "Id"); }), c.number) << "find " << c.criteria;
    }
}

TEST_F(QueryOnSqlite, UnknownTablesAreNamed) {
    EXPECT_EQ(errorOf([&] { db->openRecordSet("Select * From Pippo Where Codice = 1"); }), ov::err::TableNotFound);
    EXPECT_NE(messageOf([&] { db->openRecordSet("Pippo"); }).find("Pippo"), std::string::npos);
    // The statement is checked before the table is looked for.
    EXPECT_EQ(errorOf([&] { db->openRecordSet("Select * From Pippo Where Codice = = 1"); }), ov::err::SyntaxError);
}

// The suite's Jet files of the "edge" set, read through the helper process.
class QueryOnJet : public ::testing::Test {
protected:
    std::shared_ptr<ov::Database> open(const char* name) {
        auto path = ovtest::fixturesDir() / "edge" / "work" / name;
        return ov::Database::openPath(path, name);
    }
};

TEST_F(QueryOnJet, DocumentsOfADayWithinTheRoomRange) {
    auto db = open("Fatture.mdb");
    ov::RecordSet all = db->openRecordSet("Select * From DatiFattura Where NCamera >= '' and NCamera <= 'ZZZZ' and "
                                          "DataEmissione = '20240116' and Annullato <> 'S';");
    // R 31 is cancelled, R 32 has a null Annullato, R 35 no room.
    EXPECT_EQ(listed(all, "NDocumento"), (std::vector<int64_t>{33, 34, 36}));
    ov::RecordSet range = db->openRecordSet("Select * From DatiFattura Where NCamera >= '10' and NCamera <= '199' and "
                                            "DataEmissione = '20240116' and Annullato <> 'S';");
    EXPECT_EQ(listed(range, "NDocumento"), (std::vector<int64_t>{36}));
    EXPECT_EQ(db->openRecordSet("DatiFattura").recordCount(), 33u);
}

TEST_F(QueryOnJet, ItemTakingsAndOutgoings) {
    auto db = open("Fatture.mdb");
    ov::RecordSet lines =
        db->openRecordSet("Select * From Incassi Where DataEmissione = '20240108' and TipoDocumento = 'ESTERNI';");
    const std::string item = "DataEmissione = '20240108' and TipoDocumento = 'ESTERNI' and val(left(Nota,4)) = 12";
    ov::Money sum;
    int count = 0;
    for (bool f = lines.findFirst(item); f; f = lines.findNext(item), ++count) sum += lines.field("Importo").toMoney();
    EXPECT_EQ(count, 2);  // "0012 Bar" and "12 Bar"
    EXPECT_EQ(sum, ovtest::money("19.50"));

    ov::RecordSet out =
        db->openRecordSet("Select * From Incassi Where DataEmissione = '20240122' and TipoDocumento = 'USCITE';");
    ASSERT_TRUE(out.findFirst("Nota = 'OSPITI'"));
    EXPECT_EQ(out.field("Importo").toMoney(), ovtest::money("-30"));
    EXPECT_FALSE(out.findNext("Nota = 'OSPITI'"));  // "OSPITI " with its trailing blank is another text
}

TEST_F(QueryOnJet, GuestsByRoomThenCard) {
    auto db = open("Scheda_Cliente.mdb");
    ov::RecordSet cards = db->openRecordSet(
        "Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= 'ZZZZ' and DataArrivo <= '20240115' "
        "and DataPartenza > '20240115' Order by NumeroCamera,NumeroProgressivo;");
    EXPECT_EQ(listed(cards, "NumeroProgressivo"), (std::vector<int64_t>{1022, 1023, 1024, 1025, 1020, 1021}));
}

TEST_F(QueryOnJet, CriteriaComparingTwoFields) {
    auto db = open("VociFattura.mdb");
    ov::RecordSet items = db->openRecordSet("VociFattura");
    auto codes = found(items, "NumeroHotel = 1 and Codice = GruppoFatturazione", "Codice");
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<int64_t>{1, 3, 4, 7, 12, 14, 15, 16, 21, 22, 25, 30, 31, 40}));
}

TEST_F(QueryOnJet, NothingIsWrittenToTheSuitesFiles) {
    auto db = open("Fatture.mdb");
    ov::RecordSet rs = db->openRecordSet("DatiFattura");
    EXPECT_EQ(errorOf([&] { rs.addNew(); }), ov::err::ReadOnly);
    EXPECT_NE(messageOf([&] { rs.edit(); }).find("Fatture.mdb"), std::string::npos);
    EXPECT_EQ(errorOf([&] { rs.deleteCurrent(); }), ov::err::ReadOnly);
    EXPECT_EQ(rs.recordCount(), 33u);
    EXPECT_EQ(rs.position(), 0u);
}

}  // namespace
