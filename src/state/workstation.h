#pragma once
// The workstation number and the names of the per-workstation files it keeps apart in a shared
// working folder: the print file, "fd"n".csv", "e-mail"n".txt", the dated "doc" copies.
//
// PCLocal holding a plain whole number ("1", "12") names the files as it always did: writers
// "fd1", readers "FD1", one file. Unset, empty or anything else ("abc", "01", " 2") would make
// writers and readers look for different files, so every name then uses the number a reader
// would take (the leading whole number, 0 when there is none) and workstationNotice says so.
#include <string>

#include "core/workspace.h"

namespace ov {

// The workstation number as it goes into every per-workstation file name.
std::string workstationText(const Workspace& ws);

// Empty when PCLocal gives the number; otherwise an Italian sentence (UTF-8) saying what is
// wrong with the variable and which number this workstation uses.
std::string workstationNotice(const Workspace& ws);

// "fd" + the workstation number: the print file as the report builders create it.
std::string printFileWriteName(const Workspace& ws);
// "FD" + the workstation number: the print file the print menu and the previews look for.
std::string printFileReadName(const Workspace& ws);
// "fd" + the workstation number: the print file the preview's save button writes.
std::string printFileSaveName(const Workspace& ws);

}  // namespace ov
