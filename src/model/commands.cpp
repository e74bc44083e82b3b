// The built-in PureBasic command tables of the interpreter and the duplicate checks.
#include "model/form_model.h"

namespace tarnwick {

// Commands whose first argument is an object constant that belongs to a window: those
// of the forms' PureBasic versions up to 6, older names included.
const char* const kPrefixCommands[139] = {
    // gadgets (93)
    "AddGadgetColumn", "AddGadgetItem", "BindGadgetEvent", "BindWebViewCallback", "ButtonGadget",
    "ButtonImageGadget", "CalendarGadget", "CanvasGadget", "CanvasOutput", "CanvasVectorOutput",
    "ChangeListIconGadgetDisplay", "CheckBoxGadget",
    "ClearGadgetItemList", "ClearGadgetItems", "CloseGadgetList", "ComboBoxGadget",
    "ContainerGadget", "CountGadgetItems", "DateGadget", "DisableGadget", "EditorGadget",
    "ExplorerComboGadget", "ExplorerListGadget", "ExplorerTreeGadget", "Frame3DGadget",
    "FrameGadget", "FreeGadget", "GadgetHeight", "GadgetID", "GadgetItemID", "GadgetToolTip", "GadgetType",
    "GadgetWidth", "GadgetX", "GadgetY", "GetActiveGadget", "GetGadgetAttribute",
    "GetGadgetColor", "GetGadgetData", "GetGadgetFont", "GetGadgetItemAttribute",
    "GetGadgetItemColor", "GetGadgetItemData", "GetGadgetItemState", "GetGadgetItemText",
    "GetGadgetState", "GetGadgetText", "HideGadget", "HyperLinkGadget", "IPAddressGadget",
    "ImageGadget", "IsGadget", "ListIconGadget", "ListViewGadget", "MDIGadget",
    "OpenGadgetList", "OpenGLGadget", "OptionGadget", "PanelGadget", "ProgressBarGadget", "RemoveGadgetColumn",
    "RemoveGadgetItem", "ResizeGadget", "ScintillaGadget", "ScintillaSendMessage", "ScrollAreaGadget",
    "ScrollBarGadget", "SetActiveGadget", "SetGadgetAttribute", "SetGadgetColor", "SetGadgetData", "SetGadgetFont",
    "SetGadgetItemAttribute", "SetGadgetItemColor", "SetGadgetItemData", "SetGadgetItemImage", "SetGadgetItemState",
    "SetGadgetItemText", "SetGadgetState", "SetGadgetText", "ShortcutGadget", "SpinGadget",
    "SplitterGadget", "StringGadget", "TextGadget", "TrackBarGadget", "TreeGadget", "UnbindGadgetEvent",
    "UnbindWebViewCallback", "WebGadget", "WebGadgetPath", "WebViewExecuteScript", "WebViewGadget",
    // menus (24)
    "BindMenuEvent", "CloseSubMenu", "CreateImageMenu", "CreateMenu", "CreatePopupImageMenu", "CreatePopupMenu",
    "DisableMenuItem", "DisplayPopupMenu", "FreeMenu", "GetMenuItemState", "GetMenuItemText",
    "GetMenuTitleText", "HideMenu", "IsMenu", "MenuBar", "MenuHeight", "MenuID", "MenuItem",
    "MenuTitle", "OpenSubMenu", "SetMenuItemState", "SetMenuItemText", "SetMenuTitleText", "UnbindMenuEvent",
    // toolbars (13)
    "CreateToolBar", "DisableToolBarButton", "FreeToolBar", "GetToolBarButtonState", "IsToolBar",
    "SetToolBarButtonState", "ToolBarButton", "ToolBarHeight", "ToolBarID", "ToolBarImageButton",
    "ToolBarSeparator", "ToolBarStandardButton", "ToolBarToolTip",
    // status bars (9)
    "AddStatusBarField", "CreateStatusBar", "FreeStatusBar", "IsStatusBar", "StatusBarHeight",
    "StatusBarID", "StatusBarImage", "StatusBarProgress", "StatusBarText",
};

// Commands that create a gadget, every one of PureBasic 6. FrameGadget is the name of
// Frame3DGadget since PureBasic 4.40; forms of both ages use one or the other.
const char* const kGadgetCommands[36] = {
    "ButtonGadget", "ButtonImageGadget", "CalendarGadget", "CanvasGadget", "CheckBoxGadget",
    "ComboBoxGadget", "ContainerGadget", "DateGadget", "EditorGadget", "ExplorerComboGadget",
    "ExplorerListGadget", "ExplorerTreeGadget", "Frame3DGadget", "FrameGadget", "HyperLinkGadget",
    "IPAddressGadget", "ImageGadget", "ListIconGadget", "ListViewGadget", "MDIGadget",
    "OpenGLGadget", "OptionGadget", "PanelGadget", "ProgressBarGadget", "ScintillaGadget",
    "ScrollAreaGadget", "ScrollBarGadget", "ShortcutGadget", "SpinGadget", "SplitterGadget",
    "StringGadget", "TextGadget", "TrackBarGadget", "TreeGadget", "WebGadget", "WebViewGadget",
};

void buildCommandSets(const Lines& userGadgets, CommandSet& prefixCommands, CommandSet& gadgetCommands) {
  for (const char* name : kPrefixCommands) prefixCommands.insert(T(name));
  for (const Text& name : userGadgets) prefixCommands.insert(name);
  for (const char* name : kGadgetCommands) gadgetCommands.insert(T(name));
  for (const Text& name : userGadgets) gadgetCommands.insert(name);
}

}  // namespace tarnwick
