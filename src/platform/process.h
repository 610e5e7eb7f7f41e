#pragma once
// Starting another program without waiting for it (the spreadsheet, the mail program) from code
// that runs without Qt.
#include <string>
#include <vector>

namespace ov {

// Starts `program` (looked up in `workingFolder` first, then on the program search path) with the
// arguments, in that folder, detached; false when it could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& args, const std::string& workingFolder);

// Opens a file with the desktop's associated program (xdg-open); false when none could be started.
bool OpenWithDesktop(const std::string& path);

}  // namespace ov
