// The mail hand-off and the spreadsheet conversion are not built yet: until they are, the two
// buttons say so instead of doing nothing.
#include "print/preview_handoffs.h"

namespace ov {

namespace {

void notAvailable(Host& host, const std::string& what) {
    host.message("Funzione non disponibile: " + what + ".", "Anteprima di Stampa", Icon::Information);
}

}  // namespace

void mailPreviewText(const Workspace&, Host& host, const std::string&) { notAvailable(host, "invio E-mail"); }

void openPreviewAsSpreadsheet(const Workspace&, Host& host) { notAvailable(host, "conversione in Excel"); }

}  // namespace ov
