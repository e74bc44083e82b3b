#include "app/gtk/user_dialogs.h"

#include "app/gtk/boxes.h"
#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/widgets.h"
#include "project/settings.h"

namespace tarnwick {

const char* const kInfoText =
    "Tarnwick Orlenta Version v5.17\n"
    "Copyright \u00a9 2026 the Tarnwick developers";

const char* const kLicenceText =
    "Lizenzvereinbarung\r\n"
    "\r\n"
    "Tarnwick Orlenta Version v5.17\r\n"
    "Copyright \u00a9 2026 die Tarnwick-Entwickler. Alle Rechte vorbehalten.\r\n"
    "\r\n"
    "1. Nutzung\r\n"
    "   Sie d\u00fcrfen dieses Programm kostenlos f\u00fcr private und gewerbliche\r\n"
    "   Zwecke auf beliebig vielen Rechnern verwenden.\r\n"
    "2. Weitergabe\r\n"
    "   Sie d\u00fcrfen das Programm unver\u00e4ndert und vollst\u00e4ndig weitergeben.\r\n"
    "   F\u00fcr die Weitergabe selbst darf kein Entgelt verlangt werden.\r\n"
    "3. Erzeugter Code\r\n"
    "   Der Code, den das Programm f\u00fcr Sie erzeugt, geh\u00f6rt Ihnen. Sie d\u00fcrfen\r\n"
    "   ihn ohne Einschr\u00e4nkung verwenden, \u00e4ndern und verbreiten.\r\n"
    "4. Einschr\u00e4nkungen\r\n"
    "   Das Programm darf nicht ver\u00e4ndert, zur\u00fcckentwickelt oder verkauft werden.\r\n"
    "5. Haftungsausschluss\r\n"
    "   Das Programm wird ohne jede Gew\u00e4hrleistung so bereitgestellt, wie es ist.\r\n"
    "   Die Entwickler haften nicht f\u00fcr Sch\u00e4den aus seiner Nutzung, soweit das\r\n"
    "   Gesetz es zul\u00e4sst. Sichern Sie Ihre Quelltexte vor jedem Lauf.\r\n"
    "6. Annahme\r\n"
    "   Mit der Nutzung des Programms stimmen Sie diesen Bedingungen zu.\r\n"
    "\r\n"
    "--------------------------------------------------------------------\r\n"
    "\r\n"
    "Licence Agreement\r\n"
    "\r\n"
    "Tarnwick Orlenta Version v5.17\r\n"
    "Copyright \u00a9 2026 the Tarnwick developers. All rights reserved.\r\n"
    "\r\n"
    "1. Use\r\n"
    "   You may use this program free of charge, for private and commercial\r\n"
    "   purposes, on any number of computers.\r\n"
    "2. Distribution\r\n"
    "   You may pass the program on, unchanged and complete. No fee may be\r\n"
    "   charged for passing it on.\r\n"
    "3. Generated code\r\n"
    "   The code that the program generates for you is yours. You may use,\r\n"
    "   change and distribute it without restriction.\r\n"
    "4. Restrictions\r\n"
    "   The program may not be modified, reverse engineered or sold.\r\n"
    "5. Disclaimer\r\n"
    "   The program is provided as is, without warranty of any kind. The\r\n"
    "   developers are not liable for damage arising from its use, as far as\r\n"
    "   the law permits. Back up your sources before every run.\r\n"
    "6. Acceptance\r\n"
    "   By using the program you agree to these terms.\r\n";

namespace {

// Open "Licence" windows; one may be opened from the nested loop of another once a run
// has enabled the main window behind it.
int licenceWindows = 0;
// The height of the Licence window's button row below its list.
constexpr int kCloseRow = 46;

void setMainEnabled(GtkWindow* mainWindow, bool enabled) {
  // Another dialog that holds the main window keeps it disabled until it closes itself.
  if (enabled && (userDialogOpen() || searchReplaceDialogWindow())) return;
  if (mainWindow) gtk_widget_set_sensitive(GTK_WIDGET(mainWindow), enabled);
}

// ---- "UserGadget" dialog (window 3) ----

struct UserGadgetDialog {
  GtkWindow* mainWindow = nullptr;
  Lines* userGadgets = nullptr;
  std::string userListPath;
  GtkWidget* window = nullptr;
  GtkWidget* list = nullptr;  // gadget 20
};

// The label of the input box's entry.
const char* const kNamePrompt = "Gadget command _name:";

// The open dialog, if any; there is at most one.
UserGadgetDialog* openDialog = nullptr;

void closeUserGadgetDialog(UserGadgetDialog* d) {
  if (openDialog == d) openDialog = nullptr;
  setMainEnabled(d->mainWindow, true);
  gtk_widget_destroy(d->window);  // frees d through onUserGadgetDestroyed
}

// However the window goes (closed here, or with its owner), its state goes with it.
void onUserGadgetDestroyed(GtkWidget*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  if (openDialog == d) openDialog = nullptr;
  delete d;
}

// A name as typed into an input box: one line, without surrounding spaces (the file
// stores one name a line and the loader trims spaces, so this is what a restart reads).
std::string gadgetName(const std::optional<std::string>& answer) {
  if (!answer) return {};
  std::string name = answer->substr(0, answer->find_first_of("\r\n"));
  std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

// A name that begins with "[" would read back from UserList.INI as a group header, and
// every name after it would be lost at the next start: such a name is refused.
bool refusedName(UserGadgetDialog* d, const std::string& name) {
  if (name.empty() || name[0] != '[') return false;
  boxes().error(GTK_WINDOW(d->window), "UserGadget", "A gadget name cannot begin with \"[\".");
  return true;
}

void onAdd(GtkButton*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  std::string name = gadgetName(boxes().input(GTK_WINDOW(d->window), "Add Gadget", kNamePrompt, ""));
  if (refusedName(d, name)) return;
  if (openDialog != d || name.empty()) return;
  appendRow(d->list, name);
}

void onDel(GtkButton*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  GtkTreeModel* model = nullptr;
  GtkTreeIter it;
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(d->list)), &model, &it))
    gtk_list_store_remove(GTK_LIST_STORE(model), &it);
}

// Double click (or Enter) on a row edits it; an empty answer keeps the row.
void onRowActivated(GtkTreeView* view, GtkTreePath* path, GtkTreeViewColumn*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  GtkTreeModel* model = gtk_tree_view_get_model(view);
  GtkTreeIter it;
  if (!gtk_tree_model_get_iter(model, &it, path)) return;
  gchar* text = nullptr;
  gtk_tree_model_get(model, &it, 0, &text, -1);
  std::string current = text ? text : "";
  g_free(text);
  // The row is found again by its path: the store may have changed while the box was open.
  GtkTreePath* keep = gtk_tree_path_copy(path);
  std::string name = gadgetName(boxes().input(GTK_WINDOW(d->window), "Edit Gadget", kNamePrompt, current));
  if (refusedName(d, name)) name.clear();
  if (openDialog == d && !name.empty() && gtk_tree_model_get_iter(model, &it, keep))
    setRow(GTK_LIST_STORE(model), &it, name);
  gtk_tree_path_free(keep);
}

void onOk(GtkButton*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  Lines rows;
  for (const std::string& row : rowsOf(d->list)) rows.push_back(fromUtf8(row));
  DiskFileSystem fs;
  if (!saveUserGadgets(fs, d->userListPath, rows, *d->userGadgets))
    boxes().error(GTK_WINDOW(d->window), "Save UserGadget", "Error save file usergadet");
  if (openDialog == d) closeUserGadgetDialog(d);
}

// The close box (and Escape): nothing is stored, after asking when the list was changed.
gboolean onUserGadgetDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* d = static_cast<UserGadgetDialog*>(data);
  Lines rows;
  for (const std::string& row : rowsOf(d->list)) rows.push_back(fromUtf8(row));
  if (rows != *d->userGadgets &&
      boxes().question(GTK_WINDOW(d->window), "UserGadget", "Discard the changes to the gadget list?", false) !=
          BoxAnswer::Yes)
    return TRUE;
  // The question ran a loop of its own: the dialog may have gone meanwhile.
  if (openDialog == d) closeUserGadgetDialog(d);
  return TRUE;
}

GtkWidget* newButton(GtkWidget* fixed, const char* label, int x, int y, GCallback onClick, gpointer data) {
  GtkWidget* button = gtk_button_new_with_label(label);
  gtk_widget_set_size_request(button, 60, 30);
  gtk_fixed_put(GTK_FIXED(fixed), button, x, y);
  g_signal_connect(button, "clicked", onClick, data);
  return button;
}

// ---- "Licence" window ----

struct LicenceWait {
  GtkWidget* window = nullptr;
  bool closeRequested = false;
};

gboolean onLicenceDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<LicenceWait*>(data)->closeRequested = true;
  return TRUE;  // closed by showLicence once the main window is enabled again
}

void onLicenceClose(GtkButton*, gpointer data) { static_cast<LicenceWait*>(data)->closeRequested = true; }

void onLicenceDestroyed(GtkWidget*, gpointer data) {
  auto* wait = static_cast<LicenceWait*>(data);
  wait->window = nullptr;
  wait->closeRequested = true;
}

}  // namespace

bool userDialogOpen() { return openDialog != nullptr || licenceWindows > 0; }

bool saveUserGadgets(FileSystem& fs, const std::string& userListPath, const Lines& rows, Lines& userGadgets) {
  userGadgets = rows;
  return fs.writeFile(userListPath, userGadgetFileBytes(userGadgets));
}

void openUserGadgetDialog(GtkWindow* mainWindow, Lines& userGadgets, const std::string& userListPath) {
  if (openDialog) {
    gtk_window_present(GTK_WINDOW(openDialog->window));
    return;
  }
  GtkWidget* fixed = nullptr;
  GtkWidget* window = newFixedWindow("UserGadget", mainWindow, 220, 400, &fixed);
  if (!window) return;  // the main window stays as it is
  auto* d = new UserGadgetDialog{mainWindow, &userGadgets, userListPath, window, nullptr};

  GtkWidget* scrolled = nullptr;
  d->list = newTextList(&scrolled);
  gtk_widget_set_size_request(scrolled, 220, 350);
  gtk_fixed_put(GTK_FIXED(fixed), scrolled, 0, 0);
  g_signal_connect(d->list, "row-activated", G_CALLBACK(onRowActivated), d);
  newButton(fixed, "Add", 10, 360, G_CALLBACK(onAdd), d);
  newButton(fixed, "Del", 80, 360, G_CALLBACK(onDel), d);
  newButton(fixed, "Ok", 150, 360, G_CALLBACK(onOk), d);
  g_signal_connect(window, "delete-event", G_CALLBACK(onUserGadgetDelete), d);
  g_signal_connect(window, "destroy", G_CALLBACK(onUserGadgetDestroyed), d);

  for (const Text& name : userGadgets) appendRow(d->list, toUtf8(name));
  openDialog = d;
  gtk_widget_show_all(window);
  setMainEnabled(mainWindow, false);
}

void showInfo(GtkWindow* mainWindow) { boxes().message(mainWindow, "Info", kInfoText); }

std::vector<std::string> licenceRows(const char* text) {
  std::string all;
  for (const char* c = text; *c; ++c)
    if (*c != '\r') all += *c;
  std::vector<std::string> rows;
  std::size_t start = 0;
  for (std::size_t lf = all.find('\n'); lf != std::string::npos; lf = all.find('\n', start)) {
    rows.push_back(all.substr(start, lf - start));
    start = lf + 1;
  }
  return rows;
}

void showLicence(GtkWindow* mainWindow) {
  setMainEnabled(mainWindow, false);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!window) {
    setMainEnabled(mainWindow, true);
    return;
  }
  LicenceWait wait{window, false};
  gtk_window_set_title(GTK_WINDOW(window), "Licence");
  // The list's 600x480 and a row for the Close button below it.
  gtk_window_set_default_size(GTK_WINDOW(window), 600, 480 + kCloseRow);
  if (mainWindow) {
    gtk_window_set_transient_for(GTK_WINDOW(window), mainWindow);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER_ON_PARENT);
  }
  closeOnEscape(window);
  // A layout keeps the list at its own size whatever the window's size is, and lets the
  // window shrink below it.
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window), box);
  GtkWidget* layout = gtk_layout_new(nullptr, nullptr);
  gtk_box_pack_start(GTK_BOX(box), layout, TRUE, TRUE, 0);
  GtkWidget* buttons = gtk_hbutton_box_new();
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  gtk_container_set_border_width(GTK_CONTAINER(buttons), 8);
  GtkWidget* close = gtk_button_new_from_stock(GTK_STOCK_CLOSE);
  gtk_container_add(GTK_CONTAINER(buttons), close);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);
  GtkWidget* scrolled = nullptr;
  GtkWidget* list = newTextList(&scrolled);
  gtk_widget_set_size_request(scrolled, 600, 480);
  gtk_layout_put(GTK_LAYOUT(layout), scrolled, 0, 0);
  for (const std::string& row : licenceRows(kLicenceText)) appendRow(list, row);
  g_signal_connect(window, "delete-event", G_CALLBACK(onLicenceDelete), &wait);
  g_signal_connect(close, "clicked", G_CALLBACK(onLicenceClose), &wait);
  g_signal_connect(window, "destroy", G_CALLBACK(onLicenceDestroyed), &wait);
  gtk_widget_show_all(window);
  gtk_widget_grab_focus(close);  // Return or Space closes it, as Escape does
  ++licenceWindows;

  // A nested loop: every other event, worker requests included, is still dispatched.
  while (!wait.closeRequested) g_main_context_iteration(nullptr, TRUE);

  --licenceWindows;
  setMainEnabled(mainWindow, true);
  if (wait.window) {
    g_signal_handlers_disconnect_by_data(wait.window, &wait);
    gtk_widget_destroy(wait.window);
  }
}

}  // namespace tarnwick
