// ovdesk-damage-sweep [--seed N] [--copies N] [--scratch DIR] FILE...
//
// Damages copies of the given Jet files page by page (a page zeroed, two pages swapped, the copy
// cut at a page boundary), reads each through the Jet reading helper and counts what the reads
// gave. Exit status 1 when any read gave wrong rows as a success, crashed or hung.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "data/jet_helper.h"
#include "page_damage.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    uint32_t seed = 1;
    size_t copies = 1000;
    fs::path scratch = fs::temp_directory_path();
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc) seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--copies" && i + 1 < argc) copies = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--scratch" && i + 1 < argc) scratch = argv[++i];
        else files.emplace_back(a);
    }
    const fs::path helper = ov::jet::findHelper();
    if (files.empty() || helper.empty()) {
        std::fprintf(stderr, "uso: ovdesk-damage-sweep [--seed N] [--copies N] [--scratch DIR] FILE...\n"
                             "(il programma di lettura si trova con OVDESK_MDBREAD)\n");
        return 2;
    }
    const fs::path folder = scratch / ("ovdesk-damage-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const ovdamage::Figures f = ovdamage::sweep(helper, files, copies, seed, folder);
    fs::remove_all(folder);
    std::printf("copies %zu\n", f.copies);
    for (int o = 0; o < 6; ++o)
        std::printf("  %-24s %zu\n", ovdamage::outcomeName(static_cast<ovdamage::Outcome>(o)), f.byOutcome[o]);
    std::printf("largest stream written for a damaged copy: %zu bytes\n", f.peakOutputBytes);
    for (const auto& w : f.wrong) std::printf("  %s\n", w.c_str());
    return f.wrong.empty() ? 0 : 1;
}
