// The main window: menu, toolbar, the two lists in their splitter, the status bar, the
// shortcuts, and the dispatch of every menu event to its action.
#include <gdk/gdkkeysyms.h>

#include <algorithm>

#include "app/cli/cli.h"
#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/icons.h"
#include "app/gtk/search_replace_dialog.h"
#include "app/gtk/user_dialogs.h"
#include "app/gtk/widgets.h"
#include "project/project_file.h"

namespace tarnwick {

namespace {

struct MenuEntry {
  enum Kind { Item, Separator, SubmenuStart, SubmenuEnd, Title } kind;
  const char* text = nullptr;  // with "&" before the mnemonic and "\t" before the shortcut
  int item = -1;
  int icon = -1;
};

// The menu bar, top to bottom; a Title starts the next menu.
const MenuEntry kMenu[] = {
    {MenuEntry::Title, "&File"},
    {MenuEntry::Item, "Project &New\tCtrl-N", ItemNewProject, 0},
    {MenuEntry::Separator},
    {MenuEntry::Item, "Project &Load\tCtrl-L", ItemLoadProject, 1},
    {MenuEntry::Item, "Project &Save\tCtrl-S", ItemSaveProject, 2},
    {MenuEntry::Item, "Project Save &As", ItemSaveProjectAs, 3},
    {MenuEntry::Separator},
    {MenuEntry::SubmenuStart, "&Preferences", -1, 9},
    {MenuEntry::Item, "User&Gadget", ItemUserGadget, 9},
    {MenuEntry::SubmenuEnd},
    {MenuEntry::Separator},
    {MenuEntry::Item, "E&xit", ItemExit, 8},
    {MenuEntry::Title, "&Action"},
    {MenuEntry::Item, "Common &Add", ItemAddCommon, 4},
    {MenuEntry::Separator},
    {MenuEntry::Item, "Common &Delete", ItemDeleteCommon, 5},
    {MenuEntry::Item, "Common &First File", ItemFirstCommon, 6},
    {MenuEntry::Separator},
    {MenuEntry::Item, "&Start Generate", ItemStartGenerate, 7},
    {MenuEntry::Separator},
    {MenuEntry::Item, "&Restore Backup", ItemRestoreBackup, -1},
    {MenuEntry::Item, "&Open Project Folder", ItemOpenFolder, -1},
    {MenuEntry::Title, "&?"},
    {MenuEntry::Item, "&Info", ItemInfo, 10},
    {MenuEntry::Item, "&Licence", ItemLicence, 11},
};

// Shortcuts besides those that the item texts name after their tab.
struct ExtraKey {
  int item;
  guint key;
};
const ExtraKey kExtraKeys[] = {{ItemStartGenerate, GDK_KEY_F5}, {ItemAddCommon, GDK_KEY_Insert}};

struct ToolEntry {
  int item;  // -1: separator
  int icon;
  const char* tooltip;
  const char* label;  // shown only while the icons are missing
};

const ToolEntry kToolbar[] = {
    {-1, -1, nullptr, nullptr},
    {ItemNewProject, 0, "Project New", "New"},
    {ItemLoadProject, 1, "Project Load", "Load"},
    {ItemSaveProject, 2, "Project Save", "Save"},
    {-1, -1, nullptr, nullptr},
    {ItemAddCommon, 4, "Add Commonfile", "Add"},
    {ItemDeleteCommon, 5, "Remove Commonfile", "Remove"},
    {ItemFirstCommon, 6, "Selected Commonfile as first", "First"},
    {-1, -1, nullptr, nullptr},
    {ItemStartGenerate, 7, "Generate", "Generate"},
};

// "Project &New\tCtrl-N" becomes the GTK label "Project _New" and the accelerator
// "<Control>n". "&&" is a literal "&", and a literal "_" must be doubled for GTK.
void convertMenuText(const std::string& text, std::string& label, std::string& accel) {
  std::size_t tab = text.find('\t');
  std::string shown = text.substr(0, tab);
  label.clear();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] == '&') {
      if (i + 1 < shown.size() && shown[i + 1] == '&') {
        label += '&';
        ++i;
      } else {
        label += '_';
      }
    } else if (shown[i] == '_') {
      label += "__";
    } else {
      label += shown[i];
    }
  }
  accel.clear();
  if (tab == std::string::npos) return;
  std::string shortcut = text.substr(tab + 1);
  std::string key = shortcut;
  std::size_t dash;
  while ((dash = key.find_first_of("-+")) != std::string::npos && dash + 1 < key.size()) {
    std::string mod = key.substr(0, dash);
    if (mod == "Ctrl") accel += "<Control>";
    else if (mod == "Shift") accel += "<Shift>";
    else if (mod == "Alt") accel += "<Alt>";
    else break;
    key = key.substr(dash + 1);
  }
  if (key.size() == 1) accel += char(g_ascii_tolower(key[0]));
  else accel.clear();
}

GtkWidget* iconImage(int icon) {
  if (icon < 0) return nullptr;
  GdkPixbuf* pixbuf = loadIcon(icon);
  if (!pixbuf) return nullptr;  // no image until the icons are there
  GtkWidget* image = gtk_image_new_from_pixbuf(pixbuf);
  g_object_unref(pixbuf);
  return image;
}

const char* kItemKey = "tarnwick-item";

// Rows of the file list at start, rows that each list keeps at least, and the frame of
// a list's scrolled window (its shadow and a little room) in pixels.
constexpr int kStartListRows = 6;
constexpr int kMinimumListRows = 3;
constexpr int kListFrame = 8;

void onMenuActivate(GtkWidget* widget, gpointer data) {
  dispatchMenu(*static_cast<App*>(data), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kItemKey)));
}

GtkWidget* newMenuItem(const char* text, int icon, GtkAccelGroup* accelGroup) {
  std::string label, accel;
  convertMenuText(text, label, accel);
  GtkWidget* item = gtk_image_menu_item_new_with_mnemonic(label.c_str());
  if (GtkWidget* image = iconImage(icon)) {
    gtk_image_menu_item_set_image(GTK_IMAGE_MENU_ITEM(item), image);
    gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(item), TRUE);
  }
  if (!accel.empty()) {
    guint key = 0;
    GdkModifierType mods = GdkModifierType(0);
    gtk_accelerator_parse(accel.c_str(), &key, &mods);
    if (key) gtk_widget_add_accelerator(item, "activate", accelGroup, key, mods, GTK_ACCEL_VISIBLE);
  }
  return item;
}

void buildMenu(App& app) {
  app.menuBar = gtk_menu_bar_new();
  GtkWidget* menu = nullptr;
  GtkWidget* outer = nullptr;  // the menu that holds an open submenu
  for (const MenuEntry& e : kMenu) {
    switch (e.kind) {
      case MenuEntry::Title: {
        std::string label, accel;
        convertMenuText(e.text, label, accel);
        GtkWidget* title = gtk_menu_item_new_with_mnemonic(label.c_str());
        menu = gtk_menu_new();
        gtk_menu_set_accel_group(GTK_MENU(menu), app.accelGroup);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(title), menu);
        gtk_menu_shell_append(GTK_MENU_SHELL(app.menuBar), title);
        if (!app.fileMenu) app.fileMenu = menu;
        break;
      }
      case MenuEntry::Separator:
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
        break;
      case MenuEntry::SubmenuStart: {
        GtkWidget* holder = newMenuItem(e.text, e.icon, app.accelGroup);
        GtkWidget* submenu = gtk_menu_new();
        gtk_menu_set_accel_group(GTK_MENU(submenu), app.accelGroup);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(holder), submenu);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), holder);
        outer = menu;
        menu = submenu;
        break;
      }
      case MenuEntry::SubmenuEnd:
        menu = outer;
        break;
      case MenuEntry::Item: {
        GtkWidget* item = newMenuItem(e.text, e.icon, app.accelGroup);
        g_object_set_data(G_OBJECT(item), kItemKey, GINT_TO_POINTER(e.item));
        g_signal_connect(item, "activate", G_CALLBACK(onMenuActivate), &app);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
        app.menuItems[e.item] = item;
        break;
      }
    }
  }
  for (const ExtraKey& k : kExtraKeys)
    gtk_widget_add_accelerator(app.menuItems.at(k.item), "activate", app.accelGroup, k.key, GdkModifierType(0),
                               GTK_ACCEL_VISIBLE);
}

const char* kPathKey = "tarnwick-path";

void onRecentActivate(GtkWidget* item, gpointer data) {
  // A copy: choosing the item rebuilds the menu, which destroys the item and its path.
  std::string path = static_cast<const char*>(g_object_get_data(G_OBJECT(item), kPathKey));
  openRecentProject(*static_cast<App*>(data), path);
}

// A menu label shows "_" as the mnemonic mark, so a path's own ones are doubled.
std::string mnemonicSafe(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '_') out += '_';
  }
  return out;
}

gboolean onFileListKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  if ((event->keyval == GDK_KEY_Delete || event->keyval == GDK_KEY_KP_Delete) && plainKey(event)) {
    dispatchMenu(*static_cast<App*>(data), ItemDeleteCommon);
    return TRUE;
  }
  return FALSE;
}

struct Drop {
  App* app;
  std::vector<std::string> uris;
};

void onFilesDropped(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint, guint, gpointer p) {
  gchar** uris = gtk_selection_data_get_uris(data);
  if (!uris) return;
  auto* drop = new Drop{static_cast<App*>(p), {}};
  for (gchar** u = uris; *u; ++u) drop->uris.emplace_back(*u);
  g_strfreev(uris);
  // Added once the drop is over: a message box about refused files must not keep the
  // file manager waiting for the end of the drag.
  g_idle_add(
      [](gpointer d) -> gboolean {
        auto* drop = static_cast<Drop*>(d);
        addDroppedUris(*drop->app, drop->uris);
        delete drop;
        return G_SOURCE_REMOVE;
      },
      drop);
}

void popUpLogMenu(App& app, GdkEventButton* event) {
  GList* items = gtk_container_get_children(GTK_CONTAINER(app.logMenu));
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(app.logList));
  gtk_widget_set_sensitive(GTK_WIDGET(items->data), gtk_tree_selection_count_selected_rows(sel) > 0);  // "Copy"
  g_list_free(items);
  gtk_menu_popup(GTK_MENU(app.logMenu), nullptr, nullptr, nullptr, nullptr, event ? event->button : 0,
                 event ? event->time : gtk_get_current_event_time());
}

gboolean onLogButton(GtkWidget* view, GdkEventButton* event, gpointer data) {
  if (event->type != GDK_BUTTON_PRESS || event->button != 3) return FALSE;
  // A right click on a row that is not selected selects that row alone first, as file
  // managers do.
  GtkTreePath* path = nullptr;
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(view));
  if (gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(view), int(event->x), int(event->y), &path, nullptr, nullptr,
                                    nullptr)) {
    if (!gtk_tree_selection_path_is_selected(sel, path)) {
      gtk_tree_selection_unselect_all(sel);
      gtk_tree_selection_select_path(sel, path);
    }
    gtk_tree_path_free(path);
  }
  popUpLogMenu(*static_cast<App*>(data), event);
  return TRUE;
}

gboolean onLogPopupMenu(GtkWidget*, gpointer data) {
  popUpLogMenu(*static_cast<App*>(data), nullptr);
  return TRUE;
}

gboolean onLogKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  if ((event->keyval == GDK_KEY_c || event->keyval == GDK_KEY_C) && (event->state & GDK_CONTROL_MASK)) {
    copyLog(*static_cast<App*>(data), false);
    return TRUE;
  }
  return FALSE;
}

void onLogCopy(GtkWidget*, gpointer data) { copyLog(*static_cast<App*>(data), false); }
void onLogCopyAll(GtkWidget*, gpointer data) { copyLog(*static_cast<App*>(data), true); }
void onLogClear(GtkWidget*, gpointer data) { clearLog(*static_cast<App*>(data)); }

void buildLogMenu(App& app) {
  app.logMenu = gtk_menu_new();
  const struct {
    const char* text;
    GCallback action;
  } items[] = {{"Copy", G_CALLBACK(onLogCopy)}, {"Copy All", G_CALLBACK(onLogCopyAll)}, {"Clear", G_CALLBACK(onLogClear)}};
  for (const auto& i : items) {
    GtkWidget* item = gtk_menu_item_new_with_label(i.text);
    g_signal_connect(item, "activate", i.action, &app);
    gtk_menu_shell_append(GTK_MENU_SHELL(app.logMenu), item);
  }
  gtk_widget_show_all(app.logMenu);
  gtk_menu_attach_to_widget(GTK_MENU(app.logMenu), app.logList, nullptr);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(app.logList)), GTK_SELECTION_MULTIPLE);
  g_signal_connect(app.logList, "button-press-event", G_CALLBACK(onLogButton), &app);
  g_signal_connect(app.logList, "popup-menu", G_CALLBACK(onLogPopupMenu), &app);
  g_signal_connect(app.logList, "key-press-event", G_CALLBACK(onLogKey), &app);
}

// A row whose file is not where the run will look for it.
bool rowMissing(App& app, const std::string& row) {
  return !app.fs.isRegularFile(resolveFileRow(row, app.model.projectDirectory()));
}

// A row whose file is not there is drawn in red with a warning sign.
void markMissingText(GtkTreeViewColumn*, GtkCellRenderer* cell, GtkTreeModel* model, GtkTreeIter* it, gpointer data) {
  gchar* row = nullptr;
  gtk_tree_model_get(model, it, 1, &row, -1);  // the row's bytes: the text shown may differ
  bool missing = rowMissing(*static_cast<App*>(data), row ? row : "");
  g_free(row);
  g_object_set(cell, "foreground", "#c01c28", "foreground-set", missing, nullptr);
}

void markMissingIcon(GtkTreeViewColumn*, GtkCellRenderer* cell, GtkTreeModel* model, GtkTreeIter* it, gpointer data) {
  gchar* row = nullptr;
  gtk_tree_model_get(model, it, 1, &row, -1);  // the row's bytes: the text shown may differ
  g_object_set(cell, "visible", rowMissing(*static_cast<App*>(data), row ? row : ""), nullptr);
  g_free(row);
}

void setUpFileList(App& app) {
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(app.fileList), 0);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  gtk_tree_view_column_set_cell_data_func(column, GTK_CELL_RENDERER(cells->data), markMissingText, &app, nullptr);
  g_list_free(cells);
  GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
  g_object_set(icon, "stock-id", GTK_STOCK_DIALOG_WARNING, "stock-size", GTK_ICON_SIZE_MENU, nullptr);
  gtk_tree_view_column_pack_start(column, icon, FALSE);
  gtk_cell_layout_reorder(GTK_CELL_LAYOUT(column), icon, 0);
  gtk_tree_view_column_set_cell_data_func(column, icon, markMissingIcon, &app, nullptr);
  setRowNote(app.fileList, [&app](const std::string& row) {
    return rowMissing(app, row) ? std::string("This file is missing: a run stops at it.") : std::string();
  });
  g_signal_connect(app.fileList, "key-press-event", G_CALLBACK(onFileListKey), &app);
  static const GtkTargetEntry uriList[] = {{const_cast<gchar*>("text/uri-list"), 0, 0}};
  gtk_drag_dest_set(app.fileList, GTK_DEST_DEFAULT_ALL, uriList, 1, GDK_ACTION_COPY);
  g_signal_connect(app.fileList, "drag-data-received", G_CALLBACK(onFilesDropped), &app);
}

void buildToolbar(App& app) {
  app.toolbar = gtk_toolbar_new();
  bool allImages = true;
  for (const ToolEntry& e : kToolbar) {
    if (e.item < 0) {
      gtk_toolbar_insert(GTK_TOOLBAR(app.toolbar), gtk_separator_tool_item_new(), -1);
      continue;
    }
    GtkWidget* image = iconImage(e.icon);
    allImages = allImages && image;
    GtkToolItem* button = gtk_tool_button_new(image, e.label);
    gtk_tool_item_set_tooltip_text(button, e.tooltip);
    g_object_set_data(G_OBJECT(button), kItemKey, GINT_TO_POINTER(e.item));
    g_signal_connect(button, "clicked", G_CALLBACK(onMenuActivate), &app);
    gtk_toolbar_insert(GTK_TOOLBAR(app.toolbar), button, -1);
    app.toolItems[e.item] = button;
  }
  // Without the images the buttons would be empty: show their names instead.
  gtk_toolbar_set_style(GTK_TOOLBAR(app.toolbar), allImages ? GTK_TOOLBAR_ICONS : GTK_TOOLBAR_TEXT);
}

// The height of one row of a list: the tallest of its column's cells (a line of text
// in the view's font, an icon), the focus line around them and the gap between rows.
int rowHeight(GtkWidget* view) {
  GtkTreeViewColumn* column = gtk_tree_view_get_column(GTK_TREE_VIEW(view), 0);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  int height = 0;
  for (GList* c = cells; c; c = c->next) {
    GtkCellRenderer* cell = GTK_CELL_RENDERER(c->data);
    if (GTK_IS_CELL_RENDERER_TEXT(cell)) g_object_set(cell, "text", "Xg", nullptr);
    int h = 0;
    gtk_cell_renderer_get_size(cell, view, nullptr, nullptr, nullptr, nullptr, &h);
    height = std::max(height, h);
  }
  g_list_free(cells);
  gint separator = 0, focusLine = 0;
  gtk_widget_style_get(view, "vertical-separator", &separator, "focus-line-width", &focusLine, nullptr);
  return height + 2 * focusLine + separator;
}

// The splitter keeps the divider where the user left it: a window made too small
// pushes it up (or down), and once the window has room again it goes back.
void onDividerMoved(GObject* paned, GParamSpec*, gpointer data) {
  App& app = *static_cast<App*>(data);
  if (app.placingDivider) return;
  int position = gtk_paned_get_position(GTK_PANED(paned));
  int min = 0, max = 0;
  g_object_get(paned, "min-position", &min, "max-position", &max, nullptr);
  // At a limit the position was most likely forced by the window's size.
  if (position > min && position < max) app.wantedDivider = position;
}

void onSplitterAllocated(GtkWidget* paned, GtkAllocation*, gpointer data) {
  App& app = *static_cast<App*>(data);
  if (app.wantedDivider < 0) return;
  int position = gtk_paned_get_position(GTK_PANED(paned));
  int min = 0, max = 0;
  g_object_get(paned, "min-position", &min, "max-position", &max, nullptr);
  int target = std::max(min, std::min(app.wantedDivider, max));
  if (target == position) return;
  app.placingDivider = true;
  gtk_paned_set_position(GTK_PANED(paned), target);
  app.placingDivider = false;
}

// A look at the project file from the main loop: a question must not open inside a
// focus change or the closing of a dialog.
void scheduleProjectCheck(App& app) {
  if (!app.focusCheckSource)
    app.focusCheckSource = g_idle_add(
        [](gpointer data) -> gboolean {
          App& app = *static_cast<App*>(data);
          app.focusCheckSource = 0;
          // A form file may have come or gone meanwhile.
          gtk_widget_queue_draw(app.fileList);
          checkProjectOnDisk(app);
          return G_SOURCE_REMOVE;
        },
        &app);
}

// Coming back to the window (from an editor or a terminal) looks at the project file.
gboolean onMainFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
  scheduleProjectCheck(*static_cast<App*>(data));
  return FALSE;
}

gboolean onMainDelete(GtkWidget* window, GdkEvent*, gpointer data) {
  // While a dialog disables the main window, its close box does nothing.
  if (gtk_widget_is_sensitive(window)) exitAction(*static_cast<App*>(data));
  return TRUE;
}

}  // namespace

App::App(FileSystem& fileSystem, const std::string& settingsDirectory)
    : fs(fileSystem),
      settings(settingsFiles(settingsDirectory)),
      handshake([this](GuiRequest& request) { serveRequest(*this, request); }) {}

bool openMainWindow(App& app) {
  app.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!app.window) return false;
  gtk_window_set_title(GTK_WINDOW(app.window), kProgramTitle);
  gtk_window_set_default_size(GTK_WINDOW(app.window), 800, 600);
  g_signal_connect(app.window, "delete-event", G_CALLBACK(onMainDelete), &app);
  g_signal_connect(app.window, "focus-in-event", G_CALLBACK(onMainFocusIn), &app);
  app.accelGroup = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(app.window), app.accelGroup);
  g_object_unref(app.accelGroup);  // the window keeps it

  buildMenu(app);
  buildToolbar(app);
  app.statusBar = gtk_statusbar_new();
  app.paned = gtk_vpaned_new();
  // The file list keeps its height when the window is resized; the log takes the rest.
  // Neither shrinks below a few rows, so that neither can vanish behind the divider.
  GtkWidget* fileScroller = nullptr;
  GtkWidget* logScroller = nullptr;
  app.fileList = newTextList(&fileScroller);
  app.logList = newTextList(&logScroller);
  showPathEnds(app.fileList, fileScroller);
  const int minimum = kMinimumListRows * rowHeight(app.fileList) + kListFrame;
  gtk_widget_set_size_request(fileScroller, -1, minimum);
  gtk_widget_set_size_request(logScroller, -1, minimum);
  gtk_paned_pack1(GTK_PANED(app.paned), fileScroller, FALSE, FALSE);
  gtk_paned_pack2(GTK_PANED(app.paned), logScroller, TRUE, FALSE);
  g_signal_connect(app.paned, "notify::position", G_CALLBACK(onDividerMoved), &app);
  g_signal_connect_after(app.paned, "size-allocate", G_CALLBACK(onSplitterAllocated), &app);
  setUpFileList(app);
  buildLogMenu(app);

  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), app.menuBar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), app.toolbar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), app.paned, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), app.statusBar, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(app.window), box);
  gtk_widget_show_all(box);
  return true;
}

void placeDivider(App& app, int position) {
  // The file list shows at least six rows to begin with.
  position = std::max(position, kStartListRows * rowHeight(app.fileList) + kListFrame);
  app.wantedDivider = position;
  app.placingDivider = true;
  gtk_paned_set_position(GTK_PANED(app.paned), position);
  app.placingDivider = false;
}

void setStatusText(App& app, const Text& text) {
  GtkStatusbar* bar = GTK_STATUSBAR(app.statusBar);
  guint context = gtk_statusbar_get_context_id(bar, "project");
  gtk_statusbar_remove_all(bar, context);
  gtk_statusbar_push(bar, context, readableText(text).c_str());  // a path: bytes shown readably
  refreshTitle(app);
}

void rebuildRecentMenu(App& app) {
  for (GtkWidget* w : app.recentItems) gtk_widget_destroy(w);
  app.recentItems.clear();
  // Above "E&xit", the last item of the menu.
  GList* children = gtk_container_get_children(GTK_CONTAINER(app.fileMenu));
  int position = g_list_index(children, app.menuItems.at(ItemExit));
  g_list_free(children);
  int number = 0;
  for (const std::string& path : existingRecentProjects(app.fs, app.state.recentProjects)) {
    std::string label = "_";
    label.append(std::to_string(++number)).append(" ").append(mnemonicSafe(readableText(path)));
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(label.c_str());
    g_object_set_data_full(G_OBJECT(item), kPathKey, g_strdup(path.c_str()), g_free);
    g_signal_connect(item, "activate", G_CALLBACK(onRecentActivate), &app);
    app.recentItems.push_back(item);
  }
  if (!app.recentItems.empty()) app.recentItems.push_back(gtk_separator_menu_item_new());
  for (GtkWidget* w : app.recentItems) {
    gtk_menu_shell_insert(GTK_MENU_SHELL(app.fileMenu), w, position++);
    gtk_widget_show(w);
  }
}

bool refuseWhileRunning(App& app) {
  if (!app.runActive) return false;
  boxes().message(GTK_WINDOW(app.window), "Info", "Generate is running. Please wait until it is finished.");
  return true;
}

void dispatchMenu(App& app, int item) {
  if (app.menuObserver) app.menuObserver(item);
  switch (item) {
    case ItemNewProject:
    case ItemLoadProject:
    case ItemSaveProject:
    case ItemSaveProjectAs:
    case ItemAddCommon:
    case ItemDeleteCommon:
    case ItemFirstCommon:
    case ItemStartGenerate:
    case ItemRestoreBackup:
      // These read or change the file list, the switches or the previous names, which
      // the worker uses without a lock.
      if (refuseWhileRunning(app)) return;
      break;
    default:
      break;
  }
  switch (item) {
    case ItemNewProject: newProject(app); break;
    case ItemLoadProject: openProject(app); break;
    case ItemSaveProject: saveProjectCommand(app); break;
    case ItemSaveProjectAs: saveProjectAs(app); break;
    case ItemUserGadget: openUserGadgetDialog(GTK_WINDOW(app.window), app.model.UserGadgetList, app.settings.userList); break;
    case ItemExit: exitAction(app); break;
    case ItemAddCommon: addCommonFiles(app); break;
    case ItemDeleteCommon: removeCommonFile(app); break;
    case ItemFirstCommon: firstCommonFile(app); break;
    case ItemStartGenerate: openStartDialog(app); break;
    case ItemInfo: showInfo(GTK_WINDOW(app.window)); break;
    case ItemLicence: showLicence(GTK_WINDOW(app.window)); break;
    case ItemOpenFolder: openProjectFolder(app); break;
    case ItemRestoreBackup: restoreBackupCommand(app); break;
    default: break;
  }
}

void enableMainWindow(App& app) {
  bool held = app.startDialog || app.previewWindow || userDialogOpen() || searchReplaceDialogWindow();
  gtk_widget_set_sensitive(app.window, !held);
  // A change on disk noticed while a run or a dialog held the window is looked at now.
  if (!held && app.projectCheckPending) scheduleProjectCheck(app);
}

void exitAction(App& app) {
  // A running run is given up with the process; its worker may be writing the project
  // file at this very moment, so the project is not saved from here.
  if (!app.runActive && !askSaveCurrent(app)) return;
  app.quit = true;
  if (gtk_main_level() > 0) gtk_main_quit();
}

}  // namespace tarnwick
