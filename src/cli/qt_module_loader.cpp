// Loads the Qt module (app/qt_module.h) from where the program's files are found.
#include <dlfcn.h>

#include <mutex>

#include "app/qt_module.h"
#include "core/error.h"
#include "core/program_files.h"

namespace fs = std::filesystem;

namespace ov {
namespace {

constexpr const char* kModuleName = "ovdesk-qt.so";

const QtModule* load() {
#ifdef OVDESK_QT_MODULE_BUILD_PATH
    const fs::path built = OVDESK_QT_MODULE_BUILD_PATH;
#else
    const fs::path built;
#endif
    const fs::path file = findProgramFile(kModuleName, "OVDESK_QT_MODULE", built, FileUse::Load);
    if (file.empty())
        throw Error(err::FileIo, std::string("Impossibile trovare il file '") + kModuleName +
                                           "': finestre, stampa attraverso il driver e grafici non sono disponibili. "
                                           "Reinstallare ovdesk.");
    // Kept loaded to the end: Qt registers exit handlers of its own.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* why = handle ? nullptr : ::dlerror();
    using Entry = const QtModule* (*)();
    auto entry = handle ? reinterpret_cast<Entry>(::dlsym(handle, "ovdesk_qt_module")) : nullptr;
    if (!entry)
        throw Error(err::FileAccess, "Impossibile caricare il file '" + file.string() + "': " +
                                           (why ? why : "non è un modulo di ovdesk") + ".");
    return entry();
}

}  // namespace

const QtModule& qtModule() {
    static std::once_flag once;
    static const QtModule* module = nullptr;
    std::call_once(once, [] { module = load(); });
    return *module;
}

}  // namespace ov
