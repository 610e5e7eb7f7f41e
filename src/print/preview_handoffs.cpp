// The preview's "E-&mail" hands the shown text to the mail program; "E&xcel" converts the print
// file and opens the result with the program the desktop associates with it.
#include "print/preview_handoffs.h"

#include "print/mail_handoff.h"
#include "print/print_file.h"
#include "print/spreadsheet_conversion.h"

namespace ov {

void mailPreviewText(const Workspace& ws, Host& host, const std::string& text) { InviaEMail(ws, host, text); }

void openPreviewAsSpreadsheet(const Workspace& ws, Host& host) {
    openOrWarn(host, ConvertiXLS(ws, printFileWriteName(ws)), "Anteprima di Stampa");
}

}  // namespace ov
