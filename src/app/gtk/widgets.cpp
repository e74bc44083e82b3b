#include "app/gtk/widgets.h"

#include <gdk/gdkkeysyms.h>

#include "model/text.h"

namespace tarnwick {

namespace {

const char* const kNoteKey = "tarnwick-row-note";

// The row's whole text as a tooltip, when it is wider than the part of the list in view.
gboolean onQueryTooltip(GtkWidget* widget, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip, gpointer) {
  GtkTreeView* view = GTK_TREE_VIEW(widget);
  GtkTreeModel* model = nullptr;
  GtkTreePath* path = nullptr;
  GtkTreeIter it;
  if (!gtk_tree_view_get_tooltip_context(view, &x, &y, keyboard, &model, &path, &it)) return FALSE;
  gchar* text = nullptr;
  gchar* bytes = nullptr;
  gtk_tree_model_get(model, &it, 0, &text, 1, &bytes, -1);
  bool show = false;
  std::string note;
  if (auto* rowNote = static_cast<RowNote*>(g_object_get_data(G_OBJECT(widget), kNoteKey)))
    note = (*rowNote)(bytes ? bytes : "");
  g_free(bytes);
  if (!note.empty()) {
    show = true;
  } else if (text && *text) {
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, text);
    int width = 0;
    pango_layout_get_pixel_size(layout, &width, nullptr);
    g_object_unref(layout);
    GdkRectangle visible;
    gtk_tree_view_get_visible_rect(view, &visible);
    show = width + 8 > visible.width;
  }
  if (show) {
    gtk_tooltip_set_text(tooltip, note.empty() ? text : (std::string(text ? text : "") + "\n" + note).c_str());
    gtk_tree_view_set_tooltip_row(view, tooltip, path);
  }
  g_free(text);
  gtk_tree_path_free(path);
  return show;
}

// Asks the window to close, as its close box does: its delete-event handler decides.
void requestClose(GtkWidget* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (!gdkWindow) return;
  // The same event the window manager sends for the close box.
  GdkEvent* ev = gdk_event_new(GDK_DELETE);
  ev->any.window = GDK_WINDOW(g_object_ref(gdkWindow));
  ev->any.send_event = TRUE;
  gtk_main_do_event(ev);
  gdk_event_free(ev);
}

gboolean onEscapeKey(GtkWidget* window, GdkEventKey* event, gpointer) {
  if (event->keyval != GDK_KEY_Escape || !plainKey(event)) return FALSE;
  requestClose(window);
  return TRUE;
}

}  // namespace

bool plainKey(const GdkEventKey* event) {
  return !(event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK));
}

GtkWidget* newTextList(GtkWidget** scrolled) {
  GtkListStore* store = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "Text", gtk_cell_renderer_text_new(), "text",
                                              0, nullptr);
  gtk_widget_set_has_tooltip(view, TRUE);
  g_signal_connect(view, "query-tooltip", G_CALLBACK(onQueryTooltip), nullptr);
  *scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(*scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(*scrolled), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(*scrolled), view);
  return view;
}

void showPathEnds(GtkWidget* view, GtkWidget* scrolled) {
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(view), 0);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  for (GList* c = cells; c; c = c->next)
    if (GTK_IS_CELL_RENDERER_TEXT(c->data)) g_object_set(c->data, "ellipsize", PANGO_ELLIPSIZE_START, nullptr);
  g_list_free(cells);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
}

void setRowNote(GtkWidget* view, RowNote note) {
  g_object_set_data_full(G_OBJECT(view), kNoteKey, new RowNote(std::move(note)),
                         [](gpointer p) { delete static_cast<RowNote*>(p); });
}

GtkListStore* storeOf(GtkWidget* view) { return GTK_LIST_STORE(gtk_tree_view_get_model(GTK_TREE_VIEW(view))); }

void setRow(GtkListStore* store, GtkTreeIter* it, const std::string& bytes) {
  gtk_list_store_set(store, it, 0, readableText(bytes).c_str(), 1, bytes.c_str(), -1);
}

void appendRow(GtkWidget* view, const std::string& text) {
  GtkTreeIter it;
  gtk_list_store_append(storeOf(view), &it);
  setRow(storeOf(view), &it, text);
}

std::vector<std::string> rowsOf(GtkWidget* view) {
  std::vector<std::string> rows;
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
  GtkTreeIter it;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
    gchar* s = nullptr;
    gtk_tree_model_get(model, &it, 1, &s, -1);
    rows.emplace_back(s ? s : "");
    g_free(s);
  }
  return rows;
}

GtkWidget* newFixedWindow(const char* title, GtkWindow* owner, int width, int height, GtkWidget** fixed) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!window) return nullptr;
  gtk_window_set_title(GTK_WINDOW(window), title);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window), owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  if (owner) {
    gtk_window_set_transient_for(GTK_WINDOW(window), owner);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  }
  closeOnEscape(window);
  *fixed = gtk_fixed_new();
  gtk_widget_set_size_request(*fixed, width, height);
  gtk_container_add(GTK_CONTAINER(window), *fixed);
  return window;
}

void closeOnEscape(GtkWidget* window) { g_signal_connect(window, "key-press-event", G_CALLBACK(onEscapeKey), nullptr); }

}  // namespace tarnwick
