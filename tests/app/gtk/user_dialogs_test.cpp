#include "app/gtk/user_dialogs.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gstdio.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <semaphore>
#include <sstream>
#include <thread>

#include "app/gtk/boxes.h"
#include "app/gtk/gui_test_support.h"

namespace tarnwick {
namespace {

using testing::findChild;
using testing::findWindow;
using testing::GtkTest;
using testing::listRows;
using testing::pump;
using testing::sendDelete;

GtkWidget* treeViewIn(GtkWindow* w) {
  return findChild(GTK_WIDGET(w), [](GtkWidget* c) { return GTK_IS_TREE_VIEW(c); });
}

GtkWidget* buttonIn(GtkWindow* w, const std::string& label) {
  return findChild(GTK_WIDGET(w), [&](GtkWidget* c) {
    return GTK_IS_BUTTON(c) && gtk_button_get_label(GTK_BUTTON(c)) && label == gtk_button_get_label(GTK_BUTTON(c));
  });
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct InputCall {
  std::string title, prompt, initial;
};

class UserDialogsTest : public GtkTest {
 protected:
  void SetUp() override {
    GtkTest::SetUp();
    saved = boxes();
    boxes().input = [this](GtkWindow*, const std::string& title, const std::string& prompt,
                           const std::string& initial) -> std::optional<std::string> {
      inputs.push_back({title, prompt, initial});
      if (answers.empty()) return std::nullopt;
      auto a = answers.front();
      answers.pop_front();
      return a;
    };
    boxes().message = [this](GtkWindow*, const std::string& title, const std::string& text) {
      messages.push_back(title + "|" + text);
    };
    boxes().error = boxes().message;
    main = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(main), "Main");
    gtk_widget_show(main);
    gchar* d = g_dir_make_tmp("tarnwick-usergadget-XXXXXX", nullptr);
    dir = d;
    g_free(d);
    path = dir + "/UserList.INI";
  }
  void TearDown() override {
    if (GtkWindow* w = findWindow("UserGadget")) gtk_widget_destroy(GTK_WIDGET(w));
    gtk_widget_destroy(main);
    g_remove(path.c_str());
    g_rmdir(dir.c_str());
    boxes() = saved;
    GtkTest::TearDown();
  }

  // Opens the dialog over the test's main window and returns it.
  GtkWindow* open() {
    openUserGadgetDialog(GTK_WINDOW(main), gadgets, path);
    pump();
    GtkWindow* w = findWindow("UserGadget");
    EXPECT_NE(w, nullptr);
    return w;
  }
  void click(GtkWindow* w, const std::string& label) { gtk_button_clicked(GTK_BUTTON(buttonIn(w, label))); }
  void doubleClick(GtkWindow* w, int row) {
    GtkTreePath* p = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_row_activated(GTK_TREE_VIEW(treeViewIn(w)), p, gtk_tree_view_get_column(GTK_TREE_VIEW(treeViewIn(w)), 0));
    gtk_tree_path_free(p);
  }
  void select(GtkWindow* w, int row) {
    GtkTreePath* p = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(treeViewIn(w))), p);
    gtk_tree_path_free(p);
  }
  bool mainEnabled() const { return gtk_widget_get_sensitive(main); }

  Boxes saved;
  std::deque<std::optional<std::string>> answers;
  std::vector<InputCall> inputs;
  std::vector<std::string> messages;
  GtkWidget* main = nullptr;
  std::string dir, path;
  Lines gadgets;
};

TEST_F(UserDialogsTest, DialogIsOwnedFixedAndLaidOutOverADisabledMainWindow) {
  gadgets = {"MyChartGadget", "MyGridGadget"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(mainEnabled());
  EXPECT_EQ(gtk_window_get_transient_for(w), GTK_WINDOW(main));
  EXPECT_FALSE(gtk_window_get_resizable(w));
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"MyChartGadget", "MyGridGadget"}));
  GtkAllocation a;
  gtk_widget_get_allocation(GTK_WIDGET(w), &a);
  EXPECT_EQ(a.width, 220);
  EXPECT_EQ(a.height, 400);
  struct Place {
    const char* label;
    int x;
  };
  for (Place p : {Place{"Add", 10}, Place{"Del", 80}, Place{"Ok", 150}}) {
    GtkWidget* b = buttonIn(w, p.label);
    ASSERT_NE(b, nullptr) << p.label;
    gtk_widget_get_allocation(b, &a);
    EXPECT_EQ(a.x, p.x) << p.label;
    EXPECT_EQ(a.y, 360) << p.label;
    EXPECT_EQ(a.width, 60) << p.label;
    EXPECT_EQ(a.height, 30) << p.label;
  }
}

TEST_F(UserDialogsTest, AddAppendsOnlyNonEmptyNamesAndOkWritesThem) {
  gadgets = {"MyChartGadget"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  answers = {std::string(), std::nullopt, std::string("  MyGridGadget  "), std::string("   "),
             std::string("Pasted\nSecond line")};
  for (int i = 0; i < 5; ++i) click(w, "Add");
  ASSERT_EQ(inputs.size(), 5u);
  EXPECT_EQ(inputs[0].title, "Add Gadget");
  EXPECT_EQ(inputs[0].prompt, "Gadget command _name:");
  EXPECT_EQ(inputs[0].initial, "");
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"MyChartGadget", "MyGridGadget", "Pasted"}));
  EXPECT_EQ(gadgets, (Lines{"MyChartGadget"})) << "the list changes only on Ok";

  click(w, "Ok");
  pump();
  EXPECT_EQ(readAll(path), "[USERGADGET]\nMyChartGadget\nMyGridGadget\nPasted\n");
  EXPECT_EQ(gadgets, (Lines{"MyChartGadget", "MyGridGadget", "Pasted"}));
  EXPECT_EQ(findWindow("UserGadget"), nullptr);
  EXPECT_TRUE(mainEnabled());
  EXPECT_TRUE(messages.empty());
}

// UserList.INI would read "[Grid" back as a group header and drop every name after it.
TEST_F(UserDialogsTest, NamesThatWouldReadBackAsAGroupAreRefused) {
  gadgets = {"Alpha"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  answers = {std::string(" [Grid]"), std::string("[Beta")};
  click(w, "Add");
  doubleClick(w, 0);
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"Alpha"}));
  EXPECT_EQ(messages, (std::vector<std::string>(2, "UserGadget|A gadget name cannot begin with \"[\".")));
  click(w, "Ok");
  pump();
  EXPECT_EQ(readAll(path), "[USERGADGET]\nAlpha\n");
}

TEST_F(UserDialogsTest, EditReplacesTheRowOnlyOnANonEmptyAnswer) {
  gadgets = {"Alpha", "Beta"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  answers = {std::string(), std::nullopt, std::string("Gamma")};
  doubleClick(w, 1);
  doubleClick(w, 1);
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"Alpha", "Beta"}));
  doubleClick(w, 1);
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"Alpha", "Gamma"}));
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[0].title, "Edit Gadget");
  EXPECT_EQ(inputs[0].prompt, "Gadget command _name:");
  EXPECT_EQ(inputs[0].initial, "Beta");
}

TEST_F(UserDialogsTest, DelRemovesOnlyTheSelectedRowAndOkWithEmptyListWritesTheHeader) {
  gadgets = {"Alpha", "Beta"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  click(w, "Del");
  EXPECT_EQ(listRows(treeViewIn(w)).size(), 2u) << "nothing selected, nothing removed";
  select(w, 1);
  click(w, "Del");
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"Alpha"}));
  select(w, 0);
  click(w, "Del");
  click(w, "Ok");
  pump();
  EXPECT_EQ(readAll(path), "[USERGADGET]\n");
  EXPECT_TRUE(gadgets.empty());
}

TEST_F(UserDialogsTest, CloseBoxKeepsListAndFile) {
  ASSERT_TRUE(g_file_set_contents(path.c_str(), "[USERGADGET]\nAlpha\n", -1, nullptr));
  gadgets = {"Alpha"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  answers = {std::string("Beta")};
  click(w, "Add");
  select(w, 0);
  click(w, "Del");
  // Changes are not dropped without asking: No keeps the dialog open, Yes closes it.
  std::vector<BoxAnswer> replies{BoxAnswer::No, BoxAnswer::Yes};
  std::vector<std::string> questions;
  boxes().question = [&](GtkWindow*, const std::string& title, const std::string& text, bool) {
    questions.push_back(title + "|" + text);
    BoxAnswer a = replies.front();
    replies.erase(replies.begin());
    return a;
  };
  sendDelete(GTK_WIDGET(w));
  pump();
  EXPECT_NE(findWindow("UserGadget"), nullptr);
  testing::pressKey(GTK_WIDGET(w), GDK_KEY_Escape);
  ASSERT_TRUE(testing::pumpUntil([] { return findWindow("UserGadget") == nullptr; }));
  EXPECT_EQ(questions, std::vector<std::string>(2, "UserGadget|Discard the changes to the gadget list?"));
  EXPECT_TRUE(mainEnabled());
  EXPECT_EQ(gadgets, (Lines{"Alpha"}));
  EXPECT_EQ(readAll(path), "[USERGADGET]\nAlpha\n");

  // Opened again, it starts from the kept list.
  w = open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(listRows(treeViewIn(w)), (std::vector<std::string>{"Alpha"}));
}

TEST_F(UserDialogsTest, OkThatCannotWriteReportsAndStillCloses) {
  path = dir + "/missing/UserList.INI";
  gadgets = {"Alpha"};
  GtkWindow* w = open();
  ASSERT_NE(w, nullptr);
  answers = {std::string("Beta")};
  click(w, "Add");
  click(w, "Ok");
  pump();
  EXPECT_EQ(messages, (std::vector<std::string>{"Save UserGadget|Error save file usergadet"}));
  EXPECT_EQ(gadgets, (Lines{"Alpha", "Beta"}));
  EXPECT_EQ(findWindow("UserGadget"), nullptr);
  EXPECT_TRUE(mainEnabled());
  path = dir + "/UserList.INI";
}

TEST_F(UserDialogsTest, InfoBoxShowsNameVersionAndCopyright) {
  showInfo(GTK_WINDOW(main));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Info|Tarnwick Orlenta Version v5.17\n", 0), 0u) << messages[0];
  EXPECT_NE(messages[0].find("Copyright"), std::string::npos);
}

TEST_F(UserDialogsTest, LicenceShowsOneRowPerStoredLine) {
  // The stored text: every line ended by CR LF, German before English.
  std::string text = kLicenceText;
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  std::size_t lfs = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') {
      ++lfs;
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
  EXPECT_LT(text.find("Lizenzvereinbarung"), text.find("Licence Agreement"));

  std::vector<std::string> shown;
  bool mainDisabledWhileOpen = false;
  GtkAllocation window{}, list{};
  testing::whenWindowAppears("Licence", [&](GtkWindow* w) {
    shown = listRows(treeViewIn(w));
    mainDisabledWhileOpen = !mainEnabled();
    gtk_widget_get_allocation(GTK_WIDGET(w), &window);
    gtk_widget_get_allocation(gtk_widget_get_parent(treeViewIn(w)), &list);
    // Its Close button closes it, as the close box does.
    GtkWidget* close = testing::findChild(GTK_WIDGET(w), [](GtkWidget* c) {
      return GTK_IS_BUTTON(c) && gtk_button_get_label(GTK_BUTTON(c)) &&
             std::string(gtk_button_get_label(GTK_BUTTON(c))) == GTK_STOCK_CLOSE;
    });
    ASSERT_NE(close, nullptr);
    gtk_button_clicked(GTK_BUTTON(close));
  });
  showLicence(GTK_WINDOW(main));
  EXPECT_TRUE(mainDisabledWhileOpen);
  EXPECT_TRUE(mainEnabled());
  EXPECT_EQ(findWindow("Licence"), nullptr);
  EXPECT_EQ(window.width, 600);
  EXPECT_GT(window.height, 480);  // the list, and the Close button below it
  EXPECT_EQ(list.width, 600);
  EXPECT_EQ(list.height, 480);
  ASSERT_EQ(shown.size(), lfs);
  std::string joined;
  for (const std::string& row : shown) joined += row + "\r\n";
  EXPECT_EQ(joined, text);
  EXPECT_EQ(shown, licenceRows(kLicenceText));
}

TEST_F(UserDialogsTest, LicenceRowsDropCarriageReturnsAndTextAfterTheLastLineFeed) {
  EXPECT_EQ(licenceRows("a\r\n\r\nb\r\ntail"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(licenceRows("no line feed"), std::vector<std::string>{});
  EXPECT_EQ(licenceRows("x\n\n"), (std::vector<std::string>{"x", ""}));
}

// A worker thread asks the main thread for something and blocks until it is answered,
// as a generation run does; the licence window must not hold it up.
TEST_F(UserDialogsTest, WorkerRequestIsAnsweredWhileTheLicenceIsOpen) {
  struct Request {
    std::binary_semaphore answered{0};
    bool licenceWasOpen = false;
  } request;
  std::atomic<bool> workerDone{false};
  std::thread worker;
  bool timedOut = false;

  testing::whenWindowAppears("Licence", [&](GtkWindow*) {
    worker = std::thread([&] {
      g_idle_add(
          [](gpointer p) -> gboolean {
            auto* r = static_cast<Request*>(p);
            r->licenceWasOpen = findWindow("Licence") != nullptr;
            r->answered.release();
            return G_SOURCE_REMOVE;
          },
          &request);
      request.answered.acquire();
      workerDone = true;
    });
  });
  // Closes the licence once the worker has its answer, or after a time-out.
  gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
  struct Closer {
    std::atomic<bool>* done;
    gint64 end;
    bool* timedOut;
  } closer{&workerDone, end, &timedOut};
  g_timeout_add(
      10,
      [](gpointer p) -> gboolean {
        auto* c = static_cast<Closer*>(p);
        GtkWindow* w = findWindow("Licence");
        if (!w) return G_SOURCE_CONTINUE;
        if (!*c->done && g_get_monotonic_time() < c->end) return G_SOURCE_CONTINUE;
        *c->timedOut = !*c->done;
        sendDelete(GTK_WIDGET(w));
        return G_SOURCE_REMOVE;
      },
      &closer);
  showLicence(GTK_WINDOW(main));
  if (timedOut) request.answered.release();  // let a stuck worker end
  if (worker.joinable()) worker.join();
  EXPECT_FALSE(timedOut);
  EXPECT_TRUE(workerDone);
  EXPECT_TRUE(request.licenceWasOpen);
  EXPECT_TRUE(mainEnabled());
}

}  // namespace
}  // namespace tarnwick
