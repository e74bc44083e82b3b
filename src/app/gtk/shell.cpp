// Start-up and exit of the window program: settings, the main window and the event loop.
#include "app/gtk/shell.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/cli/cli.h"
#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/icons.h"
#include "project/settings.h"

namespace tarnwick {

void loadShellSettings(App& app, const std::string& commandLineProject) {
  // A folder, a form file or a PureBasic project named on the command line leads to its
  // project. One that leads to none is reported, and the window starts with a new
  // project rather than the last session's: no one works on the wrong files unawares.
  std::string note, project;
  if (!commandLineProject.empty())
    project = projectToOpen(app, commandLineProject, note, "\nTarnwick starts with a new project.");
  const bool refused = !commandLineProject.empty() && project.empty();
  loadSettings(
      app.fs, app.settings, project, app.model, app.state,
      [&app, refused](const std::string& path) { return !refused && loadProject(app, path); },
      [&app](const std::string& title, const std::string& text) {
        boxes().error(GTK_WINDOW(app.window), title, text);
      });
  if (refused) {
    app.model.ProjectPath = "Unbekannt.pbm";
    app.model.switches = readDefaultSwitches(readIni(app.fs, app.settings.tw4));
    app.state.hasFile = false;
    app.state.saved = true;
  }
  if (!note.empty()) appendLogLine(app, readableText(note));
  setStatusText(app, app.model.ProjectPath);
  noteSavedRows(app);
  if (app.state.hasFile)
    rememberProject(app);
  else
    rebuildRecentMenu(app);
}

void saveShellSettings(App& app) { saveSettings(app.fs, app.settings.tw4, app.model, app.state); }

int runShell(int argc, char** argv, const std::string& project, const std::string& settingsFolder) {
  if (!gtk_init_check(&argc, &argv)) {
    std::cerr << "tarnwick: cannot open the display\n";
    return 1;
  }
  // GTK's file choosers record recent files there and complain when it is missing.
  g_mkdir_with_parents(g_get_user_data_dir(), 0700);

  // The information text is a constant; the icons are decoded before any window needs them.
  decodeIcons();
  // Every window shows the program's icon, as the desktop's menu does.
  gtk_window_set_default_icon_name("tarnwick");
  DiskFileSystem fs;
  // The worker may still run when the loop ends, so the application is never destroyed.
  App* app = new App(fs, settingsFolder);
  if (!openMainWindow(*app)) return 0;
  gtk_widget_show(app->window);
  loadShellSettings(*app, project.empty() ? std::string() : absolutePath(project));
  placeDivider(*app, 100);

  if (!app->quit) gtk_main();
  saveShellSettings(*app);
  if (app->runActive) {
    // Quitting during a run ends the process without waiting for the worker.
    std::fflush(nullptr);
    _exit(0);
  }
  gtk_widget_destroy(app->window);
  delete app;
  return 0;
}

}  // namespace tarnwick
