// The small dialogs of the main window's menu: user gadgets, information, licence.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "model/form_model.h"

namespace tarnwick {

extern const char* const kInfoText;     // program name, version line and copyright
extern const char* const kLicenceText;  // German then English, CR LF line ends

// "UserGadget" dialog (window 3): edits userGadgets; "Ok" stores them into userListPath.
void openUserGadgetDialog(GtkWindow* mainWindow, Lines& userGadgets, const std::string& userListPath);
// The information box titled "Info".
void showInfo(GtkWindow* mainWindow);
// The "Licence" window; returns when it is closed, serving other events meanwhile.
void showLicence(GtkWindow* mainWindow);

}  // namespace tarnwick
