// The workstation number in the per-workstation file names, and what the user is told when
// PCLocal does not give it.
#include <gtest/gtest.h>

#include <optional>

#include "state/workstation.h"
#include "support/temp_folder.h"

using namespace ov;

namespace {

struct Case {
    std::optional<std::string> pcLocal;  // nullopt: the variable is not set
    std::string number;                   // what the file names carry
    std::string notice;                   // a part of the notice; empty: no notice
};

Workspace workspaceWith(const ovtest::TempFolder& dir, const std::optional<std::string>& pcLocal) {
    auto env = std::make_shared<MapEnvironment>();
    if (pcLocal) env->set("PCLocal", *pcLocal);
    return Workspace(dir.path(), env);
}

}  // namespace

TEST(Workstation, OneNumberForWritersAndReadersAndANoticeWhenPCLocalDoesNotGiveIt) {
    const Case cases[] = {
        {"1", "1", ""},
        {"12", "12", ""},
        {"0", "0", ""},
        {"-3", "-3", ""},
        {std::nullopt, "0", "La variabile PCLocal non è impostata: questa postazione usa il numero 0 (file di stampa fd0)."},
        {"", "0", "PCLocal non è impostata"},
        {"abc", "0", "La variabile PCLocal vale \"abc\", che non è un numero di postazione: questa postazione usa il numero 0"},
        {"01", "1", "vale \"01\""},
        {" 2", "2", "usa il numero 2 (file di stampa fd2)"},
        {"3a", "3", "vale \"3a\""},
        {"99999999999999999999", "0", "usa il numero 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pcLocal.value_or("(non impostata)"));
        ovtest::TempFolder dir;
        Workspace ws = workspaceWith(dir, c.pcLocal);
        EXPECT_EQ(workstationText(ws), c.number);
        EXPECT_EQ(printFileWriteName(ws), "fd" + c.number);
        EXPECT_EQ(printFileSaveName(ws), "fd" + c.number);
        const std::string notice = workstationNotice(ws);
        if (c.notice.empty()) {
            EXPECT_EQ(notice, "");
        } else {
            EXPECT_NE(notice.find(c.notice), std::string::npos) << notice;
            EXPECT_NE(notice.find("PCLocal=1"), std::string::npos) << "says how to set it: " << notice;
        }
        // What the report builders write is what the print menu and the previews find.
        dir.write(printFileWriteName(ws), "riga\r\n");
        auto found = ws.find(printFileReadName(ws));
        ASSERT_TRUE(found);
        EXPECT_EQ(found->filename(), "fd" + c.number);
    }
}
