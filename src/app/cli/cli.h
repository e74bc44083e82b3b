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
  bool ide = false;               // --ide [FILE]: the PureBasic IDE's tool entry
  // --ide: where to look when the file leads to no project (the IDE's open .pbp).
  std::string fallbackProject;
  bool force = false;             // --force: --restore replaces files changed after the run
};

// Parses the arguments after the program name. False with a message in error on an
// unknown option, a missing value or a malformed binding.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& cl, std::string& error);
std::string usageText();

// The folder that holds the running executable, ending in "/".
std::string executableDirectory();
// The folder of TW4.INI and UserList.INI: the given one (--config-dir), else, for a
// program installed in a bin folder, $XDG_CONFIG_HOME/tarnwick/ (~/.config/tarnwick/
// when unset); a copy elsewhere uses its own folder while the user can write it.
std::string settingsFolder(const std::string& given);
// Makes a path absolute against the working directory.
std::string absolutePath(const std::string& path);

// Fills the places --ide looks for the project: the file it was given, and the IDE's
// open project (toolProject, from PB_TOOL_Project; may be null) when the file leads to
// none, or in its place. False with a message when there is neither.
bool chooseIdeProject(CommandLine& cl, const char* toolProject, std::string& error);

// The driver of a headless run: log lines to out, binding requests answered from the
// command line's --bind options, problems to err. OLD and NEW of a binding are names as
// the project file keeps them, or, for the objects of a window, names without the
// window's prefix: Button_0=Button_Buy binds Window_0_Button_0 to Window_0_Button_Buy,
// in every window that has both. A binding that names no vanished name, or no new
// name, is an error that stops the run, unless its rename is in place already (the
// same command run again).
class CommandLineHost : public RunHost {
 public:
  CommandLineHost(std::ostream& out, std::ostream& err, const std::vector<Binding>& bindings, bool allowUnbound)
      : out_(out), err_(err), bindings_(bindings), uses_(bindings.size()), allowUnbound_(allowUnbound) {}
  void logLine(const Text& line) override;
  BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) override;
  bool finishBindings(const FormModel& model) override;
  void closeStartDialog() override {}
  void enableMainWindow() override {}
  // True when the run stopped because a binding matched no name.
  bool bindingFailed() const { return bindingFailed_; }

 private:
  // What became of one binding in the kinds asked so far.
  struct Use {
    bool bound = false;    // it bound a pair (or repeated one already bound)
    bool oldSeen = false;  // its old name was among the vanished ones
    // The name that an earlier binding of the same command line had bound already.
    Text takenBefore;
  };
  // Reports a binding that matched nothing; false.
  bool refuse(const Binding& b, const Use& use);

  std::ostream& out_;
  std::ostream& err_;
  std::vector<Binding> bindings_;
  std::vector<Use> uses_;
  // The vanished and new names of each kind asked, for the messages.
  std::vector<std::pair<ObjectKind, std::pair<Lines, Lines>>> asked_;
  bool allowUnbound_;
  bool bindingFailed_ = false;
};

// Loads the settings and the project that cl.project leads to (a project file, a
// folder, a form or source file, or a PureBasic project; see locateProject) into model
// and files. A project that a PureBasic project makes is written through writeFs and
// note tells of it. Returns 0, or 2 with the problem on err.
int loadCommandLineProject(const CommandLine& cl, FileSystem& fs, FileSystem& writeFs, FormModel& model,
                           Lines& files, std::string& note, std::ostream& err);

// The warning after a run in which count files could not be read or written.
std::string fileErrorWarning(int count);

// Loads the settings and the project and runs the four steps. Returns the exit status:
// 0 after "Ready.", 1 after "Cancel.", 2 when the path leads to no project, the project
// file cannot be opened, another run holds it or a --bind matched no name; with --check
// 3 when the run would change a file.
int runCommandLineGeneration(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err);

// Puts the last run's backup of the project back. Returns 0 when restored, 1 when a
// file could not be written or the backup's list was refused (nothing changed), or when
// files changed after the run and --force was not given (each named on err); 2 when
// there is no backup made by a run or another run holds the project.
int runCommandLineRestore(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err);

}  // namespace tarnwick
