#include "app/gtk/boxes.h"

#include "model/text.h"

namespace tarnwick {

namespace {

void addFilters(GtkFileChooser* fc, const std::vector<FileFilter>& filters) {
  for (const FileFilter& f : filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.name.c_str());
    // "*.pbm;*.pbp": one filter that shows either kind.
    gchar** patterns = g_strsplit(f.pattern.c_str(), ";", -1);
    for (gchar** p = patterns; *p; ++p) gtk_file_filter_add_pattern(filter, *p);
    g_strfreev(patterns);
    gtk_file_chooser_add_filter(fc, filter);
  }
}

std::string existingFolder(const std::string& folder) {
  if (!folder.empty() && g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) return folder;
  gchar* cwd = g_get_current_dir();
  std::string out = cwd;
  g_free(cwd);
  return out;
}

// Centred on its parent.
void overParent(GtkWidget* d) { gtk_window_set_position(GTK_WINDOW(d), GTK_WIN_POS_CENTER_ON_PARENT); }

void showBox(GtkWindow* parent, GtkMessageType type, const std::string& title, const std::string& text) {
  GtkWidget* d = gtk_message_dialog_new(parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                        type, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(d), title.c_str());
  overParent(d);
  gtk_dialog_run(GTK_DIALOG(d));
  gtk_widget_destroy(d);
}

void realMessage(GtkWindow* parent, const std::string& title, const std::string& text) {
  showBox(parent, GTK_MESSAGE_INFO, title, text);
}

void realError(GtkWindow* parent, const std::string& title, const std::string& text) {
  showBox(parent, GTK_MESSAGE_ERROR, title, text);
}

BoxAnswer realQuestion(GtkWindow* parent, const std::string& title, const std::string& text, bool withCancel) {
  GtkWidget* d = gtk_message_dialog_new(parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                        GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(d), title.c_str());
  overParent(d);
  gtk_dialog_add_button(GTK_DIALOG(d), GTK_STOCK_YES, GTK_RESPONSE_YES);
  gtk_dialog_add_button(GTK_DIALOG(d), GTK_STOCK_NO, GTK_RESPONSE_NO);
  if (withCancel) gtk_dialog_add_button(GTK_DIALOG(d), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL);
  gint r = gtk_dialog_run(GTK_DIALOG(d));
  gtk_widget_destroy(d);
  if (r == GTK_RESPONSE_YES) return BoxAnswer::Yes;
  if (r == GTK_RESPONSE_CANCEL) return BoxAnswer::Cancel;
  if (r == GTK_RESPONSE_NO) return BoxAnswer::No;
  return BoxAnswer::Closed;
}

std::optional<std::string> realInput(GtkWindow* parent, const std::string& title, const std::string& prompt,
                                     const std::string& initial) {
  GtkWidget* d = gtk_dialog_new_with_buttons(title.c_str(), parent,
                                             GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK,
                                             nullptr);
  overParent(d);
  // The dialog sets its own content area's border from its style when shown: the room
  // around the prompt and the entry is a box of their own, its edge in line with the
  // buttons below.
  GtkWidget* area = gtk_vbox_new(FALSE, 2);
  gtk_container_set_border_width(GTK_CONTAINER(area), 5);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(d))), area, TRUE, TRUE, 0);
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_width_chars(GTK_ENTRY(entry), 32);  // room for a name, not only the buttons
  if (!prompt.empty()) {
    // The prompt is the entry's label: its mnemonic goes to the entry, and screen
    // readers name the entry by it.
    GtkWidget* label = gtk_label_new_with_mnemonic(prompt.c_str());
    gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), entry);
    gtk_box_pack_start(GTK_BOX(area), label, FALSE, FALSE, 4);
  }
  gtk_entry_set_text(GTK_ENTRY(entry), initial.c_str());
  gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
  gtk_box_pack_start(GTK_BOX(area), entry, FALSE, FALSE, 4);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_OK);
  gtk_widget_show_all(d);
  gint r = gtk_dialog_run(GTK_DIALOG(d));
  std::optional<std::string> out;
  if (r == GTK_RESPONSE_OK) out = gtk_entry_get_text(GTK_ENTRY(entry));
  gtk_widget_destroy(d);
  return out;
}

std::vector<std::string> realOpenFiles(GtkWindow* parent, const std::string& title, const std::string& folder,
                                       const std::vector<FileFilter>& filters, bool multiple) {
  GtkWidget* d = gtk_file_chooser_dialog_new(title.c_str(), parent, GTK_FILE_CHOOSER_ACTION_OPEN, GTK_STOCK_CANCEL,
                                             GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr);
  overParent(d);
  GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
  gtk_file_chooser_set_select_multiple(fc, multiple);
  gtk_file_chooser_set_local_only(fc, TRUE);
  addFilters(fc, filters);
  // A chooser without a folder opens in "Recently Used", where typed paths are lost.
  gtk_file_chooser_set_current_folder(fc, existingFolder(folder).c_str());
  std::vector<std::string> out;
  if (gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_ACCEPT) {
    GSList* names = gtk_file_chooser_get_filenames(fc);
    for (GSList* n = names; n; n = n->next) {
      out.emplace_back(static_cast<char*>(n->data));
      g_free(n->data);
    }
    g_slist_free(names);
  }
  gtk_widget_destroy(d);
  return out;
}

std::optional<std::string> realSaveFile(GtkWindow* parent, const std::string& title, const std::string& proposed,
                                        const std::vector<FileFilter>& filters) {
  GtkWidget* d = gtk_file_chooser_dialog_new(title.c_str(), parent, GTK_FILE_CHOOSER_ACTION_SAVE, GTK_STOCK_CANCEL,
                                             GTK_RESPONSE_CANCEL, GTK_STOCK_SAVE, GTK_RESPONSE_ACCEPT, nullptr);
  overParent(d);
  GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
  gtk_file_chooser_set_local_only(fc, TRUE);
  addFilters(fc, filters);
  std::string folder = proposed.substr(0, proposed.rfind('/') == std::string::npos ? 0 : proposed.rfind('/'));
  std::string name = proposed.rfind('/') == std::string::npos ? proposed : proposed.substr(proposed.rfind('/') + 1);
  gtk_file_chooser_set_current_folder(fc, existingFolder(folder).c_str());
  // The typed name is a UTF-8 text; a proposed name in another encoding is given as the
  // file's own name (bytes) instead, so that it is not re-spelled.
  if (readableText(name) == name) gtk_file_chooser_set_current_name(fc, name.c_str());
  else gtk_file_chooser_set_filename(fc, proposed.c_str());
  std::optional<std::string> out;
  if (gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_ACCEPT) {
    gchar* f = gtk_file_chooser_get_filename(fc);
    if (f) out = std::string(f);
    g_free(f);
  }
  gtk_widget_destroy(d);
  return out;
}

bool realShowFolder(GtkWindow* parent, const std::string& folder, std::string& error) {
  GError* e = nullptr;
  gchar* uri = g_filename_to_uri(folder.c_str(), nullptr, &e);
  // The desktop's handler for folders, as a file manager's own "open" would pick it.
  bool ok = uri && gtk_show_uri(parent ? gtk_window_get_screen(parent) : nullptr, uri, GDK_CURRENT_TIME, &e);
  if (!ok) error = e ? e->message : "no program is set up to show folders";
  if (e) g_error_free(e);
  g_free(uri);
  return ok;
}

}  // namespace

Boxes gtkBoxes() {
  return Boxes{realMessage, realError, realQuestion, realInput, realOpenFiles, realSaveFile, realShowFolder};
}

Boxes& boxes() {
  static Boxes current = gtkBoxes();
  return current;
}

}  // namespace tarnwick
