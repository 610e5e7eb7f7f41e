// The preview's "E-&mail" hands the shown text to the mail program; "E&xcel" converts the print
// file and opens the result with the program the desktop associates with it.
#include "print/preview_handoffs.h"

#include "core/cp1252.h"
#include "print/mail_handoff.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"

namespace ov {

void mailPreviewText(const Workspace& ws, Host& host, const std::string& text) { InviaEMail(ws, host, text); }

void openPreviewAsSpreadsheet(const Workspace& ws, Host& host) {
    const auto csv = ConvertiXLS(ws, printFileWriteName(ws));
    // The file is written either way; say so when no program could be opened on it.
    if (!host.openWithAssociatedProgram(csv.string()))
        host.message("Impossibile aprire il file " + cp1252::toUtf8(SpreadsheetFileName(ws)) +
                         " con il programma associato",
                     "Anteprima di Stampa", Icon::Warning);
}

}  // namespace ov
