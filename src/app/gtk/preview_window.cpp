// The "Preview" window: the files a run would change, each with its count of added and
// removed lines, and the diff of the selected one, added lines on green and removed
// lines on red. "Generate" runs for real with the bindings already given.
#include "app/gtk/app.h"
#include "app/gtk/widgets.h"
#include "model/encoding.h"
#include "model/unified_diff.h"

namespace tarnwick {

namespace {

// A diff shows the bytes of the files, which need not be UTF-8: a line that is not is
// shown as ISO 8859-1, as the run reads such a file.
std::string displayLine(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  return toUtf8(decode(bytes, TextFormat::FormatAnsi));
}

// A very long diff is cut, so that the view stays quick; the count says what is left out.
const std::size_t kShownLines = 20000;

struct PreviewState {
  App* app;
  std::vector<PreviewFile> files;
  GtkWidget* list;
  GtkTextBuffer* text;
};

void showDiff(PreviewState& state, std::size_t index) {
  GtkTextBuffer* buffer = state.text;
  gtk_text_buffer_set_text(buffer, "", 0);
  GtkTextIter end;
  const std::string& diff = state.files[index].diff;
  const std::vector<DiffLine> kinds = diffLineKinds(diff);
  std::size_t start = 0, lines = 0;
  while (start < diff.size()) {
    std::size_t stop = diff.find('\n', start);
    if (stop == std::string::npos) stop = diff.size();
    std::string_view line(diff.data() + start, stop - start);
    start = stop + 1;
    if (++lines > kShownLines) {
      std::size_t rest = 1;
      for (std::size_t p = start; p < diff.size(); ++p) rest += diff[p] == '\n';
      std::string note = "... " + std::to_string(rest) + " more lines\n";
      gtk_text_buffer_get_end_iter(buffer, &end);
      gtk_text_buffer_insert(buffer, &end, note.c_str(), -1);
      break;
    }
    const char* tag = nullptr;
    switch (kinds[lines - 1]) {
      case DiffLine::Header: tag = "head"; break;
      case DiffLine::Added: tag = "added"; break;
      case DiffLine::Removed: tag = "removed"; break;
      case DiffLine::Context:
      case DiffLine::Note: break;
    }
    std::string shown = displayLine(line) + "\n";
    gtk_text_buffer_get_end_iter(buffer, &end);
    if (tag) gtk_text_buffer_insert_with_tags_by_name(buffer, &end, shown.c_str(), -1, tag, nullptr);
    else gtk_text_buffer_insert(buffer, &end, shown.c_str(), -1);
  }
}

void onSelectionChanged(GtkTreeSelection* selection, gpointer data) {
  auto& state = *static_cast<PreviewState*>(data);
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return;
  GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
  int row = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  if (row >= 0 && static_cast<std::size_t>(row) < state.files.size()) showDiff(state, static_cast<std::size_t>(row));
}

void onGenerate(GtkWidget*, gpointer data) {
  App& app = *static_cast<PreviewState*>(data)->app;
  closePreviewWindow(app);
  startRun(app, false, true);
}

// Closed without generating: the log's last line says that nothing was written, so
// that it does not read as the end of a real run.
void dismiss(App& app) {
  closePreviewWindow(app);
  appendLogLine(app, "Preview closed: no file was changed.");
  appendLogLine(app, "");
}

void onClose(GtkWidget*, gpointer data) { dismiss(*static_cast<PreviewState*>(data)->app); }

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
  dismiss(*static_cast<PreviewState*>(data)->app);
  return TRUE;
}

void freeState(gpointer data) { delete static_cast<PreviewState*>(data); }

}  // namespace

void openPreviewWindow(App& app, std::vector<PreviewFile> files) {
  closePreviewWindow(app);
  GtkWidget* fixed = nullptr;
  GtkWidget* window = newFixedWindow("Preview", GTK_WINDOW(app.window), 800, 520, &fixed);
  if (!window) return;
  app.previewWindow = window;
  auto* state = new PreviewState{&app, std::move(files), nullptr, nullptr};
  g_object_set_data_full(G_OBJECT(window), "tarnwick-preview", state, freeState);
  g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), state);

  GtkWidget* scrolledList = nullptr;
  state->list = newTextList(&scrolledList);
  gtk_widget_set_size_request(scrolledList, 250, 460);
  gtk_fixed_put(GTK_FIXED(fixed), scrolledList, 10, 10);
  for (const PreviewFile& f : state->files)
    appendRow(state->list, f.shown + "  (+" + std::to_string(f.added) + " -" + std::to_string(f.removed) + ")");

  GtkWidget* view = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
  PangoFontDescription* font = pango_font_description_from_string("Monospace 9");
  gtk_widget_modify_font(view, font);
  pango_font_description_free(font);
  state->text = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
  gtk_text_buffer_create_tag(state->text, "added", "paragraph-background", "#c6efc6", nullptr);
  gtk_text_buffer_create_tag(state->text, "removed", "paragraph-background", "#f5c6c6", nullptr);
  gtk_text_buffer_create_tag(state->text, "head", "foreground", "#555555", "weight", PANGO_WEIGHT_BOLD, nullptr);
  GtkWidget* scrolledText = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolledText), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolledText), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(scrolledText), view);
  gtk_widget_set_size_request(scrolledText, 520, 460);
  gtk_fixed_put(GTK_FIXED(fixed), scrolledText, 270, 10);

  GtkWidget* generate = gtk_button_new_with_label("Generate");
  gtk_widget_set_size_request(generate, 120, 30);
  gtk_fixed_put(GTK_FIXED(fixed), generate, 10, 480);
  g_signal_connect(generate, "clicked", G_CALLBACK(onGenerate), state);
  GtkWidget* close = gtk_button_new_with_label("Close");
  gtk_widget_set_size_request(close, 120, 30);
  gtk_fixed_put(GTK_FIXED(fixed), close, 140, 480);
  g_signal_connect(close, "clicked", G_CALLBACK(onClose), state);

  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(state->list));
  g_signal_connect(selection, "changed", G_CALLBACK(onSelectionChanged), state);
  if (state->files.empty()) {
    // Nothing to run for: the window says so, and there is nothing to generate.
    gtk_text_buffer_set_text(state->text, "The run would change no file.", -1);
    gtk_widget_set_sensitive(generate, FALSE);
  } else {
    GtkTreePath* first = gtk_tree_path_new_first();
    gtk_tree_selection_select_path(selection, first);
    gtk_tree_path_free(first);
  }
  gtk_widget_show_all(window);
  gtk_widget_set_sensitive(app.window, FALSE);
}

void closePreviewWindow(App& app) {
  if (GtkWidget* window = app.previewWindow) {
    app.previewWindow = nullptr;
    gtk_widget_destroy(window);
  }
  enableMainWindow(app);
}

}  // namespace tarnwick
