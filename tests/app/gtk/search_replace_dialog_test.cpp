#include "app/gtk/search_replace_dialog.h"

#include <gdk/gdkkeysyms.h>

#include <vector>

#include "app/gtk/boxes.h"
#include "app/gtk/gui_test_support.h"

namespace tarnwick {
namespace {

using testing::listRows;
using testing::sendDelete;

struct Answer {
  int value;
  Lines todo;
};

class SearchReplaceDialogTest : public testing::GtkTest {
 protected:
  GtkWidget* mainWindow = nullptr;
  std::vector<Answer> answers;
  std::vector<std::string> questions;
  std::vector<BoxAnswer> scripted;  // answers of the question box, in order
  Boxes saved;

  void SetUp() override {
    GtkTest::SetUp();
    saved = boxes();
    boxes().question = [this](GtkWindow*, const std::string& title, const std::string& text, bool withCancel) {
      questions.push_back(title + "|" + text + (withCancel ? "|cancel" : ""));
      BoxAnswer a = scripted.empty() ? BoxAnswer::No : scripted.front();
      if (!scripted.empty()) scripted.erase(scripted.begin());
      return a;
    };
    mainWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_show(mainWindow);
  }
  void TearDown() override {
    closeSearchReplaceDialog(GTK_WINDOW(mainWindow));
    gtk_widget_destroy(mainWindow);
    boxes() = saved;
    GtkTest::TearDown();
  }

  void open(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) {
    ASSERT_TRUE(openSearchReplaceDialog(GTK_WINDOW(mainWindow), kind, oldEntries, newEntries,
                                        [this](int value, const Lines& todo) { answers.push_back({value, todo}); }));
    testing::pump();
  }
  GtkWidget* gadget(int n) { return searchReplaceGadget(n); }
  std::vector<std::string> rows(int list) { return listRows(gadget(list)); }
  void select(int list, int row) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(gadget(list))), path);
    gtk_tree_path_free(path);
  }
  void doubleClick(int list, int row) {
    select(list, row);
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_row_activated(GTK_TREE_VIEW(gadget(list)), path,
                                gtk_tree_view_get_column(GTK_TREE_VIEW(gadget(list)), 0));
    gtk_tree_path_free(path);
  }
  void click(int button) { gtk_button_clicked(GTK_BUTTON(gadget(button))); }
};

using Rows = std::vector<std::string>;

TEST_F(SearchReplaceDialogTest, OpensOverADisabledMainWindow) {
  open(ObjectKind::MenuItem, {"Old_1", "Old_2"}, {"New_1"});
  GtkWidget* w = searchReplaceDialogWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(w)), "Search and Replace - MenuItem");
  // A window that can be resized and maximised (a normal window, not a dialog, for the
  // window manager).
  EXPECT_TRUE(gtk_window_get_resizable(GTK_WINDOW(w)));
  EXPECT_EQ(gtk_window_get_type_hint(GTK_WINDOW(w)), GDK_WINDOW_TYPE_HINT_NORMAL);
  EXPECT_FALSE(gtk_widget_get_sensitive(mainWindow));
  EXPECT_EQ(rows(14), (Rows{"Old_1", "Old_2"}));
  EXPECT_EQ(rows(15), (Rows{"New_1"}));
  EXPECT_TRUE(rows(16).empty());
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gadget(13))), "Todo List");
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(gadget(19))), "_Continue");
  for (int button : {17, 18, 19})
    EXPECT_NE(gtk_label_get_mnemonic_keyval(GTK_LABEL(gtk_bin_get_child(GTK_BIN(gadget(button))))), GDK_KEY_VoidSymbol);
  // Short names: the size it always had, the Todo list the widest, Continue at the
  // right, the lists below one line of guidance.
  ASSERT_TRUE(testing::pumpUntil([&] { return gtk_widget_get_mapped(gadget(16)); }));
  GtkAllocation a;
  gtk_widget_get_allocation(w, &a);
  EXPECT_EQ((std::vector<int>{a.width, a.height}), (std::vector<int>{770, 424}));
  GtkAllocation oldList, todoList, cont;
  gtk_widget_get_allocation(gtk_widget_get_parent(gadget(14)), &oldList);
  gtk_widget_get_allocation(gtk_widget_get_parent(gadget(16)), &todoList);
  gtk_widget_get_allocation(gadget(19), &cont);
  EXPECT_GT(todoList.width, oldList.width + 100);
  EXPECT_EQ(todoList.x + todoList.width, cont.x + cont.width);
  EXPECT_GT(cont.y, todoList.y + todoList.height);
  GtkWidget* guidance = testing::findChild(w, [](GtkWidget* c) {
    return GTK_IS_LABEL(c) && std::string(gtk_label_get_text(GTK_LABEL(c))).starts_with("Pick an old name");
  });
  ASSERT_NE(guidance, nullptr);
  gtk_widget_get_allocation(guidance, &a);
  EXPECT_LT(a.y + a.height, oldList.y);

  closeSearchReplaceDialog(GTK_WINDOW(mainWindow));
  EXPECT_EQ(searchReplaceDialogWindow(), nullptr);
  EXPECT_TRUE(gtk_widget_get_sensitive(mainWindow));
  // Closed before the user answered: the opening still gets its one answer.
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 2);
}

// Long names are shown whole: the window opens wide enough for them, the lists follow
// the window's width, and a window made narrow scrolls them sideways instead of cutting.
TEST_F(SearchReplaceDialogTest, LongNamesAreShownWholeAndTheListsFollowTheWindow) {
  const std::string oldName = "Window_Main_Button_Delete_Row";
  const std::string newName = "Window_Main_Button_Remove_Row";
  open(ObjectKind::Gadget, {fromUtf8(oldName), "Short"}, {fromUtf8(newName)});
  GtkWidget* w = searchReplaceDialogWindow();
  ASSERT_TRUE(testing::pumpUntil([&] { return gtk_widget_get_mapped(gadget(14)); }));
  auto scrollsSideways = [&](int list) {
    GtkAdjustment* h = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(gtk_widget_get_parent(gadget(list))));
    return gtk_adjustment_get_upper(h) > gtk_adjustment_get_page_size(h) + 0.5;
  };
  select(14, 0);
  select(15, 0);
  click(17);
  testing::pump();
  ASSERT_EQ(rows(16), Rows{oldName + " > " + newName});
  auto listWidth = [&](int list) {
    GtkAllocation a;
    gtk_widget_get_allocation(gtk_widget_get_parent(gadget(list)), &a);
    return a.width;
  };
  // The Todo row is whole; bound and released again, so are the old and the new name,
  // and the emptied Todo list keeps no scroll bar of the row that has gone.
  ASSERT_TRUE(testing::pumpUntil([&] { return !scrollsSideways(16); }, 2000));
  select(16, 0);
  click(18);
  testing::pump();
  ASSERT_TRUE(testing::pumpUntil(
      [&] { return !scrollsSideways(14) && !scrollsSideways(15) && !scrollsSideways(16); }, 2000));
  GtkAllocation a;
  gtk_widget_get_allocation(w, &a);
  EXPECT_GT(a.width, 770);
  const int oldWidth = listWidth(14);

  // Wider: all lists widen; narrow: they scroll, the names laid out whole.
  gtk_window_resize(GTK_WINDOW(w), a.width + 300, 500);
  ASSERT_TRUE(testing::pumpUntil([&] { return listWidth(14) > oldWidth; }));
  gtk_window_resize(GTK_WINDOW(w), 500, 300);
  ASSERT_TRUE(testing::pumpUntil([&] { return listWidth(14) < oldWidth; }));
  ASSERT_TRUE(testing::pumpUntil([&] { return scrollsSideways(14); }));
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(gadget(14)), 0);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  PangoEllipsizeMode mode = PANGO_ELLIPSIZE_END;
  g_object_get(cells->data, "ellipsize", &mode, nullptr);
  g_list_free(cells);
  EXPECT_EQ(mode, PANGO_ELLIPSIZE_NONE);
}

TEST_F(SearchReplaceDialogTest, BindAndReleaseMoveEntriesBetweenTheLists) {
  open(ObjectKind::Gadget, {"A", "B", "C"}, {"X", "Y"});
  click(17);  // nothing selected
  select(14, 1);
  click(17);  // no new entry selected
  EXPECT_TRUE(rows(16).empty());
  select(15, 0);
  click(17);
  EXPECT_EQ(rows(14), (Rows{"A", "C"}));
  EXPECT_EQ(rows(15), (Rows{"Y"}));
  EXPECT_EQ(rows(16), (Rows{"B > X"}));

  click(18);  // nothing selected in the Todo list
  EXPECT_EQ(rows(16), (Rows{"B > X"}));
  select(16, 0);
  click(18);
  EXPECT_EQ(rows(14), (Rows{"A", "C", "B"}));
  EXPECT_EQ(rows(15), (Rows{"Y", "X"}));
  EXPECT_TRUE(rows(16).empty());
}

TEST_F(SearchReplaceDialogTest, TheSamePairIsBoundOnlyOnce) {
  open(ObjectKind::Gadget, {"A", "A"}, {"X", "X"});
  for (int i = 0; i < 2; ++i) {
    select(14, 0);
    select(15, 0);
    click(17);
  }
  EXPECT_EQ(rows(16), (Rows{"A > X"}));
  EXPECT_EQ(rows(14), (Rows{"A"}));
  EXPECT_EQ(rows(15), (Rows{"X"}));
}

TEST_F(SearchReplaceDialogTest, DoubleClicksBindAndRelease) {
  open(ObjectKind::Window, {"W0", "W1"}, {"Main", "Help"});
  doubleClick(14, 0);  // no new entry selected: nothing
  EXPECT_TRUE(rows(16).empty());
  select(14, 1);
  doubleClick(15, 1);
  EXPECT_EQ(rows(16), (Rows{"W1 > Help"}));
  select(15, 0);
  doubleClick(14, 0);
  EXPECT_EQ(rows(16), (Rows{"W1 > Help", "W0 > Main"}));
  doubleClick(16, 0);
  EXPECT_EQ(rows(16), (Rows{"W0 > Main"}));
  EXPECT_EQ(rows(14), (Rows{"W1"}));
  EXPECT_EQ(rows(15), (Rows{"Help"}));
}

TEST_F(SearchReplaceDialogTest, ContinueWithEverythingBoundAnswersWithoutAQuestion) {
  open(ObjectKind::Gadget, {"B", "A"}, {"Y", "X"});
  select(14, 1);
  select(15, 1);
  click(17);
  select(14, 0);
  select(15, 0);
  click(17);
  click(19);
  EXPECT_TRUE(questions.empty());
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 0);
  EXPECT_EQ(answers[0].todo, (Lines{"A > X", "B > Y"}));
  // One answer per opening: neither Continue nor the close box answers again.
  click(19);
  sendDelete(searchReplaceDialogWindow());
  EXPECT_EQ(answers.size(), 1u);
  EXPECT_NE(searchReplaceDialogWindow(), nullptr);  // open until the run closes it
}

TEST_F(SearchReplaceDialogTest, ContinueWithOldEntriesLeftAsks) {
  // No: the dialog stays for more binding; once all is bound Continue asks no more.
  open(ObjectKind::Gadget, {"A"}, {"X"});
  scripted = {BoxAnswer::No};
  click(19);
  // Two answers only: Yes goes on, No goes back to binding.
  EXPECT_EQ(questions, (Rows{"Info|Some old constants not to bind! Continue?"}));
  EXPECT_TRUE(answers.empty());
  select(14, 0);
  select(15, 0);
  click(17);
  click(19);
  EXPECT_EQ(questions.size(), 1u);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 0);
  EXPECT_EQ(answers[0].todo, (Lines{"A > X"}));
  closeSearchReplaceDialog(GTK_WINDOW(mainWindow));

  // Yes: go on with what is bound.
  for (auto [choice, value] : {std::pair{BoxAnswer::Yes, 0}}) {
    answers.clear();
    open(ObjectKind::Window, {"A", "B"}, {"X"});
    select(14, 1);
    select(15, 0);
    click(17);
    scripted = {choice};
    click(19);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].value, value);
    EXPECT_EQ(answers[0].todo, (Lines{"B > X"}));
    closeSearchReplaceDialog(GTK_WINDOW(mainWindow));
  }
}

TEST_F(SearchReplaceDialogTest, TheRealQuestionBoxIsTitledInfo) {
  boxes() = saved;
  open(ObjectKind::Gadget, {"A"}, {"X"});
  std::string text;
  testing::whenWindowAppears("Info", [&](GtkWindow* w) {
    gchar* s = nullptr;
    g_object_get(w, "text", &s, nullptr);
    text = s ? s : "";
    g_free(s);
    gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_YES);
  });
  click(19);
  EXPECT_EQ(text, "Some old constants not to bind! Continue?");
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 0);
}

TEST_F(SearchReplaceDialogTest, CloseBoxCancelsOnce) {
  open(ObjectKind::StatusBar, {"A"}, {"X"});
  sendDelete(searchReplaceDialogWindow());
  sendDelete(searchReplaceDialogWindow());
  click(19);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 2);
  EXPECT_TRUE(questions.empty());
  closeSearchReplaceDialog(GTK_WINDOW(mainWindow));
  EXPECT_TRUE(gtk_widget_get_sensitive(mainWindow));
  EXPECT_EQ(answers.size(), 1u);
}

TEST_F(SearchReplaceDialogTest, ADialogThatGoesAwayUnansweredCancels) {
  // Destroyed with its main window, or replaced by a new request: the waiting side
  // still gets its one answer.
  open(ObjectKind::Gadget, {"A"}, {"X"});
  open(ObjectKind::Gadget, {"B"}, {"Y"});
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].value, 2);
  EXPECT_EQ(rows(14), (Rows{"B"}));
  gtk_widget_destroy(mainWindow);
  mainWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  EXPECT_EQ(searchReplaceDialogWindow(), nullptr);
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[1].value, 2);
}

}  // namespace
}  // namespace tarnwick
