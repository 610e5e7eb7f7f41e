// ovdesk convert: the preview's spreadsheet conversion of the print file, unattended.
#include <iostream>

#include "cli/cli.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"

namespace ov::cli {

int runConvert(const Args& args) {
    Options o(args, {"folder"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    noteWorkstation(ws);
    std::cout << ConvertiXLS(ws, printFileWriteName(ws)).string() << "\n";
    return 0;
}

}  // namespace ov::cli
