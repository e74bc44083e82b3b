#include "app/gtk/shell.h"

#include <gtk/gtk.h>

#include <iostream>

namespace tarnwick {

int runShell(int argc, char** argv, const std::string&) {
  if (!gtk_init_check(&argc, &argv)) {
    std::cerr << "tarnwick: cannot open the display\n";
    return 1;
  }
  std::cerr << "tarnwick: the main window is not built yet; use --generate PROJECT.pbm\n";
  return 1;
}

}  // namespace tarnwick
