// ovdesk demo DIR [--seed N] [--today DD/MM/YYYY] [--rooms N] [--years N]: a demo working folder
// with a year of data of a 60-room hotel, or of as many rooms and years as asked.
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/demo_folder.h"

namespace ov::cli {

int runDemo(const Args& args) {
    Options opts(args, {"seed", "today", "rooms", "years"});
    opts.expectOperands(1);
    demo::DemoSettings settings;
    if (auto seed = opts.integer("seed")) {
        if (*seed < 0) throw UsageError("--seed: il seme deve essere un numero non negativo");
        settings.seed = static_cast<uint64_t>(*seed);
    }
    if (auto rooms = opts.integer("rooms")) {
        if (*rooms < demo::DemoSettings::kMinRooms || *rooms > demo::DemoSettings::kMaxRooms)
            throw UsageError("--rooms: il numero di camere deve essere tra " +
                             std::to_string(demo::DemoSettings::kMinRooms) + " e " +
                             std::to_string(demo::DemoSettings::kMaxRooms));
        settings.rooms = static_cast<int>(*rooms);
    }
    if (auto years = opts.integer("years")) {
        if (*years < 1 || *years > demo::DemoSettings::kMaxYears)
            throw UsageError("--years: il numero di anni deve essere tra 1 e " +
                             std::to_string(demo::DemoSettings::kMaxYears));
        settings.years = static_cast<int>(*years);
    }
    Workspace ws(opts.operands()[0]);
    if (auto today = opts.date("today")) {
        Date d = *today;
        ws.setClock([d] { return DateTime{d, 0, 0, 0}; });
    }
    settings.today = ws.now().date;
    demo::writeDemoFolder(ws.folder(), settings);
    std::printf("Cartella dimostrativa creata: %s\n", opts.operands()[0].c_str());
    return 0;
}

}  // namespace ov::cli
