// Main of the GTK test binary: GTK is initialised once on a display (tests/with-xvfb.sh
// starts a private one), and every GTK warning is counted so tests can fail on it.
#include <gtest/gtest.h>

#include <vector>

#include "app/gtk/gui_test_support.h"
#include "app/gtk/widgets.h"

namespace tarnwick::testing {

std::atomic<int> gtkProblems{0};

void pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

bool pumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  gint64 end = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
  while (!pred()) {
    if (g_get_monotonic_time() > end) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
  return true;
}

GtkWindow* findWindow(const std::string& title) {
  GtkWindow* found = nullptr;
  GList* tops = gtk_window_list_toplevels();
  for (GList* l = tops; l; l = l->next) {
    GtkWindow* w = GTK_WINDOW(l->data);
    const gchar* t = gtk_window_get_title(w);
    if (t && title == t && gtk_widget_get_visible(GTK_WIDGET(w))) found = w;
  }
  g_list_free(tops);
  return found;
}

namespace {

struct Watch {
  std::function<bool(GtkWindow*)> pred;
  std::function<void(GtkWindow*)> fn;
  gint64 end;
};

gboolean poll(gpointer data) {
  auto* w = static_cast<Watch*>(data);
  GtkWindow* match = nullptr;
  GList* tops = gtk_window_list_toplevels();
  for (GList* l = tops; l; l = l->next) {
    GtkWindow* win = GTK_WINDOW(l->data);
    if (gtk_widget_get_visible(GTK_WIDGET(win)) && w->pred(win)) match = win;
  }
  g_list_free(tops);
  if (match) {
    auto fn = w->fn;
    delete w;
    fn(match);
    return G_SOURCE_REMOVE;
  }
  if (g_get_monotonic_time() > w->end) {
    ADD_FAILURE() << "expected window did not appear";
    delete w;
    return G_SOURCE_REMOVE;
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

void whenWindowMatches(std::function<bool(GtkWindow*)> pred, std::function<void(GtkWindow*)> fn, int timeoutMs) {
  g_timeout_add(10, poll, new Watch{std::move(pred), std::move(fn), g_get_monotonic_time() + gint64(timeoutMs) * 1000});
}

void whenWindowAppears(const std::string& title, std::function<void(GtkWindow*)> fn, int timeoutMs) {
  whenWindowMatches(
      [title](GtkWindow* w) {
        const gchar* t = gtk_window_get_title(w);
        return t && title == t;
      },
      std::move(fn), timeoutMs);
}

void pressKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers) {
  EXPECT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(widget); }));
  gdk_test_simulate_key(gtk_widget_get_window(widget), -1, -1, keyval, modifiers, GDK_KEY_PRESS);
  gdk_test_simulate_key(gdk_get_default_root_window(), -1, -1, keyval, modifiers, GDK_KEY_RELEASE);
  pump();
}

void sendDelete(GtkWidget* window) {
  GdkEvent* ev = gdk_event_new(GDK_DELETE);
  ev->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  ev->any.send_event = TRUE;
  gtk_main_do_event(ev);
  gdk_event_free(ev);
}

std::vector<std::string> listRows(GtkWidget* treeView) { return rowsOf(treeView); }

GtkWidget* findChild(GtkWidget* w, const std::function<bool(GtkWidget*)>& pred) {
  if (pred(w)) return w;
  if (!GTK_IS_CONTAINER(w)) return nullptr;
  GList* kids = gtk_container_get_children(GTK_CONTAINER(w));
  GtkWidget* found = nullptr;
  for (GList* l = kids; l && !found; l = l->next) found = findChild(GTK_WIDGET(l->data), pred);
  g_list_free(kids);
  return found;
}

void expectCentredOn(GtkWidget* window, GtkWidget* parent) {
  ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(window); }));
  pump();
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(window)), GTK_WINDOW(parent));
  int wx = 0, wy = 0, px = 0, py = 0;
  gdk_window_get_origin(gtk_widget_get_window(window), &wx, &wy);
  gdk_window_get_origin(gtk_widget_get_window(parent), &px, &py);
  GtkAllocation w, p;
  gtk_widget_get_allocation(window, &w);
  gtk_widget_get_allocation(parent, &p);
  EXPECT_NEAR(wx + w.width / 2, px + p.width / 2, 1) << gtk_window_get_title(GTK_WINDOW(window));
  EXPECT_NEAR(wy + w.height / 2, py + p.height / 2, 1) << gtk_window_get_title(GTK_WINDOW(window));
}

}  // namespace tarnwick::testing

namespace {

GLogWriterOutput countWriter(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer) {
  if (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)) ++tarnwick::testing::gtkProblems;
  return g_log_writer_default(level, fields, n, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  g_log_set_writer_func(countWriter, nullptr, nullptr);
  gchar* dataHome = g_dir_make_tmp("tarnwick-gui-test-XXXXXX", nullptr);
  g_setenv("XDG_DATA_HOME", dataHome, TRUE);
  g_free(dataHome);
  if (!gtk_init_check(&argc, &argv)) {
    fprintf(stderr, "no X display (run under tests/with-xvfb.sh)\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
