#include "print/preview.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "support/suite_folder.h"

using namespace ov;
using ovtest::SuiteFolder;

namespace {

// n lines of the given length, "a".."z" cycling, each ended by CR LF.
std::string linesOf(int n, size_t length, char first = 'a') {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(length, static_cast<char>(first + i % 26)) + "\r\n";
    return s;
}

}  // namespace

TEST(PreviewDocument, NoPrintFileNoDocument) {
    SuiteFolder f;
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    PreviewDocument doc(ws);
    EXPECT_FALSE(doc.hasFile());
    EXPECT_FALSE(doc.forward());
}

TEST(PreviewDocument, FileOfExactly20000CharactersFitsTheFirstPortion) {
    SuiteFolder f;
    f.writeText("fd1", linesOf(200, 100));
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    PreviewDocument doc(ws);
    ASSERT_TRUE(doc.hasFile());
    doc.activate();
    EXPECT_EQ(doc.charactersLoaded(), 20000u);
    EXPECT_FALSE(doc.more());
    EXPECT_TRUE(doc.text() == linesOf(200, 100));
    // "&Avanti" without more changes nothing.
    EXPECT_FALSE(doc.forward());
    EXPECT_TRUE(doc.text() == linesOf(200, 100));
}

TEST(PreviewDocument, PortionsEndAfterTheLineReachingTheLimit) {
    SuiteFolder f;
    // 19900 characters in 199 lines, then a line of 150 crosses the limit and still belongs to the portion.
    const std::string first = linesOf(199, 100) + std::string(150, 'X') + "\r\n";
    f.writeText("FD1", first + linesOf(300, 100, 'A'));
    PreviewDocument doc(f.workspace({{"PCLocal", "1"}}));
    doc.activate();
    EXPECT_EQ(doc.charactersLoaded(), 20050u);
    EXPECT_TRUE(doc.more());
    EXPECT_TRUE(doc.text() == first);

    ASSERT_TRUE(doc.forward());  // 26000: 260 lines of 100
    EXPECT_TRUE(doc.text() == linesOf(260, 100, 'A'));
    EXPECT_TRUE(doc.more());
    ASSERT_TRUE(doc.forward());
    EXPECT_EQ(doc.charactersLoaded(), 4000u);
    EXPECT_FALSE(doc.more());

    doc.restart();  // from the start with the larger limit
    EXPECT_EQ(doc.text().substr(0, 102), linesOf(1, 100));
    EXPECT_EQ(doc.charactersLoaded(), 26050u);
    EXPECT_TRUE(doc.more());
}

TEST(PreviewDocument, LinesAreRewrittenAndFormFeedsKept) {
    SuiteFolder f;
    f.writeText("fd1", "\xDA\xC4\xBF\r\n\f\r\n\xB3\xC8\xB4\r\n");
    PreviewDocument doc(f.workspace({{"PCLocal", "1"}}));
    doc.activate();
    EXPECT_EQ(doc.text(), "---\r\n\f\r\n|\xE8|\r\n");
}

TEST(PreviewDocument, SaveRewritesTheShownLinesAndKeepsTheRest) {
    SuiteFolder f;
    std::string rest = linesOf(10, 3000, 'A');
    std::string file = std::string(20000, '\xC4') + "\r\n" + rest;
    f.writeText("FD1", file);
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    PreviewDocument doc(ws);
    doc.activate();
    ASSERT_TRUE(doc.more());
    doc.save();
    EXPECT_TRUE(f.read("FD1") == std::string(20000, '-') + "\r\n" + rest);
    // Reading goes on after the saved portion; saving again adds no line.
    ASSERT_TRUE(doc.forward());
    EXPECT_EQ(doc.text().substr(0, 3000), std::string(3000, 'A'));
    doc.save();
    EXPECT_TRUE(f.read("FD1") == std::string(20000, '-') + "\r\n" + rest);

    doc.restart();
    doc.save();
    EXPECT_TRUE(f.read("FD1") == std::string(20000, '-') + "\r\n" + rest);
}

TEST(PreviewDocument, RestartAfterTheFileVanishedIsAnError) {
    SuiteFolder f;
    f.writeText("FD1", "a\r\n");
    PreviewDocument doc(f.workspace({{"PCLocal", "1"}}));
    doc.activate();
    std::filesystem::remove(f.path() / "FD1");
    EXPECT_THROW(doc.restart(), Error);
}
