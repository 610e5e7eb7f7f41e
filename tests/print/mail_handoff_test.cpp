// The hand-off to the mail program: both layouts byte for byte, the program found in the working
// folder or on the search path and started there without arguments, a missing program reported
// with the file left written.
#include "print/mail_handoff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/process.h"
#include "core/error.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"
#include "support/temp_folder.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;
using ovtest::TempFolder;

namespace fs = std::filesystem;

namespace {

// A stand-in mail program: records how it was started, then the hand-off file it found.
const char* const kFakeMailer =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "{ echo \"argomenti $#\"; pwd; cat e-mail1.txt; } > ricevuto.tmp && mv ricevuto.tmp ricevuto.txt\n";

void writeProgram(const fs::path& path) {
    std::ofstream(path, std::ios::binary) << kFakeMailer;
    fs::permissions(path, fs::perms::owner_all);
}

// Waits for the file the detached stand-in writes.
bool waitForFile(const fs::path& path) {
    for (int i = 0; i < 100; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Starts programs for real, as the windows and the headless commands do.
class StartingHost : public RecordingHost {
public:
    bool startProgram(const std::string& program, const std::string& folder) override {
        RecordingHost::startProgram(program, folder);
        return StartDetached(program, {}, folder);
    }
};

// PATH replaced for one test and put back afterwards.
class SearchPath {
public:
    explicit SearchPath(const std::string& value) {
        if (const char* old = std::getenv("PATH")) old_ = old;
        setenv("PATH", value.c_str(), 1);
    }
    ~SearchPath() { setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

}  // namespace

TEST(MailHandoff, PreviewLayoutIsSubjectThenTheTextAndOneLineEnd) {
    SuiteFolder f;
    RecordingHost host;
    Workspace ws = f.workspace({{"PCLocal", "1"}});
    InviaEMail(ws, host, std::string("riga 1\r\nCitt\xE0 \x80 5\r\n"));
    EXPECT_EQ(f.read("e-mail1.txt"), "OGGETTO\r\nriga 1\r\nCitt\xE0 \x80 5\r\n\r\n");
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_EQ(host.started[0], "Pelmar.exe");

    // Mailing again replaces the file; an empty text still gives the subject and one empty line.
    InviaEMail(ws, host, std::string());
    EXPECT_EQ(f.read("e-mail1.txt"), "OGGETTO\r\n\r\n");
    EXPECT_EQ(host.started.size(), 2u);
}

TEST(MailHandoff, EditablePreviewLayoutIsTwoPlaceholdersThenEveryLine) {
    SuiteFolder f;
    RecordingHost host;
    f.writeText("E-MAIL3.TXT", "vecchio contenuto del file che resta pi\xF9 lungo\r\n");
    Workspace ws = f.workspace({{"PCLocal", "3"}});
    InviaEMail(ws, host, std::vector<std::string>{"prima", "", "\xB3terza\xB3"});
    EXPECT_EQ(f.read("E-MAIL3.TXT"), "<oggetto>\r\n<destinatario>\r\nprima\r\n\r\n\xB3terza\xB3\r\n");
    InviaEMail(ws, host, std::vector<std::string>{});
    EXPECT_EQ(f.read("E-MAIL3.TXT"), "<oggetto>\r\n<destinatario>\r\n");
    int handOffFiles = 0;
    for (const auto& e : fs::directory_iterator(f.path())) handOffFiles += e.path().filename().string().rfind("e-mail", 0) == 0;
    EXPECT_EQ(handOffFiles, 0);  // no second file in another letter case
    EXPECT_EQ(host.started, (std::vector<std::string>{"Pelmar.exe", "Pelmar.exe"}));
}

TEST(MailHandoff, ProgramThatCannotStartIsReportedAndTheFileStays) {
    SuiteFolder f;
    RecordingHost host;
    host.startSucceeds = false;
    Workspace ws = f.workspace({});  // PCLocal not set: workstation 0, "e-mail0.txt"
    try {
        InviaEMail(ws, host, std::string("testo\r\n"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Impossibile avviare il programma di posta Pelmar.exe");
        EXPECT_EQ(e.number(), 53);
    }
    EXPECT_EQ(f.read("e-mail0.txt"), "OGGETTO\r\ntesto\r\n\r\n");
}

TEST(MailHandoff, UnwritableFileStopsBeforeTheProgramStarts) {
    SuiteFolder f;
    RecordingHost host;
    fs::create_directory(f.path() / "e-mail1.txt");
    EXPECT_THROW(InviaEMail(f.workspace(), host, std::string("x")), Error);
    EXPECT_TRUE(host.started.empty());
}

TEST(MailHandoff, ProgramInTheWorkingFolderStartsThereWithoutArguments) {
    SuiteFolder f;
    writeProgram(f.path() / "PELMAR.EXE");  // found in any letter case
    TempFolder emptyDir;
    SearchPath path(emptyDir.path().string());  // nothing on the search path
    StartingHost host;
    InviaEMail(f.workspace(), host, std::string("corpo\r\n"));
    ASSERT_TRUE(waitForFile(f.path() / "ricevuto.txt"));
    EXPECT_EQ(f.read("ricevuto.txt"),
              "argomenti 0\n" + fs::canonical(f.path()).string() + "\nOGGETTO\r\ncorpo\r\n\r\n");
}

TEST(MailHandoff, ProgramOnTheSearchPathStartsFromTheWorkingFolder) {
    SuiteFolder f;
    TempFolder programs;
    writeProgram(programs.path() / "Pelmar.exe");
    SearchPath path(programs.path().string() + ":/usr/bin:/bin");
    StartingHost host;
    InviaEMail(f.workspace(), host, std::string("corpo\r\n"));
    ASSERT_TRUE(waitForFile(f.path() / "ricevuto.txt"));
    EXPECT_EQ(f.read("ricevuto.txt").substr(0, 12), "argomenti 0\n");
}

TEST(MailHandoff, NoProgramAnywhereIsAnErrorAndTheFileStays) {
    SuiteFolder f;
    TempFolder emptyDir;
    SearchPath path(emptyDir.path().string());
    StartingHost host;
    EXPECT_THROW(InviaEMail(f.workspace(), host, std::string("corpo\r\n")), Error);
    EXPECT_EQ(f.read("e-mail1.txt"), "OGGETTO\r\ncorpo\r\n\r\n");
}
