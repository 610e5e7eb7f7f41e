#include "cli/cli_host.h"

#include <iostream>

#include "platform/process.h"

namespace ov::cli {

Answer CliHost::ask(const std::string& text, const std::string&, Answer defaultButton) {
    return yes_.count(text) ? Answer::Yes : defaultButton;
}

void CliHost::message(const std::string& text, const std::string& title, Icon icon) {
    if (icon == Icon::Warning || icon == Icon::Critical) failed_ = true;
    std::cerr << title << ": " << text << "\n";
}

void CliHost::showError(const Error& error) {
    failed_ = true;
    std::cerr << "Errore " << error.number() << ": " << error.message() << "\n";
}

bool CliHost::openWithAssociatedProgram(const std::string& path) { return OpenWithDesktop(path); }

bool CliHost::startProgram(const std::string& program, const std::string& workingFolder) {
    return StartDetached(program, {}, workingFolder);
}

}  // namespace ov::cli
