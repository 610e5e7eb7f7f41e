// The workbooks opened by a real spreadsheet program: LibreOffice, headless, recalculates every
// formula on loading and exports the values, which are compared with the print file. One office
// start converts all of them: a year's summary of the "hotel" set with its converted report, a
// one-day and a 31-day summary of the "edge" set, the latter without the hotel record and with a
// list of rearranged rooms, both with quantities typed into column A of the cash sheet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "core/cp1252.h"
#include "core/money.h"
#include "print/spreadsheet_conversion.h"
#include "summary/cash_sheet.h"
#include "summary/data_summary.h"
#include "summary/summary_output.h"
#include "support/office.h"
#include "support/recording_host.h"
#include "support/sqlite_builder.h"
#include "support/temp_folder.h"
#include "workbook/report_workbook.h"

namespace fs = std::filesystem;
using ov::Money;

namespace ov {
// Amounts in failure messages as decimals.
void PrintTo(const Money& m, std::ostream* os) { *os << m.toPlainString(); }
}  // namespace ov

using Rows = std::vector<std::vector<std::string>>;

namespace {

// What the summary wrote for one period and what the office read back from its workbook.
struct Period {
    std::vector<std::string> printFile;  // lines of the print file
    std::vector<int> quantities;         // typed into column A of the cash sheet, none if empty
    Money extraTill;
    Rows sheet;                          // the workbook's values
};

struct Session {
    std::map<std::string, Period> periods;  // "year", "day", "month"
    std::vector<std::string> convertedCsv;  // "fd1.csv" of the year, Italian settings
    Rows report;                            // "fd1.xlsx" of the year
    std::string error;                      // why the session could not be set up
};

std::vector<std::string> lines(const fs::path& file) { return ovtest::SplitLines(ovtest::readBytes(file)); }

void copyFolder(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(from)) {
        fs::copy_file(e.path(), to / e.path().filename());
        fs::permissions(to / e.path().filename(), fs::perms::owner_write, fs::perm_options::add);
    }
}

ov::Workspace workspace(const fs::path& folder, const std::string& dirsh) {
    auto env = std::make_shared<ov::MapEnvironment>(std::map<std::string, std::string>{{"PCLocal", "1"}, {"DIRSH", dirsh}});
    return ov::Workspace(folder, env, [] { return ov::DateTime{ov::Date{2024, 2, 1}, 9, 0, 0}; });
}

void summarise(const ov::Workspace& ws, const std::string& from, const std::string& to) {
    ovtest::RecordingHost host;
    ov::ProgramState state;
    auto outcome = ov::RunDataSummary({from, to, "", "ZZZZ"}, ws, state, ov::NumberFormat::italian(), host);
    if (!outcome.completed)
        throw std::runtime_error("summary " + from + "-" + to + ": " + (host.errors.empty() ? "" : host.errors[0].message()));
}

// Types the quantities into the cash sheet's column A as a user would, by rewriting the numbers
// of the workbook's sheet: the only numbers 0 in column A are the quantities.
void typeQuantities(const fs::path& xlsx, const std::vector<int>& quantities) {
    const fs::path dir = xlsx.parent_path();
    const std::string member = "xl/worksheets/sheet1.xml";
    if (std::system(("cd '" + dir.string() + "' && unzip -q -o '" + xlsx.filename().string() + "' " + member).c_str()) != 0)
        throw std::runtime_error("unzip failed");
    const std::string xml = ovtest::readBytes(dir / member);
    static const std::regex zeroInA(R"re(<c r="A(\d+)"( s="\d+")?><v>0</v></c>)re");
    std::string edited;
    size_t n = 0, last = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), zeroInA); it != std::sregex_iterator(); ++it, ++n) {
        if (n >= quantities.size()) throw std::runtime_error("more than 15 quantities in column A");
        edited += xml.substr(last, it->position() - last);
        edited += "<c r=\"A" + (*it)[1].str() + "\"" + (*it)[2].str() + "><v>" + std::to_string(quantities[n]) + "</v></c>";
        last = it->position() + it->length();
    }
    if (n != quantities.size()) throw std::runtime_error(std::to_string(n) + " quantities in column A");
    edited += xml.substr(last);
    std::ofstream(dir / member, std::ios::binary | std::ios::trunc) << edited;
    if (std::system(("cd '" + dir.string() + "' && zip -q '" + xlsx.filename().string() + "' " + member).c_str()) != 0)
        throw std::runtime_error("zip failed");
}

Session makeSession() {
    Session s;
    ovtest::TempFolder work;
    const fs::path fixtures = ovtest::fixturesDir();
    std::vector<fs::path> books;

    // A year of the hotel, and the preview's conversion of its print file with Italian settings.
    copyFolder(fixtures / "hotel" / "work", work / "year");
    const auto year = workspace(work / "year", (fixtures / "hotel" / "storico").string());
    summarise(year, "01/01/2024", "31/12/2024");
    s.periods["year"].printFile = lines(work / "year" / "fd1");
    work.write("year/SeparatoreXLS.txt", ";\r\n,\r\n\x80\r\n");
    s.convertedCsv = lines(ov::ConvertiXLS(year, "fd1"));
    fs::rename(ov::ConvertToWorkbook(year, "fd1"), work / "report.xlsx");
    fs::rename(work / "year" / "Orvalis.xlsx", work / "year.xlsx");

    // One day of the edge set, with the hotel record and deposits paid outside the till.
    copyFolder(fixtures / "edge" / "work", work / "day");
    summarise(workspace(work / "day", ""), "10/01/2024", "10/01/2024");
    s.periods["day"] = {lines(work / "day" / "fd1"), {2, 1, 3, 0, 4, 5, 1, 7, 2, 9, 3, 0, 6, 4, 11},
                        Money::fromInteger(150), {}};
    fs::rename(work / "day" / "Orvalis.xlsx", work / "day.xlsx");

    // January of the edge set without the hotel record, with today's rearranged rooms.
    copyFolder(fixtures / "edge" / "work", work / "month");
    fs::remove(work / "month" / "AnagraficaHotels.mdb");
    ovtest::SqliteBuilder(work / "month" / "AnagraficaHotels.mdb")
        .table("AnagraficaHotels", {{"NumeroHotel", "SHORT"}, {"Numero", "SHORT"}, {"RagioneSociale", "TEXT(60)"},
                                    {"CodiceAssistenza", "TEXT(20)"}})
        .row({2, 2, "Camping Bellavista", "&U"});
    work.write("month/SC20240201.txt", "Camera 101 -> 102\r\nCamera 7\xE0 -> 8\r\n");
    summarise(workspace(work / "month", ""), "01/01/2024", "31/01/2024");
    s.periods["month"] = {lines(work / "month" / "fd1"), {0, 0, 1, 2, 0, 0, 3, 0, 0, 1, 0, 2, 0, 0, 0}, {}, {}};
    fs::rename(work / "month" / "Orvalis.xlsx", work / "month.xlsx");

    typeQuantities(work / "day.xlsx", s.periods["day"].quantities);
    typeQuantities(work / "month.xlsx", s.periods["month"].quantities);

    ovtest::Office office;
    const auto csv = office.convert({work / "year.xlsx", work / "day.xlsx", work / "month.xlsx", work / "report.xlsx"},
                                    ovtest::kCsvOfValues, ".csv");
    s.periods["year"].sheet = ovtest::ReadOfficeCsv(ovtest::readBytes(csv[0]));
    s.periods["day"].sheet = ovtest::ReadOfficeCsv(ovtest::readBytes(csv[1]));
    s.periods["month"].sheet = ovtest::ReadOfficeCsv(ovtest::readBytes(csv[2]));
    s.report = ovtest::ReadOfficeCsv(ovtest::readBytes(csv[3]));
    return s;
}

const Session& session() {
    static const Session s = [] {
        try {
            return makeSession();
        } catch (const std::exception& e) {
            Session failed;
            failed.error = e.what();
            return failed;
        }
    }();
    return s;
}

#define REQUIRE_SESSION()                                                              \
    if (!ovtest::Office::installed()) GTEST_SKIP() << "LibreOffice is not installed"; \
    ASSERT_EQ(session().error, "")

std::string trimmed(const std::string& s) { return std::string(ov::cp1252::trim(s)); }

// The cells of a line of the print file between its frames, trimmed.
std::vector<std::string> printedCells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    for (char c : line.substr(1)) {
        if (c == '\xB3') {
            cells.push_back(trimmed(cell));
            cell.clear();
        } else {
            cell += c;
        }
    }
    return cells;
}

bool isBodyLabel(const std::string& label) {
    if (label == "U" || label == "NU" || label == "T.") return true;
    return !label.empty() && label.find_first_not_of("0123456789") == std::string::npos;
}

// The U, NU, day and totals lines of the print file, as cells.
std::vector<std::vector<std::string>> printedBody(const std::vector<std::string>& printFile) {
    std::vector<std::vector<std::string>> body;
    for (const auto& line : printFile) {
        if (line.empty() || line[0] != '\xB3') continue;
        auto cells = printedCells(line);
        if (cells.size() == 30 && isBodyLabel(cells[0])) body.push_back(std::move(cells));
    }
    return body;
}

// A value the office exported, rounded to the cent as the print file shows it.
std::optional<Money> exportedAmount(const std::string& cell) {
    char* end = nullptr;
    const double v = std::strtod(cell.c_str(), &end);
    if (cell.empty() || *end != '\0') return std::nullopt;
    return Money::fromUnits(Money::fromDouble(v).roundedTo(2) * 100);
}

Money cents(const Money& m) { return Money::fromUnits(m.roundedTo(2) * 100); }

// The summary rows of a workbook: U, NU, a day (a date) or the totals.
Rows workbookBody(const Rows& sheet) {
    Rows body;
    for (const auto& row : sheet) {
        if (row.empty()) continue;
        const std::string& label = row[0];
        if (label == "U" || label == "NU" || label == "T." || std::count(label.begin(), label.end(), '/') == 2) body.push_back(row);
    }
    return body;
}

// The value beside a label of the cash sheet: the first cell after column A that holds one.
std::optional<Money> besideLabel(const Rows& sheet, const std::string& label) {
    for (const auto& row : sheet) {
        if (row.empty() || row[0] != label) continue;
        for (size_t c = 1; c < row.size(); ++c)
            if (!row[c].empty()) return exportedAmount(row[c]);
    }
    return std::nullopt;
}

Money printedGrandTotal(const std::vector<std::string>& printFile) {
    const auto body = printedBody(printFile);
    if (body.empty() || body.back()[0] != "T.") throw std::runtime_error("no totals row");
    return ovtest::ItalianAmount(body.back()[29]);
}

}  // namespace

TEST(WorkbookRecalc, YearSummaryHoldsThePrintFilesCountsAndAmountsAsNumbers) {
    REQUIRE_SESSION();
    const Period& year = session().periods.at("year");
    const auto printed = printedBody(year.printFile);
    const Rows sheet = workbookBody(year.sheet);
    ASSERT_EQ(printed.size(), 366u * 3 + 1);
    ASSERT_EQ(sheet.size(), printed.size());
    int amounts = 0, nonZero = 0;
    for (size_t r = 0; r < printed.size(); ++r) {
        const auto& want = printed[r];
        const auto& got = sheet[r];
        ASSERT_GE(got.size(), 30u) << "row " << r;
        if (want[0].find_first_not_of("0123456789") == std::string::npos) {
            // A day row: its label is a date of 2024 with the day of the month the print file shows
            // (day first or month first, as the office's locale writes it).
            std::vector<std::string> parts;
            std::stringstream date(got[0]);
            for (std::string part; std::getline(date, part, '/');) parts.push_back(part);
            ASSERT_EQ(parts.size(), 3u) << "row " << r << ": " << got[0];
            EXPECT_TRUE(parts[0] == want[0] || parts[1] == want[0] || std::stoi(parts[0]) == std::stoi(want[0]) ||
                        std::stoi(parts[1]) == std::stoi(want[0]))
                << "row " << r << ": " << got[0] << " for day " << want[0];
            EXPECT_EQ(parts[2], "2024") << got[0];
        } else {
            EXPECT_EQ(got[0], want[0]) << "row " << r;
        }
        for (size_t c = 1; c < 30; ++c) {
            if (want[c].empty()) {
                EXPECT_EQ(got[c], "") << "row " << r << " column " << c;
                continue;
            }
            const auto value = exportedAmount(got[c]);
            ASSERT_TRUE(value) << "row " << r << " column " << c << ": '" << got[c] << "' for " << want[c];
            if (c <= 12) {
                EXPECT_EQ(*value, Money::fromInteger(std::stoll(want[c]))) << "row " << r << " column " << c;
            } else {
                EXPECT_EQ(*value, ovtest::ItalianAmount(want[c])) << "row " << r << " column " << c << ": " << got[c];
                ++amounts;
                if (*value != Money()) ++nonZero;
            }
        }
    }
    EXPECT_EQ(amounts, 366 * (17 + 13 + 17) + 17);
    EXPECT_GT(nonZero, 366 * 5);
}

TEST(WorkbookRecalc, ReportTotalIsTheTotalsRowsTakingsForAnyPeriod) {
    REQUIRE_SESSION();
    for (const char* name : {"day", "month", "year"}) {
        const Period& p = session().periods.at(name);
        const Money takings = printedGrandTotal(p.printFile);
        EXPECT_NE(takings, Money()) << name;
        EXPECT_EQ(besideLabel(p.sheet, ov::cash_sheet::kReportTotal), cents(takings)) << name;
    }
}

TEST(WorkbookRecalc, TypedQuantitiesGiveTheCashTotalAndTheDifference) {
    REQUIRE_SESSION();
    for (const char* name : {"day", "month"}) {
        const Period& p = session().periods.at(name);
        Money cash;
        for (size_t k = 0; k < p.quantities.size(); ++k)
            cash += Money::fromUnits(ov::cash_sheet::kDenominations[k].units() * p.quantities[k]);
        ASSERT_NE(cash, Money()) << name;
        const Money takings = cents(printedGrandTotal(p.printFile));
        EXPECT_EQ(besideLabel(p.sheet, "Totale Contanti"), cash) << name;
        EXPECT_EQ(besideLabel(p.sheet, "Acconti Extra Cassa"), p.extraTill) << name;
        EXPECT_EQ(besideLabel(p.sheet, "Totale"), cash) << name;
        EXPECT_EQ(besideLabel(p.sheet, "Differenza +/-"), cash - takings + p.extraTill) << name;
    }
}

TEST(WorkbookRecalc, HotelRecordAndRearrangedRoomsAppearOnlyWhenThereAreSome) {
    REQUIRE_SESSION();
    auto column = [](const Rows& sheet) {
        std::vector<std::string> a;
        for (const auto& row : sheet) a.push_back(row.empty() ? "" : row[0]);
        return a;
    };
    const auto day = column(session().periods.at("day").sheet);
    const auto month = column(session().periods.at("month").sheet);
    EXPECT_NE(std::find(day.begin(), day.end(), "Hotel Bellavista S.r.l."), day.end());
    EXPECT_EQ(std::find(day.begin(), day.end(), "Elenco camere riordinate"), day.end());
    EXPECT_EQ(std::find(month.begin(), month.end(), "Hotel Bellavista S.r.l."), month.end());
    EXPECT_EQ(std::find(month.begin(), month.end(), "Camping Bellavista"), month.end());
    auto rooms = std::find(month.begin(), month.end(), "Elenco camere riordinate");
    ASSERT_NE(rooms, month.end());
    ASSERT_GE(month.end() - rooms, 4);
    EXPECT_EQ(rooms[2], "Camera 101 -> 102");
    EXPECT_EQ(rooms[3], "Camera 7\xC3\xA0 -> 8");
}

TEST(WorkbookRecalc, ConvertedReportHasTheCsvConversionsCellsWithNumbersAsNumbers) {
    REQUIRE_SESSION();
    const auto& csv = session().convertedCsv;
    const Rows& sheet = session().report;
    // The office leaves out the empty rows at the end.
    ASSERT_LE(sheet.size(), csv.size());
    ASSERT_GT(sheet.size(), 366u * 5);
    const std::vector<std::string> emptyRow;
    int numbers = 0;
    for (size_t r = 0; r < csv.size(); ++r) {
        const auto& row = r < sheet.size() ? sheet[r] : emptyRow;
        std::vector<std::string> fields;
        std::stringstream in(csv[r]);
        for (std::string f; std::getline(in, f, ';');) fields.push_back(trimmed(f));
        for (size_t c = 0; c < fields.size(); ++c) {
            const std::string got = c < row.size() ? row[c] : "";
            std::string want = fields[c];
            if (!want.empty() && want[0] == '\x80') want = want.substr(1);  // the euro sign before an amount
            const bool amount = want.find(',') != std::string::npos && want.find_first_not_of("-0123456789,") == std::string::npos;
            const bool count = !want.empty() && want.find_first_not_of("-0123456789") == std::string::npos &&
                               (want.size() == 1 || want[0] != '0');
            if (amount || count) {
                const auto value = exportedAmount(got);
                ASSERT_TRUE(value) << "line " << r + 1 << " field " << c << ": '" << got << "' for " << fields[c];
                EXPECT_EQ(*value, ovtest::ItalianAmount(want)) << "line " << r + 1 << " field " << c;
                ++numbers;
            } else {
                EXPECT_EQ(got, ov::cp1252::toUtf8(want)) << "line " << r + 1 << " field " << c;
            }
        }
    }
    EXPECT_GT(numbers, 366 * (29 + 25 + 29));
}

TEST(WorkbookRecalc, NoCellIsAnError) {
    REQUIRE_SESSION();
    static const std::regex error("#[A-Z/0!?]+[!?]?");
    std::vector<std::pair<std::string, const Rows*>> books{{"report", &session().report}};
    for (const auto& [name, p] : session().periods) books.emplace_back(name, &p.sheet);
    for (const auto& [name, rows] : books) {
        ASSERT_FALSE(rows->empty()) << name;
        for (size_t r = 0; r < rows->size(); ++r)
            for (const auto& cell : (*rows)[r]) {
                EXPECT_FALSE(cell.rfind("Err:", 0) == 0) << name << " row " << r + 1 << ": " << cell;
                EXPECT_FALSE(std::regex_match(cell, error)) << name << " row " << r + 1 << ": " << cell;
            }
    }
}
