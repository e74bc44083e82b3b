// The "Start Generate" dialog (window 1): the seven switches as check boxes, each change
// applied at once, "Start", which starts a generation run, and "Preview", which shows
// what the run would change before anything is written.
#include <algorithm>
#include <vector>

#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/widgets.h"

namespace tarnwick {

namespace {

struct BoxPlace {
  int gadget;
  int x, y;
  const char* text;
  int64_t Switches::*field;
  const char* tooltip;  // what the switch does to the generated code
};

const BoxPlace kBoxes[] = {
    {GadgetParend, 10, 10, "First Window as Parend Window", &Switches::Parend,
     "Every window after the first opens as a child of the first window: its OpenWindow gets the "
     "first window's WindowID() as parent window."},
    {GadgetPBIgnore, 10, 40, "Windowposition Auto (PB_Ignore)", &Switches::PB_Ignore,
     "The x and y of every OpenWindow become #PB_Ignore: the desktop places the windows instead of "
     "the positions of the form designer."},
    {GadgetMultilang, 10, 70, "Multi Language", &Switches::Multilang,
     "The first text of each form line (menus, gadgets, tooltips; not window titles) becomes a "
     "MyLanguage(\"...\") look-up, and LoadLanguage.pb and the Catalog translation table are "
     "generated."},
    {GadgetImageInclude, 10, 100, "Images Include", &Switches::Image_Include,
     "Images are built into the program: CatchImage from an IncludeBinary data section instead "
     "of LoadImage from the image file at run time. Clears \"ImageGadget set Zero\"."},
    {GadgetImageNull, 10, 130, "ImageGadget set Zero", &Switches::Image_Null,
     "Every ImageGadget and ButtonImageGadget starts without an image (its image argument becomes "
     "0), for your code to set. Clears \"Images Include\"."},
    {GadgetUseCallFast, 230, 10, "Call Event Fast", &Switches::UseCallFast,
     "EventMain.pb calls the event procedures through tables of their addresses instead of "
     "Select / Case blocks."},
    {GadgetUtf8, 230, 40, "Fileformat UTF8", &Switches::Utf8,
     "The generated files are written in UTF-8 with a byte-order mark. Off: 8-bit ISO 8859-1 "
     "without a mark, unless Main.pb begins with a UTF-8 mark."},
};

const char* kGadgetKey = "tarnwick-gadget";

void setBox(App& app, int gadget, bool checked) {
  app.settingBoxes = true;
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(app.startGadgets.at(gadget)), checked);
  app.settingBoxes = false;
}

void onBoxClicked(GtkWidget* box, gpointer data) {
  App& app = *static_cast<App*>(data);
  if (app.settingBoxes) return;
  int gadget = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(box), kGadgetKey));
  int64_t value = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box)) ? 1 : 0;
  Switches& s = app.model.switches;
  for (const BoxPlace& b : kBoxes)
    if (b.gadget == gadget) s.*b.field = value;
  // Embedding images and zeroing the image gadgets exclude each other.
  if (gadget == GadgetImageInclude && value == 1) {
    s.Image_Null = 0;
    setBox(app, GadgetImageNull, false);
  } else if (gadget == GadgetImageNull && value == 1) {
    s.Image_Include = 0;
    setBox(app, GadgetImageInclude, false);
  }
  markModified(app);
}

// The boxes keep their places and widths whatever the desktop's font is: when a text
// would be cut off at its box's right edge, every box text is drawn smaller by the same
// factor, so that all fit and still look alike.
void fitTexts(const std::vector<GtkWidget*>& checkBoxes, int width) {
  double scale = 1.0;
  for (GtkWidget* box : checkBoxes) {
    GtkRequisition whole, text;
    gtk_widget_size_request(box, &whole);
    gtk_widget_size_request(gtk_bin_get_child(GTK_BIN(box)), &text);
    int room = width - (whole.width - text.width);
    // A little below the exact ratio: glyph widths do not shrink quite linearly.
    if (whole.width > width && room > 0 && text.width > 0) scale = std::min(scale, 0.97 * room / text.width);
  }
  if (scale >= 1.0) return;
  for (GtkWidget* box : checkBoxes) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_scale_new(std::max(0.6, scale)));
    gtk_label_set_attributes(GTK_LABEL(gtk_bin_get_child(GTK_BIN(box))), attrs);
    pango_attr_list_unref(attrs);
  }
}

void onStartClicked(GtkWidget*, gpointer data) { startRun(*static_cast<App*>(data)); }
void onPreviewClicked(GtkWidget*, gpointer data) { startRun(*static_cast<App*>(data), true); }

gboolean onStartDialogDelete(GtkWidget*, GdkEvent*, gpointer data) {
  closeStartDialog(*static_cast<App*>(data));
  return TRUE;
}

}  // namespace

void openStartDialog(App& app) {
  if (app.startDialog) return;
  // The run binds against the names of the project file as it is now on disk.
  checkProjectOnDisk(app);
  // A run always belongs to a project with a file: a new one is saved first, after
  // saying why (an empty file list is only told about, there being nothing to save).
  if (!app.state.hasFile) {
    if (!fileRows(app).empty() &&
        boxes().question(GTK_WINDOW(app.window), "Start Generate",
                         "The project has no file yet. A run writes its files into the project's folder and keeps "
                         "the names it found in the project file, so the project is saved first.\n\nSave it now?",
                         false) != BoxAnswer::Yes)
      return;
    if (!saveProjectAs(app)) return;
  }

  GtkWidget* fixed = nullptr;
  GtkWidget* dialog = newFixedWindow("Start Generate", GTK_WINDOW(app.window), 600, 200, &fixed);
  if (!dialog) return;
  app.startDialog = dialog;
  g_signal_connect(dialog, "delete-event", G_CALLBACK(onStartDialogDelete), &app);

  app.startGadgets.clear();
  for (const BoxPlace& b : kBoxes) {
    GtkWidget* box = gtk_check_button_new_with_label(b.text);
    gtk_fixed_put(GTK_FIXED(fixed), box, b.x, b.y);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), app.model.switches.*b.field == 1);
    g_object_set_data(G_OBJECT(box), kGadgetKey, GINT_TO_POINTER(b.gadget));
    gtk_widget_set_tooltip_text(box, b.tooltip);
    g_signal_connect(box, "clicked", G_CALLBACK(onBoxClicked), &app);
    app.startGadgets[b.gadget] = box;
  }
  std::vector<GtkWidget*> checkBoxes;
  for (const BoxPlace& b : kBoxes) checkBoxes.push_back(app.startGadgets.at(b.gadget));
  fitTexts(checkBoxes, 200);
  for (GtkWidget* box : checkBoxes) gtk_widget_set_size_request(box, 200, 20);
  GtkWidget* start = gtk_button_new_with_mnemonic("_Start");
  gtk_widget_set_size_request(start, 120, 30);
  gtk_fixed_put(GTK_FIXED(fixed), start, 10, 160);
  g_signal_connect(start, "clicked", G_CALLBACK(onStartClicked), &app);
  app.startGadgets[GadgetStart] = start;
  // Beside it: the same run without writing anything, and a look at what it would change.
  GtkWidget* preview = gtk_button_new_with_mnemonic("_Preview");
  gtk_widget_set_size_request(preview, 120, 30);
  gtk_fixed_put(GTK_FIXED(fixed), preview, 140, 160);
  g_signal_connect(preview, "clicked", G_CALLBACK(onPreviewClicked), &app);
  app.startGadgets[GadgetPreview] = preview;
  // Return starts the run wherever the focus is, also on a check box.
  gtk_widget_set_can_default(start, TRUE);
  gtk_window_set_default(GTK_WINDOW(dialog), start);

  gtk_widget_show_all(dialog);
  gtk_widget_set_sensitive(app.window, FALSE);
}

void closeStartDialog(App& app) {
  if (GtkWidget* dialog = app.startDialog) {
    app.startDialog = nullptr;
    app.startGadgets.clear();
    gtk_widget_destroy(dialog);
  }
  enableMainWindow(app);
}

}  // namespace tarnwick
