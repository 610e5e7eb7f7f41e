// Placeholder until the SQLite back end lands.
#include "core/error.h"
#include "data/backend.h"
namespace ov {
std::unique_ptr<Backend> makeSqliteBackend(const std::filesystem::path&, const std::string& displayName) {
    throw Error(err::NotADatabase, "SQLite non disponibile: " + displayName);
}
}  // namespace ov
