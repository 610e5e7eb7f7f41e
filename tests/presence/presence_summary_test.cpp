// The guest presence summary on the Jet data sets and on hand-built statistics.
#include <gtest/gtest.h>

#include <filesystem>

#include "presence/presence_summary.h"
#include "summary/summary_output.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

void copyFolder(const fs::path& from, const fs::path& to) {
    for (const auto& e : fs::directory_iterator(from)) {
        fs::copy_file(e.path(), to / e.path().filename());
        fs::permissions(to / e.path().filename(), fs::perms::owner_write, fs::perm_options::add);
    }
}

ov::Workspace workspaceOn(const fs::path& dir, std::map<std::string, std::string> env) {
    return ov::Workspace(dir, std::make_shared<ov::MapEnvironment>(std::move(env)));
}

}  // namespace

TEST(PresenceSummary, EdgeDaysWithMissingStatisticsAndGroupedThousands) {
    ovtest::TempFolder dir;
    copyFolder(ovtest::fixturesDir() / "edge" / "work", dir.path());
    ovtest::RecordingHost host;
    auto o = ov::PresenceSummary("13/02/2024", "20/02/2024", workspaceOn(dir.path(), {{"PCLocal", "2"}}),
                                 ov::NumberFormat::italian(), host);
    ASSERT_TRUE(o.completed) << (host.errors.empty() ? "" : host.errors[0].message());
    EXPECT_EQ(host.printMenus, 1);
    auto lines = ovtest::SplitLines(dir.read("fd2"));
    ASSERT_EQ(lines.size(), 4u + 8u + 2u);
    EXPECT_EQ(lines[0], "RIEPILOGO PRESENZE HOTEL DAL 13/02/2024 AL 20/02/2024");
    EXPECT_EQ(lines[2], "Data      |Paganti   |Ospiti");
    EXPECT_EQ(lines[4], "13/02/2024|        19|        22");
    EXPECT_EQ(lines[5], "14/02/2024|          |        29");
    EXPECT_EQ(lines[6], "15/02/2024|        36|");
    EXPECT_EQ(lines[7], "16/02/2024|          |");
    EXPECT_EQ(lines[8], "17/02/2024|        25|        27");
    EXPECT_EQ(lines[11], "20/02/2024|     1.234|     1.502");
    // Totals are the sums of the cells shown.
    long paying = 0, guests = 0;
    for (int i = 4; i <= 11; ++i) {
        auto bar1 = lines[i].find('|'), bar2 = lines[i].find('|', bar1 + 1);
        auto num = [](std::string s) {
            std::string d;
            for (char c : s) if (c >= '0' && c <= '9') d += c;
            return d.empty() ? 0L : std::stol(d);
        };
        paying += num(lines[i].substr(bar1 + 1, bar2 - bar1 - 1));
        guests += num(lines[i].substr(bar2 + 1));
    }
    ov::NumberFormat it = ov::NumberFormat::italian();
    char want[64];
    std::snprintf(want, sizeof want, "          |%10s|%10s", it.grouped(int64_t{paying}).c_str(), it.grouped(int64_t{guests}).c_str());
    EXPECT_EQ(lines[13], want);
}

TEST(PresenceSummary, AmpersandReadsTheStatisticsOfDirsh) {
    ovtest::TempFolder dir;
    copyFolder(ovtest::fixturesDir() / "hotel" / "work", dir.path());
    const fs::path storico = ovtest::fixturesDir() / "hotel" / "storico";
    ovtest::RecordingHost host;
    auto o = ov::PresenceSummary("25/01/2024", "27/01/2024",
                                 workspaceOn(dir.path(), {{"PCLocal", "1"}, {"DIRSH", storico.string()}}),
                                 ov::NumberFormat::italian(), host);
    ASSERT_TRUE(o.completed) << (host.errors.empty() ? "" : host.errors[0].message());
    auto lines = ovtest::SplitLines(dir.read("fd1"));
    ASSERT_EQ(lines.size(), 9u);
    // The working folder's stale copy holds 128/133 and 110/114 on these days.
    EXPECT_EQ(lines[4], "25/01/2024|       126|       130");
    EXPECT_EQ(lines[5], "26/01/2024|          |");  // no statistics at all that day
    EXPECT_EQ(lines[6], "27/01/2024|       108|       111");
    EXPECT_EQ(lines[8], "          |       234|       241");

    ovtest::RecordingHost noDir;
    fs::remove(dir.path() / "fd1");
    auto refused = ov::PresenceSummary("25/01/2024", "27/01/2024", workspaceOn(dir.path(), {{"PCLocal", "1"}}),
                                       ov::NumberFormat::italian(), noDir);
    EXPECT_FALSE(refused.completed);
    ASSERT_EQ(noDir.messages.size(), 1u);
    EXPECT_EQ(noDir.messages[0].text, "Variabile DIRSH non impostata: gli archivi storici non sono raggiungibili");
    EXPECT_EQ(noDir.messages[0].title, "Riepilogo dati Hotel");
    EXPECT_FALSE(fs::exists(dir.path() / "fd1"));
    EXPECT_EQ(noDir.printMenus, 0);
}

TEST(PresenceSummary, AMissingHistoryFileIsNamedWithThePathAsTheSystemWritesIt) {
    ovtest::TempFolder dir;
    copyFolder(ovtest::fixturesDir() / "hotel" / "work", dir.path());
    ovtest::TempFolder storico;  // empty: no statistics there
    ovtest::RecordingHost host;
    auto o = ov::PresenceSummary("25/01/2024", "27/01/2024",
                                 workspaceOn(dir.path(), {{"PCLocal", "1"}, {"DIRSH", storico.path().string()}}),
                                 ov::NumberFormat::italian(), host);
    EXPECT_FALSE(o.completed);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message(),
              "Impossibile trovare il file '" + (storico.path() / "Dettaglio.mdb").string() + "'.");
}

TEST(PresenceSummary, RangesCrossMonthEndsAndLeapDays) {
    ovtest::SuiteFolder f;
    f.add("Dettaglio.mdb", "Dettaglio", {1, "Presenze", "20240229", "Generale", 10});
    f.add("Dettaglio.mdb", "Dettaglio", {1, "Presenze", "20240301", "Ospiti", 12});
    f.add("Dettaglio.mdb", "Dettaglio", {2, "Presenze", "20240301", "Generale", 99});
    f.add("Dettaglio.mdb", "Dettaglio", {1, "Arrivi", "20240301", "Generale", 98});
    f.build();
    ovtest::RecordingHost host;
    auto o = ov::PresenceSummary("28/02/2024", "01/03/2024", f.workspace(), ov::NumberFormat::english(), host, false);
    ASSERT_TRUE(o.completed);
    EXPECT_EQ(host.printMenus, 0);
    auto lines = ovtest::SplitLines(f.read("fd1"));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[4], "28/02/2024|          |");
    EXPECT_EQ(lines[5], "29/02/2024|        10|");
    EXPECT_EQ(lines[6], "01/03/2024|          |        12");
    EXPECT_EQ(lines[8], "          |        10|        12");

    // Not a leap year: February ends on the 28th.
    ov::PresenceSummary("28/02/2023", "01/03/2023", f.workspace(), ov::NumberFormat::english(), host, false);
    auto common = ovtest::SplitLines(f.read("fd1"));
    ASSERT_EQ(common.size(), 8u);
    EXPECT_EQ(common[5], "01/03/2023|          |");

    ovtest::RecordingHost empty;
    ov::PresenceSummary("02/03/2024", "01/03/2024", f.workspace(), ov::NumberFormat::english(), empty, false);
    auto none = ovtest::SplitLines(f.read("fd1"));
    ASSERT_EQ(none.size(), 6u);
    EXPECT_EQ(none[5], "          |         0|         0");

    // Without the statistics database the report ends with the database error: no file, no menu.
    ovtest::SuiteFolder noStats;
    noStats.build({"Dettaglio.mdb"});
    ovtest::RecordingHost failed;
    EXPECT_FALSE(ov::PresenceSummary("28/02/2024", "01/03/2024", noStats.workspace(), ov::NumberFormat::english(),
                                     failed).completed);
    ASSERT_EQ(failed.errors.size(), 1u);
    EXPECT_EQ(failed.errors[0].number(), 3024);
    EXPECT_NE(failed.errors[0].message().find("Dettaglio.mdb"), std::string::npos) << failed.errors[0].message();
    EXPECT_FALSE(fs::exists(noStats.path() / "fd1"));
    EXPECT_EQ(failed.printMenus, 0);
}
