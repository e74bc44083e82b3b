// The GTK 2 application: main window, event loop, dialogs.
#pragma once

#include <string>

namespace tarnwick {

// Starts the window with the given start-up project (may be empty), keeping its settings
// in settingsFolder; returns the exit status.
int runShell(int argc, char** argv, const std::string& project, const std::string& settingsFolder);

}  // namespace tarnwick
