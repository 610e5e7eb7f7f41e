// Saved queries of real Jet files. nwind.mdb (Access 97): every select gives the rows worked out in
// fixtures/northwind/expected without ovdesk (make_expected.py there), the parameter queries and
// the crosstab are refused naming the query and why. queryTest*.mdb (Access 97, 2000, 2003): a
// query of every kind; the select runs, the others are refused with the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "core/error.h"
#include "data/database.h"
#include "data/query_rows.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

std::shared_ptr<ov::Database> northwind() {
    return ov::Database::openPath(ovtest::fixturesDir() / "northwind" / "nwind.mdb", "nwind.mdb");
}

Lines readLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line);
    for (std::string c; std::getline(ss, c, '\t');) out.push_back(c);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

// The values of the sort columns, row after row: what an ORDER BY (or the key order of groups,
// DISTINCT and UNION) fixes even where rows tie.
Lines sortColumns(const Lines& lines, const std::vector<size_t>& columns) {
    Lines out;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> c = cells(lines[i]);
        std::string key;
        for (size_t k : columns) key += (k < c.size() ? c[k] : "?") + "|";
        out.push_back(key);
    }
    return out;
}

struct NorthwindQuery {
    const char* name;
    std::vector<size_t> sortedBy;  // output columns the rows come in the order of; none: any order
};

const NorthwindQuery kSelects[] = {
    {"Alphabetical List of Products", {}},
    {"Catalog", {}},
    {"Category Sales for 1995", {0}},
    {"Current Product List", {1}},
    {"Customers and Suppliers by City", {0, 1}},
    {"Invoices", {}},
    {"Order Details Extended", {0}},
    {"Order Subtotals", {0}},
    {"Orders Qry", {}},
    {"Product Sales for 1995", {0, 1}},
    {"Products Above Average Price", {1}},
    {"Products by Category", {0, 1}},
    {"Quarterly Orders", {}},
    {"Sales by Category", {2}},
    {"Sales Totals by Amount", {}},
    {"Summary of Sales by Quarter", {0}},
    {"Summary of Sales by Year", {0}},
    {"Ten Most Expensive Products", {1}},
};

}  // namespace

TEST(StoredQueries, EveryNorthwindSelectGivesTheRowsAccessGives) {
    auto db = northwind();
    for (const NorthwindQuery& q : kSelects) {
        SCOPED_TRACE(q.name);
        Lines expected = readLines(ovtest::fixturesDir() / "northwind" / "expected" / (std::string(q.name) + ".tsv"));
        ASSERT_GT(expected.size(), 1u);
        ov::RecordSet rs = db->openRecordSet(ov::cp1252::fromUtf8(q.name));
        Lines actual = ovtest::recordLines(rs, "\t", "\\N");
        ASSERT_FALSE(actual.empty());
        EXPECT_EQ(actual.front(), expected.front());
        EXPECT_EQ(sortColumns(actual, q.sortedBy), sortColumns(expected, q.sortedBy));
        std::sort(actual.begin() + 1, actual.end());
        std::sort(expected.begin() + 1, expected.end());
        EXPECT_EQ(actual, expected);
    }
}

TEST(StoredQueries, NorthwindFieldsKeepTheirTypesAndExpressionsTakeTheirValues) {
    auto db = northwind();
    ov::RecordSet invoices = db->openRecordSet("Invoices");
    const std::pair<const char*, ov::FieldType> fields[] = {
        {"Salesperson", ov::FieldType::Text},     {"OrderDate", ov::FieldType::DateTime},
        {"ExtendedPrice", ov::FieldType::Currency}, {"Discount", ov::FieldType::Double},
        {"Quantity", ov::FieldType::Integer},     {"Customers.CompanyName", ov::FieldType::Text},
    };
    for (auto [name, type] : fields) {
        int i = invoices.table().fieldIndex(name);
        ASSERT_GE(i, 0) << name;
        EXPECT_EQ(invoices.fieldType(i), type) << name;
    }
    // Find operations walk a saved query like a table.
    ASSERT_TRUE(invoices.findFirst("OrderID = 10330 and ProductID = 72"));
    EXPECT_EQ(invoices.field("ExtendedPrice").asCurrency().toPlainString(), "590.7500");
    ov::RecordSet alphabetical = db->openRecordSet("SELECT * FROM [Alphabetical List of Products] ORDER BY ProductName");
    ASSERT_TRUE(alphabetical.findFirst("CategoryName = 'SEAFOOD'"));
    EXPECT_EQ(ov::cp1252::toUtf8(alphabetical.field("ProductName").asText()), "Boston Crab Meat");
}

TEST(StoredQueries, NorthwindQueriesThatCannotRunAreRefusedNamingThem) {
    auto db = northwind();
    const ovtest::ErrorCase cases[] = {
        {"Employee Sales by Country", 3061, {"Query 'Employee Sales by Country'", "[Beginning Date], [Ending Date]"}},
        {"Sales by Year", 3061, {"[Forms]![Sales by Year Dialog]![BeginningDate]"}},
        {"Invoices Filter", 3061, {"Query 'Invoices Filter'", "Previsto 1", "[Forms]![Orders]![OrderID]"}},
        {"Quarterly Orders by Product", 3251, {"'Quarterly Orders by Product'", "campi incrociati"}},
    };
    for (const auto& c : cases) ovtest::expectError([&] { db->openRecordSet(c.what); }, c);
}

TEST(StoredQueries, TheTextOfEachQueryIsRebuiltFromItsRows) {
    std::map<std::string, ov::StoredQuery> byName;
    for (ov::StoredQuery& q : northwind()->storedQueries()) byName[q.name] = q;
    EXPECT_EQ(byName.size(), 22u);
    EXPECT_EQ(byName["Ten Most Expensive Products"].sql,
              "SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice\r\n"
              "FROM Products\r\n"
              "ORDER BY Products.UnitPrice DESC;");
    EXPECT_EQ(byName["Customers and Suppliers by City"].kind, ov::QueryKind::Union);
    EXPECT_EQ(byName["Customers and Suppliers by City"].sql,
              "SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship] \r\n"
              "FROM Customers\r\n"
              "UNION SELECT City, CompanyName, ContactName, \"Suppliers\"\r\n"
              "FROM Suppliers\r\n"
              "ORDER BY City, CompanyName;");
    EXPECT_EQ(byName["Current Product List"].sql,
              "SELECT [Product List].ProductID, [Product List].ProductName\r\n"
              "FROM Products AS [Product List]\r\n"
              "WHERE ((([Product List].Discontinued)=No))\r\n"
              "ORDER BY [Product List].ProductName;");
    // Three join rows nest as the tables they bring together.
    EXPECT_NE(byName["Product Sales for 1995"].sql.find(
                  "FROM (Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID) INNER JOIN "
                  "(Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID) ON "
                  "Products.ProductID = [Order Details].ProductID\r\n"),
              std::string::npos)
        << byName["Product Sales for 1995"].sql;
    EXPECT_EQ(byName["Employee Sales by Country"].sql.rfind("PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime;\r\n", 0), 0u);
    EXPECT_EQ(byName["Quarterly Orders by Product"].kind, ov::QueryKind::Crosstab);
}

TEST(StoredQueries, AccessFilesOfEveryVersionGiveTheTextOfEveryKind) {
    const std::map<std::string, std::pair<ov::QueryKind, std::string>> expected = {
        {"SelectQuery",
         {ov::QueryKind::Select,
          "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
          "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
          "(Table3.col1 = Table2.col1) AND (Table3.col1 = Table2.col2)\r\n"
          "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
          "ORDER BY Table2.col1;"}},
        {"AppendQuery",
         {ov::QueryKind::Append,
          "INSERT INTO Table3 ( col2, col2, col3 )\r\n"
          "SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]\r\n"
          "FROM Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];"}},
        {"UpdateQuery",
         {ov::QueryKind::Update,
          "PARAMETERS [User Name] Text;\r\n"
          "UPDATE Table1 SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = [User Name]\r\n"
          "WHERE ((([Table2].[col1]) Is Not Null));"}},
        {"DeleteQuery",
         {ov::QueryKind::Delete,
          "DELETE Table1.col1, Table1.col2, Table1.col3\r\nFROM Table1\r\nWHERE (((Table1.col1)>\"blah\"));"}},
        {"MakeTableQuery",
         {ov::QueryKind::MakeTable,
          "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4\r\n"
          "FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON Table1.col2 = Table3.col3\r\n"
          "GROUP BY Table2.col2, Table3.col2\r\n"
          "HAVING (((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"));"}},
        {"CrosstabQuery",
         {ov::QueryKind::Crosstab,
          "TRANSFORM Count([Table2].[col2]) AS CountOfcol2\r\n"
          "SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2\r\n"
          "FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 AS Table2_1 ON "
          "[Table2].[col1]=Table2_1.col3\r\n"
          "WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And ((Avg(Table2_1.col2))>\"10\"))\r\n"
          "GROUP BY Table2_1.col1, [Table2].[col3]\r\n"
          "ORDER BY [Table2].[col3]\r\n"
          "PIVOT [Table1].[col1];"}},
        {"UnionQuery",
         {ov::QueryKind::Union,
          "Select Table1.col1, Table1.col2\r\nwhere Table1.col1 = \"foo\"\r\nUNION\r\nSelect Table2.col1, Table2.col2\r\n"
          "UNION ALL Select Table3.col1, Table3.col2\r\nwhere Table3.col3 > \"blah\";"}},
        {"PassthroughQuery", {ov::QueryKind::PassThrough, "ALTER TABLE Table4 DROP COLUMN col5;"}},
        {"DataDefinitionQuery", {ov::QueryKind::DataDefinition, "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);"}},
    };
    for (const char* file : {"queryTestV1997.mdb", "queryTestV2000.mdb", "queryTestV2003.mdb"}) {
        SCOPED_TRACE(file);
        auto db = ov::Database::openPath(ovtest::fixturesDir() / "access" / "work" / file, file);
        std::map<std::string, std::pair<ov::QueryKind, std::string>> actual;
        for (const ov::StoredQuery& q : db->storedQueries()) actual[q.name] = {q.kind, q.sql};
        EXPECT_EQ(actual, expected);
    }
}

TEST(StoredQueries, AccessFilesOfEveryVersionKeepQueriesOfEveryKind) {
    for (const char* file : {"queryTestV1997.mdb", "queryTestV2000.mdb", "queryTestV2003.mdb"}) {
        SCOPED_TRACE(file);
        auto db = ov::Database::openPath(ovtest::fixturesDir() / "access" / "work" / file, file);
        EXPECT_EQ(db->storedQueries().size(), 9u);

        // DISTINCT over a left and an inner join, with Or and In; the tables are empty.
        ov::RecordSet select = db->openRecordSet("SelectQuery");
        EXPECT_EQ(ovtest::recordLines(select),
                  (Lines{"Table1.col1;Table1.col2;Table1.col3;Table2.col1;Table2.col2;Table3.col3"}));

        const ovtest::ErrorCase refused[] = {
            {"AppendQuery", 3219, {"'AppendQuery'", "query di accodamento"}},
            {"UpdateQuery", 3219, {"'UpdateQuery'", "query di aggiornamento"}},
            {"DeleteQuery", 3219, {"'DeleteQuery'", "query di eliminazione"}},
            {"MakeTableQuery", 3219, {"'MakeTableQuery'", "query di creazione tabella"}},
            {"DataDefinitionQuery", 3219, {"'DataDefinitionQuery'", "query di definizione dati"}},
            {"CrosstabQuery", 3251, {"'CrosstabQuery'", "campi incrociati"}},
            {"PassthroughQuery", 3251, {"'PassthroughQuery'", "pass-through"}},
            // Its selects have no FROM clause.
            {"UnionQuery", 3067, {"'UnionQuery'", "almeno una tabella"}},
        };
        for (const auto& r : refused) ovtest::expectError([&] { db->openRecordSet(r.what); }, r);
    }
}
