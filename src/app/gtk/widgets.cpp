#include "app/gtk/widgets.h"

namespace tarnwick {

GtkWidget* newTextList(GtkWidget** scrolled) {
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "Text", gtk_cell_renderer_text_new(), "text",
                                              0, nullptr);
  *scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(*scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(*scrolled), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(*scrolled), view);
  return view;
}

GtkListStore* storeOf(GtkWidget* view) { return GTK_LIST_STORE(gtk_tree_view_get_model(GTK_TREE_VIEW(view))); }

void appendRow(GtkWidget* view, const std::string& text) {
  GtkTreeIter it;
  gtk_list_store_append(storeOf(view), &it);
  gtk_list_store_set(storeOf(view), &it, 0, text.c_str(), -1);
}

std::vector<std::string> rowsOf(GtkWidget* view) {
  std::vector<std::string> rows;
  GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(view));
  GtkTreeIter it;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
    gchar* s = nullptr;
    gtk_tree_model_get(model, &it, 0, &s, -1);
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
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  if (owner) {
    gtk_window_set_transient_for(GTK_WINDOW(window), owner);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
  }
  *fixed = gtk_fixed_new();
  gtk_widget_set_size_request(*fixed, width, height);
  gtk_container_add(GTK_CONTAINER(window), *fixed);
  return window;
}

}  // namespace tarnwick
