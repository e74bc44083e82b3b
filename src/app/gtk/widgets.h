// Small GTK building blocks shared by the main window and the dialogs: one-column text
// lists and fixed-layout dialog windows.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnwick {

// A text list without a header, inside a scrolled window; returns the view and gives
// the scrolled window (the widget to place) through `scrolled`. A row too long for the
// view scrolls sideways and shows its whole text as a tooltip. Each row keeps its bytes
// (column 1) beside the text it shows (column 0), so that a path in another encoding
// than UTF-8 is shown readably and still comes back as the bytes it was.
GtkWidget* newTextList(GtkWidget** scrolled);

// A list of paths: a row too long for the view is shortened at its start ("...") so that
// the file name at its end stays in sight, and the list never scrolls sideways.
void showPathEnds(GtkWidget* view, GtkWidget* scrolled);

// A note for a row, given the row's bytes, shown in its tooltip below the row's text (an
// empty note shows none).
using RowNote = std::function<std::string(const std::string& row)>;
void setRowNote(GtkWidget* view, RowNote note);

// The list store behind a text list (a GtkTreeView over a GtkListStore).
GtkListStore* storeOf(GtkWidget* view);

// Sets the row at `it` to `bytes`: shown as readableText, kept as they are.
void setRow(GtkListStore* store, GtkTreeIter* it, const std::string& bytes);

// Appends one row holding `text` (UTF-8, or a path's bytes).
void appendRow(GtkWidget* view, const std::string& text);

// Every row's bytes, top to bottom.
std::vector<std::string> rowsOf(GtkWidget* view);

// A fixed-size dialog window owned by `owner` and centred on it (on the screen when
// owner is null), closed by Escape as by its close box: its title, and a GtkFixed of
// width x height to place the gadgets on, returned through `fixed`.
GtkWidget* newFixedWindow(const char* title, GtkWindow* owner, int width, int height, GtkWidget** fixed);

// Escape in the window does what its close box does.
void closeOnEscape(GtkWidget* window);
// A key pressed without Ctrl, Shift or Alt.
bool plainKey(const GdkEventKey* event);

}  // namespace tarnwick
