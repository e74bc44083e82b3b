#include "model/form_model.h"

namespace tarnwick {

const SwitchField kSwitchFields[7] = {
    {"Parend", &Switches::Parend},           {"PB_Ignore", &Switches::PB_Ignore},
    {"Multilang", &Switches::Multilang},     {"Image_Include", &Switches::Image_Include},
    {"Image_Null", &Switches::Image_Null},   {"UseCallFast", &Switches::UseCallFast},
    {"Utf8", &Switches::Utf8},
};

void LanguageMap::set(const Text& key, const Text& text) {
  auto it = index_.find(key);
  if (it != index_.end()) {
    entries_[it->second].second = text;
    return;
  }
  index_.emplace(key, entries_.size());
  entries_.emplace_back(key, text);
}

const Text* LanguageMap::find(const Text& key) const {
  auto it = index_.find(key);
  return it == index_.end() ? nullptr : &entries_[it->second].second;
}

Text kindWord(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Window: return "Window";
    case ObjectKind::MenuBar: return "MenuBar";
    case ObjectKind::MenuItem: return "MenuItem";
    case ObjectKind::StatusBar: return "StatusBar";
    case ObjectKind::ToolBar: return "ToolBar";
    case ObjectKind::Gadget: return "Gadget";
  }
  return Text();
}

void FormModel::resetRun() {
  SourceFileList.clear();
  IncludeFileList.clear();
  FormCodeLines.clear();
  FormGlobals.clear();
  WindowList.clear();
  MenuBarList.clear();
  MenuItemList.clear();
  StatusBarList.clear();
  ToolBarList.clear();
  GadgetList.clear();
  WindowProcedureList.clear();
  ResizeProcedureList.clear();
  WindowVariableList.clear();
  ImageList.clear();
  FontList.clear();
  GadgetProcedureSet = CommandSet();
  Language.clear();
  buffers.clear();
  sections = CommonSections();
  marks = FormCodeMarks();
}

void FormModel::resetProjectNames() {
  PreviousWindowList.clear();
  PreviousMenuBarList.clear();
  PreviousMenuItemList.clear();
  PreviousStatusBarList.clear();
  PreviousToolBarList.clear();
  PreviousGadgetList.clear();
  replaceList.clear();
  oldEntryList.clear();
  newEntryList.clear();
}

Lines& FormModel::previousList(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Window: return PreviousWindowList;
    case ObjectKind::MenuBar: return PreviousMenuBarList;
    case ObjectKind::MenuItem: return PreviousMenuItemList;
    case ObjectKind::StatusBar: return PreviousStatusBarList;
    case ObjectKind::ToolBar: return PreviousToolBarList;
    case ObjectKind::Gadget: break;
  }
  return PreviousGadgetList;
}

const Lines& FormModel::nameList(ObjectKind kind) const {
  switch (kind) {
    case ObjectKind::MenuBar: return MenuBarList;
    case ObjectKind::MenuItem: return MenuItemList;
    case ObjectKind::StatusBar: return StatusBarList;
    case ObjectKind::ToolBar: return ToolBarList;
    case ObjectKind::Window:
    case ObjectKind::Gadget: break;
  }
  return WindowList;
}

Lines FormModel::currentNames(ObjectKind kind) const {
  if (kind != ObjectKind::Gadget) return nameList(kind);
  Lines names;
  names.reserve(GadgetList.size());
  for (const GadgetEntry& g : GadgetList) names.push_back(g.name);
  return names;
}

}  // namespace tarnwick
