#pragma once
// Start of the windowed program: the main window on the working folder.
#include <filesystem>

namespace ov {

int runGui(int argc, char** argv, const std::filesystem::path& folder);

}  // namespace ov
