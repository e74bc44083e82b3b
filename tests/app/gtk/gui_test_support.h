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
// Sends a close request (as the close box does) to a window.
void sendDelete(GtkWidget* window);
// Rows of a single-column list (GtkTreeView over a GtkListStore of strings).
std::vector<std::string> listRows(GtkWidget* treeView);

class GtkTest : public ::testing::Test {
 protected:
  void SetUp() override { gtkProblems = 0; }
  void TearDown() override {
    pump();
    EXPECT_EQ(gtkProblems.load(), 0) << "GTK logged a warning or critical during the test";
  }
};

}  // namespace tarnwick::testing
