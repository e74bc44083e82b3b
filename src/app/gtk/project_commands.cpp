// The file list and log list of the main window, and the project commands: new, load,
// save, save as, and the question that guards new, load and exit.
#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/widgets.h"
#include "project/project_file.h"

namespace tarnwick {

namespace {

const std::vector<FileFilter> kProjectFilter{{"Project (*.pbm)", "*.pbm"}};

std::string directoryPart(const std::string& path) { return toUtf8(directoryOf(fromUtf8(path))); }

// The selected row of the file list, or false.
bool selectedFile(App& app, GtkTreeIter& it) {
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app.fileList));
  return gtk_tree_selection_get_selected(sel, nullptr, &it);
}

}  // namespace

Lines fileRows(const App& app) {
  Lines rows;
  for (const std::string& row : rowsOf(app.fileList)) rows.push_back(fromUtf8(row));
  return rows;
}

void setFileRows(App& app, const Lines& rows) {
  GtkListStore* store = storeOf(app.fileList);
  gtk_list_store_clear(store);
  for (const Text& row : rows) gtk_list_store_insert_with_values(store, nullptr, -1, 0, toUtf8(row).c_str(), -1);
}

void appendLogLine(App& app, const Text& line) {
  GtkListStore* store = storeOf(app.logList);
  GtkTreeIter it;
  gtk_list_store_insert_with_values(store, &it, -1, 0, toUtf8(line).c_str(), -1);
  // Selecting the new row brings it into view; the selection is cleared again at once.
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app.logList));
  gtk_tree_selection_select_iter(sel, &it);
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store), &it);
  gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(app.logList), path, nullptr, FALSE, 0, 0);
  gtk_tree_path_free(path);
  gtk_tree_selection_unselect_all(sel);
}

void clearLog(App& app) { gtk_list_store_clear(storeOf(app.logList)); }

void addCommonFiles(App& app) {
  std::vector<std::string> chosen =
      boxes().openFiles(GTK_WINDOW(app.window), "Commonfile", app.state.lastDirectory,
                        {{"Common", "*.pb*"}, {"Alle Dateien", "*"}}, true);
  if (chosen.empty()) return;
  app.state.lastDirectory = directoryPart(chosen.front());
  app.state.saved = false;
  GtkListStore* store = storeOf(app.fileList);
  for (const std::string& path : chosen) {
    // The project file keeps one row a line: a line break would split the row in two.
    if (path.find_first_of("\r\n") != std::string::npos) {
      boxes().message(GTK_WINDOW(app.window), "Info", "A file whose path holds a line break cannot be added:\n" + path);
      continue;
    }
    gtk_list_store_insert_with_values(store, nullptr, -1, 0, path.c_str(), -1);
  }
}

void removeCommonFile(App& app) {
  GtkTreeIter it;
  if (!selectedFile(app, it)) return;
  gtk_list_store_remove(storeOf(app.fileList), &it);
  app.state.saved = false;
}

void firstCommonFile(App& app) {
  GtkTreeIter it;
  if (!selectedFile(app, it)) return;
  GtkListStore* store = storeOf(app.fileList);
  gchar* text = nullptr;
  gtk_tree_model_get(GTK_TREE_MODEL(store), &it, 0, &text, -1);
  gtk_list_store_remove(store, &it);
  gtk_list_store_insert_with_values(store, nullptr, 0, 0, text, -1);
  g_free(text);
  app.state.saved = false;
}

bool loadProject(App& app, const std::string& path) {
  setFileRows(app, {});
  clearLog(app);
  app.state.hasFile = false;
  app.state.saved = true;
  Lines rows;
  // readProjectFile empties the previous names and the binding lists before it reads.
  if (!readProjectFile(app.fs, path, rows, app.model)) {
    boxes().message(GTK_WINDOW(app.window), "UserGadgetList", "Error open file project");
    return false;
  }
  setFileRows(app, rows);
  app.state.hasFile = true;
  app.state.saved = true;
  return true;
}

bool saveProject(App& app, const std::string& path, bool useCurrentModel) {
  Lines rows = fileRows(app);
  if (rows.empty()) return false;  // nothing to keep: no file, no message
  if (!writeProjectFile(app.fs, path, rows, app.model, useCurrentModel)) {
    boxes().message(GTK_WINDOW(app.window), "UserGadgetList", "Error save file project");
    return false;
  }
  app.state.saved = true;
  app.state.hasFile = true;
  return true;
}

bool askSaveCurrent(App& app) {
  if (app.state.saved) return true;
  if (boxes().question(GTK_WINDOW(app.window), "Frage", "Aktuelles Projekt speichern?", false) != BoxAnswer::Yes)
    return true;
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
  app.model.ProjectPath = U"Unbekannt.pbm";
  setStatusText(app, app.model.ProjectPath);
}

void openProject(App& app) {
  if (!askSaveCurrent(app)) return;
  std::vector<std::string> chosen =
      boxes().openFiles(GTK_WINDOW(app.window), "Load project", app.state.lastDirectory, kProjectFilter, false);
  if (chosen.empty()) return;
  if (!loadProject(app, chosen.front())) return;
  app.state.lastDirectory = directoryPart(chosen.front());
  app.model.ProjectPath = fromUtf8(chosen.front());
  setStatusText(app, app.model.ProjectPath);
}

void saveProjectCommand(App& app) {
  if (app.state.hasFile)
    saveProject(app, toUtf8(app.model.ProjectPath), false);
  else
    saveProjectAs(app);
}

bool saveProjectAs(App& app) {
  std::string proposed = app.state.lastDirectory + toUtf8(fileNameOf(app.model.ProjectPath));
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
  app.model.ProjectPath = fromUtf8(name);
  setStatusText(app, app.model.ProjectPath);
  return true;
}

}  // namespace tarnwick
