// Entry point: the headless command line with --generate, otherwise the main window.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#ifdef TARNWICK_HAVE_GUI
#include "app/gtk/shell.h"
#endif

int main(int argc, char** argv) {
  using namespace tarnwick;
  std::vector<std::string> args(argv + 1, argv + argc);
  CommandLine cl;
  std::string error;
  if (!parseCommandLine(args, cl, error)) {
    std::cerr << "tarnwick: " << error << "\n\n" << usageText();
    return 2;
  }
  if (cl.help) {
    std::cout << usageText();
    return 0;
  }
  if (cl.version) {
    std::cout << "tarnwick " << kVersion << "\n";
    return 0;
  }
  if (cl.generate) {
    DiskFileSystem fs;
    return runCommandLineGeneration(cl, fs, std::cout, std::cerr);
  }
  if (cl.restore) {
    DiskFileSystem fs;
    return runCommandLineRestore(cl, fs, std::cout, std::cerr);
  }
#ifdef TARNWICK_HAVE_GUI
  return runShell(argc, argv, cl.project, settingsFolder(cl.configDir));
#else
  std::cerr << "tarnwick: this build has no window; use --generate PROJECT.pbm\n";
  return 2;
#endif
}
