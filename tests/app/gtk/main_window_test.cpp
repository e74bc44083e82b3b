// The main window as a new user meets it: its title, the file list's keys, drops and
// refusals, the log's menu, the recent projects, the shortcuts, and the dialogs'
// manners (owned, centred, Escape).
#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/shell_fixture.h"
#include "app/gtk/user_dialogs.h"

namespace tarnwick {
namespace {

using testing::findWindow;
using testing::pressKey;

class MainWindowTest : public ShellTest {
 protected:
  // The labels of the File menu between "Project Save &As"'s separator and "E&xit".
  std::vector<std::string> recentLabels() {
    std::vector<std::string> labels;
    for (GtkWidget* w : app->recentItems)
      if (!GTK_IS_SEPARATOR_MENU_ITEM(w)) labels.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(w)));
    return labels;
  }
  std::string project(const std::string& name, const std::string& rows) {
    std::string path = dir + name;
    writeAll(path, "[FILES]\n" + rows + "\n");
    return path;
  }
};

// Ctrl+S and "Start Generate" on an empty new project are driven in the GUI system test.
TEST_F(MainWindowTest, ANewProjectIsSavedBeforeItsFirstRunOnlyWhenItHasFiles) {
  newProject(*app);
  // A file added and removed again leaves nothing to save: the exit asks nothing.
  fake.opened.push_back({"/src/form.pb"});
  menu(ItemAddCommon);
  selectFile(0);
  menu(ItemDeleteCommon);
  fake.calls.clear();
  menu(ItemExit);
  EXPECT_TRUE(app->quit);
  EXPECT_TRUE(fake.calls.empty());

  // With a file, "Start Generate" saves the project first and then opens the dialog.
  app->quit = false;
  setFileRows(*app, {"/src/form.pb"});
  fake.answers.push_back(BoxAnswer::Yes);  // "The project has no file yet ... Save it now?"
  fake.savedAs.push_back(dir + "first");
  menu(ItemStartGenerate);
  ASSERT_NE(app->startDialog, nullptr);
  EXPECT_EQ(readAll(dir + "first.pbm").substr(0, 22), "[FILES]\n/src/form.pb\n\n");
  EXPECT_EQ(status(), dir + "first.pbm");
}

TEST_F(MainWindowTest, FileListTakesDeleteDropsAndRefusesWhatIsNoFormFile) {
  filedProject({"/a.pb", "/b.pb", "/c.pb"});
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(app->fileList); }));
  gtk_widget_grab_focus(app->fileList);
  selectFile(1);
  pressKey(app->fileList, GDK_KEY_Delete);
  ASSERT_TRUE(pumpUntil([&] { return files().size() == 2; }));
  pressKey(app->fileList, GDK_KEY_Delete);  // the next row took the selection
  ASSERT_TRUE(pumpUntil([&] { return files().size() == 1; }));
  EXPECT_EQ(files(), std::vector<std::string>{"/a.pb"});
  EXPECT_FALSE(app->state.saved);

  // Generated files and files already listed are refused, the others added.
  app->state.saved = true;
  fake.calls.clear();
  fake.opened.push_back({"/p/EventGadget.pb", "/p/form2.pb", "/a.pb", "/p/Main.pb.bak", "/p/form2.pb"});
  menu(ItemAddCommon);
  EXPECT_EQ(files(), (std::vector<std::string>{"/a.pb", "/p/form2.pb", "/p/Main.pb.bak"}));
  EXPECT_FALSE(app->state.saved);
  EXPECT_EQ(fake.calls.back(),
            "Commonfile: Not added (3 files):\n"
            "/p/EventGadget.pb: Tarnwick generates this file, it is no form file\n"
            "/a.pb: already in the list\n/p/form2.pb: already in the list");

  // Dropped from a file manager: local files are added, anything else is named.
  writeAll(dir + "dropped form.pb", "");
  writeAll(dir + "Main.pb", "");
  gchar* uri = g_filename_to_uri((dir + "dropped form.pb").c_str(), nullptr, nullptr);
  gchar* main = g_filename_to_uri((dir + "Main.pb").c_str(), nullptr, nullptr);
  gchar* folder = g_filename_to_uri(dir.c_str(), nullptr, nullptr);
  fake.calls.clear();
  addDroppedUris(*app, {uri, main, folder, "http://example.org/x.pb"});
  // Inside the project's folder the row is relative to it, as the project file keeps it.
  EXPECT_EQ(files().back(), "dropped form.pb");
  EXPECT_EQ(files().size(), 4u);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"Commonfile: Not added (3 files):\n" + dir +
                                                 ": not a file\nhttp://example.org/x.pb: not a local file\n" + dir +
                                                 "Main.pb: Tarnwick generates this file, it is no form file"});
  // The same file through a link is the same file.
  ASSERT_EQ(symlink((dir + "dropped form.pb").c_str(), (dir + "link.pb").c_str()), 0);
  fake.calls.clear();
  fake.opened.push_back({dir + "link.pb"});
  menu(ItemAddCommon);
  EXPECT_EQ(files().size(), 4u);
  EXPECT_EQ(fake.calls.back(), "Commonfile: Not added:\n" + dir + "link.pb: already in the list");
  g_free(uri);
  g_free(main);
  g_free(folder);
  // The list takes drops of file names.
  GtkTargetList* targets = gtk_drag_dest_get_target_list(app->fileList);
  ASSERT_NE(targets, nullptr);
  guint info = 0;
  EXPECT_TRUE(gtk_target_list_find(targets, gdk_atom_intern_static_string("text/uri-list"), &info));
}

TEST_F(MainWindowTest, LogFollowsItsLastLineAndItsMenuCopiesAndClears) {
  for (int i = 0; i < 200; ++i) appendLogLine(*app, "line " + numberText(i));
  ASSERT_TRUE(pumpUntil([&] {
    GtkAdjustment* v = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(gtk_widget_get_parent(app->logList)));
    return gtk_adjustment_get_upper(v) > gtk_adjustment_get_page_size(v) &&
           gtk_adjustment_get_value(v) + gtk_adjustment_get_page_size(v) >= gtk_adjustment_get_upper(v);
  })) << "the log does not show its last line";

  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app->logList));
  for (int row : {3, 5}) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(sel, path);
    gtk_tree_path_free(path);
  }
  appendLogLine(*app, "late line");  // a line arriving keeps the selection
  EXPECT_EQ(gtk_tree_selection_count_selected_rows(sel), 2);

  std::vector<std::string> labels;
  std::vector<GtkWidget*> items;
  GList* children = gtk_container_get_children(GTK_CONTAINER(app->logMenu));
  for (GList* l = children; l; l = l->next) {
    items.push_back(GTK_WIDGET(l->data));
    labels.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(l->data)));
  }
  g_list_free(children);
  ASSERT_EQ(labels, (std::vector<std::string>{"Copy", "Copy All", "Clear"}));
  GtkClipboard* clipboard = gtk_widget_get_clipboard(app->logList, GDK_SELECTION_CLIPBOARD);
  auto clip = [&] {
    gchar* text = gtk_clipboard_wait_for_text(clipboard);
    std::string out = text ? text : "";
    g_free(text);
    return out;
  };
  gtk_menu_item_activate(GTK_MENU_ITEM(items[0]));
  EXPECT_EQ(clip(), "line 3\nline 5");
  gtk_menu_item_activate(GTK_MENU_ITEM(items[1]));
  std::string all = clip();
  EXPECT_EQ(all.substr(0, 14), "line 0\nline 1\n");
  EXPECT_EQ(all.substr(all.size() - 18), "line 199\nlate line");
  gtk_menu_item_activate(GTK_MENU_ITEM(items[2]));
  EXPECT_TRUE(log().empty());
}

TEST_F(MainWindowTest, FileMenuListsTheLastProjectsThatStillExist) {
  std::vector<std::string> paths;
  for (const char* name : {"one.pbm", "two.pbm", "three_x.pbm"}) {
    paths.push_back(project(name, "/a.pb"));
    fake.opened.push_back({paths.back()});
    menu(ItemLoadProject);
  }
  EXPECT_EQ(recentLabels(), (std::vector<std::string>{"_1 " + dir + "three__x.pbm", "_2 " + dir + "two.pbm",
                                                      "_3 " + dir + "one.pbm"}));
  // They stand above "E&xit", after their own separator.
  GList* children = gtk_container_get_children(GTK_CONTAINER(app->fileMenu));
  EXPECT_EQ(g_list_index(children, app->menuItems.at(ItemExit)), g_list_index(children, app->recentItems.back()) + 1);
  g_list_free(children);

  // Choosing one opens it; one that has gone is told about and leaves the list.
  gtk_menu_item_activate(GTK_MENU_ITEM(app->recentItems[2]));
  EXPECT_EQ(status(), paths[0]);
  EXPECT_EQ(recentLabels().front(), "_1 " + paths[0]);
  std::remove(paths[1].c_str());
  fake.calls.clear();
  gtk_menu_item_activate(GTK_MENU_ITEM(app->recentItems[2]));
  EXPECT_EQ(fake.calls, std::vector<std::string>{"Load project: The project file is gone:\n" + paths[1]});
  EXPECT_EQ(status(), paths[0]);
  EXPECT_EQ(app->state.recentProjects, (std::vector<std::string>{paths[0], paths[2]}));
  EXPECT_EQ(recentLabels().size(), 2u);

  // A save as puts its project first too.
  fake.savedAs.push_back(dir + "saved");
  ASSERT_TRUE(saveProjectAs(*app));
  EXPECT_EQ(recentLabels(), (std::vector<std::string>{"_1 " + dir + "saved.pbm", "_2 " + paths[0], "_3 " + dir + "three__x.pbm"}));
}

TEST_F(MainWindowTest, ShortcutsAndTheProjectFolder) {
  std::vector<int> raised;
  app->menuObserver = [&](int item) { raised.push_back(item); };
  filedProject({});
  EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(app->window), GDK_KEY_Insert, GdkModifierType(0)));
  EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(app->window), GDK_KEY_F5, GdkModifierType(0)));
  EXPECT_EQ(raised, (std::vector<int>{ItemAddCommon, ItemStartGenerate}));
  ASSERT_NE(app->startDialog, nullptr);
  closeStartDialog(*app);

  fake.calls.clear();
  menu(ItemOpenFolder);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"folder: " + dir});
  newProject(*app);
  fake.calls.clear();
  menu(ItemOpenFolder);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"Info: The project has no folder yet: save it first."});
}

// A project named on the command line that cannot be opened is an error, and the
// window starts with a new project, not with the one of the last session.
TEST_F(MainWindowTest, ACommandLineProjectThatCannotBeOpenedGivesANewProject) {
  const std::string remembered = project("remembered.pbm", "/a.pb");
  writeAll(dir + "TW4.INI", "[Path]\nProject = " + remembered + "\n");
  loadShellSettings(*app, dir + "typo.pbm");
  EXPECT_EQ(fake.errors, std::vector<std::string>{"Load project: Cannot open the project " + dir +
                                                  "typo.pbm: there is no such file.\nTarnwick starts with a new project."});
  EXPECT_EQ(status(), "Unbekannt.pbm");
  EXPECT_FALSE(app->state.hasFile);
  EXPECT_TRUE(files().empty());
}

// The project file changed on disk (a command-line run, an editor): the window takes it,
// asks first when it has unsaved changes, and a save never writes older names back.
TEST_F(MainWindowTest, AProjectFileChangedOnDiskIsTakenAndNotOverwritten) {
  const std::string path = dir + "p.pbm";
  writeAll(path, "[FILES]\n/a.pb\n\n[WINDOW]\nWindow_0\n\n");
  fake.opened.push_back({path});
  menu(ItemLoadProject);
  ASSERT_EQ(files(), std::vector<std::string>{"/a.pb"});
  fake.calls.clear();

  // Unchanged in the window: taken as it is, without a question.
  writeAll(path, "[FILES]\n/a.pb\n/b.pb\n\n[WINDOW]\nMain\n\n");
  ASSERT_TRUE(pumpUntil([&] { return files().size() == 2; }));
  EXPECT_EQ(app->model.PreviousWindowList, Lines{"Main"});
  EXPECT_TRUE(app->state.saved);
  EXPECT_TRUE(fake.calls.empty());

  // Changed in the window: No keeps the window's files, but the names are taken, and
  // Ctrl+S writes them rather than the older ones.
  fake.opened.push_back({"/c.pb"});
  menu(ItemAddCommon);
  fake.calls.clear();
  fake.answers.push_back(BoxAnswer::No);
  writeAll(path, "[FILES]\n/a.pb\n\n[WINDOW]\nRenamed\n\n");
  ASSERT_TRUE(pumpUntil([&] { return app->model.PreviousWindowList == Lines{"Renamed"}; }));
  ASSERT_EQ(fake.calls.size(), 1u);
  EXPECT_EQ(fake.calls[0].rfind("Reload project: The project file " + path + " was changed", 0), 0u) << fake.calls[0];
  EXPECT_EQ(files(), (std::vector<std::string>{"/a.pb", "/b.pb", "/c.pb"}));
  EXPECT_FALSE(app->state.saved);
  pressKey(app->window, GDK_KEY_s, GDK_CONTROL_MASK);
  ASSERT_TRUE(pumpUntil([&] { return app->state.saved; }));
  std::string saved = readAll(path);
  EXPECT_EQ(saved.rfind("[FILES]\n/a.pb\n/b.pb\n/c.pb\n\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("[WINDOW]\nRenamed\n"), std::string::npos) << saved;

  // A save right after a change on disk, before the watch has said a word, still takes it.
  writeAll(path, "[FILES]\n/a.pb\n/b.pb\n/c.pb\n\n[WINDOW]\nLatest\n\n");
  menu(ItemSaveProject);
  EXPECT_NE(readAll(path).find("[WINDOW]\nLatest\n"), std::string::npos) << readAll(path);

  // Yes drops the window's changes for the file's.
  fake.opened.push_back({"/d.pb"});
  menu(ItemAddCommon);
  fake.calls.clear();
  fake.answers.push_back(BoxAnswer::Yes);
  writeAll(path, "[FILES]\n/x.pb\n\n[WINDOW]\nLatest\n\n");
  ASSERT_TRUE(pumpUntil([&] { return files() == std::vector<std::string>{"/x.pb"}; }));
  EXPECT_EQ(fake.calls.size(), 1u);
  EXPECT_TRUE(app->state.saved);
  testing::pump();
  EXPECT_EQ(fake.calls.size(), 1u) << "asked once per change";
}

// The file list shows six rows to begin with, and neither list vanishes when the window
// is made small and large again; the divider goes back where it was.
TEST_F(MainWindowTest, SplitterKeepsBothListsInSight) {
  std::vector<std::string> rows;
  for (int i = 0; i < 12; ++i) rows.push_back("/form" + std::to_string(i) + ".pb");
  setFileRows(*app, Lines(rows.begin(), rows.end()));
  for (int i = 0; i < 30; ++i) appendLogLine(*app, "line");
  placeDivider(*app, 100);
  auto lastVisibleRow = [&] {
    GtkTreePath* start = nullptr;
    GtkTreePath* end = nullptr;
    if (!gtk_tree_view_get_visible_range(GTK_TREE_VIEW(app->fileList), &start, &end)) return -1;
    int last = gtk_tree_path_get_indices(end)[0];
    // A row counts when the whole of it is in sight.
    GdkRectangle cell, visible;
    gtk_tree_view_get_cell_area(GTK_TREE_VIEW(app->fileList), end, nullptr, &cell);
    gtk_tree_view_get_visible_rect(GTK_TREE_VIEW(app->fileList), &visible);
    if (cell.y + cell.height > visible.height) --last;
    gtk_tree_path_free(start);
    gtk_tree_path_free(end);
    return last;
  };
  auto height = [](GtkWidget* list) {
    GtkAllocation a;
    gtk_widget_get_allocation(gtk_widget_get_parent(list), &a);
    return a.height;
  };
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(app->fileList) && lastVisibleRow() >= 5; }))
      << "last whole row " << lastVisibleRow();
  const int divider = gtk_paned_get_position(GTK_PANED(app->paned));

  gtk_window_resize(GTK_WINDOW(app->window), 800, 120);
  ASSERT_TRUE(pumpUntil([&] {
    GtkAllocation a;
    gtk_widget_get_allocation(app->window, &a);
    return a.height < 400;
  }));
  testing::pump();
  EXPECT_GE(lastVisibleRow(), 1) << "the file list keeps a few rows";
  EXPECT_GT(height(app->logList), 40) << "and so does the log";

  gtk_window_resize(GTK_WINDOW(app->window), 800, 600);
  ASSERT_TRUE(pumpUntil([&] { return gtk_paned_get_position(GTK_PANED(app->paned)) == divider; }))
      << gtk_paned_get_position(GTK_PANED(app->paned)) << " instead of " << divider;
  EXPECT_GE(lastVisibleRow(), 5);
  EXPECT_GT(height(app->logList), height(app->fileList));
}

// Each dialog belongs to the main window, opens centred on it, and Escape does what its
// close box does.
TEST_F(MainWindowTest, DialogsAreCentredOnTheMainWindowAndEscapeCloses) {
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(app->window); }));
  filedProject({});

  // "Start Generate": Return on the first check box starts the run, Escape closes.
  menu(ItemStartGenerate);
  ASSERT_NE(app->startDialog, nullptr);
  testing::expectCentredOn(app->startDialog, app->window);
  EXPECT_TRUE(gtk_widget_has_default(app->startGadgets.at(GadgetStart)));
  pressKey(app->startDialog, GDK_KEY_Escape);
  ASSERT_TRUE(pumpUntil([&] { return app->startDialog == nullptr; }));
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
  menu(ItemStartGenerate);
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(app->startDialog); }));
  gtk_widget_grab_focus(app->startGadgets.at(GadgetParend));
  bool parendBefore = app->model.switches.Parend;
  pressKey(app->startGadgets.at(GadgetParend), GDK_KEY_Return);
  ASSERT_TRUE(pumpUntil([&] { return !log().empty() && !app->runActive; }));
  EXPECT_EQ(bool(app->model.switches.Parend), parendBefore);
  EXPECT_EQ(app->startDialog, nullptr);

  // "UserGadget": Escape keeps UserList.INI as it was.
  menu(ItemUserGadget);
  GtkWindow* userGadget = findWindow("UserGadget");
  ASSERT_NE(userGadget, nullptr);
  testing::expectCentredOn(GTK_WIDGET(userGadget), app->window);
  pressKey(GTK_WIDGET(userGadget), GDK_KEY_Escape);
  ASSERT_TRUE(pumpUntil([&] { return !userDialogOpen(); }));
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));

  // "Licence" waits in a loop of its own.
  bool licenceCentred = false;
  testing::whenWindowAppears("Licence", [&](GtkWindow* w) {
    testing::expectCentredOn(GTK_WIDGET(w), app->window);
    licenceCentred = !::testing::Test::HasFailure();
    pressKey(GTK_WIDGET(w), GDK_KEY_Escape);
  });
  menu(ItemLicence);
  EXPECT_TRUE(licenceCentred);
  EXPECT_EQ(findWindow("Licence"), nullptr);

  // Search and replace: Escape cancels the kind, as the close box does.
  std::atomic<bool> done{false};
  BindAnswer answer;
  std::thread worker([&] {
    answer = windowRunHost(*app)->askBindings(ObjectKind::Gadget, {"Old"}, {"New"});
    done = true;
  });
  ASSERT_TRUE(pumpUntil([&] { return searchReplaceDialogWindow() != nullptr; }));
  testing::expectCentredOn(searchReplaceDialogWindow(), app->window);
  pressKey(searchReplaceDialogWindow(), GDK_KEY_Escape);
  ASSERT_TRUE(pumpUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(answer.answer, 2);

  // The stock boxes too.
  boxes() = gtkBoxes();
  testing::whenWindowAppears("Info", [&](GtkWindow* w) {
    testing::expectCentredOn(GTK_WIDGET(w), app->window);
    pressKey(GTK_WIDGET(w), GDK_KEY_Escape);
  });
  showInfo(GTK_WINDOW(app->window));
  EXPECT_EQ(findWindow("Info"), nullptr);
}

}  // namespace
}  // namespace tarnwick
