// The fixture of the main-window tests: a real main window over a temporary folder,
// with the stock boxes replaced by scripted answers.
#pragma once

#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/gui_test_support.h"

namespace tarnwick {

using testing::GtkTest;
using testing::listRows;
using testing::pumpUntil;

inline std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void writeAll(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Stand-ins for the stock boxes: scripted answers, every call recorded.
struct FakeBoxes {
  std::vector<std::string> calls;  // "title: text" of every box shown
  std::vector<std::string> errors;  // those of them shown as errors
  std::deque<BoxAnswer> answers;   // questions; an empty queue answers No
  std::deque<std::vector<std::string>> opened;
  std::deque<std::optional<std::string>> savedAs;
  std::string lastProposed;

  void install() {
    Boxes& b = boxes();
    b.message = [this](GtkWindow*, const std::string& title, const std::string& text) {
      calls.push_back(title + ": " + text);
    };
    b.error = [this](GtkWindow*, const std::string& title, const std::string& text) {
      calls.push_back(title + ": " + text);
      errors.push_back(title + ": " + text);
    };
    b.question = [this](GtkWindow*, const std::string& title, const std::string& text, bool) {
      calls.push_back(title + ": " + text);
      if (answers.empty()) return BoxAnswer::No;
      BoxAnswer a = answers.front();
      answers.pop_front();
      return a;
    };
    b.openFiles = [this](GtkWindow*, const std::string& title, const std::string&, const std::vector<FileFilter>&,
                         bool) {
      calls.push_back("open: " + title);
      if (opened.empty()) return std::vector<std::string>{};
      auto r = opened.front();
      opened.pop_front();
      return r;
    };
    b.saveFile = [this](GtkWindow*, const std::string& title, const std::string& proposed,
                        const std::vector<FileFilter>&) {
      calls.push_back("save: " + title);
      lastProposed = proposed;
      if (savedAs.empty()) return std::optional<std::string>{};
      auto r = savedAs.front();
      savedAs.pop_front();
      return r;
    };
    b.showFolder = [this](GtkWindow*, const std::string& folder, std::string&) {
      calls.push_back("folder: " + folder);
      return true;
    };
  }
};

class ShellTest : public GtkTest {
 protected:
  void SetUp() override {
    GtkTest::SetUp();
    gchar* d = g_dir_make_tmp("tarnwick-shell-XXXXXX", nullptr);
    dir = std::string(d) + "/";
    g_free(d);
    app = std::make_unique<App>(fs, dir);
    ASSERT_TRUE(openMainWindow(*app));
    gtk_widget_show(app->window);
    fake.install();
  }
  void TearDown() override {
    ASSERT_TRUE(pumpUntil([&] { return !app->runActive; }));
    if (app->startDialog) closeStartDialog(*app);
    gtk_widget_destroy(app->window);
    app.reset();
    boxes() = gtkBoxes();
    std::string rm = "rm -rf '" + dir + "'";
    if (std::system(rm.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
    GtkTest::TearDown();
  }

  std::vector<std::string> files() { return listRows(app->fileList); }
  std::vector<std::string> log() { return listRows(app->logList); }
  std::string status() {
    GtkWidget* area = gtk_statusbar_get_message_area(GTK_STATUSBAR(app->statusBar));
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    std::string text = gtk_label_get_text(GTK_LABEL(children->data));
    g_list_free(children);
    return text;
  }
  void menu(int item) { gtk_menu_item_activate(GTK_MENU_ITEM(app->menuItems.at(item))); }
  void tool(int item) { gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(app->toolItems.at(item))))); }
  void selectFile(int row) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(app->fileList)), path);
    gtk_tree_path_free(path);
  }
  // A filed project in the temp folder with the given rows.
  void filedProject(const Lines& rows) {
    setFileRows(*app, rows);
    app->model.ProjectPath = fromUtf8(dir + "p.pbm");
    app->state.hasFile = true;
    app->state.saved = true;
  }
  void click(int gadget) { gtk_button_clicked(GTK_BUTTON(app->startGadgets.at(gadget))); }
  bool checked(int gadget) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(app->startGadgets.at(gadget)));
  }

  DiskFileSystem fs;
  std::string dir;
  std::unique_ptr<App> app;
  FakeBoxes fake;
};

}  // namespace tarnwick
