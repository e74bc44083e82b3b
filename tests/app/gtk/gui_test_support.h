// Helpers for in-process GTK tests: pumping the main loop, answering windows that
// appear, and a fixture that fails a test during which GTK logged a warning.
#pragma once

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

namespace tarnwick::testing {

extern std::atomic<int> gtkProblems;

// Runs pending events without blocking.
void pump();
// Iterates the main loop until pred holds or the time is up; false on time-out.
bool pumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Polls the visible top-level windows every 10 ms and calls fn once for the first one
// whose title equals title (or that pred accepts). Fails the test after timeoutMs.
void whenWindowAppears(const std::string& title, std::function<void(GtkWindow*)> fn, int timeoutMs = 5000);
void whenWindowMatches(std::function<bool(GtkWindow*)> pred, std::function<void(GtkWindow*)> fn,
                       int timeoutMs = 5000);
// A visible top-level window with this title, or nullptr.
GtkWindow* findWindow(const std::string& title);
// A real key press through X into a mapped widget's window, for keys that may close that
// window: the release goes to the root window, so nothing is sent to a window that is gone.
void pressKey(GtkWidget* widget, guint keyval, GdkModifierType modifiers = GdkModifierType(0));
// Sends a close request (as the close box does) to a window.
void sendDelete(GtkWidget* window);
// Rows of a single-column list (GtkTreeView over a GtkListStore of strings).
std::vector<std::string> listRows(GtkWidget* treeView);
// The first of w and its descendants that pred accepts, or nullptr.
GtkWidget* findChild(GtkWidget* w, const std::function<bool(GtkWidget*)>& pred);
// Checks that a shown window is owned by parent and centred on it (to a pixel).
void expectCentredOn(GtkWidget* window, GtkWidget* parent);

class GtkTest : public ::testing::Test {
 protected:
  void SetUp() override { gtkProblems = 0; }
  void TearDown() override {
    pump();
    EXPECT_EQ(gtkProblems.load(), 0) << "GTK logged a warning or critical during the test";
  }
};

}  // namespace tarnwick::testing
