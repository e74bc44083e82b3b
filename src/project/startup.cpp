#include "project/startup.h"

#include "project/settings.h"

namespace tarnwick {

SettingsFiles settingsFiles(const std::string& directory) {
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return SettingsFiles{dir + "TW4.INI", dir + "UserList.INI"};
}

bool loadUserGadgetFile(FileSystem& fs, const std::string& path, Lines& names) {
  names.clear();
  if (!fs.ensureFile(path)) return false;
  std::string bytes;
  if (!fs.readFile(path, bytes)) return false;
  if (bytes.empty()) {
    // A fresh file gets its section header, so the user can add names by hand.
    fs.writeFile(path, userGadgetFileBytes({}));
    return true;
  }
  names = parseUserGadgets(decodeFile(bytes).lines);
  return true;
}

bool usableProjectFile(FileSystem& fs, const std::string& path) {
  return !path.empty() && fs.isRegularFile(path) && fs.fileSize(path) > 0;
}

void loadSettings(FileSystem& fs, const SettingsFiles& files, const std::string& commandLineProject,
                  FormModel& model, ProjectState& state, const LoadProjectFn& loadProject, const MessageFn& message) {
  if (!loadUserGadgetFile(fs, files.userList, model.UserGadgetList))
    message("UserGadgetList", "Error open file usergadgetlist");
  buildCommandSets(model.UserGadgetList, model.PrefixCommandSet, model.GadgetCommandSet);

  // A project named on the command line wins, and TW4.INI is then not read at all.
  if (usableProjectFile(fs, commandLineProject)) {
    model.ProjectPath = fromUtf8(commandLineProject);
    loadProject(commandLineProject);
    return;
  }
  IniText ini = readIni(fs, files.tw4);
  std::string remembered = toUtf8(ini.get(U"Path", U"Project", U""));
  if (usableProjectFile(fs, remembered)) {
    model.ProjectPath = fromUtf8(remembered);
    // The file was read anyway: keep the folder of the last file dialog as well.
    state.lastDirectory = toUtf8(ini.get(U"Path", U"Last", U""));
    loadProject(remembered);
    return;
  }
  model.ProjectPath = U"Unbekannt.pbm";
  state.lastDirectory = toUtf8(ini.get(U"Path", U"Last", U""));
  model.switches = readDefaultSwitches(ini);
  state.hasFile = false;
  state.saved = true;
}

void saveSettings(FileSystem& fs, const std::string& tw4Path, const FormModel& model, const ProjectState& state) {
  updateIniKey(fs, tw4Path, U"Path", U"Last", fromUtf8(state.lastDirectory));
  updateIniKey(fs, tw4Path, U"Path", U"Project", model.ProjectPath);
  for (const SwitchField& f : kSwitchFields)
    updateIniKey(fs, tw4Path, U"Default", T(f.name), numberText(model.switches.*f.field));
}

}  // namespace tarnwick
