#include "app/gtk/user_dialogs.h"

namespace tarnwick {

// Placeholders until the dialogs are built.
const char* const kInfoText = "Tarnwick Orlenta Version v5.17";
const char* const kLicenceText = "\r\n";
void openUserGadgetDialog(GtkWindow*, Lines&, const std::string&) {}
void showInfo(GtkWindow*) {}
void showLicence(GtkWindow*) {}

}  // namespace tarnwick
