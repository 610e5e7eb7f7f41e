// Placeholder until the Jet reader lands.
#include "core/error.h"
#include "data/backend.h"
namespace ov {
std::unique_ptr<Backend> makeJetBackend(const std::filesystem::path&, const std::string& displayName) {
    throw Error(err::NotADatabase, "Lettura Jet non disponibile: " + displayName);
}
}  // namespace ov
