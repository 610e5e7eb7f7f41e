#pragma once
// The program's own column configuration, "ColonneOV.mdb" with the table ColonneOV.
#include "core/workspace.h"

namespace ov {

// Creates an embedded-format "ColonneOV.mdb" with an empty ColonneOV table when no file of that
// name (any letter case) exists in the working folder; an existing file is left untouched.
void EnsureColumnStore(const Workspace& ws);

}  // namespace ov
