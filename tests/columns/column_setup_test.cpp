// The column set-up rules the window tests do not reach: refusals in the column itself, lines that
// name nothing, missing databases.
#include <gtest/gtest.h>

#include "columns/column_setup.h"
#include "core/cp1252.h"
#include "data/database.h"
#include "data/sqlite_store.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

std::string pad(const std::string& s, size_t width) { return s + std::string(width - s.size(), ' '); }
std::string line(const std::string& code, const std::string& description) {
    return std::string(6 - code.size(), ' ') + code + " " + pad(description, 40) + " ";
}

struct Stored {
    int column;
    std::string heading;
    int code;
    std::string description;
    bool operator==(const Stored&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Stored& s) {
    return os << "{" << s.column << ", " << s.heading << ", " << s.code << ", " << s.description << "}";
}

const std::vector<Stored> kInitialRows = {{2, "SPA", 21, "Telefono"}, {1, "BAR", 12, "Bar"}};

struct Folder {
    SuiteFolder folder;
    Workspace ws = folder.workspace();
    ProgramState state;
    RecordingHost host;

    Folder() {
        const char* items[][3] = {{"7", "7", "Minibar"},        {"8", "7", "Minibar - bevande"},
                                  {"12", "12", "Bar"},          {"14", "14", "Caffetteria"},
                                  {"15", "15", "Ristorante"},   {"21", "21", "Telefono"},
                                  {"22", "22", "Lavanderia"}};
        for (auto& i : items)
            folder.add("VociFattura.mdb", "VociFattura", {1, std::stoi(i[0]), std::stoi(i[1]), i[2]});
        folder.add("VociFattura.mdb", "VociFattura", {2, 50, 50, "Piazzola"});
        folder.add("ColonneOV.mdb", "ColonneOV", {1, 2, "SPA", 21, "Telefono"});
        folder.add("ColonneOV.mdb", "ColonneOV", {1, 1, "BAR", 12, "Bar"});
        folder.build();
    }

    std::vector<Stored> rows() const {
        SqliteStore store(folder.path() / "ColonneOV.mdb", "ColonneOV.mdb", SqliteStore::Open::ReadOnly);
        std::vector<Stored> out;
        auto table = store.loadTable("ColonneOV");
        for (const Row& r : table->rows) {
            EXPECT_EQ(r[0], Value::integer(1));
            out.push_back({static_cast<int>(r[1].asInteger()), std::string(r[2].asText()), static_cast<int>(r[3].asInteger()),
                           std::string(r[4].asText())});
        }
        return out;
    }
};

}  // namespace

TEST(ColumnSetup, AGroupFeedsOneColumnOnlyAndTheMessageNamesIt) {
    Folder f;
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    s.showColumn(5);
    s.heading = "ALTRO";
    s.assignGroup(line("21", "Telefono"));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "Gruppo Fatturazione già utilizzato!\r\nColonna : 2 (SPA)");
    EXPECT_EQ(f.host.messages[0].title, "Codice Errato");
    EXPECT_EQ(f.rows(), kInitialRows);
    // Its own column refuses it the same way.
    s.showColumn(2);
    s.assignGroup(line("21", "Telefono"));
    EXPECT_EQ(f.host.messages.size(), 2u);
    EXPECT_EQ(f.rows(), kInitialRows);
}

TEST(ColumnSetup, BlankLinesAndUnknownCodesChangeNothing) {
    Folder f;
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    s.heading = "X";
    s.assignGroup(" ");
    s.assignGroup("");
    s.removeGroup(" ");
    s.assignGroup(line("99", "Non esiste"));
    s.assignGroup(line("50", "Piazzola"));  // an item of the other hotel
    s.removeGroup(line("99", "Non esiste"));
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.rows(), kInitialRows);
}

TEST(ColumnSetup, MissingDatabasesEndTheActionWithTheirError) {
    Folder f;
    std::filesystem::remove(f.folder.path() / "VociFattura.mdb");
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    try {
        s.load();
        FAIL() << "opened without VociFattura.mdb";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_NE(e.message().find("VociFattura.mdb"), std::string::npos);
    }
    std::filesystem::remove(f.folder.path() / "ColonneOV.mdb");
    try {
        s.removeGroup(line("12", "Bar"));
        FAIL() << "removed without ColonneOV.mdb";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_NE(e.message().find("ColonneOV.mdb"), std::string::npos);
    }
}

TEST(ColumnSetup, RemovalTakesTheRowOfTheSelectedColumnOnly) {
    Folder f;
    {
        // A table written elsewhere: group 12 under column 1 and, again, under column 11.
        SqliteStore store(f.folder.path() / "ColonneOV.mdb", "ColonneOV.mdb");
        store.insertRow("ColonneOV", {Value::integer(1), Value::integer(11), Value::text("BAR NU"), Value::integer(12),
                                      Value::text("Bar")});
    }
    ColumnSetup s(f.ws, f.state, NumberFormat::italian(), f.host);
    s.load();
    s.showColumn(11);
    ASSERT_EQ(s.columnLines(), std::vector<std::string>{line("12", "Bar")});
    s.removeGroup(line("12", "Bar"));
    EXPECT_TRUE(s.columnLines().empty());
    EXPECT_EQ(f.rows(), kInitialRows);
    // A line no longer in the selected column takes nothing from another one.
    s.removeGroup(line("21", "Telefono"));
    EXPECT_EQ(f.rows(), kInitialRows);
}
