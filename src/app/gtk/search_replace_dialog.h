// The search-and-replace dialog (window 2): binds vanished names of one kind to new ones.
#pragma once

#include <gtk/gtk.h>

#include <functional>

#include "model/form_model.h"

namespace tarnwick {

// Called once per opening, on the main thread, when the user has answered: 0 to go on
// or 2 to cancel, with the Todo list entries in list order. A dialog that goes away
// before the user answered (closed, replaced, or destroyed with its parent) answers 2,
// so that nobody waits for ever.
using SearchReplaceAnswer = std::function<void(int answer, const Lines& todo)>;

// Opens the dialog for one kind over the main window and disables the main window.
// Returns false when the dialog cannot be created (the caller then answers 2 itself).
bool openSearchReplaceDialog(GtkWindow* mainWindow, ObjectKind kind, const Lines& oldEntries,
                             const Lines& newEntries, SearchReplaceAnswer onAnswer);
// Closes the dialog, if open, and enables the main window.
void closeSearchReplaceDialog(GtkWindow* mainWindow);
// The dialog window while it is open (for tests), else nullptr.
GtkWidget* searchReplaceDialogWindow();
// Gadget 11 to 19 of the open dialog (for tests): the three labels, the three lists
// (GtkTreeView), and the buttons Bind, Release and Continue. nullptr when closed.
GtkWidget* searchReplaceGadget(int number);

}  // namespace tarnwick
