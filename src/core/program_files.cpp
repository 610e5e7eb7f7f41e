#include "core/program_files.h"

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ov {
namespace {

bool usable(const fs::path& p, FileUse use) {
    return !p.empty() && ::access(p.c_str(), use == FileUse::Run ? X_OK : R_OK) == 0;
}

}  // namespace

fs::path findProgramFile(const std::string& name, const char* variable, const fs::path& buildPath, FileUse use) {
    if (const char* env = std::getenv(variable); env && *env) return fs::path(env);
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const fs::path folder = exe.parent_path();
    if (usable(folder / name, use)) return folder / name;
#ifdef OVDESK_PRIVATE_DIR_INSTALLED
    if (fs::path installed = (folder / OVDESK_PRIVATE_DIR_INSTALLED / name).lexically_normal(); usable(installed, use))
        return installed;
#endif
#ifdef OVDESK_BUILD_DIR
    const std::string buildDir = fs::weakly_canonical(fs::path(OVDESK_BUILD_DIR), ec).string() + "/";
    if (exe.string().rfind(buildDir, 0) == 0 && usable(buildPath, use)) return buildPath;
#endif
    return {};
}

}  // namespace ov
