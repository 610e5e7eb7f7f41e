// Report files replaced only whole: written beside, put in place on commit, several together or
// none, never a temporary left behind.
#include "core/replaced_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/error.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using ov::ReplacedFile;
using ovtest::TempFolder;

namespace {

// Names in the folder, hidden ones included.
std::vector<std::string> names(const TempFolder& tmp) {
    std::vector<std::string> n;
    for (const auto& e : fs::directory_iterator(tmp.path())) n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

}  // namespace

TEST(ReplacedFile, TheTargetChangesOnlyOnCommit) {
    TempFolder tmp;
    tmp.write("fd1", "vecchio\r\n");
    chmod((tmp / "fd1").c_str(), 0640);
    {
        ReplacedFile f(tmp / "fd1");
        f.line("nuovo");
        EXPECT_EQ(tmp.read("fd1"), "vecchio\r\n");  // still the old one while being written
        f.commit();
    }
    EXPECT_EQ(tmp.read("fd1"), "nuovo\r\n");
    struct stat st;
    ASSERT_EQ(stat((tmp / "fd1").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the file keeps its permissions";
    {
        ReplacedFile dropped(tmp / "fd1");
        dropped.line("mai scritto");
    }  // an error on the way: never committed
    EXPECT_EQ(tmp.read("fd1"), "nuovo\r\n");
    EXPECT_EQ(names(tmp), std::vector<std::string>{"fd1"});
}

TEST(ReplacedFile, FilesCommittedTogetherChangeAllOrNone) {
    TempFolder tmp;
    tmp.write("fd1", "stampa vecchia\r\n");
    fs::create_directory(tmp / "Orvalis.csv");  // nothing can take its place
    tmp.write("Orvalis.csv/dentro", "x");
    try {
        ReplacedFile print(tmp / "fd1"), sheet(tmp / "Orvalis.csv");
        print.line("stampa nuova");
        sheet.line("foglio nuovo");
        ov::commitTogether({&print, &sheet});
        ADD_FAILURE() << "committed over a folder";
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), ov::err::FileAccess);
        EXPECT_NE(e.message().find("'Orvalis.csv'"), std::string::npos) << e.message();
    }
    EXPECT_EQ(tmp.read("fd1"), "stampa vecchia\r\n") << "the first file was put back";
    EXPECT_EQ(names(tmp), (std::vector<std::string>{"Orvalis.csv", "fd1"}));

    fs::remove_all(tmp / "Orvalis.csv");
    ReplacedFile print(tmp / "fd1"), sheet(tmp / "Orvalis.csv");
    print.write("a");
    sheet.write("b");
    ov::commitTogether({&print, &sheet});
    EXPECT_EQ(tmp.read("fd1"), "a");
    EXPECT_EQ(tmp.read("Orvalis.csv"), "b");
    EXPECT_EQ(names(tmp), (std::vector<std::string>{"Orvalis.csv", "fd1"}));
}

TEST(ReplacedFile, AFolderThatCannotTakeFilesIsAnErrorNamingTheFile) {
    TempFolder tmp;
    try {
        ReplacedFile f(tmp / "manca" / "fd1");
        ADD_FAILURE() << "created in a folder that does not exist";
    } catch (const ov::Error& e) {
        EXPECT_EQ(e.number(), ov::err::FileAccess);
        EXPECT_NE(e.message().find("'fd1'"), std::string::npos) << e.message();
    }
}
