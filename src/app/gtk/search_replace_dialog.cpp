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

GtkWidget* place(GtkWidget* fixed, GtkWidget* widget, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, width, height);
  gtk_fixed_put(GTK_FIXED(fixed), widget, x, y);
  return widget;
}

GtkWidget* makeLabel(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
  return label;
}

// A single-column list with at most one selected row; returns the view, placed inside
// a scrolled window of the given size.
GtkWidget* makeList(GtkWidget* fixed, int x, int y, int width, int height) {
  GtkWidget* scroller = nullptr;
  GtkWidget* view = newTextList(&scroller);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), GTK_SELECTION_SINGLE);
  place(fixed, scroller, x, y, width, height);
  return view;
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

  // One line of guidance above the lists; everything else keeps its size and its place
  // below it.
  const int top = 24;
  GtkWidget* fixed = nullptr;
  GtkWidget* window = newFixedWindow("Search and Replace", mainWindow, 770, 400 + top, &fixed);
  d->window = window;

  place(fixed, makeLabel(kGuidance), 10, 6, 750, 20);
  d->gadgets[LabelOld - LabelOld] = place(fixed, makeLabel("Old Entry"), 10, top + 10, 130, 20);
  d->gadgets[LabelNew - LabelOld] = place(fixed, makeLabel("New Entry"), 220, top + 10, 120, 20);
  d->gadgets[LabelTodo - LabelOld] = place(fixed, makeLabel("Todo List"), 430, top + 10, 110, 20);
  d->gadgets[ListOld - LabelOld] = makeList(fixed, 10, top + 30, 200, 320);
  d->gadgets[ListNew - LabelOld] = makeList(fixed, 220, top + 30, 200, 320);
  d->gadgets[ListTodo - LabelOld] = makeList(fixed, 430, top + 30, 330, 320);
  d->gadgets[ButtonBind - LabelOld] = place(fixed, gtk_button_new_with_label("Bind"), 10, top + 360, 120, 30);
  d->gadgets[ButtonRelease - LabelOld] = place(fixed, gtk_button_new_with_label("Release"), 150, top + 360, 120, 30);
  d->gadgets[ButtonContinue - LabelOld] =
      place(fixed, gtk_button_new_with_label("Continue"), 640, top + 360, 120, 30);

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
