#include "print/line_rewriting.h"

#include <gtest/gtest.h>

#include <set>

using namespace ov;

namespace {

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

}  // namespace

TEST(LineRewriting, FramesBecomeDashesAndBars) {
    // A report header: corners, rules and a vertical between two fields.
    std::string top = bytes({218, 196, 196, 194, 196, 191});
    EXPECT_EQ(convertLineChars(top), "------");
    std::string fields = bytes({179}) + "Camera" + bytes({179}) + "Ospiti" + bytes({186});
    EXPECT_EQ(convertLineChars(fields), "|Camera|Ospiti|");
    EXPECT_EQ(convertLineChars(bytes({187, 188, 193, 197, 202, 203, 206})), "-------");
    EXPECT_EQ(convertLineChars(bytes({183, 195})), "||");
}

TEST(LineRewriting, UpperCaseAccentedVowelsWinOverFrameCorners) {
    EXPECT_EQ(convertLineChars(bytes({192, 200, 201, 204, 217, 210})), bytes({0xE0, 0xE8, 0xE9, 0xEC, 0xF9, 0xF2}));
    EXPECT_EQ(converti2(bytes({192, 200, 201, 204, 217, 210})), bytes({0xE0, 0xE8, 0xE9, 0xEC, 0xF9, 0xF2}));
}

TEST(LineRewriting, AcuteAccentIsABarForPreviewsAndAnApostropheForTheDriver) {
    std::string line = "L" + bytes({180}) + "albergo" + bytes({180});
    EXPECT_EQ(convertLineChars(line), "L|albergo|");
    EXPECT_EQ(converti2(line), "L'albergo'");
}

TEST(LineRewriting, RewritesInPlaceAndReturnsTheSameText) {
    std::string line = bytes({196, 196});
    std::string& result = ConvertLineChars(line);
    EXPECT_EQ(&result, &line);
    EXPECT_EQ(line, "--");
    std::string empty;
    EXPECT_EQ(Converti2(empty), "");
}

TEST(LineRewriting, EveryOtherByteStaysAsItIs) {
    const std::set<int> rewritten = {180, 192, 200, 201, 204, 217, 210, 187, 188, 191, 193,
                                     194, 196, 197, 202, 203, 206, 218, 179, 183, 186, 195};
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (!rewritten.count(c)) all += static_cast<char>(c);
    EXPECT_EQ(convertLineChars(all), all);
    EXPECT_EQ(converti2(all), all);
    // Lower-case accented letters and the bold marker pass untouched.
    EXPECT_EQ(convertLineChars("\xE0\xE8\xE9\xEC\xF2\xF9\xE7"), "\xE0\xE8\xE9\xEC\xF2\xF9\xE7");
}
