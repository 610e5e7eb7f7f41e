#pragma once
// The host of an unattended run: questions take their default answer unless the command line
// chose otherwise, messages and errors go to stderr, nothing is shown.
#include <set>
#include <string>

#include "platform/host.h"

namespace ov::cli {

class CliHost : public Host {
public:
    // Questions whose text is in `yes` are answered Yes; every other question gets its default.
    explicit CliHost(std::set<std::string> yes = {}) : yes_(std::move(yes)) {}

    Answer ask(const std::string& text, const std::string& title, Answer defaultButton) override;
    void message(const std::string& text, const std::string& title, Icon icon) override;
    void showError(const Error& error) override;
    void setCaption(const std::string&) override {}
    void setProgress(int, int) override {}
    void showPrintMenu() override {}
    bool openWithAssociatedProgram(const std::string& path) override;
    bool startProgram(const std::string& program, const std::string& workingFolder) override;

    // Whether anything went wrong: a message of warning or error kind, or an error.
    bool failed() const { return failed_; }

private:
    std::set<std::string> yes_;
    bool failed_ = false;
};

}  // namespace ov::cli
