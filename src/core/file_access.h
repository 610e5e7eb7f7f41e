#pragma once
// Files of the working folder opened for reading. Only a regular file is opened: a folder, a pipe
// or a device of the name asked for is refused first (opening a pipe waits for a writer for ever),
// and a file that exists but cannot be read is an error naming it, never taken for a missing one.
#include <filesystem>
#include <optional>
#include <string>

#include "core/workspace.h"

namespace ov {

// Error 75 naming the file (`shownName`, UTF-8) unless `path` is a regular file this process can
// open for reading.
void requireReadableFile(const std::filesystem::path& path, const std::string& shownName);

// The bytes of a file checked as above; Error 75 naming it when a read fails.
std::string ReadWholeFile(const std::filesystem::path& path, const std::string& shownName);

// The settings file `name` (code page 1252) of the working folder, checked as above; nothing when
// no file of that name exists.
std::optional<std::filesystem::path> findSettingsFile(const Workspace& ws, const std::string& name);

}  // namespace ov
