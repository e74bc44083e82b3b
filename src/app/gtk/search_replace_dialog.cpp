#include "app/gtk/search_replace_dialog.h"

namespace tarnwick {

// Placeholder until the dialog is built: every request is cancelled.
bool openSearchReplaceDialog(GtkWindow*, ObjectKind, const Lines&, const Lines&, SearchReplaceAnswer) {
  return false;
}
void closeSearchReplaceDialog(GtkWindow* mainWindow) {
  if (mainWindow) gtk_widget_set_sensitive(GTK_WIDGET(mainWindow), TRUE);
}
GtkWidget* searchReplaceDialogWindow() { return nullptr; }

}  // namespace tarnwick
