// The GTK 2 application: main window, event loop, dialogs.
#pragma once

#include <string>

namespace tarnwick {

// Starts the window with the given start-up project (may be empty); returns the exit status.
int runShell(int argc, char** argv, const std::string& project);

}  // namespace tarnwick
