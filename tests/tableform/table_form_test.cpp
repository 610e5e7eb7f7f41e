// The form's work without its widgets: layout check, printer list, print and preview actions on a
// hand-built working folder.
#include <gtest/gtest.h>

#include "platform/recording_printer.h"
#include "support/recording_host.h"
#include "tableform/table_form.h"
#include "tableform/table_form_fixture.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

struct FormFolder {
    SuiteFolder folder;
    Workspace ws = folder.workspace();
    ProgramState state;
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};

    FormFolder() { ovtest::buildTableFormFolder(folder); }

    TableSource open(const std::string& table) {
        auto layout = ReadFormLayout(ws, layoutFileName(table), host);
        EXPECT_TRUE(layout.has_value());
        return OpenTableSource(ws, layoutFileName(table), *layout);
    }
    bool preview(const TableSource& source, CriteriaRows& rows, const std::string& order) {
        TablePrintRequest request;
        request.orderField = order;
        request.destination = kPreviewDestination;
        return RunTablePrint(ws, state, NumberFormat::italian(), host, source, rows, request, printer);
    }
    // The data lines of the print file: between the heading block and the middle line above the totals.
    std::vector<std::string> dataLines() {
        std::vector<std::string> lines;
        std::string text = folder.read("FD1");
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        if (lines.size() < 8) return {};
        return std::vector<std::string>(lines.begin() + 5, lines.end() - 3);
    }
};

CriteriaRow row(const std::string& field, int op, const std::string& value) {
    return {field, std::string(kOperatorLabels[static_cast<size_t>(op)]), value};
}

}  // namespace

TEST(TableForm, MissingOrMalformedLayoutIsToldAndNothingOpens) {
    FormFolder f;
    EXPECT_FALSE(ReadFormLayout(f.ws, "Nessuna.stp", f.host).has_value());
    f.folder.writeText("Larga.stp", "1,Titolo,ColonneOV.mdb,ColonneOV,,,,,,,\r\n2,Col.,,,NumeroColonna,4,N,N,,\r\n");
    EXPECT_FALSE(ReadFormLayout(f.ws, "Larga.stp", f.host).has_value());
    f.folder.writeText("Vuota.stp", "");  // no database, no table
    EXPECT_FALSE(ReadFormLayout(f.ws, "Vuota.stp", f.host).has_value());
    EXPECT_FALSE(ReadFormLayout(f.ws, "Citt\xE0.stp", f.host).has_value());
    ASSERT_EQ(f.host.messages.size(), 4u);
    EXPECT_EQ(f.host.messages[0].text, "Nessuna.stp - Inesistente!");
    EXPECT_EQ(f.host.messages[0].title, "File Mancante");
    EXPECT_EQ(f.host.messages[0].icon, Icon::Critical);
    EXPECT_EQ(f.host.messages[1].text, "Larga.stp - Formato non valido!");
    EXPECT_EQ(f.host.messages[1].title, "Formato Errato");
    EXPECT_EQ(f.host.messages[2].text, "Vuota.stp - Formato non valido!");
    EXPECT_EQ(f.host.messages[3].text, "Citt\u00E0.stp - Inesistente!");  // messages are UTF-8

    // Items after the fourth are not the form's business.
    f.folder.writeText("Nove.stp", "1,Titolo,ColonneOV.mdb,ColonneOV,a,b,c,d,e,f\r\n");
    auto layout = ReadFormLayout(f.ws, "nove.STP", f.host);
    ASSERT_TRUE(layout.has_value());
    TableSource source = OpenTableSource(f.ws, "nove.STP", *layout);
    EXPECT_EQ(source.fieldNames(),
              (std::vector<std::string>{"NumeroHotel", "NumeroColonna", "Intestazione", "CodiceVoce", "Descrizione"}));
}

TEST(TableForm, PrinterListIsEveryNumberedPrinterInTableOrder) {
    SuiteFolder folder;
    folder.add("Stampanti.mdb", "Stampanti", {1, 2, "UFFICIO", 1, "LPT1"});
    folder.add("Stampanti.mdb", "Stampanti", {2, 5, "CAMPEGGIO", 1, "LPT2"});
    folder.add("Stampanti.mdb", "Stampanti", {1, 0, "SPENTA", 1, "LPT3"});
    folder.add("Stampanti.mdb", "Stampanti", {1, 1, "ARCHIVIO", 2, "fd1"});
    folder.build();
    EXPECT_EQ(readFormDestinations(folder.workspace()),
              (std::vector<std::string>{"UFFICIO", "CAMPEGGIO", "ARCHIVIO"}));
}

TEST(TableForm, PreviewPrintsTheMatchingRecordsOfTheHotelInOrder) {
    FormFolder f;
    TableSource source = f.open("ColonneOV");
    CriteriaRows rows;
    rows[0] = row("NumeroColonna", 1, "4");         // inferiore a 4
    rows[1] = row("Intestazione", 7, "minibar");    // non include
    ASSERT_TRUE(f.preview(source, rows, "NumeroColonna"));
    EXPECT_EQ(rows[1].value, "MINIBAR");
    auto lines = f.dataLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 19), "|   1|BAR         |");
    EXPECT_EQ(lines[1].substr(0, 19), "|   3|RISTORANTE  |");
    EXPECT_TRUE(f.printer.calls().empty());
}

TEST(TableForm, TypedApostropheFindsTheStoredAccent) {
    FormFolder f;
    TableSource source = f.open("ColonneOV");
    CriteriaRows rows;
    rows[0] = row("Intestazione", 0, "l'angolo");
    ASSERT_TRUE(f.preview(source, rows, "Intestazione"));
    auto lines = f.dataLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 19), "|   4|L\xB4""ANGOLO    |");
}

TEST(TableForm, DatesSelectStoredDays) {
    FormFolder f;
    TableSource source = f.open("DatiFattura");
    CriteriaRows rows;
    rows[0] = row("DataEmissione", 3, "311224");  // fino a 31/12/2024
    rows[1] = row("DataEmissione", 6, "0612");    // include 6 December, any year
    ASSERT_TRUE(f.preview(source, rows, "DataEmissione"));
    EXPECT_EQ(rows[0].value, "31/12/2024");
    auto lines = f.dataLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 17), "|06/12/2024|R   |");
}

TEST(TableForm, NoCriterionShowsTheMessageAndPrintsNothing) {
    FormFolder f;
    TableSource source = f.open("DatiFattura");
    CriteriaRows rows;
    rows[0] = row("DataEmissione", 0, "310224");  // no such day: emptied
    EXPECT_FALSE(f.preview(source, rows, "DataEmissione"));
    EXPECT_EQ(rows[0].value, "");
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "E' necessario definire un criterio di stampa!");
    EXPECT_EQ(f.host.messages[0].title, "Mancano dati!");
    EXPECT_EQ(f.host.messages[0].icon, Icon::None);
    EXPECT_FALSE(f.ws.exists("FD1"));
}

TEST(TableForm, StampaPrintsOnTheDestinationsPrinter) {
    FormFolder f;
    TableSource source = f.open("ColonneOV");
    CriteriaRows rows;
    rows[0] = row("NumeroColonna", 0, "2");
    TablePrintRequest request;
    request.orderField = "NumeroColonna";
    request.destination = "LASER";
    std::vector<bool> busy;
    ASSERT_TRUE(RunTablePrint(f.ws, f.state, NumberFormat::italian(), f.host, source, rows, request, f.printer,
                              [&busy](bool b) { busy.push_back(b); }));
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    auto jobs = f.printer.jobs();
    ASSERT_EQ(jobs.size(), 1u);
    std::string printed;
    for (const auto& line : jobs[0].pages.at(0).texts()) printed += line + "\n";
    EXPECT_NE(printed.find("|   2|MINIBAR     |"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("RISTORANTE"), std::string::npos);
    EXPECT_FALSE(f.ws.exists("FD1"));
}
