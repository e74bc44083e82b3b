// Window 2: the old names of one kind, the new names, and the Todo list of bound
// pairs, with Bind, Release and Continue.
#include "app/gtk/search_replace_dialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/gtk/boxes.h"
#include "app/gtk/widgets.h"
#include "rewrite/bind_kind.h"

namespace tarnwick {

namespace {

const char* const kGuidance = "Pick an old name and the new name it has become, then Bind. Continue when done.";

enum Gadget { LabelOld = 11, LabelNew, LabelTodo, ListOld, ListNew, ListTodo, ButtonBind, ButtonRelease, ButtonContinue };

struct SearchReplaceDialog {
  unsigned serial = 0;
  GtkWidget* window = nullptr;
  GtkWidget* gadgets[9] = {};
  GtkWindow* mainWindow = nullptr;
  SearchReplaceAnswer onAnswer;
  bool answered = false;

  GtkWidget* gadget(int number) const { return gadgets[number - LabelOld]; }
};

// At most one dialog is open at a time; the serial tells a handler that resumes after
// a nested loop whether its dialog is still the one that is open.
SearchReplaceDialog* current = nullptr;
unsigned lastSerial = 0;

bool selectedRow(GtkWidget* view, GtkTreeIter& it, std::string& text) {
  GtkTreeModel* model = nullptr;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), &model, &it)) return false;
  gchar* s = nullptr;
  gtk_tree_model_get(model, &it, 0, &s, -1);
  text = s ? s : "";
  g_free(s);
  return true;
}

// Hands the answer to the waiting side, once. The callback may close the dialog, so
// nothing of it is touched afterwards.
void answer(SearchReplaceDialog* d, int value) {
  if (d->answered) return;
  d->answered = true;
  Lines todo;
  for (const std::string& row : rowsOf(d->gadget(ListTodo))) todo.push_back(fromUtf8(row));
  SearchReplaceAnswer onAnswer = d->onAnswer;
  if (onAnswer) onAnswer(value, todo);
}

// A list's column keeps the width of its widest row even after that row has gone;
// measured anew, no scroll bar stays for a name that is no longer there.
void fitWidths(SearchReplaceDialog* d) {
  for (int list : {ListOld, ListNew, ListTodo}) gtk_tree_view_columns_autosize(GTK_TREE_VIEW(d->gadget(list)));
}

void bind(SearchReplaceDialog* d) {
  GtkTreeIter oldIt, newIt;
  std::string oldName, newName;
  if (!selectedRow(d->gadget(ListOld), oldIt, oldName) || !selectedRow(d->gadget(ListNew), newIt, newName)) return;
  std::string pair = oldName + " > " + newName;
  std::vector<std::string> todo = rowsOf(d->gadget(ListTodo));
  if (std::find(todo.begin(), todo.end(), pair) != todo.end()) return;
  appendRow(d->gadget(ListTodo), pair);
  gtk_list_store_remove(storeOf(d->gadget(ListOld)), &oldIt);
  gtk_list_store_remove(storeOf(d->gadget(ListNew)), &newIt);
  fitWidths(d);
}

void release(SearchReplaceDialog* d) {
  GtkTreeIter it;
  std::string pair;
  if (!selectedRow(d->gadget(ListTodo), it, pair)) return;
  Text oldName, newName;
  splitTodoEntry(fromUtf8(pair), oldName, newName);
  appendRow(d->gadget(ListOld), toUtf8(oldName));
  appendRow(d->gadget(ListNew), toUtf8(newName));
  gtk_list_store_remove(storeOf(d->gadget(ListTodo)), &it);
  fitWidths(d);
}

void continueClicked(SearchReplaceDialog* d) {
  if (d->answered) return;
  if (rowsOf(d->gadget(ListOld)).empty()) {
    answer(d, 0);
    return;
  }
  unsigned serial = d->serial;
  BoxAnswer choice =
      boxes().question(GTK_WINDOW(d->window), "Info", "Some old constants not to bind! Continue?", false);
  // The question ran a loop of its own: the dialog may have gone or answered meanwhile.
  if (!current || current->serial != serial || current->answered) return;
  // Yes goes on with the old names left unbound. No, or the question closed without a
  // choice, goes back to binding; the dialog's close box cancels the run.
  if (choice == BoxAnswer::Yes) answer(current, 0);
}

void onBindClicked(GtkButton*, gpointer data) { bind(static_cast<SearchReplaceDialog*>(data)); }
void onReleaseClicked(GtkButton*, gpointer data) { release(static_cast<SearchReplaceDialog*>(data)); }
void onContinueClicked(GtkButton*, gpointer data) { continueClicked(static_cast<SearchReplaceDialog*>(data)); }
// A double-click activates a row: on the old or new list it binds, on the Todo list it releases.
void onEntryActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
  bind(static_cast<SearchReplaceDialog*>(data));
}
void onTodoActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
  release(static_cast<SearchReplaceDialog*>(data));
}

// The close box cancels the run; the window itself stays until the run closes it.
gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
  answer(static_cast<SearchReplaceDialog*>(data), 2);
  return TRUE;
}

void onDestroy(GtkWidget*, gpointer data) {
  auto* d = static_cast<SearchReplaceDialog*>(data);
  if (current == d) current = nullptr;
  answer(d, 2);
  delete d;
}

GtkWidget* makeLabel(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
  return label;
}

// A single-column list with at most one selected row; returns the view, inside a
// scrolled window given through scroller.
GtkWidget* makeList(GtkWidget** scroller) {
  GtkWidget* view = newTextList(scroller);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), GTK_SELECTION_SINGLE);
  return view;
}

GtkWidget* makeButton(const char* mnemonic) {
  GtkWidget* button = gtk_button_new_with_mnemonic(mnemonic);
  gtk_widget_set_size_request(button, 120, 30);
  return button;
}

// The widest of texts in pixels, laid out in widget's font.
int widestText(GtkWidget* widget, const std::vector<std::string>& texts) {
  PangoLayout* layout = gtk_widget_create_pango_layout(widget, nullptr);
  int widest = 0;
  for (const std::string& text : texts) {
    pango_layout_set_text(layout, text.c_str(), int(text.size()));
    int width = 0;
    pango_layout_get_pixel_size(layout, &width, nullptr);
    widest = std::max(widest, width);
  }
  g_object_unref(layout);
  return widest;
}

constexpr int kGap = 10;

// A column: its label above its list.
GtkWidget* makeColumn(GtkWidget* label, GtkWidget* scroller) {
  GtkWidget* column = gtk_vbox_new(FALSE, 4);
  gtk_box_pack_start(GTK_BOX(column), label, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), scroller, TRUE, TRUE, 0);
  // Small requests: the window may be made narrow, the lists then scroll.
  gtk_widget_set_size_request(scroller, 60, 60);
  return column;
}

}  // namespace

bool openSearchReplaceDialog(GtkWindow* mainWindow, ObjectKind kind, const Lines& oldEntries,
                             const Lines& newEntries, SearchReplaceAnswer onAnswer) {
  if (!gdk_display_get_default()) return false;
  // A dialog left over from an earlier request is cancelled before the new one opens.
  if (current) gtk_widget_destroy(current->window);

  auto* d = new SearchReplaceDialog;
  d->serial = ++lastSerial;
  d->mainWindow = mainWindow;
  d->onAnswer = std::move(onAnswer);

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  d->window = window;
  // A normal window rather than a dialog, so that window managers offer to maximise it.
  gtk_window_set_transient_for(GTK_WINDOW(window), mainWindow);
  gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  gtk_window_set_position(GTK_WINDOW(window), mainWindow ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  closeOnEscape(window);

  GtkWidget* box = gtk_vbox_new(FALSE, 6);
  gtk_container_set_border_width(GTK_CONTAINER(box), kGap);
  gtk_container_add(GTK_CONTAINER(window), box);
  gtk_box_pack_start(GTK_BOX(box), makeLabel(kGuidance), FALSE, FALSE, 0);

  // The three columns sit in two splitters, which keep their shares of the width when
  // the window is resized (and let the user move them).
  GtkWidget* columns[3] = {};
  const char* titles[3] = {"Old Entry", "New Entry", "Todo List"};
  for (int i = 0; i < 3; ++i) {
    GtkWidget* scroller = nullptr;
    d->gadgets[LabelOld - LabelOld + i] = makeLabel(titles[i]);
    d->gadgets[ListOld - LabelOld + i] = makeList(&scroller);
    columns[i] = makeColumn(d->gadgets[LabelOld - LabelOld + i], scroller);
  }
  GtkWidget* outer = gtk_hpaned_new();
  GtkWidget* inner = gtk_hpaned_new();
  gtk_paned_pack1(GTK_PANED(outer), columns[0], TRUE, FALSE);
  gtk_paned_pack2(GTK_PANED(outer), inner, TRUE, FALSE);
  gtk_paned_pack1(GTK_PANED(inner), columns[1], TRUE, FALSE);
  gtk_paned_pack2(GTK_PANED(inner), columns[2], TRUE, FALSE);
  gtk_box_pack_start(GTK_BOX(box), outer, TRUE, TRUE, 0);

  GtkWidget* buttons = gtk_hbox_new(FALSE, 20);
  d->gadgets[ButtonBind - LabelOld] = makeButton("_Bind");
  d->gadgets[ButtonRelease - LabelOld] = makeButton("_Release");
  d->gadgets[ButtonContinue - LabelOld] = makeButton("_Continue");
  gtk_box_pack_start(GTK_BOX(buttons), d->gadget(ButtonBind), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(buttons), d->gadget(ButtonRelease), FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(buttons), d->gadget(ButtonContinue), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

  // Each column is as wide as its longest name needs (a Todo row is the longest old
  // and the longest new name), at least as wide as it always was; the window opens
  // wide enough for all three unless the screen is narrower.
  std::vector<std::string> olds, news;
  for (const Text& name : oldEntries) olds.push_back(toUtf8(name));
  for (const Text& name : newEntries) news.push_back(toUtf8(name));
  const int oldWidth = widestText(window, olds), newWidth = widestText(window, news);
  const int room = 72;  // the list's frame, the cell's padding and a vertical scroll bar
  const int wanted[3] = {std::max(200, oldWidth + room), std::max(200, newWidth + room),
                         std::max(330, oldWidth + widestText(window, {" > "}) + newWidth + room)};
  gint handle = 0;
  gtk_widget_style_get(outer, "handle-size", &handle, nullptr);
  int width = wanted[0] + wanted[1] + wanted[2] + 2 * handle + 2 * kGap;
  GdkScreen* screen = gtk_window_get_screen(GTK_WINDOW(window));
  width = std::max(770, std::min(width, gdk_screen_get_width(screen) * 9 / 10));
  gtk_window_set_default_size(GTK_WINDOW(window), width, 424);
  // The dividers start where the columns get the shares of their widths; a resize
  // keeps those shares.
  const int lists = width - 2 * kGap - 2 * handle;
  const int first = lists * wanted[0] / (wanted[0] + wanted[1] + wanted[2]);
  gtk_paned_set_position(GTK_PANED(outer), first);
  gtk_paned_set_position(GTK_PANED(inner), (lists - first) * wanted[1] / (wanted[1] + wanted[2]));

  g_signal_connect(d->gadget(ButtonBind), "clicked", G_CALLBACK(onBindClicked), d);
  g_signal_connect(d->gadget(ButtonRelease), "clicked", G_CALLBACK(onReleaseClicked), d);
  g_signal_connect(d->gadget(ButtonContinue), "clicked", G_CALLBACK(onContinueClicked), d);
  g_signal_connect(d->gadget(ListOld), "row-activated", G_CALLBACK(onEntryActivated), d);
  g_signal_connect(d->gadget(ListNew), "row-activated", G_CALLBACK(onEntryActivated), d);
  g_signal_connect(d->gadget(ListTodo), "row-activated", G_CALLBACK(onTodoActivated), d);
  g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), d);
  g_signal_connect(window, "destroy", G_CALLBACK(onDestroy), d);

  if (mainWindow) gtk_widget_set_sensitive(GTK_WIDGET(mainWindow), FALSE);
  gtk_window_set_title(GTK_WINDOW(window), ("Search and Replace - " + toUtf8(kindWord(kind))).c_str());
  for (const Text& name : oldEntries) appendRow(d->gadget(ListOld), toUtf8(name));
  for (const Text& name : newEntries) appendRow(d->gadget(ListNew), toUtf8(name));

  current = d;
  gtk_widget_show_all(window);
  return true;
}

void closeSearchReplaceDialog(GtkWindow* mainWindow) {
  if (current) {
    GtkWindow* owner = current->mainWindow;
    gtk_widget_destroy(current->window);  // the destroy handler frees the dialog
    if (owner && owner != mainWindow) gtk_widget_set_sensitive(GTK_WIDGET(owner), TRUE);
  }
  if (mainWindow) gtk_widget_set_sensitive(GTK_WIDGET(mainWindow), TRUE);
}

GtkWidget* searchReplaceDialogWindow() { return current ? current->window : nullptr; }

GtkWidget* searchReplaceGadget(int number) {
  if (!current || number < LabelOld || number > ButtonContinue) return nullptr;
  return current->gadget(number);
}

}  // namespace tarnwick
