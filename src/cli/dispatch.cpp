#include <cstdio>
#include <exception>

#include "app/qt_module.h"
#include "cli/cli.h"
#include "core/error.h"
#include "platform/display.h"

namespace fs = std::filesystem;

namespace ov::cli {
namespace {

void printUsage(std::FILE* out) {
    std::fprintf(out,
                 "Uso: ovdesk [--folder DIR]            apre la finestra principale sulla cartella di lavoro\n"
                 "     ovdesk COMANDO [opzioni]         esegue un comando senza finestre\n"
                 "     ovdesk --help | --version\n"
                 "\nComandi:\n");
    for (const auto& c : commands()) std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(out, "\nLa cartella di lavoro è --folder DIR, altrimenti la cartella corrente.\n");
}

// The window cannot open without a display: say so, and what works without one.
void printNoDisplay() {
    std::string names;
    for (const auto& c : commands()) names += std::string(names.empty() ? "" : ", ") + c.name;
    std::fprintf(stderr,
                 "ovdesk: nessuno schermo disponibile (DISPLAY e WAYLAND_DISPLAY non portano a un server grafico): "
                 "la finestra principale non si può aprire.\n"
                 "Senza finestre si usano i comandi %s, per esempio:\n"
                 "  ovdesk summary --folder CARTELLA --from 01/01/2024 --to 31/01/2024 --show\n"
                 "Tutti i comandi e le opzioni: ovdesk --help\n",
                 names.c_str());
}

const Command* findCommand(const std::string& name) {
    for (const auto& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

// Only "--folder DIR" (or "--folder=DIR"): the window on that folder.
std::optional<fs::path> windowFolder(const Args& args) {
    if (args.empty()) return fs::current_path();
    if (args.size() > 2 || args[0].rfind("--folder", 0) != 0) return std::nullopt;
    Options opts(args, {"folder"});
    if (!opts.operands().empty() || !opts.value("folder")) return std::nullopt;
    return opts.folder();
}

int runCommand(const Command& cmd, const Args& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("Uso: ovdesk %s %s\n  %s\n", cmd.name, cmd.usage, cmd.summary);
        return 0;
    }
    try {
        return cmd.run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ovdesk %s: %s\nUso: ovdesk %s %s\n", cmd.name, e.what(), cmd.name, cmd.usage);
        return 2;
    }
}

}  // namespace

int runMain(int argc, char** argv) {
    Args args(argv + 1, argv + argc);
    try {
        if (auto folder = windowFolder(args)) {
            if (!graphicalDisplayAvailable(ProcessEnvironment())) {
                printNoDisplay();
                return 1;
            }
            return qtModule().runGui(argc, argv, *folder);
        }
        const std::string& first = args[0];
        if (first == "--help" || first == "-h" || first == "help") {
            printUsage(stdout);
            return 0;
        }
        if (first == "--version") {
            std::printf("ovdesk %s\n", OVDESK_VERSION);
            return 0;
        }
        const Command* cmd = findCommand(first);
        if (!cmd) {
            std::fprintf(stderr, "ovdesk: %s: %s\n", first.rfind("-", 0) == 0 ? "opzione sconosciuta" : "comando sconosciuto",
                         first.c_str());
            printUsage(stderr);
            return 2;
        }
        return runCommand(*cmd, Args(args.begin() + 1, args.end()));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ovdesk: %s\n", e.what());
        printUsage(stderr);
        return 2;
    } catch (const Error& e) {
        std::fprintf(stderr, "Errore %d: %s\n", e.number(), e.message().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Errore: %s\n", e.what());
        return 1;
    }
}

}  // namespace ov::cli
