// Preview in the window: the dry run with its binding dialog, the "Preview" window with
// the changes and their diffs, "Generate" with the bindings already given, a preview
// that would change nothing, and Restore Backup.
#include <algorithm>

#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/shell_fixture.h"
#include "support/projects.h"

namespace tarnwick {
namespace {

GtkWidget* child(GtkWidget* window, const std::function<bool(GtkWidget*)>& pred) {
  return testing::findChild(window, pred);
}
GtkWidget* button(GtkWidget* window, const char* label) {
  return child(window, [&](GtkWidget* w) {
    return GTK_IS_BUTTON(w) && gtk_button_get_label(GTK_BUTTON(w)) && std::string(gtk_button_get_label(GTK_BUTTON(w))) == label;
  });
}
std::string bufferText(GtkTextBuffer* b) {
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(b, &start, &end);
  gchar* t = gtk_text_buffer_get_text(b, &start, &end, FALSE);
  std::string s = t;
  g_free(t);
  return s;
}

TEST_F(ShellTest, PreviewShowsTheChangesAndGenerateKeepsTheBindings) {
  MemoryFileSystem mem = testing::renamedProject();
  const auto before = mem.files;
  gtk_widget_destroy(app->window);
  app = std::make_unique<App>(mem, dir);
  ASSERT_TRUE(openMainWindow(*app));
  gtk_widget_show(app->window);
  buildCommandSets({}, app->model.PrefixCommandSet, app->model.GadgetCommandSet);
  Lines rows;
  ASSERT_TRUE(readProjectFile(mem, "/p/x.pbm", rows, app->model));
  setFileRows(*app, rows);
  app->model.ProjectPath = "/p/x.pbm";
  app->state.hasFile = app->state.saved = true;

  menu(ItemStartGenerate);
  click(GadgetPreview);
  // The dry run asks for the vanished window as a run does.
  ASSERT_TRUE(pumpUntil([&] { return searchReplaceDialogWindow() != nullptr; }));
  for (int list : {14, 15}) {
    GtkTreePath* first = gtk_tree_path_new_first();
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(searchReplaceGadget(list))), first);
    gtk_tree_path_free(first);
  }
  gtk_button_clicked(GTK_BUTTON(searchReplaceGadget(17)));  // Bind
  gtk_button_clicked(GTK_BUTTON(searchReplaceGadget(19)));  // Continue
  ASSERT_TRUE(pumpUntil([&] { return !app->runActive && app->previewWindow; }));
  EXPECT_EQ(mem.files, before);  // a preview writes nothing
  EXPECT_EQ(app->model.PreviousWindowList, Lines{"Window_0"});
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(app->previewWindow)), "Preview");
  EXPECT_FALSE(gtk_widget_is_sensitive(app->window));

  GtkWidget* list = child(app->previewWindow, [](GtkWidget* w) { return GTK_IS_TREE_VIEW(w); });
  ASSERT_NE(list, nullptr);
  std::vector<std::string> shown = listRows(list);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[0], "user.pbi  (+1 -1)");
  EXPECT_EQ(shown.back().rfind("x.pbm  (+", 0), 0u);  // the project file last
  GtkWidget* view = child(app->previewWindow, [](GtkWidget* w) { return GTK_IS_TEXT_VIEW(w); });
  ASSERT_NE(view, nullptr);
  GtkTextBuffer* text = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
  EXPECT_EQ(bufferText(text),
            "--- a/user.pbi\n+++ b/user.pbi\n@@ -1 +1 @@\n-SetGadgetText(#Window_0_Button_0, \"x\")\n"
            "+SetGadgetText(#Frame_Button_0, \"x\")\n");
  // Removed lines on red, added lines on green.
  for (auto [line, tag] : {std::pair{3, "removed"}, std::pair{4, "added"}}) {
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_line(text, &at, line);
    GtkTextTag* t = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(text), tag);
    EXPECT_TRUE(gtk_text_iter_has_tag(&at, t)) << tag;
  }

  // Generate runs for real with the binding given in the preview: no second question.
  gtk_button_clicked(GTK_BUTTON(button(app->previewWindow, "Generate")));
  ASSERT_TRUE(pumpUntil([&] { return !app->runActive; }));
  EXPECT_EQ(app->previewWindow, nullptr);
  EXPECT_EQ(searchReplaceDialogWindow(), nullptr);
  EXPECT_EQ(mem.files["/p/user.pbi"], "SetGadgetText(#Frame_Button_0, \"x\")\n");
  EXPECT_EQ(app->model.PreviousWindowList, Lines{"Frame"});

  // A preview of a run that would change nothing says so.
  menu(ItemStartGenerate);
  click(GadgetPreview);
  ASSERT_TRUE(pumpUntil([&] { return !app->runActive && app->previewWindow; }));
  view = child(app->previewWindow, [](GtkWidget* w) { return GTK_IS_TEXT_VIEW(w); });
  EXPECT_EQ(bufferText(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view))), "The run would change no file.");
  EXPECT_FALSE(gtk_widget_is_sensitive(button(app->previewWindow, "Generate")));
  gtk_button_clicked(GTK_BUTTON(button(app->previewWindow, "Close")));
  EXPECT_EQ(app->previewWindow, nullptr);
  EXPECT_TRUE(gtk_widget_is_sensitive(app->window));
  // The log claims no write: it ends saying that nothing was changed.
  std::vector<std::string> log = listRows(app->logList);
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
            (std::vector<std::string>{"- Nothing written: no file was changed.", "Ready.", "",
                                      "Preview closed: no file was changed.", ""}));
  auto preview = std::find(log.rbegin(), log.rend(), "Preview: nothing of this run is written.").base();
  EXPECT_NE(std::find(preview, log.end(), " -> Unchanged File /p/Main.pb"), log.end());
  EXPECT_EQ(std::find(preview, log.end(), " -> Write File /p/Main.pb"), log.end());

  // Restore Backup asks, then puts the run's files back with the names it bound against.
  fake.calls.clear();
  fake.answers.push_back(BoxAnswer::Yes);
  menu(ItemRestoreBackup);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"Frage: Restore the files from the backup of the last run?"});
  EXPECT_EQ(mem.files["/p/user.pbi"], before.at("/p/user.pbi"));
  EXPECT_EQ(mem.files["/p/x.pbm"], before.at("/p/x.pbm"));
  EXPECT_EQ(app->model.PreviousWindowList, Lines{"Window_0"});

  gtk_widget_destroy(app->window);
  app = std::make_unique<App>(fs, dir);  // the fixture's own, for TearDown
  ASSERT_TRUE(openMainWindow(*app));
}

}  // namespace
}  // namespace tarnwick
