#pragma once
// What the read-only preview hands on to other parts of the program: the shown text to the mail
// program ("E-&mail") and the print file to the spreadsheet program ("E&xcel").
#include <string>

#include "core/workspace.h"
#include "platform/host.h"

namespace ov {

// text: the text box's content, code page 1252 with CR LF line ends.
void mailPreviewText(const Workspace& ws, Host& host, const std::string& text);
void openPreviewAsSpreadsheet(const Workspace& ws, Host& host);

}  // namespace ov
