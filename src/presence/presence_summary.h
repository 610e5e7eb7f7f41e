#pragma once
// The guest presence summary: paying guests and guests of each day of a range, read from the
// suite's daily statistics, with totals.
#include <filesystem>
#include <string>

#include "core/number_format.h"
#include "core/workspace.h"
#include "platform/host.h"

namespace ov {

struct PresenceOutcome {
    bool completed = false;
    std::filesystem::path printFile;
};

// Writes the print file for the two date texts of the main window, then shows the print menu
// (unless showMenu is false, for unattended runs). Errors are shown through the host.
PresenceOutcome PresenceSummary(const std::string& firstDay, const std::string& lastDay, const Workspace& ws,
                                const NumberFormat& fmt, Host& host, bool showMenu = true);

}  // namespace ov
