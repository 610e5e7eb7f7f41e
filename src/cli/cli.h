#pragma once
// The headless commands: `ovdesk <command> [options]`. A command gets its arguments (the words
// after its name) and returns the exit code. A wrong command line throws UsageError (usage on
// stderr, exit 2); a failing operation throws ov::Error (the Italian message on stderr, exit 1).
//
// Adding a command: write `int runX(const Args&)` in its own file, declare it below and add one
// line to the table in commands.cpp.
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/dates.h"
#include "core/number_format.h"
#include "core/workspace.h"
#include "state/program_state.h"
#include "summary/summary_figures.h"

namespace ov::cli {

using Args = std::vector<std::string>;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Command {
    const char* name;
    const char* usage;    // options and operands after the name: "[--folder DIR] FILE QUERY"
    const char* summary;  // one line for the help text
    int (*run)(const Args& args);
};

// The registry: every command, in the order the help lists them.
const std::vector<Command>& commands();

// The whole program: no arguments (or only --folder DIR) opens the main window, otherwise a
// command, --help or --version.
int runMain(int argc, char** argv);

// Options shared by all commands: "--name value", "--name=value" and flags "--name"; every other
// word is an operand; "--" ends the options. An unknown option, a value missing or given to a
// flag, or a repeated option is a UsageError.
class Options {
public:
    Options(const Args& args, std::initializer_list<const char*> valueOptions,
            std::initializer_list<const char*> flagOptions = {});

    std::optional<std::string> value(const std::string& name) const;
    bool flag(const std::string& name) const;
    const std::vector<std::string>& operands() const { return operands_; }
    // Exactly n operands, else a UsageError.
    void expectOperands(size_t n) const;

    // The working folder: --folder DIR, else the current folder; a UsageError when it is not one.
    std::filesystem::path folder() const;
    // A workspace on folder() with the process environment; the clock is the system's unless
    // --today DD/MM/YYYY was accepted as an option and given.
    Workspace workspace() const;
    // A whole number option; a UsageError when it is not one.
    std::optional<long long> integer(const std::string& name) const;
    // A "DD/MM/YYYY" option; a UsageError when it is not a real date.
    std::optional<Date> date(const std::string& name) const;

private:
    std::map<std::string, std::string> values_;
    std::map<std::string, bool> flags_;
    std::vector<std::string> operands_;
};

// For the commands that write or read the print file and the other per-workstation files: says on
// stderr which workstation number they carry when PCLocal does not give one.
void noteWorkstation(const Workspace& ws);

// Text of the program (code page 1252) written to a terminal or a pipe: UTF-8.
std::string forTerminal(const std::string& cp1252Text);

// The selection of the hotel data summary from --from, --to, --first-room and --last-room, each
// cleaned as the Enter key cleans the main window's field; a UsageError for a date that is not one.
SummarySelection SelectionOptions(const Options& o, ProgramState& state, const NumberFormat& fmt);

// The commands of this folder.
int runQuery(const Args& args);
int runDemo(const Args& args);
int runSummary(const Args& args);
int runPresence(const Args& args);
int runTable(const Args& args);
int runConvert(const Args& args);
int runChart(const Args& args);

}  // namespace ov::cli
