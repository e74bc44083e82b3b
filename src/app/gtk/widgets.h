// Small GTK building blocks shared by the main window and the dialogs: one-column text
// lists and fixed-layout dialog windows.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace tarnwick {

// A one-column text list without a header, inside a scrolled window; returns the view
// and gives the scrolled window (the widget to place) through `scrolled`.
GtkWidget* newTextList(GtkWidget** scrolled);

// The list store behind a one-column text list (a GtkTreeView over a GtkListStore).
GtkListStore* storeOf(GtkWidget* view);

// Appends one row holding `text` (UTF-8).
void appendRow(GtkWidget* view, const std::string& text);

// Every row's text, top to bottom.
std::vector<std::string> rowsOf(GtkWidget* view);

// A fixed-size, centred dialog window owned by `owner` (may be null): its title, and a
// GtkFixed of width x height to place the gadgets on, returned through `fixed`.
GtkWidget* newFixedWindow(const char* title, GtkWindow* owner, int width, int height, GtkWidget** fixed);

}  // namespace tarnwick
