// The settings side of start-up and exit: which project the program opens, the user
// gadget list and the command-name sets, and the keys written to TW4.INI at exit.
// Nothing here needs a display; the shell passes in how a project is loaded and how a
// message is shown.
#pragma once

#include <functional>
#include <string>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// What the shell keeps about the open project besides the form model.
struct ProjectState {
  bool hasFile = false;       // loaded from or saved to ProjectPath
  bool saved = true;          // no unsaved changes
  std::string lastDirectory;  // where the file dialogs open; ends with "/" when set from a path
};

// Full paths of TW4.INI and UserList.INI in a folder (given with or without a final "/").
struct SettingsFiles {
  std::string tw4;
  std::string userList;
};
SettingsFiles settingsFiles(const std::string& directory);

using LoadProjectFn = std::function<bool(const std::string& path)>;
using MessageFn = std::function<void(const std::string& title, const std::string& text)>;

// Reads UserList.INI, creating it when missing and writing its header into an empty
// file. False (names left empty) when the file can be neither read nor created.
bool loadUserGadgetFile(FileSystem& fs, const std::string& path, Lines& names);

// True for a path that names an existing regular file that is not empty.
bool usableProjectFile(FileSystem& fs, const std::string& path);

// The start-up sequence: user gadgets and command-name sets, then the project named on
// the command line, else the one remembered in TW4.INI, else a new "Unbekannt.pbm" with
// the switch defaults of TW4.INI. loadProject is called with the chosen path after
// ProjectPath was set to it; it shows its own failures.
void loadSettings(FileSystem& fs, const SettingsFiles& files, const std::string& commandLineProject,
                  FormModel& model, ProjectState& state, const LoadProjectFn& loadProject, const MessageFn& message);

// Writes the nine keys of TW4.INI at exit, each as its own read-update-write; a key that
// cannot be written is skipped.
void saveSettings(FileSystem& fs, const std::string& tw4Path, const FormModel& model, const ProjectState& state);

}  // namespace tarnwick
