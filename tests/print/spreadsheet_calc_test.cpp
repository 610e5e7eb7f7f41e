// The hotel data summary of a whole year of the "hotel" data set (totals wider than their cells
// included) converted for the spreadsheet and opened by
// a real spreadsheet program (LibreOffice, headless): every amount and count of the report must
// arrive as a number, with the value and in the column that "Orvalis.csv" gives it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "core/cp1252.h"
#include "core/money.h"
#include "print/spreadsheet_conversion.h"
#include "summary/data_summary.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct Cell {
    std::string type;   // office:value-type; empty for an empty cell
    std::string value;  // office:value of a number
    std::string text;   // the shown text
    bool numeric() const { return type == "float" || type == "currency" || type == "percentage"; }
};
using Row = std::vector<Cell>;

std::string attribute(const std::string& tag, const std::string& name) {
    const std::string key = " " + name + "=\"";
    size_t at = tag.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return tag.substr(at, tag.find('"', at) - at);
}

std::string withoutTags(const std::string& xml) {
    std::string out;
    bool inTag = false;
    for (char c : xml) {
        if (c == '<') inTag = true;
        else if (c == '>') inTag = false;
        else if (!inTag) out += c;
    }
    return out;
}

// The rows of the first sheet of a flat OpenDocument spreadsheet, repeated cells expanded.
std::vector<Row> readFods(const std::string& xml) {
    std::vector<Row> rows;
    size_t pos = 0;
    for (;;) {
        size_t start = xml.find("<table:table-row", pos);
        if (start == std::string::npos) break;
        size_t end = xml.find("</table:table-row>", start);
        if (end == std::string::npos) break;
        const std::string body = xml.substr(start, end - start);
        Row row;
        size_t c = 0;
        while ((c = body.find("<table:table-cell", c)) != std::string::npos) {
            size_t close = body.find('>', c);
            const std::string tag = body.substr(c, close - c + 1);
            Cell cell{attribute(tag, "office:value-type"), attribute(tag, "office:value"), ""};
            if (tag[tag.size() - 2] != '/') {
                size_t stop = body.find("</table:table-cell>", close);
                cell.text = withoutTags(body.substr(close + 1, stop - close - 1));
                c = stop;
            } else {
                c = close;
            }
            std::string repeat = attribute(tag, "table:number-columns-repeated");
            int times = repeat.empty() ? 1 : std::stoi(repeat);
            if (times > 1000) times = 1;  // the tail of an empty row
            for (int i = 0; i < times; ++i) row.push_back(cell);
        }
        rows.push_back(std::move(row));
        pos = end + 1;
    }
    return rows;
}

bool onSearchPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

std::string trimmed(const std::string& s) { return std::string(ov::cp1252::trim(s)); }

std::vector<std::string> semicolonCells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ';')) cells.push_back(trimmed(cell));
    return cells;
}

// The data lines of "Orvalis.csv" in order: U, NU, the day row (DD/MM), and the totals row.
std::vector<std::vector<std::string>> orvalisDataLines(const std::string& bytes) {
    std::vector<std::vector<std::string>> out;
    for (const auto& line : ovtest::SplitLines(bytes)) {
        auto cells = semicolonCells(line);
        if (cells.size() != 30) continue;
        const std::string& label = cells[0];
        if (label == "U" || label == "NU" || label == "T." || (label.size() == 5 && label[2] == '/')) out.push_back(cells);
    }
    return out;
}

// The shown text without the layout blanks and line breaks of the XML around it.
std::string label(const Cell& cell) {
    const std::string& t = cell.text;
    size_t first = t.find_first_not_of(" \t\r\n"), last = t.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? "" : t.substr(first, last - first + 1);
}

bool isDataRow(const Row& row) {
    if (row.size() < 2) return false;
    const std::string label = ::label(row[1]);
    return label == "U" || label == "NU" || label == "T." || row[1].type == "float";
}

}  // namespace

TEST(SpreadsheetCalc, HotelSummaryAmountsArriveAsNumbersInTheirColumns) {
    if (!onSearchPath("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    ovtest::TempFolder work;
    for (const auto& e : fs::directory_iterator(ovtest::fixturesDir() / "hotel" / "work"))
        fs::copy_file(e.path(), work.path() / e.path().filename());
    for (const auto& e : fs::directory_iterator(work.path()))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    // An Italian site: semicolons between fields, the decimal comma, the euro sign.
    work.write("SeparatoreXLS.txt", ";\r\n,\r\n\x80\r\n");

    auto env = std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{
        {"PCLocal", "1"}, {"DIRSH", (ovtest::fixturesDir() / "hotel" / "storico").string()}});
    ov::Workspace ws(work.path(), env, [] { return ov::DateTime{ov::Date{2025, 1, 8}, 9, 0, 0}; });
    ovtest::RecordingHost host;
    ov::ProgramState state;
    auto outcome = ov::RunDataSummary({"01/01/2024", "31/12/2024", "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
    ASSERT_TRUE(outcome.completed) << (host.errors.empty() ? "" : host.errors[0].message());

    const fs::path csv = ov::ConvertiXLS(ws, "fd1");
    ovtest::TempFolder office;
    const std::string command = "HOME='" + (office / "home").string() + "' timeout 180 soffice -env:UserInstallation=file://" +
                                (office / "profile").string() +
                                " --headless --norestore --infilter=CSV:59,34,1,1,,1040 --convert-to fods --outdir '" +
                                (office / "out").string() + "' '" + csv.string() + "' >'" +
                                (office / "soffice.log").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << office.read("soffice.log");
    const std::string fods = office.read("out/fd1.fods");
    ASSERT_FALSE(fods.empty()) << office.read("soffice.log");

    std::vector<Row> sheet;
    for (auto& row : readFods(fods))
        if (isDataRow(row)) sheet.push_back(std::move(row));
    const auto expected = orvalisDataLines(work.read("Orvalis.csv"));
    ASSERT_EQ(expected.size(), 366u * 3 + 1);  // U, NU and the day row of every day, then the totals
    ASSERT_EQ(sheet.size(), expected.size());

    int amounts = 0;
    for (size_t r = 0; r < expected.size(); ++r) {
        const auto& want = expected[r];
        const Row& got = sheet[r];
        // The print file starts each line with a frame: its columns sit one to the right.
        ASSERT_GE(got.size(), want.size() + 1) << "row " << r;
        if (want[0].find('/') != std::string::npos) {
            EXPECT_EQ(got[1].value, std::to_string(std::stoi(want[0].substr(0, 2)))) << "day row " << r;
        }
        for (size_t c = 1; c < want.size(); ++c) {
            const Cell& cell = got[c + 1];
            if (want[c].empty()) {
                EXPECT_FALSE(cell.numeric()) << "row " << r << " column " << c;
                continue;
            }
            ASSERT_TRUE(cell.numeric()) << "row " << r << " column " << c << ": " << want[c] << " arrived as '"
                                        << label(cell) << "' (" << cell.type << ")";
            const auto value = ov::Money::parse(cell.value);
            ASSERT_TRUE(value.has_value()) << cell.value;
            EXPECT_EQ(*value, ovtest::ItalianAmount(want[c]))
                << "row " << r << " column " << c << ": " << want[c] << " arrived as " << cell.value;
            if (want[c].find(',') != std::string::npos) ++amounts;
        }
    }
    EXPECT_GT(amounts, 366 * 40);
}
