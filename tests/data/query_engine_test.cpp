// The engine's SQL beyond SELECT * FROM one table, through Database::openRecordSet on a small file:
// joins, grouping, DISTINCT, TOP, ORDER BY, unions, subqueries, and the errors the engine gives.
// Saved queries of the embedded format: by name wherever a table name goes, over other queries,
// refused when they need parameters or come back to themselves.
#include <gtest/gtest.h>

#include "core/error.h"
#include "data/database.h"
#include "data/query_rows.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using ovtest::money;
using ovtest::SqliteBuilder;
using Lines = std::vector<std::string>;

namespace {

class QueryEngine : public ::testing::Test {
protected:
    void SetUp() override {
        SqliteBuilder(dir / "Ospiti.mdb")
            .table("Guests", {{"Id", "LONG"}, {"Name", "TEXT(20)"}, {"City", "TEXT(20)"}, {"Room", "TEXT(4)"},
                              {"Nights", "SHORT"}, {"Amount", "CURRENCY"}, {"Rate", "DOUBLE"}})
            .row({1, "Rossi", "Roma", "101", 3, money("120.50"), 1.5})
            .row({2, "bianchi", "Milano", "102", 1, money("80"), nullptr})
            .row({3, "Verdi", "roma", "101", 2, nullptr, 2.25})
            .row({4, "Neri", nullptr, "103", 5, money("300"), 0.5})
            .row({5, "ROSSI", "Napoli", nullptr, 1, money("45.25"), 1.5})
            .table("Rooms", {{"Room", "TEXT(4)"}, {"Floor", "SHORT"}, {"Kind", "TEXT(10)"}})
            .row({"101", 1, "Doppia"})
            .row({"102", 1, "Singola"})
            .row({"104", 2, "Suite"})
            // Days as the engine's serials: 15/01/2024, 15/02/2024 at noon, 02/04/2024.
            .table("Events", {{"Id", "LONG"}, {"Day", "DATETIME"}, {"Done", "BIT"}})
            .row({1, 45306.0, 1})
            .row({2, 45337.5, 0})
            .row({3, 45384.0, 1})
            .table("Codes", {{"Code", "TEXT(10)"}})
            .row({"1E3"})
            .row({"1000"})
            .row({"12"})
            .row({nullptr})
            .query("Camere occupate",
                   "SELECT G.Room, R.Kind, Count(*) AS Ospiti FROM Guests AS G INNER JOIN Rooms AS R "
                   "ON G.Room = R.Room GROUP BY G.Room, R.Kind")
            .query("Solo doppie", "SELECT * FROM [Camere occupate] WHERE Kind = 'Doppia'")
            .query("Ciclo A", "SELECT * FROM [Ciclo B]")
            .query("Ciclo B", "SELECT Room FROM [Ciclo A]")
            .query("Chiede", "SELECT Name FROM Guests WHERE Id = [Quale ospite] OR Room = Forms!Scheda!Camera")
            .query("Dichiara", "PARAMETERS [Dal giorno] DateTime; SELECT * FROM Events WHERE Day >= [Dal giorno]");
        db = ov::Database::openPath(dir / "Ospiti.mdb", "Ospiti.mdb");
    }

    Lines rows(const std::string& text) {
        ov::RecordSet rs = db->openRecordSet(ov::cp1252::fromUtf8(text));
        return ovtest::recordLines(rs);
    }

    ovtest::TempFolder dir;
    std::shared_ptr<ov::Database> db;
};

struct Case {
    const char* sql;
    Lines expected;
};

}  // namespace

TEST_F(QueryEngine, JoinsAliasesAndNames) {
    const Case cases[] = {
        {"SELECT G.Name, R.Kind FROM Guests AS G INNER JOIN Rooms AS R ON G.Room = R.Room ORDER BY G.Id",
         {"Name;Kind", "Rossi;Doppia", "bianchi;Singola", "Verdi;Doppia"}},
        // Guests without a room of the Rooms table keep their row, with nulls.
        {"SELECT Guests.Id, Rooms.Floor FROM Guests LEFT JOIN Rooms ON Guests.Room = Rooms.Room",
         {"Id;Floor", "1;1", "2;1", "3;1", "4;NULL", "5;NULL"}},
        // A right join follows the rooms.
        {"SELECT Guests.Name, Rooms.Room FROM Guests RIGHT OUTER JOIN Rooms ON Guests.Room = Rooms.Room",
         {"Name;Room", "Rossi;101", "Verdi;101", "bianchi;102", "NULL;104"}},
        {"SELECT Name, Floor FROM Guests, Rooms WHERE Guests.Room = Rooms.Room AND Floor = 1 ORDER BY Name",
         {"Name;Floor", "bianchi;1", "Rossi;1", "Verdi;1"}},
        {"SELECT [Guests].[Room], Rooms.Room FROM Guests INNER JOIN Rooms ON Guests.Room = Rooms.Room WHERE Guests.Id = 2",
         {"Guests.Room;Rooms.Room", "102;102"}},
        {"SELECT Name & ' (' & Room & ')' AS Who, Nights * 2, Amount / Nights FROM Guests WHERE Id = 1",
         {"Who;Expr1000;Expr1001", "Rossi (101);6;40.1666666666667"}},
        {"SELECT Rooms.* , Guests.Id FROM (Rooms INNER JOIN Guests ON Rooms.Room = Guests.Room) WHERE Guests.Id > 2",
         {"Room;Floor;Kind;Id", "101;1;Doppia;3"}},
        {"SELECT T.City, T.N FROM (SELECT City, Count(*) AS N FROM Guests GROUP BY City) AS T WHERE T.N > 1",
         {"City;N", "Roma;2"}},
    };
    for (const Case& c : cases) EXPECT_EQ(rows(c.sql), c.expected) << c.sql;
}

TEST_F(QueryEngine, GroupsAggregatesAndHaving) {
    const Case cases[] = {
        // Groups without regard to case, nulls together, in key order.
        {"SELECT City, Count(*) AS N, Count(Amount) AS WithAmount, Sum(Nights) AS Nights, Avg(Rate) AS AvgRate, "
         "Min(Name) AS Least, Max(Amount) AS Top FROM Guests GROUP BY City",
         {"City;N;WithAmount;Nights;AvgRate;Least;Top", "NULL;1;1;5;0.5;Neri;300.0000",
          "Milano;1;1;1;NULL;bianchi;80.0000", "Napoli;1;1;1;1.5;ROSSI;45.2500", "Roma;2;1;5;1.875;Rossi;120.5000"}},
        {"SELECT Room, Sum(Amount) AS Total FROM Guests GROUP BY Room HAVING Count(*) > 1", {"Room;Total", "101;120.5000"}},
        {"SELECT First(Name) AS F, Last(Name) AS L FROM Guests", {"F;L", "Rossi;ROSSI"}},
        {"SELECT Count(*) AS N, Sum(Amount) AS S FROM Guests WHERE Id > 99", {"N;S", "0;NULL"}},
        {"SELECT Kind, Count(*) FROM Guests INNER JOIN Rooms ON Guests.Room = Rooms.Room GROUP BY Kind ORDER BY Count(*) DESC",
         {"Kind;Expr1000", "Doppia;2", "Singola;1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(rows(c.sql), c.expected) << c.sql;
}

TEST_F(QueryEngine, DistinctTopOrderAndUnions) {
    const Case cases[] = {
        // Repeats without regard to case go; the rows come sorted.
        {"SELECT DISTINCT City FROM Guests", {"City", "NULL", "Milano", "Napoli", "Roma"}},
        // DISTINCTROW: one row per record of the tables shown.
        {"SELECT DISTINCTROW Rooms.Room FROM Rooms INNER JOIN Guests ON Rooms.Room = Guests.Room",
         {"Room", "101", "102"}},
        {"SELECT Rooms.Room FROM Rooms INNER JOIN Guests ON Rooms.Room = Guests.Room", {"Room", "101", "101", "102"}},
        // TOP keeps the rows tied with the last one.
        {"SELECT TOP 1 Name, Nights FROM Guests ORDER BY Nights", {"Name;Nights", "bianchi;1", "ROSSI;1"}},
        {"SELECT TOP 50 PERCENT Id FROM Guests ORDER BY Id DESC", {"Id", "5", "4", "3"}},
        {"SELECT Name, Nights * Rate AS Score FROM Guests WHERE Rate Is Not Null ORDER BY Score DESC, Name",
         {"Name;Score", "Rossi;4.5", "Verdi;4.5", "Neri;2.5", "ROSSI;1.5"}},
        {"SELECT City FROM Guests WHERE City Is Not Null UNION SELECT 'ROMA' FROM Rooms",
         {"City", "Milano", "Napoli", "Roma"}},
        {"SELECT Room FROM Rooms UNION ALL SELECT Room FROM Guests WHERE Id < 3 ORDER BY Room DESC;",
         {"Room", "104", "102", "102", "101", "101"}},
    };
    for (const Case& c : cases) EXPECT_EQ(rows(c.sql), c.expected) << c.sql;
}

TEST_F(QueryEngine, SubqueriesDatesAndFunctions) {
    const Case cases[] = {
        {"SELECT Name FROM Guests WHERE Amount > (SELECT Avg(Amount) FROM Guests)", {"Name", "Neri"}},
        {"SELECT Id FROM Guests WHERE Room In (SELECT Room FROM Rooms WHERE Floor = 1)", {"Id", "1", "2", "3"}},
        {"SELECT Id FROM Guests WHERE Room Not In (SELECT Room FROM Rooms)", {"Id", "4"}},
        {"SELECT Count(*) AS N FROM Guests WHERE Exists (SELECT * FROM Rooms WHERE Floor = 2)", {"N", "5"}},
        {"SELECT Id, Year(Day) AS Y, Month(Day) AS M, DatePart('q', Day) AS Q FROM Events "
         "WHERE Day Between #1/1/2024# And #2/15/2024 23:59# AND Done = Yes",
         {"Id;Y;M;Q", "1;2024;1;1"}},
        {"SELECT Id, Day FROM Events WHERE Day > #2024-02-15#", {"Id;Day", "2;15/02/2024 12:00:00", "3;02/04/2024"}},
        {"SELECT IIf(Nights > 2, 'lunga', 1 / 0) AS Stay, CCur(Rate * 10) AS C, Int(-2.5) AS I, Fix(-2.5) AS F "
         "FROM Guests WHERE Id = 1",
         {"Stay;C;I;F", "lunga;15.0000;-3.0000;-2.0000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(rows(c.sql), c.expected) << c.sql;
}

TEST_F(QueryEngine, OuterJoinsGroupsAndNumbersInText) {
    const Case cases[] = {
        // A condition on the side an outer join fills with nulls filters after the join.
        {"SELECT Guests.Id FROM Guests LEFT JOIN Rooms ON Guests.Room = Rooms.Room WHERE Rooms.Room Is Null",
         {"Id", "4", "5"}},
        {"SELECT Guests.Id, Rooms.Kind FROM Guests INNER JOIN Rooms ON Guests.Room = Rooms.Room "
         "WHERE Rooms.Floor = 1 AND Guests.Nights > 1",
         {"Id;Kind", "1;Doppia", "3;Doppia"}},
        {"SELECT Rooms.Room, Count(*) AS Righe, Count(Guests.Id) AS Ospiti FROM Rooms LEFT JOIN Guests "
         "ON Rooms.Room = Guests.Room GROUP BY Rooms.Room",
         {"Room;Righe;Ospiti", "101;2;2", "102;1;1", "104;1;0"}},
        // The same expression in the list and in GROUP BY, whatever the order of its literals.
        {"SELECT Left(Name, 1) AS Initial, Count(*) AS N FROM Guests GROUP BY Left(Name, 1)",
         {"Initial;N", "b;1", "N;1", "R;2", "V;1"}},
        {"SELECT Id, Rate FROM Guests ORDER BY Rate DESC, Id", {"Id;Rate", "3;2.25", "1;1.5", "5;1.5", "4;0.5", "2;NULL"}},
        {"SELECT DISTINCT TOP 2 Room FROM Guests WHERE Room Is Not Null", {"Room", "101", "102"}},
        // Text such as 1E3 is the number 1000 where a number is wanted.
        {"SELECT Code, Val(Code) AS V FROM Codes WHERE Code = 1000", {"Code;V", "1E3;1000", "1000;1000"}},
        // Sums read the texts as numbers; Max compares them as texts.
        {"SELECT Sum(Code) AS S, Max(Code) AS M FROM Codes", {"S;M", "2012;1E3"}},
    };
    for (const Case& c : cases) EXPECT_EQ(rows(c.sql), c.expected) << c.sql;
}

TEST_F(QueryEngine, ErrorsNameWhatIsWrong) {
    const ovtest::ErrorCase cases[] = {
        {"SELECT Room FROM Guests, Rooms", 3079, {"'Room'"}},
        {"SELECT Nope FROM Guests", 3265, {"'Nope'"}},
        {"SELECT City, Name FROM Guests GROUP BY City", 3122, {"'Guests.Name'"}},
        {"SELECT Name FROM Guests WHERE Sum(Nights) > 1", 3096, {"WHERE"}},
        {"SELECT Id, Name FROM Guests UNION SELECT Room FROM Rooms", 3307, {"unione"}},
        {"SELECT Name FROM Guests WHERE Amount = (SELECT Amount FROM Guests)", 3354, {"sottoquery"}},
        {"SELECT Name FROM Guests WHERE Exists (SELECT * FROM Rooms WHERE Rooms.Room = Guests.Room)", 3251,
         {"'Guests.Room'"}},
        {"SELECT Name FROM Nowhere", 3078, {"'Nowhere'"}},
        {"PARAMETERS [Giorno] DateTime; SELECT * FROM Guests", 3061, {"[Giorno]"}},
        {"SELECT Name WHERE Id = 1", 3067, {"almeno una tabella"}},
        {"SELECT Name FROM Guests IN 'Altro.mdb'", 3251, {"'Altro.mdb'"}},
        {"SELECT Name, FROM Guests", 3131, {"FROM"}},
        {"SELECT Name FROM Guests WHERE (Id = 1", 3075, {"Id = 1"}},
        {"SELECT Sum(Name) FROM Guests", 3464, {"Tipo di dati"}},
    };
    for (const auto& c : cases) ovtest::expectError([&] { rows(c.what); }, c);
}

TEST_F(QueryEngine, SavedQueriesWorkWhereverATableNameDoes) {
    EXPECT_EQ(rows("Camere occupate"), (Lines{"Room;Kind;Ospiti", "101;Doppia;2", "102;Singola;1"}));
    EXPECT_EQ(rows("[Solo doppie]"), (Lines{"Room;Kind;Ospiti", "101;Doppia;2"}));
    EXPECT_EQ(rows("SELECT * FROM [Camere occupate] WHERE Ospiti = 1 ORDER BY Room"),
              (Lines{"Room;Kind;Ospiti", "102;Singola;1"}));
    EXPECT_EQ(rows("SELECT Guests.Name FROM Guests INNER JOIN [Solo doppie] AS D ON Guests.Room = D.Room ORDER BY Name"),
              (Lines{"Name", "Rossi", "Verdi"}));

    // A record set over a saved query: finds, field names and types; never written.
    ov::RecordSet rs = db->openRecordSet("Camere occupate");
    ASSERT_TRUE(rs.findFirst("Kind = 'singola'"));
    EXPECT_EQ(rs.field("Room").asText(), "102");
    EXPECT_FALSE(rs.findNext("Kind = 'singola'"));
    EXPECT_EQ(rs.fieldType(0), ov::FieldType::Text);
    EXPECT_EQ(rs.fieldType(2), ov::FieldType::Long);
    ovtest::expectError([&] { rs.edit(); }, {"edit", ov::err::ReadOnly, {"'Camere occupate'"}});
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Guests", "Rooms", "Events", "Codes"}));

    // A change to a table the query reads is seen at the next opening.
    ov::RecordSet guests = db->openRecordSet("Guests");
    guests.addNew();
    guests.setField("Id", ov::Value::integer(6));
    guests.setField("Room", ov::Value::text("102"));
    guests.update();
    EXPECT_EQ(rows("Camere occupate"), (Lines{"Room;Kind;Ospiti", "101;Doppia;2", "102;Singola;2"}));
}

TEST_F(QueryEngine, ASavedQueryNeedsANameOfItsOwn) {
    for (const char* name : {"Guests", "camere OCCUPATE"})
        ovtest::expectError([&] { SqliteBuilder(dir / "Ospiti.mdb").query(name, "SELECT * FROM Rooms"); },
                            {name, 3010, {"'" + std::string(name) + "'", "già"}});
}

TEST_F(QueryEngine, SavedQueriesThatCannotRunSayWhy) {
    const ovtest::ErrorCase cases[] = {
        {"Ciclo A", 3103, {"'Ciclo A'"}},
        {"Chiede", 3061, {"Query 'Chiede'", "Previsto 2", "[Quale ospite], [Forms]![Scheda]![Camera]"}},
        {"SELECT * FROM Dichiara", 3061, {"Query 'Dichiara'", "[Dal giorno]"}},
    };
    for (const auto& c : cases) ovtest::expectError([&] { rows(c.what); }, c);
}

TEST_F(QueryEngine, DeeplyNestedTextsAreRefusedNotRunOutOfStack) {
    std::string joins = "Guests";
    for (int i = 0; i < 1000; ++i) joins = "(" + joins;
    std::string derived = "Guests";
    for (int i = 0; i < 1000; ++i) derived = "(SELECT * FROM " + derived + ") AS T";
    for (const std::string& from : {joins, derived})
        ovtest::expectError([&] { rows("SELECT Name FROM " + from); }, {"nesting", 3131, {}});
}
