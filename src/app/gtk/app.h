// The state of the running shell: the main window's widgets, the form model and the
// project state, the request handshake of the generation worker, and the operations
// that the menu, the toolbar, the shortcuts and the dialogs call.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "run/preview.h"
#include "run/run.h"
#include "app/gtk/handshake.h"
#include "model/filesystem.h"
#include "model/form_model.h"
#include "project/startup.h"

namespace tarnwick {

// Menu item numbers; toolbar buttons carry the number of the item they stand for.
enum MenuItemNumber : int {
  ItemNewProject = 0,
  ItemLoadProject = 1,
  ItemSaveProject = 2,
  ItemSaveProjectAs = 3,
  ItemUserGadget = 4,
  ItemExit = 5,
  ItemAddCommon = 6,
  ItemDeleteCommon = 7,
  ItemFirstCommon = 8,
  ItemStartGenerate = 9,
  ItemInfo = 10,
  ItemLicence = 11,
  ItemOpenFolder = 12,
  ItemRestoreBackup = 13,
};

// Gadget numbers of the "Start Generate" dialog.
enum StartGadget : int {
  GadgetParend = 3,
  GadgetPBIgnore = 4,
  GadgetMultilang = 5,
  GadgetImageInclude = 6,
  GadgetImageNull = 7,
  GadgetStart = 8,
  GadgetUseCallFast = 9,
  GadgetUtf8 = 10,
  GadgetPreview = 24,
};

struct App {
  App(FileSystem& fileSystem, const std::string& settingsDirectory);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Main window (window 0).
  GtkWidget* window = nullptr;
  GtkWidget* menuBar = nullptr;
  GtkWidget* toolbar = nullptr;
  GtkWidget* paned = nullptr;
  GtkWidget* fileList = nullptr;  // gadget 1: the project's files, one full path a row
  GtkWidget* logList = nullptr;   // gadget 2: the generation log
  GtkWidget* statusBar = nullptr;
  int wantedDivider = -1;       // where the user left the splitter's divider
  bool placingDivider = false;  // the program moves the divider, not the user
  GtkAccelGroup* accelGroup = nullptr;
  std::map<int, GtkWidget*> menuItems;    // by item number
  std::map<int, GtkToolItem*> toolItems;  // by the item number they raise
  GtkWidget* fileMenu = nullptr;          // the "&File" menu, which also lists the recent projects
  std::vector<GtkWidget*> recentItems;    // those items and the separator after them
  GtkWidget* logMenu = nullptr;           // context menu of the log: "Copy", "Copy All", "Clear"

  // "Start Generate" dialog (window 1) while it is open.
  GtkWidget* startDialog = nullptr;
  std::map<int, GtkWidget*> startGadgets;  // by gadget number
  bool settingBoxes = false;               // check boxes changed by the program, not the user

  FormModel model;
  ProjectState state;
  FileSystem& fs;
  SettingsFiles settings;

  Handshake handshake;
  bool runActive = false;  // from "Start" until the worker's last request
  // The binding answers the user gave in a preview, for the run that follows it.
  std::vector<RememberingHost::Answer> previewAnswers;
  GtkWidget* previewWindow = nullptr;  // the "Preview" window while it is open
  bool quit = false;

  // Called with the item number of every menu event (tests watch it).
  std::function<void(int)> menuObserver;

  // The project file as the window last read or wrote it, to notice a change on disk
  // (a command-line run, an editor); the watch on it and a check it has asked for.
  std::string projectOnDisk;
  std::string notedPath;  // the path projectOnDisk was read from
  // The file list as last loaded or saved, and whether anything else (a switch) changed
  // since: a list edited back to it has no unsaved changes.
  Lines savedRows;
  bool otherChanges = false;
  std::string watchedPath;
  GFileMonitor* projectWatch = nullptr;
  guint projectCheckSource = 0;
  guint focusCheckSource = 0;
  bool projectCheckPending = false;
  bool checkingProject = false;

  ~App();
};

// Main window.
bool openMainWindow(App& app);
void dispatchMenu(App& app, int item);
// Sets the status bar and the title (see refreshTitle).
void setStatusText(App& app, const Text& text);
// The title: the project file's name, "*" while it has unsaved changes, " - " and the
// program's title.
void refreshTitle(App& app);
// The project has unsaved changes.
void markModified(App& app);
// The file list changed: unsaved unless it is back to its saved rows and nothing else changed.
void fileListChanged(App& app);
// The project was loaded, saved or made new: its file list is the saved one.
void noteSavedRows(App& app);
// Puts the splitter's divider at its start place, low enough for six rows of the file
// list; the splitter fills the room between toolbar and status bar.
void placeDivider(App& app, int position);
void exitAction(App& app);
// Enables the main window, unless a dialog that holds it disabled is still open (the
// "Start Generate", "UserGadget", "Licence" or search-and-replace window); that dialog
// enables it when it closes.
void enableMainWindow(App& app);
// Shows a short message when a run is active; true when the command must not go on.
bool refuseWhileRunning(App& app);

// File list (gadget 1) and log list (gadget 2).
Lines fileRows(const App& app);
void setFileRows(App& app, const Lines& rows);
void appendLogLine(App& app, const Text& line);
void clearLog(App& app);
void addCommonFiles(App& app);
// Appends files to the list; a generated file or one already listed is refused, and a
// message box names each refused file and why (refused holds "path: reason" lines
// found beforehand).
void addFiles(App& app, const std::vector<std::string>& paths, std::vector<std::string> refused = {});
// Files dropped from a file manager (text/uri-list): the local ones are added.
void addDroppedUris(App& app, const std::vector<std::string>& uris);
void removeCommonFile(App& app);
void firstCommonFile(App& app);
// The log rows that are selected, or all of them, as one text on the clipboard.
void copyLog(App& app, bool all);

// Project commands.
// The project file to load for a path the user named: the path itself, or the project
// that a folder, a form file or a PureBasic project (*.pbp) leads to, made from the
// .pbp when it has none yet (note then says so, for the log). Empty after an error box
// (its text followed by after) when there is none.
std::string projectToOpen(App& app, const std::string& path, std::string& note, const std::string& after = "");
// Remembers the project file at path as the window now knows it, and watches it.
void noteProjectOnDisk(App& app, const std::string& path);
// When the project file changed on disk since the window last read or wrote it: its
// names (the record of the last run) are taken at once; its file list and switches
// too when the window has no unsaved changes, otherwise after asking. Does nothing
// while a run is active or a dialog holds the main window (it is then checked later).
void checkProjectOnDisk(App& app);
bool loadProject(App& app, const std::string& path);
bool saveProject(App& app, const std::string& path, bool useCurrentModel);
bool askSaveCurrent(App& app);
void newProject(App& app);
void openProject(App& app);
void saveProjectCommand(App& app);
bool saveProjectAs(App& app);
// A project chosen from the File menu's recent projects.
void openRecentProject(App& app, const std::string& path);
// A project got its path by a load or a save as: it heads the recent projects.
void rememberProject(App& app);
// Lists the recent projects that still exist in the File menu, above "E&xit".
void rebuildRecentMenu(App& app);
// Shows the project file's folder in the desktop's file manager.
void openProjectFolder(App& app);

// Settings at start-up and exit.
void loadShellSettings(App& app, const std::string& commandLineProject);
void saveShellSettings(App& app);

// "Start Generate" dialog and the run.
void openStartDialog(App& app);
void closeStartDialog(App& app);
// One file of a preview: its path as shown, its diff, and how many lines it adds and
// removes.
struct PreviewFile {
  std::string shown;
  std::string diff;
  int added = 0, removed = 0;
};

// Starts a run on the worker. A preview runs without writing anything and then opens
// the "Preview" window; a run after a preview keeps the bindings the user gave in it.
void startRun(App& app, bool preview = false, bool afterPreview = false);
// The "Preview" window of a preview's changes; "Generate" starts the real run.
void openPreviewWindow(App& app, std::vector<PreviewFile> files);
void closePreviewWindow(App& app);
// Action > Restore Backup: asks, then puts the last run's backup back.
void restoreBackupCommand(App& app);
// The run host of the window: every call becomes a request to the main thread.
std::unique_ptr<RunHost> windowRunHost(App& app);
// The same over any handshake: its server answers OpenSearchReplace with
// serveBindRequest, and every other request with 0 once it is done.
std::unique_ptr<RunHost> handshakeRunHost(Handshake& handshake);
// Opens the search-and-replace dialog for an OpenSearchReplace request, over parent
// (may be null); the request is answered when the user has finished the dialog.
void serveBindRequest(Handshake& handshake, GtkWindow* parent, GuiRequest& request);
void serveRequest(App& app, GuiRequest& request);

}  // namespace tarnwick
