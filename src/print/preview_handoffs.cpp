// The preview's "E-&mail" hands the shown text to the mail program; "E&xcel" converts the print
// file into "fd<PCLocal>.csv" and the workbook "fd<PCLocal>.xlsx" beside it, and opens the workbook
// with the program the desktop associates with it.
#include "print/preview_handoffs.h"

#include "print/mail_handoff.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"
#include "workbook/report_workbook.h"

namespace ov {

void mailPreviewText(const Workspace& ws, Host& host, const std::string& text) { InviaEMail(ws, host, text); }

void openPreviewAsSpreadsheet(const Workspace& ws, Host& host) {
    ConvertiXLS(ws, printFileWriteName(ws));
    // A workbook that cannot be written is an error; the CSV written before it stays.
    openOrWarn(host, ConvertToWorkbook(ws, printFileWriteName(ws)), "Anteprima di Stampa");
}

}  // namespace ov
