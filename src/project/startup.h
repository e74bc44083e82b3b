// The settings side of start-up and exit: which project the program opens, the user
// gadget list and the command-name sets, and the keys written to TW4.INI at exit.
// Nothing here needs a display; the shell passes in how a project is loaded and how a
// message is shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// What the shell keeps about the open project besides the form model.
struct ProjectState {
  bool hasFile = false;       // loaded from or saved to ProjectPath
  bool saved = true;          // no unsaved changes
  std::string lastDirectory;  // where the file dialogs open; ends with "/" when set from a path
  std::vector<std::string> recentProjects;  // most recent first, at most kRecentProjects
};

// How many recent projects TW4.INI keeps (group "Recent", keys "Project1" to "Project5").
constexpr std::size_t kRecentProjects = 5;
// Puts path at the front of the recent projects, once, and keeps the first five.
void rememberRecentProject(std::vector<std::string>& recent, const std::string& path);
// The recent projects that still exist as files, in order.
std::vector<std::string> existingRecentProjects(FileSystem& fs, const std::vector<std::string>& recent);

// Full paths of TW4.INI and UserList.INI in a folder (given with or without a final "/").
struct SettingsFiles {
  std::string folder;  // ends with "/"; may be empty for the working folder
  std::string tw4;
  std::string userList;
};
SettingsFiles settingsFiles(const std::string& directory);

// The folder of a user's own settings: $XDG_CONFIG_HOME/tarnwick/, or
// $HOME/.config/tarnwick/ when XDG_CONFIG_HOME is unset, empty or not absolute (such a
// value is to be ignored). Empty when neither is known. Either argument may be null.
std::string userSettingsFolder(const char* xdgConfigHome, const char* home);

// True for a folder named bin, where an installed program lives.
bool isInstallBinFolder(const std::string& programFolder);
// For a program in a bin folder, the share folder beside it (/usr/share for /usr/bin/),
// whose presence tells an install prefix from a bin folder of the user's own; empty for
// any other folder.
std::string installShareFolder(const std::string& programFolder);

// Where TW4.INI and UserList.INI live: a folder given by the user wins; an installed
// program (in the bin folder of an install prefix) uses the user's settings folder,
// whoever runs it; a copy in a folder of its own uses that folder while the user can
// write it (it keeps its settings beside itself), else the user's settings folder.
std::string chooseSettingsFolder(const std::string& given, const std::string& programFolder,
                                 bool programFolderWritable, bool installed, const std::string& userFolder);

using LoadProjectFn = std::function<bool(const std::string& path)>;
using MessageFn = std::function<void(const std::string& title, const std::string& text)>;

// Creates a folder and the folders above it that are missing; true when it exists afterwards.
bool makeFolders(FileSystem& fs, const std::string& folder);

// Reads UserList.INI, creating it when missing and writing its header into an empty
// file. False (names left empty) when the file can be neither read nor created.
bool loadUserGadgetFile(FileSystem& fs, const std::string& path, Lines& names);

// True for a path that names an existing regular file that is not empty.
bool usableProjectFile(FileSystem& fs, const std::string& path);

// The start-up sequence: the settings folder is created when missing (the user's own
// folder is made on first use), user gadgets and command-name sets, then the project named on
// the command line, else the one remembered in TW4.INI, else a new "Unbekannt.pbm" with
// the switch defaults of TW4.INI. A project named on the command line that cannot be
// opened is reported through message and gives a new project, never the remembered one. loadProject is called with the chosen path after
// ProjectPath was set to it; it shows its own failures. The recent projects are read in
// every case, so that a start with a project named on the command line keeps them.
void loadSettings(FileSystem& fs, const SettingsFiles& files, const std::string& commandLineProject,
                  FormModel& model, ProjectState& state, const LoadProjectFn& loadProject, const MessageFn& message);

// Writes the keys of TW4.INI at exit, each as its own read-update-write: "Path", the
// seven switch defaults, then the five recent projects (an unused one empty). A key
// that cannot be written is skipped.
void saveSettings(FileSystem& fs, const std::string& tw4Path, const FormModel& model, const ProjectState& state);

}  // namespace tarnwick
