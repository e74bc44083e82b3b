#include <gdk/gdkkeysyms.h>
#include <glib/gstdio.h>

#include <deque>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/shell_fixture.h"
#include "app/gtk/user_dialogs.h"

namespace tarnwick {
namespace {

std::string menuItemLabel(GtkWidget* item) {
  if (GTK_IS_SEPARATOR_MENU_ITEM(item)) return "-";
  const gchar* label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
  return label ? label : "";
}

TEST_F(ShellTest, WindowMenuAndToolbarLayout) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(app->window)), "Tarnwick Orlenta Version v5.17");
  std::vector<std::string> menus;
  GList* titles = gtk_container_get_children(GTK_CONTAINER(app->menuBar));
  for (GList* t = titles; t; t = t->next) {
    std::string line = menuItemLabel(GTK_WIDGET(t->data)) + ":";
    GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(t->data));
    GList* items = gtk_container_get_children(GTK_CONTAINER(sub));
    for (GList* i = items; i; i = i->next) line += " " + menuItemLabel(GTK_WIDGET(i->data));
    g_list_free(items);
    menus.push_back(line);
  }
  g_list_free(titles);
  EXPECT_EQ(menus, (std::vector<std::string>{
                       "_File: Project _New - Project _Load Project _Save Project Save _As - _Preferences - E_xit",
                       "_Action: Common _Add - Common _Delete Common _First File - _Start Generate - "
                       "_Restore Backup _Open Project Folder",
                       "_?: _Info _Licence"}));
  // "User&Gadget" sits in the "&Preferences" submenu.
  GtkWidget* holder = gtk_menu_get_attach_widget(GTK_MENU(gtk_widget_get_parent(app->menuItems.at(ItemUserGadget))));
  EXPECT_EQ(menuItemLabel(holder), "_Preferences");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(gtk_bin_get_child(GTK_BIN(app->menuItems.at(ItemExit))))),
            guint(GDK_KEY_x));

  // Separator, 0 1 2, separator, 6 7 8, separator, 9, with their tooltips.
  std::vector<std::string> bar;
  for (int i = 0; i < gtk_toolbar_get_n_items(GTK_TOOLBAR(app->toolbar)); ++i) {
    GtkToolItem* item = gtk_toolbar_get_nth_item(GTK_TOOLBAR(app->toolbar), i);
    if (GTK_IS_SEPARATOR_TOOL_ITEM(item)) {
      bar.push_back("|");
      continue;
    }
    gchar* tip = gtk_widget_get_tooltip_text(gtk_bin_get_child(GTK_BIN(item)));
    bar.push_back(tip ? tip : "");
    g_free(tip);
  }
  EXPECT_EQ(bar, (std::vector<std::string>{"|", "Project New", "Project Load", "Project Save", "|", "Add Commonfile",
                                           "Remove Commonfile", "Selected Commonfile as first", "|", "Generate"}));
}

TEST_F(ShellTest, MenuToolbarAndShortcutRaiseTheSameItem) {
  std::vector<int> raised;
  app->menuObserver = [&](int item) { raised.push_back(item); };
  for (int item : {ItemNewProject, ItemLoadProject, ItemSaveProject, ItemAddCommon, ItemDeleteCommon, ItemFirstCommon,
                   ItemStartGenerate}) {
    SCOPED_TRACE(item);
    raised.clear();
    menu(item);
    tool(item);
    EXPECT_EQ(raised, (std::vector<int>{item, item}));
  }
  struct Key {
    guint key;
    int item;
  };
  for (Key k : {Key{GDK_KEY_n, ItemNewProject}, Key{GDK_KEY_l, ItemLoadProject}, Key{GDK_KEY_s, ItemSaveProject}}) {
    raised.clear();
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(app->window), k.key, GDK_CONTROL_MASK));
    EXPECT_EQ(raised, std::vector<int>{k.item});
  }
  // A real key press through X reaches the same action: a filed project is saved.
  filedProject({"/src/form.pb"});
  raised.clear();
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(app->fileList); }));
  gtk_widget_grab_focus(app->fileList);
  ASSERT_TRUE(gtk_test_widget_send_key(app->fileList, GDK_KEY_s, GDK_CONTROL_MASK));
  ASSERT_TRUE(pumpUntil([&] { return !raised.empty(); }));
  EXPECT_EQ(raised, std::vector<int>{ItemSaveProject});
  EXPECT_EQ(readAll(dir + "p.pbm").substr(0, 22), "[FILES]\n/src/form.pb\n\n");
}

TEST_F(ShellTest, RemoveAndFirstActOnlyOnASelectedRow) {
  struct Case {
    const char* name;
    int item;
    int selected;  // -1: none
    std::vector<std::string> after;
    bool modified;
  };
  const Case cases[] = {
      {"remove without selection", ItemDeleteCommon, -1, {"/a.pb", "/b.pb", "/c.pb"}, false},
      {"first without selection", ItemFirstCommon, -1, {"/a.pb", "/b.pb", "/c.pb"}, false},
      {"remove the middle row", ItemDeleteCommon, 1, {"/a.pb", "/c.pb"}, true},
      {"last row to the top", ItemFirstCommon, 2, {"/c.pb", "/a.pb", "/b.pb"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    filedProject({"/a.pb", "/b.pb", "/c.pb"});
    if (c.selected >= 0) selectFile(c.selected);
    menu(c.item);
    EXPECT_EQ(files(), c.after);
    EXPECT_EQ(app->state.saved, !c.modified);
  }
}

TEST_F(ShellTest, AddAppendsTheChosenFilesInOrder) {
  filedProject({"/a.pb"});
  menu(ItemAddCommon);  // cancelled
  EXPECT_TRUE(app->state.saved);
  // A path with a line break would become two rows of the project file: refused.
  fake.opened.push_back({"/src/x/two.pb", "/src/x/bad\nname.pb", "/src/y/one.pbf"});
  menu(ItemAddCommon);
  EXPECT_EQ(files(), (std::vector<std::string>{"/a.pb", "/src/x/two.pb", "/src/y/one.pbf"}));
  EXPECT_EQ(app->state.lastDirectory, "/src/x/");
  EXPECT_FALSE(app->state.saved);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"open: Commonfile", "open: Commonfile",
                                                  "Commonfile: Not added:\n/src/x/bad\nname.pb: its path holds a "
                                                  "line break, which the project file cannot keep"}));
}

TEST_F(ShellTest, SaveQuestionOutcomes) {
  struct Case {
    const char* name;
    bool hasFile;
    std::optional<BoxAnswer> answer;  // none: the question is not asked
    std::optional<std::string> saveAs;
    bool quits;
    bool written;
  };
  const Case cases[] = {
      {"no changes: no question", true, std::nullopt, std::nullopt, true, false},
      {"no: quits unsaved", true, BoxAnswer::No, std::nullopt, true, false},
      {"yes: saved to its file", true, BoxAnswer::Yes, std::nullopt, true, true},
      {"yes, new project, save as cancelled: stays", false, BoxAnswer::Yes, std::nullopt, false, false},
      {"yes, new project, saved as", false, BoxAnswer::Yes, std::string("p"), true, true},
      {"closed without an answer: stays", true, BoxAnswer::Closed, std::nullopt, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove((dir + "p.pbm").c_str());
    filedProject({"/a.pb"});
    app->state.hasFile = c.hasFile;
    app->state.saved = !c.answer.has_value();
    app->quit = false;
    fake.calls.clear();
    if (c.answer) fake.answers.push_back(*c.answer);
    if (c.saveAs) fake.savedAs.push_back(dir + *c.saveAs);
    testing::sendDelete(app->window);  // the close box runs the exit action
    EXPECT_EQ(app->quit, c.quits);
    EXPECT_EQ(g_file_test((dir + "p.pbm").c_str(), G_FILE_TEST_EXISTS), c.written);
    EXPECT_EQ(!fake.calls.empty() && fake.calls[0] == "Frage: Aktuelles Projekt speichern?", c.answer.has_value());
  }
  // A project file that cannot be written keeps the program running with its changes.
  filedProject({"/a.pb"});
  app->model.ProjectPath = fromUtf8(dir + "gone/p.pbm");
  app->state.saved = false;
  app->quit = false;
  fake.calls.clear();
  fake.answers.push_back(BoxAnswer::Yes);
  testing::sendDelete(app->window);
  EXPECT_FALSE(app->quit);
  EXPECT_FALSE(app->state.saved);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"Frage: Aktuelles Projekt speichern?",
                                                  "UserGadgetList: Error save file project"}));

  // The same question guards "new" and "load": closing it without an answer keeps the
  // project as it is, unsaved changes and all.
  for (int item : {ItemNewProject, ItemLoadProject}) {
    filedProject({"/a.pb"});
    app->state.saved = false;
    fake.calls.clear();
    fake.answers.push_back(BoxAnswer::Closed);
    menu(item);
    EXPECT_EQ(files(), std::vector<std::string>{"/a.pb"});
    EXPECT_FALSE(app->state.saved);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"Frage: Aktuelles Projekt speichern?"});  // no chooser
  }
  // Declining to save still empties the project.
  filedProject({"/a.pb"});
  app->state.saved = false;
  fake.answers.push_back(BoxAnswer::No);
  menu(ItemNewProject);
  EXPECT_TRUE(files().empty());
  EXPECT_EQ(status(), "Unbekannt.pbm");
  EXPECT_FALSE(app->state.hasFile);
  EXPECT_TRUE(app->state.saved);
}

TEST_F(ShellTest, SaveAsNamesAndOverwriteQuestion) {
  filedProject({"/a.pb", dir + "f.pb"});
  app->state.hasFile = false;
  app->model.ProjectPath = "Unbekannt.pbm";
  app->state.lastDirectory = dir;
  fake.savedAs.push_back(dir + "plain");
  EXPECT_TRUE(saveProjectAs(*app));
  EXPECT_EQ(fake.lastProposed, dir + "Unbekannt.pbm");
  EXPECT_TRUE(g_file_test((dir + "plain.pbm").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(status(), dir + "plain.pbm");
  EXPECT_TRUE(app->state.hasFile);
  // A file inside the project's folder is kept relative to it; saved into another folder
  // the rows follow, and a file outside the new folder keeps its full path.
  EXPECT_EQ(files(), (std::vector<std::string>{"/a.pb", "f.pb"}));
  EXPECT_EQ(readAll(dir + "plain.pbm").substr(0, 20), "[FILES]\n/a.pb\nf.pb\n\n");
  ASSERT_EQ(g_mkdir((dir + "sub").c_str(), 0755), 0);
  fake.savedAs.push_back(dir + "sub/moved.pbm");
  EXPECT_TRUE(saveProjectAs(*app));
  EXPECT_EQ(files(), (std::vector<std::string>{"/a.pb", dir + "f.pb"}));
  app->model.ProjectPath = dir + "plain.pbm";  // back to the first project

  // A filed project is offered its own folder, wherever the last file dialog was; a
  // folder without its final "/" still joins the name.
  fake.opened.push_back({"/forms/x.pb"});
  menu(ItemAddCommon);
  ASSERT_EQ(app->state.lastDirectory, "/forms/");
  EXPECT_FALSE(saveProjectAs(*app));
  EXPECT_EQ(fake.lastProposed, dir + "plain.pbm");
  app->state.hasFile = false;
  app->state.lastDirectory = dir.substr(0, dir.size() - 1);
  EXPECT_FALSE(saveProjectAs(*app));
  EXPECT_EQ(fake.lastProposed, dir + "plain.pbm");
  app->state.hasFile = true;

  fake.savedAs.push_back(dir + "other.txt");  // any extension is kept
  EXPECT_TRUE(saveProjectAs(*app));
  EXPECT_TRUE(g_file_test((dir + "other.txt").c_str(), G_FILE_TEST_EXISTS));

  writeAll(dir + "keep.pbm", "mine");
  fake.calls.clear();
  fake.savedAs.push_back(dir + "keep.pbm");
  fake.answers.push_back(BoxAnswer::No);
  EXPECT_FALSE(saveProjectAs(*app));
  EXPECT_EQ(readAll(dir + "keep.pbm"), "mine");
  EXPECT_EQ(fake.calls.back(), "Frage: Datei überschreiben?");
  EXPECT_EQ(status(), dir + "other.txt");

  // An empty file list writes nothing; it is told about before any name is asked for.
  setFileRows(*app, {});
  fake.calls.clear();
  fake.savedAs.push_back(dir + "empty.pbm");
  EXPECT_FALSE(saveProjectAs(*app));
  EXPECT_FALSE(g_file_test((dir + "empty.pbm").c_str(), G_FILE_TEST_EXISTS));
  ASSERT_EQ(fake.calls.size(), 1u);
  EXPECT_EQ(fake.calls[0].rfind("Info: Nothing to save yet: the file list is empty.", 0), 0u) << fake.calls[0];
}

TEST_F(ShellTest, LoadProjectFillsTheListAndReportsFailures) {
  writeAll(dir + "p.pbm", "[FILES]\r\n/one.pb\r\n/two.pb\r\n\r\n[SWITCH]\r\nUtf8=0;\r\n");
  appendLogLine(*app, "old line");
  fake.opened.push_back({dir + "p.pbm"});
  menu(ItemLoadProject);
  EXPECT_EQ(files(), (std::vector<std::string>{"/one.pb", "/two.pb"}));
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(app->model.switches.Utf8, 0);
  EXPECT_EQ(status(), dir + "p.pbm");
  EXPECT_EQ(app->state.lastDirectory, dir);
  EXPECT_TRUE(app->state.hasFile);

  fake.opened.push_back({dir + "missing.pbm"});
  menu(ItemLoadProject);
  EXPECT_TRUE(files().empty());
  EXPECT_FALSE(app->state.hasFile);
  EXPECT_EQ(fake.calls.back(), "UserGadgetList: Error open file project");
  EXPECT_EQ(status(), dir + "p.pbm");  // the path stays

  // A PureBasic project opens the project of its name, made from its form files first.
  writeAll(dir + "App.pbp", "<project><section name=\"files\"><file name=\"m.pb\"/><file name=\"f\\F.pbf\"/>"
                            "</section></project>");
  fake.opened.push_back({dir + "App.pbp"});
  menu(ItemLoadProject);
  EXPECT_EQ(files(), (std::vector<std::string>{"f/F.pbf"}));
  EXPECT_EQ(log(), (std::vector<std::string>{"New project " + dir + "App.pbm made from App.pbp with 1 form file."}));
  EXPECT_EQ(status(), dir + "App.pbm");
  EXPECT_EQ(readAll(dir + "App.pbm").rfind("[FILES]\nf/F.pbf\n\n[SWITCH]\nParend=1\n", 0), 0u);
  writeAll(dir + "Bad.pbp", "<project>");
  fake.opened.push_back({dir + "Bad.pbp"});
  menu(ItemLoadProject);
  EXPECT_EQ(fake.calls.back().rfind("Load project: The PureBasic project " + dir + "Bad.pbp cannot be read: ", 0), 0u)
      << fake.calls.back();
  EXPECT_EQ(status(), dir + "App.pbm");
}

// A project in a folder whose name is ISO 8859-1 (caf\xE9), beside its UTF-8 twin: the
// chooser's path is loaded, listed, run and saved as its bytes, and shown readably.
TEST_F(ShellTest, ProjectInAnEightBitFolderKeepsItsBytes) {
  const std::string latin = dir + "caf\xE9/", twin = dir + "caf\xC3\xA9/";
  ASSERT_EQ(g_mkdir(latin.c_str(), 0755), 0);
  ASSERT_EQ(g_mkdir(twin.c_str(), 0755), 0);
  writeAll(latin + "form.pb",
           "Procedure Open_Window_0()\n  OpenWindow(#Window_0, 0, 0, 300, 200, \"Demo\")\n"
           "  ButtonGadget(#Button_0, 10, 10, 100, 20, \"OK\")\nEndProcedure\n");
  writeAll(latin + "p.pbm", "[FILES]\n" + latin + "form.pb\n");
  fake.opened.push_back({latin + "p.pbm"});
  menu(ItemLoadProject);
  EXPECT_EQ(files(), std::vector<std::string>{latin + "form.pb"});
  EXPECT_EQ(status(), dir + "caf\\xE9/p.pbm");
  EXPECT_EQ(app->state.lastDirectory, latin);
  // Its file is there, so its row is not drawn as missing.
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(app->fileList), 0);
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(app->fileList));
  GtkTreeIter first;
  ASSERT_TRUE(gtk_tree_model_get_iter_first(model, &first));
  gtk_tree_view_column_cell_set_cell_data(column, model, &first, FALSE, FALSE);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  for (GList* c = cells; c; c = c->next) {
    gboolean marked = TRUE;
    g_object_get(c->data, GTK_IS_CELL_RENDERER_TEXT(c->data) ? "foreground-set" : "visible", &marked, nullptr);
    EXPECT_FALSE(marked);
  }
  g_list_free(cells);

  menu(ItemStartGenerate);
  click(GadgetStart);
  ASSERT_TRUE(pumpUntil([&] { return !app->runActive; }));
  const std::vector<std::string> rows = log();
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[rows.size() - 2], "Ready.");
  EXPECT_NE(std::find(rows.begin(), rows.end(), " -> Write File " + dir + "caf\\xE9/EventGadget.pb"), rows.end());
  EXPECT_TRUE(g_file_test((latin + "EventGadget.pb").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(readAll(latin + "p.pbm").rfind("[FILES]\nform.pb\n", 0), 0u);  // relative to its folder
  GDir* d = g_dir_open(twin.c_str(), 0, nullptr);
  ASSERT_TRUE(d);
  EXPECT_EQ(g_dir_read_name(d), nullptr);  // the twin got nothing
  g_dir_close(d);

  fake.savedAs.push_back(latin + "q");
  EXPECT_TRUE(saveProjectAs(*app));
  EXPECT_EQ(fake.lastProposed, latin + "p.pbm");
  EXPECT_EQ(readAll(latin + "q.pbm").rfind("[FILES]\nform.pb\n", 0), 0u);
  EXPECT_EQ(app->model.ProjectPath, latin + "q.pbm");
}

TEST_F(ShellTest, StartDialogCheckBoxRules) {
  // Without a file the dialog first says why the project is to be saved, then asks for
  // a name; No, or cancelling the name, opens nothing.
  setFileRows(*app, {"/a.pb"});
  app->state.hasFile = false;
  menu(ItemStartGenerate);
  EXPECT_EQ(app->startDialog, nullptr);
  ASSERT_EQ(fake.calls.size(), 1u);
  EXPECT_EQ(fake.calls[0].rfind("Start Generate: The project has no file yet.", 0), 0u) << fake.calls[0];
  fake.calls.clear();
  fake.answers.push_back(BoxAnswer::Yes);
  menu(ItemStartGenerate);
  EXPECT_EQ(app->startDialog, nullptr);
  ASSERT_EQ(fake.calls.size(), 2u);
  EXPECT_EQ(fake.calls[1], "save: Save project");

  filedProject({"/a.pb"});
  app->model.switches = Switches{1, 0, 0, 0, 1, 1, 0};
  menu(ItemStartGenerate);
  ASSERT_NE(app->startDialog, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(app->startDialog)), "Start Generate");
  EXPECT_FALSE(gtk_widget_is_sensitive(app->window));
  EXPECT_TRUE(checked(GadgetParend));
  EXPECT_FALSE(checked(GadgetPBIgnore));
  EXPECT_TRUE(checked(GadgetImageNull));
  EXPECT_TRUE(checked(GadgetUseCallFast));
  EXPECT_FALSE(checked(GadgetUtf8));

  // Every text fits its 200-pixel box, whatever the font: none is cut off.
  for (int gadget : {GadgetParend, GadgetPBIgnore, GadgetMultilang, GadgetImageInclude, GadgetImageNull,
                     GadgetUseCallFast, GadgetUtf8}) {
    GtkWidget* box = app->startGadgets.at(gadget);
    GtkRequisition natural;
    gtk_widget_set_size_request(box, -1, -1);
    gtk_widget_size_request(box, &natural);
    gtk_widget_set_size_request(box, 200, 20);
    EXPECT_LE(natural.width, 200) << gtk_button_get_label(GTK_BUTTON(box));
  }

  click(GadgetImageInclude);  // excludes "ImageGadget set Zero"
  EXPECT_EQ(app->model.switches.Image_Include, 1);
  EXPECT_EQ(app->model.switches.Image_Null, 0);
  EXPECT_FALSE(checked(GadgetImageNull));
  EXPECT_FALSE(app->state.saved);
  click(GadgetImageNull);  // and the other way round
  EXPECT_EQ(app->model.switches.Image_Include, 0);
  EXPECT_FALSE(checked(GadgetImageInclude));
  click(GadgetImageNull);  // unchecking leaves the other alone
  EXPECT_EQ(app->model.switches.Image_Null, 0);
  EXPECT_EQ(app->model.switches.Image_Include, 0);
  click(GadgetUtf8);
  click(GadgetMultilang);
  EXPECT_EQ(app->model.switches, (Switches{1, 0, 1, 0, 0, 1, 1}));

  // The close box closes the dialog; the changes stay.
  testing::sendDelete(app->startDialog);
  EXPECT_EQ(app->startDialog, nullptr);
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
  EXPECT_EQ(app->model.switches.Utf8, 1);

  // Opening and closing alone leaves the project unmodified; a click and a click back does not.
  app->state.saved = true;
  menu(ItemStartGenerate);
  testing::sendDelete(app->startDialog);
  EXPECT_TRUE(app->state.saved);
  menu(ItemStartGenerate);
  click(GadgetParend);
  click(GadgetParend);
  EXPECT_FALSE(app->state.saved);
  EXPECT_EQ(app->model.switches.Parend, 1);
}

TEST_F(ShellTest, RunOfAnEmptyProjectLogsItsCancelLines) {
  filedProject({});
  appendLogLine(*app, "earlier run");
  menu(ItemStartGenerate);
  ASSERT_NE(app->startDialog, nullptr);
  click(GadgetMultilang);
  click(GadgetStart);
  EXPECT_FALSE(gtk_widget_is_sensitive(app->startGadgets.at(GadgetMultilang)));  // frozen once started
  EXPECT_TRUE(app->runActive);
  // While it runs, a second run is refused.
  fake.calls.clear();
  menu(ItemStartGenerate);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"Info: Generate is running. Please wait until it is finished."});
  ASSERT_TRUE(pumpUntil([&] { return !app->runActive; }));
  EXPECT_EQ(log(), (std::vector<std::string>{"earlier run", "Generate Code Step 1 ...", "- Check Main.pb",
                                             " -> Main.pb not found.", "- Load Files...", "None Files to Generate.",
                                             "Cancel.", ""}));
  EXPECT_EQ(app->startDialog, nullptr);
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
  EXPECT_FALSE(app->state.saved);  // a cancelled run saves nothing
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app->logList));
  EXPECT_EQ(gtk_tree_selection_count_selected_rows(sel), 0);
}

// A run saves the project with its file list and switches only when it ends with
// "Ready.": one whose project file cannot be written changes nothing, so the exit must
// still offer to save it. A project that another run holds is not generated at all,
// and an "Info" box says why.
TEST_F(ShellTest, RunMarksTheProjectSavedOnlyWhenItsFileWasWritten) {
  struct Case {
    const char* name;
    bool projectReadOnly;
    bool heldByAnotherRun;
    const char* lastLine;  // nothing when the run logs nothing
    bool savedAfter;
  };
  for (Case c : {Case{"written", false, false, "Ready.", true},
                 Case{"project file read-only", true, false, "Cancel.", false},
                 Case{"held by another run", false, true, nullptr, false}}) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem mem;
    mem.directories.insert("/p");
    mem.files["/p/form.pb"] =
        "Procedure Open_Window_0()\n"
        "  OpenWindow(#Window_0, 0, 0, 300, 200, \"Demo\", #PB_Window_SystemMenu)\n"
        "  ButtonGadget(#Button_0, 10, 10, 100, 20, \"OK\")\n"
        "EndProcedure\n";
    mem.files["/p/p.pbm"] = "[FILES]\n/p/form.pb\n";
    if (c.projectReadOnly) mem.readOnly.insert("/p/p.pbm");
    if (c.heldByAnotherRun) mem.locked.insert("/p/");
    gtk_widget_destroy(app->window);
    app = std::make_unique<App>(mem, dir);
    ASSERT_TRUE(openMainWindow(*app));
    gtk_widget_show(app->window);
    setFileRows(*app, {"/p/form.pb"});
    app->model.ProjectPath = "/p/p.pbm";
    app->state.hasFile = true;
    menu(ItemStartGenerate);
    click(GadgetUtf8);  // an unsaved change that only the run's save keeps
    ASSERT_FALSE(app->state.saved);
    fake.calls.clear();
    fake.errors.clear();
    click(GadgetStart);
    ASSERT_TRUE(pumpUntil([&] { return !app->runActive; }));
    std::vector<std::string> rows = log();
    if (c.lastLine) {
      ASSERT_GE(rows.size(), 2u);
      EXPECT_EQ(rows[rows.size() - 2], c.lastLine);
    } else {
      EXPECT_TRUE(rows.empty());
    }
    // A file it could not write is also told about in a box at the end, as the command
    // line says so on standard error.
    // Both are errors, and the box names the file, as its log line does.
    std::string projectWriteError = "(no log line names /p/p.pbm)";
    for (const std::string& row : rows)
      if (row.find("/p/p.pbm") != std::string::npos && row.find("Error") != std::string::npos)
        projectWriteError = row.substr(row.find_first_not_of(' '));
    const std::vector<std::string> boxes =
        c.heldByAnotherRun
            ? std::vector<std::string>{"Start Generate: Error: the project is being generated by another run"}
        : c.projectReadOnly
            ? std::vector<std::string>{"Start Generate: The run stopped: 1 file could not be read or written, and no "
                                       "file was changed:\n" + projectWriteError}
            : std::vector<std::string>{};
    EXPECT_EQ(fake.calls, boxes);
    EXPECT_EQ(fake.errors, boxes);
    EXPECT_EQ(app->state.saved, c.savedAfter);
    // The run keeps the form file relative to the project's folder, and the list shows it so.
    EXPECT_EQ(files(), std::vector<std::string>{c.savedAfter ? "form.pb" : "/p/form.pb"});
    if (c.savedAfter) {
      EXPECT_EQ(mem.files["/p/p.pbm"].substr(0, 16), "[FILES]\nform.pb\n");
    }
    EXPECT_EQ(std::string(gtk_window_get_title(GTK_WINDOW(app->window))).rfind(c.savedAfter ? "p.pbm - " : "p.pbm* - ", 0), 0u);
    EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
    gtk_widget_destroy(app->window);
    app = std::make_unique<App>(fs, dir);  // the fixture's own, for TearDown
    ASSERT_TRUE(openMainWindow(*app));
  }
}

// A dialog that disables the main window keeps it disabled when the run, which goes on
// behind it, asks for the main window to be enabled; closing the dialog enables it.
TEST_F(ShellTest, RunDoesNotEnableTheMainWindowBehindAnOpenDialog) {
  auto enableFromWorker = [&] {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      windowRunHost(*app)->enableMainWindow();
      done = true;
    });
    EXPECT_TRUE(pumpUntil([&] { return done.load(); }));
    worker.join();
  };
  menu(ItemUserGadget);
  ASSERT_TRUE(userDialogOpen());
  ASSERT_FALSE(gtk_widget_is_sensitive(app->window));
  enableFromWorker();
  EXPECT_FALSE(gtk_widget_is_sensitive(app->window));
  testing::sendDelete(GTK_WIDGET(testing::findWindow("UserGadget")));
  EXPECT_FALSE(userDialogOpen());
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));

  bool disabledWhileLicenceOpen = false;
  testing::whenWindowAppears("Licence", [&](GtkWindow* w) {
    enableFromWorker();
    disabledWhileLicenceOpen = !gtk_widget_is_sensitive(app->window);
    testing::sendDelete(GTK_WIDGET(w));
  });
  menu(ItemLicence);
  EXPECT_TRUE(disabledWhileLicenceOpen);
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
}

TEST_F(ShellTest, CommandsAreRefusedWhileARunIsActive) {
  filedProject({"/a.pb"});
  app->runActive = true;
  for (int item : {ItemNewProject, ItemLoadProject, ItemAddCommon, ItemStartGenerate}) menu(item);
  selectFile(0);
  menu(ItemDeleteCommon);
  EXPECT_EQ(files(), std::vector<std::string>{"/a.pb"});
  EXPECT_EQ(app->startDialog, nullptr);
  EXPECT_EQ(fake.calls.size(), 5u);
  for (const std::string& call : fake.calls) EXPECT_EQ(call.rfind("Info: ", 0), 0u) << call;
  // Quitting does not wait for the run, nor ask about the project.
  app->state.saved = false;
  fake.calls.clear();
  menu(ItemExit);
  EXPECT_TRUE(app->quit);
  EXPECT_TRUE(fake.calls.empty());
  app->runActive = false;
}

TEST_F(ShellTest, WorkerLinesArriveInOrderWhileAModalBoxWaits) {
  const int count = 300;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    auto host = windowRunHost(*app);
    for (int i = 0; i < count; ++i) host->logLine("line " + numberText(i));
    done = true;
  });
  // A real modal box stays open until every line is shown: its nested loop serves them.
  testing::whenWindowMatches([&](GtkWindow* w) { return GTK_IS_DIALOG(w) && done.load(); },
                             [](GtkWindow* w) { gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK); });
  gtkBoxes().message(GTK_WINDOW(app->window), "Info", "waiting");
  worker.join();
  std::vector<std::string> rows = log();
  ASSERT_EQ(rows.size(), std::size_t(count));
  for (int i = 0; i < count; ++i) ASSERT_EQ(rows[i], "line " + std::to_string(i));
}

TEST_F(ShellTest, ClosingTheBindDialogCancelsTheKind) {
  std::atomic<bool> done{false};
  BindAnswer answer;
  answer.answer = -1;
  std::thread worker([&] {
    auto host = windowRunHost(*app);
    answer = host->askBindings(ObjectKind::Window, {"Window_0"}, {"Window_1"});
    done = true;
  });
  ASSERT_TRUE(pumpUntil([&] { return done || searchReplaceDialogWindow() != nullptr; }));
  if (GtkWidget* dialog = searchReplaceDialogWindow()) testing::sendDelete(dialog);
  ASSERT_TRUE(pumpUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(answer.answer, 2);
  EXPECT_TRUE(answer.todo.empty());
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
  EXPECT_EQ(searchReplaceDialogWindow(), nullptr);
}

}  // namespace
}  // namespace tarnwick
