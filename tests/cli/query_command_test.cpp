#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/ovdesk_process.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"

using ovtest::money;
using ovtest::runOvdesk;
using ovtest::SqliteBuilder;
using ovtest::TempFolder;

namespace {

void buildInvoices(const TempFolder& dir) {
    SqliteBuilder(dir / "Fatture.mdb")
        .table("Incassi", {{"NDocumento", "LONG"}, {"Sigla", "TEXT(10)"}, {"Importo", "CURRENCY"}, {"Nota", "TEXT(50)"},
                           {"Peso", "DOUBLE"}})
        .row({1, "CON", money("12.5"), "0012 Bar", 0.25})
        .row({2, nullptr, money("-0.05"), "Caffè; \"doppio\"", nullptr})
        .row({3, "CC", money("1234567.8912"), "riga\r\nnuova", 1e6})
        .row({4, "", nullptr, nullptr, -2.5});
}

}  // namespace

TEST(QueryCommand, PrintsHeaderAndPlainValuesQuotingOnlyWhenNeeded) {
    TempFolder dir;
    buildInvoices(dir);
    auto r = runOvdesk({"query", "--folder", dir.path().string(), "FATTURE.MDB", "Incassi"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "NDocumento;Sigla;Importo;Nota;Peso\n"
              "1;CON;12.5000;0012 Bar;0.25\n"
              "2;;-0.0500;\"Caffè; \"\"doppio\"\"\";\n"
              "3;CC;1234567.8912;\"riga\r\nnuova\";1000000\n"
              "4;;;;-2.5\n");
    EXPECT_EQ(r.err, "");
}

TEST(QueryCommand, RunsAQueryTextInTheWorkingFolder) {
    TempFolder dir;
    buildInvoices(dir);
    auto r = runOvdesk({"query", "--folder=" + dir.path().string(), "Fatture.mdb",
                        "select * from Incassi where Importo > 0 order by NDocumento desc"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "NDocumento;Sigla;Importo;Nota;Peso\n"
              "3;CC;1234567.8912;\"riga\r\nnuova\";1000000\n"
              "1;CON;12.5000;0012 Bar;0.25\n");
}

TEST(QueryCommand, WrongCommandLinesExitTwoAndFailuresExitOne) {
    TempFolder dir;
    buildInvoices(dir);
    const std::string folder = dir.path().string();

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"nessuno"},                                             // unknown command
             {"--bogus"},                                             // unknown option of the program
             {"query", "--folder", folder, "Fatture.mdb"},           // an operand missing
             {"query", "--folder", folder, "Fatture.mdb", "Incassi", "x"},
             {"query", "--cartella", folder, "Fatture.mdb", "Incassi"},  // unknown option
             {"query", "Fatture.mdb", "Incassi", "--folder"},         // option without its value
             {"query", "--folder", folder + "/manca", "Fatture.mdb", "Incassi"},
             {"--folder", folder + "/manca"}}) {  // the window on a folder that is not there
        auto r = runOvdesk(args);
        EXPECT_EQ(r.exitCode, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_NE(r.err.find("Uso: ovdesk"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }

    auto missingFile = runOvdesk({"query", "--folder", folder, "Manca.mdb", "Incassi"});
    EXPECT_EQ(missingFile.exitCode, 1);
    EXPECT_NE(missingFile.err.find("3024"), std::string::npos) << missingFile.err;
    EXPECT_NE(missingFile.err.find("'Manca.mdb'"), std::string::npos) << missingFile.err;

    auto missingTable = runOvdesk({"query", "--folder", folder, "Fatture.mdb", "DatiFattura"});
    EXPECT_EQ(missingTable.exitCode, 1);
    EXPECT_NE(missingTable.err.find("'DatiFattura'"), std::string::npos) << missingTable.err;
    EXPECT_EQ(missingTable.out, "");
}

TEST(QueryCommand, ShowsASavedQueryOfAJetFileAndRefusesOneThatNeedsParameters) {
    const std::string folder = (ovtest::fixturesDir() / "northwind").string();
    auto r = runOvdesk({"query", "--folder", folder, "nwind.mdb", "Ten Most Expensive Products"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The rows worked out without ovdesk (fixtures/northwind/expected), in the command's notation.
    std::ifstream file(ovtest::fixturesDir() / "northwind" / "expected" / "Ten Most Expensive Products.tsv",
                       std::ios::binary);
    std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (char& c : expected)
        if (c == '\t') c = ';';
    EXPECT_EQ(r.out, expected);

    auto refused = runOvdesk({"query", "--folder", folder, "nwind.mdb", "Invoices Filter"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("3061"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("Query 'Invoices Filter'"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("[Forms]![Orders]![OrderID]"), std::string::npos) << refused.err;
}

TEST(QueryCommand, TheSmallestCurrencyValueIsPrintedAndItsNegationIsOverflow) {
    const std::string damaged = (ovtest::fixturesDir() / "damaged").string();
    auto r = runOvdesk({"query", "--folder", damaged, "Fatture-currency-at-minimum.mdb",
                        "Select * From Incassi Where Importo < -1000000"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(";-922337203685477.5808;"), std::string::npos) << r.out;
    auto negated = runOvdesk({"query", "--folder", damaged, "Fatture-currency-at-minimum.mdb",
                              "Select * From Incassi Where -Importo > 0"});
    EXPECT_EQ(negated.exitCode, 1);
    EXPECT_NE(negated.err.find("Errore 6: Overflow"), std::string::npos) << negated.err;
    EXPECT_EQ(negated.out, "");
}

TEST(QueryCommand, FileNamesWithAccentsAreFound) {
    TempFolder dir;
    buildInvoices(dir);
    std::filesystem::rename(dir / "Fatture.mdb", dir / "Città.mdb");
    auto r = runOvdesk({"query", "--folder", dir.path().string(), "città.mdb", "Select * From Incassi Where NDocumento = 1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "NDocumento;Sigla;Importo;Nota;Peso\n1;CON;12.5000;0012 Bar;0.25\n");
}

TEST(Cli, VersionAndHelp) {
    auto v = runOvdesk({"--version"});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_EQ(v.out, "ovdesk " OVDESK_VERSION "\n");
    auto h = runOvdesk({"--help"});
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_NE(h.out.find("query [--folder DIR] FILE QUERY"), std::string::npos);
    EXPECT_NE(h.out.find("demo DIR"), std::string::npos);
}
