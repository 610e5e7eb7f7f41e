// ovdesk chart on a copy of the "edge" working folder, in a process without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/ovdesk_process.h"
#include "support/temp_folder.h"

using ovtest::runOvdesk;

namespace fs = std::filesystem;

namespace {

class ChartCommand : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(ovtest::fixturesDir() / "edge" / "work", dir.path(), fs::copy_options::recursive);
        // The command must need no display: none is offered to it.
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(v);
    }

    ovtest::ProcessResult chart(std::vector<std::string> args) {
        args.insert(args.begin(), {"chart", "--folder", dir.path().string(), "--from", "01/01/2024", "--to", "31/01/2024"});
        return runOvdesk(args);
    }

    // Width and height from the header of a PNG file (big-endian, after the signature and IHDR).
    static std::pair<uint32_t, uint32_t> pngSize(const std::string& bytes) {
        auto be = [&](size_t at) {
            uint32_t v = 0;
            for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
            return v;
        };
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
        EXPECT_EQ(bytes.substr(12, 4), "IHDR");
        return {be(16), be(20)};
    }

    ovtest::TempFolder dir;
    ovtest::TempFolder out;
};

}  // namespace

TEST_F(ChartCommand, WritesEachFormatWithoutADisplay) {
    struct Case {
        std::vector<std::string> options;
        std::string file;
        std::pair<uint32_t, uint32_t> png;  // asked size of a PNG
        std::string start;                  // first bytes of the file
    };
    const Case cases[] = {
        {{"--size", "800x600"}, "a.png", {800, 600}, "\x89PNG"},
        {{}, "b.PNG", {1400, 1500}, "\x89PNG"},  // three charts of 500 pixels by default
        {{"--chart", "incassi", "--compare-previous-year"}, "c.png", {1400, 500}, "\x89PNG"},
        {{"--size", "640x480"}, "d.svg", {}, "<?xml"},
        {{}, "e.pdf", {}, "%PDF"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"--out", (out.path() / c.file).string()});
        auto r = chart(args);
        ASSERT_EQ(r.exitCode, 0) << c.file << ": " << r.err;
        EXPECT_EQ(r.out, (out.path() / c.file).string() + "\n");
        const std::string bytes = out.read(c.file);
        EXPECT_EQ(bytes.substr(0, c.start.size()), c.start) << c.file;
        if (c.png.first) {
            EXPECT_EQ(pngSize(bytes), c.png) << c.file;
        }
        if (c.file == "d.svg") {
            // 640 x 480 CSS pixels (96 an inch) in millimetres.
            EXPECT_NE(bytes.find("<svg width=\"169.333mm\" height=\"127mm\""), std::string::npos) << bytes.substr(0, 200);
            EXPECT_NE(bytes.find("viewBox=\"0 0 640 480\""), std::string::npos);
        }
    }
}

TEST_F(ChartCommand, WrongCommandLinesWriteNothing) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string error;
    };
    const std::string file = (out.path() / "x.png").string();
    const Case cases[] = {
        {{"--out", (out.path() / "x.bmp").string()}, 2, "il file deve finire in .png, .svg o .pdf"},
        {{"--size", "50x50", "--out", file}, 2, "--size: dimensioni non valide"},
        {{"--size", "800", "--out", file}, 2, "--size: dimensioni non valide"},
        {{"--chart", "torta", "--out", file}, 2, "--chart: ospiti, incassi o totali"},
        {{}, 2, "manca --out"},
        {{"--out", (out.path() / "missing" / "x.png").string()}, 1, "Impossibile scrivere il file 'x.png'"},
    };
    for (const Case& c : cases) {
        auto r = chart(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.error << ": " << r.err;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(out.path()));
}

TEST_F(ChartCommand, InvalidDateStopsBeforeAnyFile) {
    auto r = runOvdesk({"chart", "--folder", dir.path().string(), "--from", "31/02/2024", "--to", "10/03/2024", "--out",
                        (out.path() / "x.png").string()});
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("data non valida per --from"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(out.path()));
}
