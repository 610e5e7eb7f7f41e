// ovdesk demo DIR [--seed N] [--today DD/MM/YYYY]: a demo working folder with a year of data.
#include <cstdio>

#include "cli/cli.h"
#include "cli/demo_folder.h"

namespace ov::cli {

int runDemo(const Args& args) {
    Options opts(args, {"seed", "today"});
    opts.expectOperands(1);
    demo::DemoSettings settings;
    if (auto seed = opts.integer("seed")) {
        if (*seed < 0) throw UsageError("--seed: il seme deve essere un numero non negativo");
        settings.seed = static_cast<uint64_t>(*seed);
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
