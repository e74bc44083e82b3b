// The small dialogs of the main window's menu: user gadgets, information, licence.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

extern const char* const kInfoText;     // program name, version line and copyright
extern const char* const kLicenceText;  // German then English, CR LF line ends

// "UserGadget" dialog (window 3): edits userGadgets; "Ok" stores them into userListPath.
// Returns at once; the dialog works on its own rows until "Ok", so userGadgets (which
// must outlive the dialog) changes only then. The main window is disabled while it is open.
void openUserGadgetDialog(GtkWindow* mainWindow, Lines& userGadgets, const std::string& userListPath);
// Replaces userGadgets with rows and writes UserList.INI ("[USERGADGET]", one name a
// line). False when the file cannot be written; the list is replaced all the same.
bool saveUserGadgets(FileSystem& fs, const std::string& userListPath, const Lines& rows, Lines& userGadgets);
// The information box titled "Info".
void showInfo(GtkWindow* mainWindow);
// The "Licence" window; returns when it is closed, serving other events meanwhile.
void showLicence(GtkWindow* mainWindow);
// True while the "UserGadget" dialog or the "Licence" window is open: the main window
// must then stay disabled whatever else asks to enable it.
bool userDialogOpen();
// The rows the licence window shows: the text without carriage returns, cut at line
// feeds; text after the last line feed is not a row.
std::vector<std::string> licenceRows(const char* text);

}  // namespace tarnwick
