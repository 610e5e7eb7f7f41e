// ovdesk: the main window (no arguments, or only --folder DIR) or a headless command.
#include "cli/cli.h"

int main(int argc, char** argv) { return ov::cli::runMain(argc, argv); }
