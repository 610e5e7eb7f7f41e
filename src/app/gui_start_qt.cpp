// Placeholder until the main window lands.
#include "app/gui_start.h"
#include <cstdio>
namespace ov {
int runGui(int, char**, const std::filesystem::path&) { std::puts("finestra non disponibile"); return 1; }
}  // namespace ov
