// The query dialect on tables built in memory: every operator and function, null in every
// position, text without regard to case, mixed comparisons, statements and their errors.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "core/error.h"
#include "data/query/parser.h"
#include "data/query/planner.h"
#include "data/record_set.h"
#include "data/query_dialect_cases.h"

namespace {

using namespace ovtest::dialect;

std::vector<uint32_t> allRows(const ov::Table& t) {
    std::vector<uint32_t> r(t.rows.size());
    std::iota(r.begin(), r.end(), 0u);
    return r;
}

std::vector<int> idsOf(const ov::Table& t, const std::vector<uint32_t>& rows) {
    std::vector<int> ids;
    for (uint32_t r : rows) ids.push_back(static_cast<int>(t.rows[r][0].asInteger()));
    return ids;
}

std::vector<int> selectIds(const ov::Table& t, const std::string& statement) {
    return idsOf(t, ov::query::selectRows(t, ov::query::parseStatement(cp(statement.c_str()))));
}

std::vector<int> whereIds(const ov::Table& t, const char* criteria) {
    return selectIds(t, std::string("Select * From T Where ") + criteria);
}

std::vector<int> findIds(const std::shared_ptr<const ov::Table>& t, const char* criteria) {
    ov::RecordSet rs(nullptr, t, allRows(*t));
    std::string c = cp(criteria);
    std::vector<int> ids;
    for (bool found = rs.findFirst(c); found; found = rs.findNext(c))
        ids.push_back(static_cast<int>(rs.field("Id").asInteger()));
    return ids;
}

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

// The fixture ten times over (Id + 100 * copy): enough rows for the indexes to be used.
std::shared_ptr<ov::Table> tenfold() {
    auto one = inMemoryTable();
    auto t = std::make_shared<ov::Table>();
    t->name = one->name;
    t->fields = one->fields;
    for (int copy = 0; copy < 10; ++copy)
        for (ov::Row row : one->rows) {
            row[0] = ov::Value::integer(row[0].asInteger() + 100 * copy);
            t->rows.push_back(std::move(row));
        }
    return t;
}

TEST(QueryDialect, EveryCaseSelectsAndFindsTheSameRows) {
    auto t = inMemoryTable();
    for (const Case& c : matchingCases()) {
        EXPECT_EQ(whereIds(*t, c.criteria), c.ids) << "WHERE " << c.criteria;
        EXPECT_EQ(findIds(t, c.criteria), c.ids) << "find " << c.criteria;
    }
}

TEST(QueryDialect, IndexedAnswersEqualPlainOnes) {
    // With 70 rows the equality and range terms go through the indexes.
    auto t = tenfold();
    for (const Case& c : matchingCases()) {
        std::vector<int> expected;
        for (int copy = 0; copy < 10; ++copy)
            for (int id : c.ids) expected.push_back(id + 100 * copy);
        EXPECT_EQ(whereIds(*t, c.criteria), expected) << "WHERE " << c.criteria;
        EXPECT_EQ(findIds(t, c.criteria), expected) << "find " << c.criteria;
    }
}

TEST(QueryDialect, ErrorsCarryTheEngineNumbers) {
    auto t = inMemoryTable();
    for (const ErrorCase& c : errorCases()) {
        EXPECT_EQ(errorOf([&] { whereIds(*t, c.criteria); }), c.number) << "WHERE " << c.criteria;
        EXPECT_EQ(errorOf([&] { findIds(t, c.criteria); }), c.number) << "find " << c.criteria;
    }
    EXPECT_EQ(errorOf([&] { findIds(t, ""); }), ov::err::SyntaxError);
    EXPECT_EQ(errorOf([&] { findIds(t, "   "); }), ov::err::SyntaxError);
}

TEST(QueryDialect, PathologicalTextsAreRefusedNotCrashedOn) {
    auto t = inMemoryTable();
    std::string deep = std::string(100000, '(') + "Codice = 1" + std::string(100000, ')');
    EXPECT_EQ(errorOf([&] { findIds(t, deep.c_str()); }), ov::err::SyntaxError);
    std::string negations;
    for (int i = 0; i < 100000; ++i) negations += "Not ";
    EXPECT_EQ(errorOf([&] { findIds(t, (negations + "Codice = 1").c_str()); }), ov::err::SyntaxError);
    std::string chain = "Codice = 1";
    for (int i = 0; i < 100000; ++i) chain += " and Codice = 1";
    EXPECT_EQ(errorOf([&] { findIds(t, chain.c_str()); }), ov::err::SyntaxError);
    // Sensible nesting and length still work.
    std::string fine = std::string(50, '(') + "Codice = 1" + std::string(50, ')');
    for (int i = 0; i < 200; ++i) fine += " and Codice = 1";
    EXPECT_EQ(findIds(t, fine.c_str()), (std::vector<int>{1}));
}

TEST(QueryDialect, MessagesQuoteTheTextAndNameTheField) {
    auto t = inMemoryTable();
    EXPECT_NE(messageOf([&] { findIds(t, "Codice = = 1"); }).find("'Codice = = 1'"), std::string::npos);
    // Code page text comes back as UTF-8.
    EXPECT_NE(messageOf([&] { findIds(t, "Nome = 'Òscar"); }).find("'Nome = 'Òscar'"), std::string::npos);
    std::string unknown = messageOf([&] { findIds(t, "Codice = 1 and Pippo = 2"); });
    EXPECT_NE(unknown.find("'Pippo'"), std::string::npos);
    EXPECT_NE(unknown.find("'T'"), std::string::npos);
    // A WHERE is quoted alone, as the engine does.
    std::string where = messageOf([&] { selectIds(*t, "Select * From T Where Codice = = 1 Order by Codice"); });
    EXPECT_NE(where.find("'Codice = = 1'"), std::string::npos) << where;
    EXPECT_NE(messageOf([&] { findIds(t, "Stanza = 9"); }).find("Stanza = 9"), std::string::npos);
    EXPECT_NE(messageOf([&] { findIds(t, "Pippo(1) = 1"); }).find("'Pippo'"), std::string::npos);
}

TEST(QueryStatement, AcceptsTheShapesTheReportsWrite) {
    auto st = ov::query::parseStatement(
        "Select * From Scheda_Cliente Where NumeroCamera >= '' and NumeroCamera <= 'ZZZZ' and "
        "DataArrivo <= '20240115' and DataPartenza > '20240115' Order by NumeroCamera,NumeroProgressivo;");
    EXPECT_EQ(st.table, "Scheda_Cliente");
    ASSERT_TRUE(st.where.has_value());
    EXPECT_EQ(st.whereText,
              "NumeroCamera >= '' and NumeroCamera <= 'ZZZZ' and DataArrivo <= '20240115' and DataPartenza > '20240115'");
    ASSERT_EQ(st.orderBy.size(), 2u);
    EXPECT_EQ(st.orderBy[1].field, "NumeroProgressivo");
    EXPECT_FALSE(st.orderBy[1].descending);

    st = ov::query::parseStatement("SELECT * FROM [Nomi Arr] ORDER BY Sigla DESC, [Tipo] asc");
    EXPECT_EQ(st.table, "Nomi Arr");
    EXPECT_FALSE(st.where.has_value());
    ASSERT_EQ(st.orderBy.size(), 2u);
    EXPECT_TRUE(st.orderBy[0].descending);
    EXPECT_EQ(st.orderBy[1].field, "Tipo");
    EXPECT_FALSE(st.orderBy[1].descending);

    EXPECT_EQ(ov::query::parseStatement("select t.* from t where x = 'Order by y'").whereText, "x = 'Order by y'");
    EXPECT_EQ(ov::query::parseStatement("  NomiArrangiamenti ; ").table, "NomiArrangiamenti");
    EXPECT_EQ(ov::query::parseStatement("[Ditta Intestataria]").table, "Ditta Intestataria");
    EXPECT_EQ(ov::query::parseStatement("Selection").table, "Selection");  // a table, not a statement
}

TEST(QueryStatement, BrokenStatementsAreErrors) {
    auto number = [](const char* text) { return errorOf([&] { ov::query::parseStatement(text); }); };
    EXPECT_EQ(number("Select * T"), ov::err::QuerySyntax);
    EXPECT_EQ(number("Select Codice From T"), ov::err::QuerySyntax);
    EXPECT_EQ(number("Select * From"), ov::err::QuerySyntax);
    EXPECT_EQ(number("Select * From T Order by"), ov::err::QuerySyntax);
    EXPECT_EQ(number("Select * From T;;"), ov::err::QuerySyntax);
    EXPECT_EQ(number("Select * From T Where"), ov::err::SyntaxError);
    EXPECT_EQ(number("Select * From T Where Codice = 1 Garbage"), ov::err::SyntaxError);
    EXPECT_EQ(number("Select * From T Where Nome = 'x"), ov::err::SyntaxError);
    auto t = inMemoryTable();
    EXPECT_EQ(errorOf([&] { selectIds(*t, "Select * From T Order by Pippo"); }), ov::err::FieldNotFound);
    EXPECT_EQ(errorOf([&] { selectIds(*t, "Select * From T Where Codice = 1 Order by X.Codice"); }),
              ov::err::FieldNotFound);
}

TEST(QueryStatement, OrderByIsCaseInsensitiveStableWithNullsFirst) {
    auto t = inMemoryTable();
    EXPECT_EQ(selectIds(*t, "Select * From T Where Codice > 0"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(selectIds(*t, "Select * From T Order By Nome"), (std::vector<int>{4, 3, 7, 6, 1, 2, 5}));
    EXPECT_EQ(selectIds(*t, "Select * From T Order By Nome Desc"), (std::vector<int>{5, 1, 2, 6, 7, 3, 4}));
    EXPECT_EQ(selectIds(*t, "Select * From T Order By Gruppo Desc, Codice"), (std::vector<int>{6, 7, 5, 3, 1, 2, 4}));
    EXPECT_EQ(selectIds(*t, "Select * From T Order By Gruppo, Codice Desc"), (std::vector<int>{4, 2, 1, 3, 5, 7, 6}));
    EXPECT_EQ(selectIds(*t, "Select * From T Order By Importo"), (std::vector<int>{4, 3, 5, 6, 2, 1, 7}));
    EXPECT_EQ(selectIds(*t, "Select * From T Where Gruppo = 7 or Gruppo = 1 Order By Stanza;"),
              (std::vector<int>{1, 7, 2, 6}));
}

}  // namespace
