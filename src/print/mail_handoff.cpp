#include "print/mail_handoff.h"

#include <filesystem>

#include "core/error.h"
#include "core/text_file.h"
#include "print/print_file.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr const char* kMailProgram = "Pelmar.exe";

fs::path handOffPath(const Workspace& ws) { return ws.pathFor("e-mail" + workstationText(ws) + ".txt"); }

// The mail program as the system finds it from the working folder: a copy in the folder itself
// (in any letter case) comes first, else the name goes to the program search path. The folder is
// made absolute so that the start does not depend on the program's current folder.
void startMailProgram(const Workspace& ws, Host& host) {
    std::string program = kMailProgram;
    std::error_code ec;
    if (auto local = ws.find(kMailProgram); local && fs::is_regular_file(*local, ec))
        program = "./" + local->filename().string();
    if (!host.startProgram(program, fs::absolute(ws.folder()).string()))
        throw Error(err::FileIo, std::string("Impossibile avviare il programma di posta ") + kMailProgram);
}

}  // namespace

void InviaEMail(const Workspace& ws, Host& host, const std::string& text) {
    LineWriter out(handOffPath(ws));
    out.line("OGGETTO");
    out.line(text);  // the text holds its own line breaks; one more line end closes it
    out.close();
    startMailProgram(ws, host);
}

void InviaEMail(const Workspace& ws, Host& host, const std::vector<std::string>& lines) {
    LineWriter out(handOffPath(ws));
    out.line("<oggetto>");
    out.line("<destinatario>");
    for (const auto& line : lines) out.line(line);
    out.close();
    startMailProgram(ws, host);
}

}  // namespace ov
