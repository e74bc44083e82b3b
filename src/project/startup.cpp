#include "project/startup.h"

#include <algorithm>

#include "project/settings.h"

namespace tarnwick {

SettingsFiles settingsFiles(const std::string& directory) {
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return SettingsFiles{dir, dir + "TW4.INI", dir + "UserList.INI"};
}

std::string userSettingsFolder(const char* xdgConfigHome, const char* home) {
  std::string base;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home && home[0] != '\0') {
    base = home;
    if (base.back() != '/') base += '/';
    base += ".config";
  } else {
    return {};
  }
  if (base.back() != '/') base += '/';
  return base + "tarnwick/";
}

bool isInstallBinFolder(const std::string& programFolder) {
  std::string folder = programFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder == "bin" || (folder.size() >= 4 && folder.compare(folder.size() - 4, 4, "/bin") == 0);
}

std::string installShareFolder(const std::string& programFolder) {
  if (!isInstallBinFolder(programFolder)) return {};
  std::string folder = programFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder.substr(0, folder.size() - 3) + "share";
}

std::string chooseSettingsFolder(const std::string& given, const std::string& programFolder,
                                 bool programFolderWritable, bool installed, const std::string& userFolder) {
  if (!given.empty()) return given;
  // An installed program lives in the bin folder of its prefix (/usr/bin, /usr/local/bin,
  // ~/.local/bin), which a package manager owns: it never writes there, even when it
  // may, as root may.
  if (installed && !userFolder.empty()) return userFolder;
  // Without a known home the program's folder is still the best place: its settings
  // then read as defaults and are not saved, as with any folder that cannot be written.
  if (programFolderWritable || userFolder.empty()) return programFolder;
  return userFolder;
}

bool makeFolders(FileSystem& fs, const std::string& folder) {
  if (folder.empty()) return true;
  for (std::size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (!part.empty() && !fs.isDirectory(part) && !fs.makeDirectory(part)) return false;
    if (slash == std::string::npos || slash + 1 == folder.size()) return true;
  }
}

void rememberRecentProject(std::vector<std::string>& recent, const std::string& path) {
  if (path.empty()) return;
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kRecentProjects) recent.resize(kRecentProjects);
}

std::vector<std::string> existingRecentProjects(FileSystem& fs, const std::vector<std::string>& recent) {
  std::vector<std::string> out;
  for (const std::string& path : recent)
    if (fs.isRegularFile(path)) out.push_back(path);
  return out;
}

namespace {

std::string recentKey(std::size_t index) { return "Project" + std::to_string(index + 1); }

std::vector<std::string> readRecentProjects(FileSystem& fs, const IniText& ini) {
  std::vector<std::string> recent;
  for (std::size_t i = 0; i < kRecentProjects; ++i) {
    std::string path = toUtf8(ini.get("Recent", fromUtf8(recentKey(i)), ""));
    if (!path.empty() && std::find(recent.begin(), recent.end(), path) == recent.end()) recent.push_back(path);
  }
  return existingRecentProjects(fs, recent);
}

}  // namespace

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
  // A failure shows up below, as the user list that cannot be created.
  makeFolders(fs, files.folder);
  if (!loadUserGadgetFile(fs, files.userList, model.UserGadgetList))
    message("UserGadgetList", "Error open file usergadgetlist");
  buildCommandSets(model.UserGadgetList, model.PrefixCommandSet, model.GadgetCommandSet);

  IniText ini = readIni(fs, files.tw4);
  state.recentProjects = readRecentProjects(fs, ini);
  // A project named on the command line wins; nothing else of TW4.INI is taken then.
  if (usableProjectFile(fs, commandLineProject)) {
    model.ProjectPath = commandLineProject;
    loadProject(commandLineProject);
    return;
  }
  // One that cannot be opened (a typing slip) is reported, and the program starts with a
  // new project: silently opening another one would let the user work on the wrong files.
  std::string remembered = commandLineProject.empty() ? toUtf8(ini.get("Path", "Project", "")) : std::string();
  if (!commandLineProject.empty()) {
    const char* why = !fs.exists(commandLineProject)     ? "there is no such file"
                      : fs.isDirectory(commandLineProject) ? "it is a folder"
                      : fs.fileSize(commandLineProject) == 0 ? "the file is empty"
                                                             : "it is no readable file";
    // The path is bytes; the message box shows text.
    message("Load project", "Cannot open the project " + readableText(commandLineProject) + ": " + why +
                                ".\nTarnwick starts with a new project.");
  }
  if (usableProjectFile(fs, remembered)) {
    model.ProjectPath = remembered;
    // The file was read anyway: keep the folder of the last file dialog as well.
    state.lastDirectory = toUtf8(ini.get("Path", "Last", ""));
    loadProject(remembered);
    return;
  }
  model.ProjectPath = "Unbekannt.pbm";
  state.lastDirectory = toUtf8(ini.get("Path", "Last", ""));
  model.switches = readDefaultSwitches(ini);
  state.hasFile = false;
  state.saved = true;
}

void saveSettings(FileSystem& fs, const std::string& tw4Path, const FormModel& model, const ProjectState& state) {
  updateIniKey(fs, tw4Path, "Path", "Last", state.lastDirectory);
  updateIniKey(fs, tw4Path, "Path", "Project", model.ProjectPath);
  for (const SwitchField& f : kSwitchFields)
    updateIniKey(fs, tw4Path, "Default", T(f.name), numberText(model.switches.*f.field));
  for (std::size_t i = 0; i < kRecentProjects; ++i)
    updateIniKey(fs, tw4Path, "Recent", fromUtf8(recentKey(i)),
                 i < state.recentProjects.size() ? state.recentProjects[i] : Text());
}

}  // namespace tarnwick
