// The file list and log list of the main window, and the project commands: new, load,
// save, save as, the recent projects, and the question that guards new, load and exit.
#include <algorithm>
#include <set>

#include "app/cli/cli.h"
#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/widgets.h"
#include "generate/file_set.h"
#include "project/project_file.h"
#include "project/project_locator.h"
#include "project/settings.h"

namespace tarnwick {

namespace {

const std::vector<FileFilter> kProjectFilter{{"Project (*.pbm)", "*.pbm"}};
// A PureBasic project opens the Tarnwick project beside it, or makes one.
const std::vector<FileFilter> kOpenFilter{{"Project (*.pbm, *.pbp)", "*.pbm;*.pbp"},
                                          {"Project (*.pbm)", "*.pbm"},
                                          {"PureBasic project (*.pbp)", "*.pbp"}};

// Paths are bytes, as the file choosers give them (in the file system's encoding) and as
// the disk names the files: they are never re-spelled, only shown through readableText.
std::string directoryPart(const std::string& path) { return directoryOf(path); }


const char* const kEmptyListText =
    "Nothing to save yet: the file list is empty. Add the form files with Action > Common Add (Insert) first.";

// A check a short while after the watch reported a change: a save is a temporary file
// renamed into place, which comes as several events.
void onProjectFileEvent(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent, gpointer data) {
  App& app = *static_cast<App*>(data);
  if (app.projectCheckSource) return;
  app.projectCheckSource = g_timeout_add(
      200,
      [](gpointer data) -> gboolean {
        App& app = *static_cast<App*>(data);
        app.projectCheckSource = 0;
        app.projectCheckPending = true;
        checkProjectOnDisk(app);
        return G_SOURCE_REMOVE;
      },
      &app);
}

void stopWatch(App& app) {
  if (!app.projectWatch) return;
  g_signal_handlers_disconnect_by_data(app.projectWatch, &app);
  g_file_monitor_cancel(app.projectWatch);
  g_object_unref(app.projectWatch);
  app.projectWatch = nullptr;
  app.watchedPath.clear();
}

// Loads the project the user chose and makes it the window's project.
void openChosenProject(App& app, const std::string& chosen) {
  std::string note;
  const std::string path = projectToOpen(app, chosen, note);
  if (path.empty() || !loadProject(app, path)) return;
  app.state.lastDirectory = directoryPart(path);
  app.model.ProjectPath = path;
  setStatusText(app, app.model.ProjectPath);
  rememberProject(app);
  if (!note.empty()) appendLogLine(app, readableText(note));
}

// The selected row of the file list, or false.
bool selectedFile(App& app, GtkTreeIter& it) {
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app.fileList));
  return gtk_tree_selection_get_selected(sel, nullptr, &it);
}

}  // namespace

std::string projectToOpen(App& app, const std::string& path, std::string& note, const std::string& after) {
  LocatedProject located;
  std::string error;
  if (locateProject(app.fs, path, located, error) != LocateEnd::Found) {
    boxes().error(GTK_WINDOW(app.window), "Load project", readableText(error) + after);
    return std::string();
  }
  if (located.fromPureBasicProject) {
    // A new project takes the switch defaults, as a new project of the window does.
    const Switches defaults = readDefaultSwitches(readIni(app.fs, app.settings.tw4));
    if (!makeProjectFromPureBasicProject(app.fs, located, defaults, note, error)) {
      boxes().error(GTK_WINDOW(app.window), "Load project", readableText(error) + after);
      return std::string();
    }
  }
  return located.projectPath;
}

Lines fileRows(const App& app) {
  Lines rows;
  for (const std::string& row : rowsOf(app.fileList)) rows.push_back(row);
  return rows;
}

void setFileRows(App& app, const Lines& rows) {
  GtkListStore* store = storeOf(app.fileList);
  gtk_list_store_clear(store);
  for (const std::string& row : rows) appendRow(app.fileList, row);
}

void appendLogLine(App& app, const Text& line) {
  GtkListStore* store = storeOf(app.logList);
  GtkTreeIter it;
  gtk_list_store_append(store, &it);
  setRow(store, &it, line);
  // The log follows its last line; rows the user selected to copy stay selected.
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store), &it);
  gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(app.logList), path, nullptr, FALSE, 0, 0);
  gtk_tree_path_free(path);
}

void clearLog(App& app) {
  gtk_list_store_clear(storeOf(app.logList));
  // Its column would keep the width of the longest line gone, and a scroll bar with it.
  gtk_tree_view_columns_autosize(GTK_TREE_VIEW(app.logList));
}

void addCommonFiles(App& app) {
  std::vector<std::string> chosen =
      boxes().openFiles(GTK_WINDOW(app.window), "Commonfile", app.state.lastDirectory,
                        {{"Common", "*.pb*"}, {"Alle Dateien", "*"}}, true);
  if (chosen.empty()) return;
  app.state.lastDirectory = directoryPart(chosen.front());
  addFiles(app, chosen);
}

void addFiles(App& app, const std::vector<std::string>& paths, std::vector<std::string> refused) {
  // A file inside the project's folder is listed relative to it, as the project file
  // keeps it; a file is listed once, whichever path (or link) it is reached by.
  const Text folder = app.state.hasFile ? app.model.projectDirectory() : Text();
  std::set<std::string> listed;
  for (const std::string& row : rowsOf(app.fileList)) listed.insert(app.fs.fileIdentity(resolveFileRow(row, folder)));
  bool added = false;
  for (const std::string& path : paths) {
    std::string name = fileNameOf(path);
    if (path.find_first_of("\r\n") != std::string::npos) {
      // The project file keeps one row a line: a line break would split the row in two.
      refused.push_back(readableText(path) + ": its path holds a line break, which the project file cannot keep");
    } else if (std::find(std::begin(kGeneratedSourceFiles), std::end(kGeneratedSourceFiles), name) !=
                   std::end(kGeneratedSourceFiles)) {
      refused.push_back(readableText(path) + ": Tarnwick generates this file, it is no form file");
    } else if (!listed.insert(app.fs.fileIdentity(path)).second) {
      refused.push_back(readableText(path) + ": already in the list");
    } else {
      appendRow(app.fileList, storedFileRows({path}, folder, folder).front());
      added = true;
    }
  }
  if (added) fileListChanged(app);
  if (refused.empty()) return;
  std::string text = refused.size() == 1 ? "Not added:" : "Not added (" + std::to_string(refused.size()) + " files):";
  for (const std::string& line : refused) text += "\n" + line;
  boxes().message(GTK_WINDOW(app.window), "Commonfile", text);
}

void addDroppedUris(App& app, const std::vector<std::string>& uris) {
  if (refuseWhileRunning(app)) return;
  std::vector<std::string> paths, refused;
  for (const std::string& uri : uris) {
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!path) {
      refused.push_back(uri + ": not a local file");
    } else if (!g_file_test(path, G_FILE_TEST_IS_REGULAR)) {
      refused.push_back(readableText(path) + ": not a file");
    } else {
      paths.emplace_back(path);
    }
    g_free(path);
  }
  if (!paths.empty()) app.state.lastDirectory = directoryPart(paths.front());
  addFiles(app, paths, refused);
}

void removeCommonFile(App& app) {
  GtkTreeIter it;
  if (!selectedFile(app, it)) return;
  GtkListStore* store = storeOf(app.fileList);
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store), &it);
  gtk_list_store_remove(store, &it);
  // The row that took its place (or the new last row) is selected, so that Delete
  // pressed again goes on down the list.
  int left = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store), nullptr);
  if (left > 0) {
    if (gtk_tree_path_get_indices(path)[0] >= left) gtk_tree_path_prev(path);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(app.fileList)), path);
  }
  gtk_tree_path_free(path);
  fileListChanged(app);
}

void firstCommonFile(App& app) {
  GtkTreeIter it;
  if (!selectedFile(app, it)) return;
  GtkListStore* store = storeOf(app.fileList);
  GtkTreePath* at = gtk_tree_model_get_path(GTK_TREE_MODEL(store), &it);
  const bool first = gtk_tree_path_get_indices(at)[0] == 0;
  gtk_tree_path_free(at);
  if (first) return;  // already the first file: nothing moves
  gchar* bytes = nullptr;
  gtk_tree_model_get(GTK_TREE_MODEL(store), &it, 1, &bytes, -1);
  const std::string row = bytes ? bytes : "";
  g_free(bytes);
  gtk_list_store_remove(store, &it);
  gtk_list_store_prepend(store, &it);
  setRow(store, &it, row);
  fileListChanged(app);
}

void copyLog(App& app, bool all) {
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(app.logList));
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app.logList));
  std::string text;
  bool first = true;
  GtkTreeIter it;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
    if (!all && !gtk_tree_selection_iter_is_selected(sel, &it)) continue;
    gchar* row = nullptr;
    gtk_tree_model_get(model, &it, 0, &row, -1);
    if (!first) text += '\n';
    text += row ? row : "";
    first = false;
    g_free(row);
  }
  if (first) return;  // nothing to copy: the clipboard keeps what it holds
  gtk_clipboard_set_text(gtk_widget_get_clipboard(app.logList, GDK_SELECTION_CLIPBOARD), text.c_str(), -1);
}

App::~App() {
  stopWatch(*this);
  if (projectCheckSource) g_source_remove(projectCheckSource);
  if (focusCheckSource) g_source_remove(focusCheckSource);
}

void noteProjectOnDisk(App& app, const std::string& path) {
  app.projectOnDisk.clear();
  app.fs.readFile(path, app.projectOnDisk);
  app.notedPath = path;
  app.projectCheckPending = false;
  if (app.watchedPath == path && app.projectWatch) return;
  stopWatch(app);
  // Where the file cannot be watched, the checks on focus, before a save and before a
  // run still notice a change.
  GFile* file = g_file_new_for_path(path.c_str());
  app.projectWatch = g_file_monitor_file(file, G_FILE_MONITOR_NONE, nullptr, nullptr);
  g_object_unref(file);
  if (!app.projectWatch) return;
  app.watchedPath = path;
  g_signal_connect(app.projectWatch, "changed", G_CALLBACK(onProjectFileEvent), &app);
}

void checkProjectOnDisk(App& app) {
  if (!app.state.hasFile || app.checkingProject) return;
  // A run writes the project file itself; a dialog or a box may be waiting for the user.
  if (app.runActive || !gtk_widget_is_sensitive(app.window) || gtk_grab_get_current()) {
    app.projectCheckPending = true;
    return;
  }
  app.projectCheckPending = false;
  const std::string path = toUtf8(app.model.ProjectPath);
  // A project the window has not read or written under this path yet: what is there
  // now is the state to compare with later.
  if (app.notedPath != path) {
    noteProjectOnDisk(app, path);
    return;
  }
  std::string bytes;
  // A file that is gone or cannot be read leaves the window's project as it is.
  if (!app.fs.readFile(path, bytes) || bytes == app.projectOnDisk) return;
  Lines rows;
  FormModel stored;
  stored.switches = app.model.switches;  // a switch the file lacks keeps its value, as in a load
  if (!readProjectFile(app.fs, path, rows, stored)) return;
  app.projectOnDisk = bytes;
  app.checkingProject = true;
  // The names are what the last run found: a save from the window must never put older
  // ones back, so they are taken whatever the answer below.
  for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                          ObjectKind::ToolBar, ObjectKind::Gadget})
    app.model.previousList(kind) = stored.previousList(kind);
  bool reload = app.state.saved;
  if (!reload)
    reload = boxes().question(GTK_WINDOW(app.window), "Reload project",
                              "The project file " + readableText(path) +
                                  " was changed outside the window (by a command-line run or an editor).\n"
                                  "Reload its file list and switches, and drop the changes made here?",
                              false) == BoxAnswer::Yes;
  if (reload) {
    setFileRows(app, rows);
    app.model.switches = stored.switches;
    app.state.saved = true;
    noteSavedRows(app);
    appendLogLine(app, "- The project file was changed on disk and has been reloaded.");
  } else {
    appendLogLine(app, "- The project file was changed on disk: its names were taken, the window keeps its files "
                       "and switches.");
  }
  refreshTitle(app);
  app.checkingProject = false;
}

bool loadProject(App& app, const std::string& path) {
  setFileRows(app, {});
  clearLog(app);
  app.state.hasFile = false;
  app.state.saved = true;
  Lines rows;
  // readProjectFile empties the previous names and the binding lists before it reads.
  if (!readProjectFile(app.fs, path, rows, app.model)) {
    refreshTitle(app);
    boxes().error(GTK_WINDOW(app.window), "UserGadgetList", "Error open file project");
    return false;
  }
  setFileRows(app, rows);
  app.state.hasFile = true;
  app.state.saved = true;
  noteSavedRows(app);
  noteProjectOnDisk(app, path);
  refreshTitle(app);
  return true;
}

bool saveProject(App& app, const std::string& path, bool useCurrentModel) {
  // A change on disk is taken first, so that no older names are written back over it.
  checkProjectOnDisk(app);
  Lines rows = fileRows(app);
  if (rows.empty()) return false;  // nothing to keep: no file, no message
  // The files inside the folder the project is saved to are kept relative to it.
  const Text from = app.state.hasFile ? app.model.projectDirectory() : Text();
  const Lines stored = storedFileRows(rows, from, directoryOf(path));
  if (!writeProjectFile(app.fs, path, stored, app.model, useCurrentModel)) {
    boxes().error(GTK_WINDOW(app.window), "UserGadgetList", "Error save file project");
    return false;
  }
  if (stored != rows) setFileRows(app, stored);
  app.state.saved = true;
  app.state.hasFile = true;
  noteSavedRows(app);
  noteProjectOnDisk(app, path);
  refreshTitle(app);
  return true;
}

bool askSaveCurrent(App& app) {
  if (app.state.saved) return true;
  // A new project without files holds nothing that a save could keep.
  if (!app.state.hasFile && fileRows(app).empty()) return true;
  BoxAnswer answer = boxes().question(GTK_WINDOW(app.window), "Frage", "Aktuelles Projekt speichern?", false);
  // Escape or the close box: the command that asked is abandoned, nothing changes.
  if (answer == BoxAnswer::Closed) return false;
  if (answer != BoxAnswer::Yes) return true;
  if (app.state.hasFile) {
    // A file that could not be written has been reported; going on would drop the
    // changes the user just asked to keep, so the command stops and they can be saved
    // elsewhere. An empty file list is not saved and does not stop the command.
    if (!saveProject(app, toUtf8(app.model.ProjectPath), false) && !fileRows(app).empty()) return false;
    return true;
  }
  return saveProjectAs(app);
}

void newProject(App& app) {
  if (!askSaveCurrent(app)) return;
  setFileRows(app, {});
  clearLog(app);
  app.model.resetProjectNames();
  app.state.hasFile = false;
  app.state.saved = true;
  noteSavedRows(app);
  app.model.ProjectPath = "Unbekannt.pbm";
  setStatusText(app, app.model.ProjectPath);
}

void refreshTitle(App& app) {
  std::string title = readableText(fileNameOf(app.model.ProjectPath)) + (app.state.saved ? "" : "*") + " - " + kProgramTitle;
  gtk_window_set_title(GTK_WINDOW(app.window), title.c_str());
}

void markModified(App& app) {
  app.otherChanges = true;
  app.state.saved = false;
  refreshTitle(app);
}

void fileListChanged(App& app) {
  app.state.saved = !app.otherChanges && fileRows(app) == app.savedRows;
  refreshTitle(app);
}

void noteSavedRows(App& app) {
  app.savedRows = fileRows(app);
  app.otherChanges = false;
}

void openProject(App& app) {
  if (!askSaveCurrent(app)) return;
  std::vector<std::string> chosen =
      boxes().openFiles(GTK_WINDOW(app.window), "Load project", app.state.lastDirectory, kOpenFilter, false);
  if (chosen.empty()) return;
  openChosenProject(app, chosen.front());
}

void openRecentProject(App& app, const std::string& path) {
  if (refuseWhileRunning(app)) return;
  if (!app.fs.isRegularFile(path)) {
    std::erase(app.state.recentProjects, path);
    rebuildRecentMenu(app);
    boxes().error(GTK_WINDOW(app.window), "Load project", "The project file is gone:\n" + readableText(path));
    return;
  }
  if (!askSaveCurrent(app)) return;
  openChosenProject(app, path);
}

void rememberProject(App& app) {
  rememberRecentProject(app.state.recentProjects, toUtf8(app.model.ProjectPath));
  rebuildRecentMenu(app);
}

void openProjectFolder(App& app) {
  if (!app.state.hasFile) {
    boxes().message(GTK_WINDOW(app.window), "Info", "The project has no folder yet: save it first.");
    return;
  }
  std::string folder = directoryPart(app.model.ProjectPath);
  std::string error;
  if (!boxes().showFolder(GTK_WINDOW(app.window), folder, error))
    boxes().error(GTK_WINDOW(app.window), "Info", "Cannot open the folder " + readableText(folder) + ":\n" + error);
}

void saveProjectCommand(App& app) {
  if (fileRows(app).empty()) {
    boxes().message(GTK_WINDOW(app.window), "Info", kEmptyListText);
  } else if (app.state.hasFile) {
    saveProject(app, toUtf8(app.model.ProjectPath), false);
  } else {
    saveProjectAs(app);
  }
}

bool saveProjectAs(App& app) {
  // A project without files cannot be saved: say so before a file name is asked for.
  if (fileRows(app).empty()) {
    boxes().message(GTK_WINDOW(app.window), "Info", kEmptyListText);
    return false;
  }
  // A filed project is offered its own folder, where its runs write: a copy saved in
  // the folder of the last file dialog would generate away from the user's code. A new
  // project starts where the last file dialog was.
  std::string folder = app.state.hasFile ? directoryPart(toUtf8(app.model.ProjectPath)) : app.state.lastDirectory;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string proposed = folder + toUtf8(fileNameOf(app.model.ProjectPath));
  std::optional<std::string> chosen = boxes().saveFile(GTK_WINDOW(app.window), "Save project", proposed, kProjectFilter);
  if (!chosen || chosen->empty()) return false;
  std::string name = *chosen;
  std::string filePart = name.substr(name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1);
  std::size_t dot = filePart.rfind('.');
  if (dot == std::string::npos || dot + 1 == filePart.size()) name += ".pbm";
  if (app.fs.exists(name) &&
      boxes().question(GTK_WINDOW(app.window), "Frage", "Datei überschreiben?", false) != BoxAnswer::Yes)
    return false;
  if (!saveProject(app, name, false)) return false;
  app.state.lastDirectory = directoryPart(name);
  app.model.ProjectPath = name;
  setStatusText(app, app.model.ProjectPath);
  rememberProject(app);
  return true;
}

}  // namespace tarnwick
