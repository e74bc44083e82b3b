// The headless command line: tarnwick --generate PROJECT.pbm [options], and --restore.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "run/run.h"

namespace tarnwick {

extern const char* const kProgramTitle;  // "Tarnwick Orlenta Version v5.17"
extern const char* const kVersion;       // "5.17"

struct Binding {
  std::optional<ObjectKind> kind;
  Text oldName, newName;
};

struct CommandLine {
  bool generate = false;
  bool help = false;
  bool version = false;
  std::string project;            // --generate PROJECT, or the first plain argument
  std::vector<Binding> bindings;  // --bind [KIND:]OLD=NEW, in order
  bool allowUnbound = false;
  std::string configDir;          // --config-dir DIR; empty: see settingsFolder
  bool dryRun = false;            // --dry-run, also set by --diff and --check
  bool diff = false;              // --diff: a unified diff on stdout, the log on stderr
  bool check = false;             // --check: exit 3 when the run would change a file
  bool restore = false;           // --restore PROJECT: the last run's backup put back
  bool force = false;             // --force: --restore replaces files changed after the run
};

// Parses the arguments after the program name. False with a message in error on an
// unknown option, a missing value or a malformed binding.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& cl, std::string& error);
std::string usageText();

// The folder that holds the running executable, ending in "/".
std::string executableDirectory();
// The folder of TW4.INI and UserList.INI: the given one (--config-dir), else the
// executable's folder when the user can write it, else $XDG_CONFIG_HOME/tarnwick/
// (~/.config/tarnwick/ when unset).
std::string settingsFolder(const std::string& given);
// Makes a path absolute against the working directory.
std::string absolutePath(const std::string& path);

// The driver of a headless run: log lines to out, binding requests answered from the
// command line's --bind options, problems to err.
class CommandLineHost : public RunHost {
 public:
  CommandLineHost(std::ostream& out, std::ostream& err, const std::vector<Binding>& bindings, bool allowUnbound)
      : out_(out), err_(err), bindings_(bindings), allowUnbound_(allowUnbound) {}
  void logLine(const Text& line) override;
  BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) override;
  void closeStartDialog() override {}
  void enableMainWindow() override {}

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Binding> bindings_;
  bool allowUnbound_;
};

// Loads the settings and the project and runs the four steps. Returns the exit status:
// 0 after "Ready.", 1 after "Cancel.", 2 when the project file cannot be opened or
// another run holds it; with --check 3 when the run would change a file.
int runCommandLineGeneration(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err);

// Puts the last run's backup of the project back. Returns 0 when restored, 1 when a
// file could not be written or the backup's list was refused (nothing changed), or when
// files changed after the run and --force was not given (each named on err); 2 when
// there is no backup made by a run or another run holds the project.
int runCommandLineRestore(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err);

}  // namespace tarnwick
