#pragma once
// Files that come with the program (the Jet reading helper, the module of windows and printing),
// found wherever the installation was put. In order: the file an environment variable names, when
// set; the file beside the running program; the installed one, in libexec/ovdesk/ beside the
// program's bin/; last, for a program of the build tree only, the build tree's `buildPath` (an
// installed program must never depend on a build folder that happens to be there).
#include <filesystem>
#include <string>

namespace ov {

enum class FileUse { Run, Load };  // run as a program, or loaded into this one

// Empty when there is none that can be used so.
std::filesystem::path findProgramFile(const std::string& name, const char* variable,
                                      const std::filesystem::path& buildPath, FileUse use);

}  // namespace ov
