// Entry point: the headless command line with --generate, the IDE's tool entry --ide,
// otherwise the main window.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#ifdef TARNWICK_HAVE_GUI
#include "app/gtk/ide_tool.h"
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
  if (cl.ide) {
    // The IDE hands its open project to every tool in PB_TOOL_Project.
    std::string problem;
    bool chosen = chooseIdeProject(cl, std::getenv("PB_TOOL_Project"), problem);
#ifdef TARNWICK_HAVE_GUI
    // With a display the questions and the log of a troubled run get windows of their own.
    int status = runIdeTool(argc, argv, cl, problem);
    if (status != kNoDisplay) return status;
#endif
    if (!chosen) {
      std::cerr << "tarnwick: " << problem << "\n";
      return 2;
    }
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
