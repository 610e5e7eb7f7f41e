// ovdesk convert: the preview's spreadsheet conversion of the print file, unattended; with --xlsx
// the workbook beside the CSV too.
#include <iostream>

#include "cli/cli.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"
#include "workbook/report_workbook.h"

namespace ov::cli {

int runConvert(const Args& args) {
    Options o(args, {"folder"}, {"xlsx"});
    o.expectOperands(0);
    Workspace ws = o.workspace();
    noteWorkstation(ws);
    std::cout << ConvertiXLS(ws, printFileWriteName(ws)).string() << "\n";
    if (o.flag("xlsx")) std::cout << ConvertToWorkbook(ws, printFileWriteName(ws)).string() << "\n";
    return 0;
}

}  // namespace ov::cli
