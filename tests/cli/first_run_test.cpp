// A first run as a new user makes it: without PCLocal, without a display.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;
using ovtest::ScopedEnv;

namespace {

// A demo folder made once for the tests of this file.
const std::filesystem::path& demoFolder() {
    static ovtest::TempFolder dir;
    static bool made = [] {
        return runOvdesk({"demo", (dir / "demo").string(), "--today", "15/02/2024"}).exitCode == 0;
    }();
    EXPECT_TRUE(made);
    static const std::filesystem::path path = dir / "demo";
    return path;
}

}  // namespace

TEST(FirstRun, EveryCommandNamesTheWorkstationNumberItUsesWhenPCLocalGivesNone) {
    const std::string folder = demoFolder().string();
    ScopedEnv pc("PCLocal", nullptr);
    auto summary = runOvdesk({"summary", "--folder", folder, "--from", "01/01/2024", "--to", "02/01/2024"});
    EXPECT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_EQ(summary.err,
              "ovdesk: La variabile PCLocal non è impostata: questa postazione usa il numero 0 (file di stampa fd0). "
              "Per un altro numero impostare PCLocal, per esempio PCLocal=1.\n");
    EXPECT_TRUE(std::filesystem::exists(demoFolder() / "fd0"));

    // The conversion reads what the summary wrote.
    auto convert = runOvdesk({"convert", "--folder", folder});
    EXPECT_EQ(convert.exitCode, 0) << convert.err;
    EXPECT_EQ(convert.out, (demoFolder() / "fd0.csv").string() + "\n");
    EXPECT_NE(convert.err.find("PCLocal non è impostata"), std::string::npos);

    ScopedEnv wrong("PCLocal", "uno");
    auto presence = runOvdesk({"presence", "--folder", folder, "--from", "01/01/2024", "--to", "02/01/2024"});
    EXPECT_EQ(presence.exitCode, 0) << presence.err;
    EXPECT_NE(presence.err.find("PCLocal vale \"uno\""), std::string::npos) << presence.err;

    ScopedEnv set("PCLocal", "1");
    auto quiet = runOvdesk({"summary", "--folder", folder, "--from", "01/01/2024", "--to", "02/01/2024"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST(FirstRun, TheWindowWithoutADisplaySaysSoInItalianAndNamesTheHeadlessCommands) {
    const std::string folder = demoFolder().string();
    ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    for (const char* display : {static_cast<const char*>(nullptr), ":987", "127.0.0.1:987"}) {
        SCOPED_TRACE(display ? display : "(DISPLAY non impostata)");
        ScopedEnv x11("DISPLAY", display);
        for (const std::vector<std::string>& args : {std::vector<std::string>{"--folder", folder}, {}}) {
            auto r = runOvdesk(args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err.rfind("ovdesk: nessuno schermo disponibile", 0), 0u) << r.err;
            for (const char* command : {"summary", "presence", "table", "convert", "query", "demo"})
                EXPECT_NE(r.err.find(command), std::string::npos) << command;
            EXPECT_NE(r.err.find("ovdesk --help"), std::string::npos);
        }
    }
}
