// Placeholder until the SQLite back end lands.
#include "data/column_store.h"
namespace ov {
void EnsureColumnStore(const Workspace&) {}
}  // namespace ov
