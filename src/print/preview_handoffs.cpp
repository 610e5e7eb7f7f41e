// The preview's "E-&mail" hands the shown text to the mail program; "E&xcel" converts the print
// file into "fd<PCLocal>.csv" and the workbook "fd<PCLocal>.xlsx" beside it, and opens the workbook
// with the program the desktop associates with it.
#include "print/preview_handoffs.h"

#include "core/cp1252.h"
#include "print/mail_handoff.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"
#include "workbook/report_workbook.h"

namespace ov {

void mailPreviewText(const Workspace& ws, Host& host, const std::string& text) { InviaEMail(ws, host, text); }

void openPreviewAsSpreadsheet(const Workspace& ws, Host& host) {
    ConvertiXLS(ws, printFileWriteName(ws));
    // A workbook that cannot be written is an error; the CSV written before it stays.
    const auto xlsx = ConvertToWorkbook(ws, printFileWriteName(ws));
    // The files are written either way; say so when no program could be opened on them.
    if (!host.openWithAssociatedProgram(xlsx.string()))
        host.message("Impossibile aprire il file " + cp1252::toUtf8(ReportWorkbookName(ws)) +
                         " con il programma associato",
                     "Anteprima di Stampa", Icon::Warning);
}

}  // namespace ov
