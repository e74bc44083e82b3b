#include "app/gtk/ide_tool.h"

#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/gtk/app.h"
#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/widgets.h"

namespace tarnwick {

namespace {

// One run of the tool: the handshake between the worker and the main loop, and what
// the run logged. The log is kept on the main thread, which shows each line as it comes.
struct IdeRun {
  IdeRun() : handshake([this](GuiRequest& request) { serve(request); }) {}

  void serve(GuiRequest& request) {
    switch (request.code) {
      case OpenSearchReplace:
        serveBindRequest(handshake, nullptr, request);
        return;
      case CloseSearchReplace:
        closeSearchReplaceDialog(nullptr);
        break;
      case AppendLog: {
        const Text& line = *static_cast<const Text*>(request.argument);
        log.push_back(line);
        // The IDE may show what a tool prints; a terminal certainly does.
        std::cout << toUtf8(line) << '\n' << std::flush;
        break;
      }
      case RunEnded:
        gtk_main_quit();
        break;
      default:
        break;
    }
    handshake.answerRequest(request, 0);
  }

  Handshake handshake;
  Lines log;
};

void onLogDestroy(GtkWidget*, gpointer) { gtk_main_quit(); }
void onCloseClicked(GtkButton*, gpointer window) { gtk_widget_destroy(GTK_WIDGET(window)); }

// The log in a small window of its own; returns when the user has closed it.
void showLog(const Lines& log, const std::string& projectPath) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Tarnwick Log");
  gtk_window_set_default_size(GTK_WINDOW(window), 640, 360);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  closeOnEscape(window);
  GtkWidget* box = gtk_vbox_new(FALSE, 6);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_container_add(GTK_CONTAINER(window), box);
  GtkWidget* project = gtk_label_new(readableText(projectPath).c_str());
  gtk_misc_set_alignment(GTK_MISC(project), 0.0f, 0.5f);
  gtk_label_set_ellipsize(GTK_LABEL(project), PANGO_ELLIPSIZE_START);
  gtk_box_pack_start(GTK_BOX(box), project, FALSE, FALSE, 0);
  GtkWidget* scrolled = nullptr;
  GtkWidget* list = newTextList(&scrolled);
  for (const Text& line : log) appendRow(list, toUtf8(line));
  gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);
  GtkWidget* buttons = gtk_hbutton_box_new();
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  GtkWidget* close = gtk_button_new_from_stock(GTK_STOCK_CLOSE);
  gtk_container_add(GTK_CONTAINER(buttons), close);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);
  g_signal_connect(close, "clicked", G_CALLBACK(onCloseClicked), window);
  g_signal_connect(window, "destroy", G_CALLBACK(onLogDestroy), nullptr);
  gtk_widget_show_all(window);
  // The end of the log tells how the run ended.
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(list));
  int rows = gtk_tree_model_iter_n_children(model, nullptr);
  if (rows > 0) {
    GtkTreePath* last = gtk_tree_path_new_from_indices(rows - 1, -1);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(list), last, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(last);
  }
  gtk_widget_grab_focus(close);
  gtk_main();
}

bool warned(const Lines& log) {
  for (const Text& line : log)
    if (startsWith(line, " -> Warning: ")) return true;
  return false;
}

}  // namespace

int runIdeTool(int argc, char** argv, const CommandLine& cl, const std::string& problem) {
  if (!gtk_init_check(&argc, &argv)) return kNoDisplay;
  // GTK's file choosers record recent files there and complain when it is missing.
  g_mkdir_with_parents(g_get_user_data_dir(), 0700);
  gtk_window_set_default_icon_name("tarnwick");

  DiskFileSystem fs;
  // Kept until the process ends, as the command line keeps its model.
  FormModel& model = *new FormModel;
  Lines files;
  std::string note;
  std::ostringstream problems;
  if (!problem.empty()) problems << "tarnwick: " << problem << "\n";
  const int loaded = problem.empty() ? loadCommandLineProject(cl, fs, fs, model, files, note, problems) : 2;
  if (loaded != 0) {
    // Nothing ran: the reason is all there is to show.
    std::cerr << problems.str();
    Lines log;
    std::istringstream lines(problems.str());
    for (std::string line; std::getline(lines, line);) log.push_back(line);  // shown readably
    showLog(log, cl.project);
    return loaded;
  }

  IdeRun run;
  RunEnd end = RunEnd::Cancelled;
  int fileErrors = 0;
  std::thread worker([&] {
    std::unique_ptr<RunHost> host = handshakeRunHost(run.handshake);
    if (!note.empty()) host->logLine(readableText(note));
    RunContext ctx{model, *host, fs, files};
    end = runGeneration(ctx);
    fileErrors = ctx.fileErrors;
    run.handshake.postToGui(RunEnded);
  });
  gtk_main();
  worker.join();

  if (end == RunEnd::Busy) run.log.push_back(kBusyMessage);
  if (fileErrors > 0) run.log.push_back(fileErrorWarning(fileErrors));
  // A run that simply succeeded ends quietly, so that the IDE reloads its sources at once.
  if (end != RunEnd::Ready || fileErrors > 0 || warned(run.log)) showLog(run.log, toUtf8(model.ProjectPath));
  switch (end) {
    case RunEnd::Ready:
      return 0;
    case RunEnd::Cancelled:
      return 1;
    case RunEnd::Busy:
      std::cerr << kBusyMessage << "\n";
      return 2;
  }
  return 2;
}

}  // namespace tarnwick
