// A run that declares the fields it reads gets a table with those columns alone, and every
// other reader still gets every column: a reader needing more, a saved query, a reader outside the
// run. A field left out is never given as null.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/error.h"
#include "data/column_needs.h"
#include "data/database.h"
#include "data/table_cache.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

namespace {

std::shared_ptr<ov::Database> northwind() {
    return ov::Database::openPath(ovtest::fixturesDir() / "northwind" / "nwind.mdb", "nwind.mdb");
}

std::vector<std::string> fieldNames(const ov::Table& t) {
    std::vector<std::string> names;
    for (const ov::Field& f : t.fields) names.push_back(f.name);
    return names;
}

// The values of one field, row after row.
std::vector<std::string> column(const ov::Table& t, const char* field) {
    const int i = t.fieldIndex(field);
    std::vector<std::string> values;
    for (const ov::Row& r : t.rows) values.push_back(r[i].isNull() ? "<null>" : r[i].toText({}));
    return values;
}

// The same products in the embedded format, a few of them.
std::filesystem::path sqliteProducts(const ovtest::TempFolder& dir) {
    const auto file = dir / "Prodotti.mdb";
    ovtest::SqliteBuilder b(file);
    b.table("Products", {{"ProductName", "TEXT(40)"}, {"SupplierID", "LONG"}, {"QuantityPerUnit", "TEXT(20)"},
                         {"UnitPrice", "DOUBLE"}});
    b.row({"Chai", 1, "10 boxes x 20 bags", 18.0});
    b.row({"Chang", 1, "24 - 12 oz bottles", 19.0});
    b.row({"Aniseed Syrup", 2, "12 - 550 ml bottles", 10.0});
    return file;
}

TEST(ColumnNeeds, ARunGetsItsColumnsAndAReaderNeedingMoreGetsThem) {
    ovtest::TempFolder dir;
    const auto sqlite = sqliteProducts(dir);
    for (const auto& file : {ovtest::fixturesDir() / "northwind" / "nwind.mdb", sqlite}) {
        SCOPED_TRACE(file.string());
        auto open = [&] { return ov::Database::openPath(file, file.filename().string()); };
        ov::tablecache::clear();
        auto whole = open()->table("Products");
        ov::tablecache::clear();

        const ov::ColumnNeeds prices({{"products", {"UnitPrice", "ProductName", "NoSuchField"}}});
        const ov::ColumnNeeds suppliers({{"Products", {"ProductName", "SupplierID"}}});
        {
            ov::ColumnNeedsScope run(&prices);
            auto db = open();
            auto few = db->table("Products");
            EXPECT_EQ(fieldNames(*few), (std::vector<std::string>{"ProductName", "UnitPrice"}));
            EXPECT_EQ(column(*few, "UnitPrice"), column(*whole, "UnitPrice"));
            EXPECT_EQ(db->table("PRODUCTS"), few) << "read once for the run";
            // A query naming a field the run left out fails: it is not given as null.
            EXPECT_THROW(db->openRecordSet("Select SupplierID From Products"), ov::Error);
            {
                ov::ColumnNeedsScope more(&suppliers);
                auto again = db->table("Products");
                EXPECT_EQ(fieldNames(*again), (std::vector<std::string>{"ProductName", "SupplierID"}));
                EXPECT_EQ(column(*again, "SupplierID"), column(*whole, "SupplierID"));
            }
        }
        auto outside = open()->table("Products");
        EXPECT_EQ(fieldNames(*outside), fieldNames(*whole));
        EXPECT_EQ(column(*outside, "QuantityPerUnit"), column(*whole, "QuantityPerUnit"));
    }
}

// A saved query may read any field of its tables: it is run on whole tables whatever the run needs.
TEST(ColumnNeeds, ASavedQueryReadsEveryColumn) {
    ov::tablecache::clear();
    const ov::ColumnNeeds names({{"Products", {"ProductName"}}, {"Categories", {"CategoryName"}}});
    ov::ColumnNeedsScope run(&names);
    auto db = northwind();
    ASSERT_EQ(db->table("Products")->fields.size(), 1u);
    auto rows = db->table("Alphabetical List of Products");
    EXPECT_EQ(rows->fields.size(), 11u);
    EXPECT_EQ(rows->rows.size(), 69u);
    const auto units = column(*rows, "QuantityPerUnit");
    EXPECT_NE(std::find(units.begin(), units.end(), "10 boxes x 20 bags"), units.end());
}

}  // namespace
