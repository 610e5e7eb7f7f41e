#pragma once
// The hand-off to the mail program: the report written to "e-mail" + PCLocal + ".txt" in the
// working folder, then "Pelmar.exe" started with no arguments. The program does not send mail
// itself and does not wait for the mail program.
#include <string>
#include <vector>

#include "core/workspace.h"
#include "platform/host.h"

namespace ov {

// The read-only preview's layout: "OGGETTO", then the text box's whole content (code page 1252,
// its own CR LF line breaks) followed by one line end.
void InviaEMail(const Workspace& ws, Host& host, const std::string& text);
// The editable preview's layout: "<oggetto>", "<destinatario>", then every line in order.
void InviaEMail(const Workspace& ws, Host& host, const std::vector<std::string>& lines);

// Both raise ov::Error when the file cannot be written or the mail program cannot be started;
// the hand-off file stays written in the second case.

}  // namespace ov
