// The four stages that carry bound renames into the buffers of the run.
#include "rewrite/update_sources.h"

#include <unordered_set>

#include "rewrite/rename_rules.h"

namespace tarnwick {

namespace {

using Mode = RenameRules::Mode;

// The rules of one stage for each buffer, in the order every stage visits them.
struct BufferRules {
  explicit BufferRules(const WindowNames* windows = nullptr)
      : main(windows), eventMenu(windows), eventGadget(windows), eventWindow(windows) {}

  RenameRules main, eventMenu, eventGadget, eventWindow;

  void addToAll(Mode mode, const Text& stem, const Text& name, const Text& tail, const Text& replacement) {
    for (RenameRules* rules : {&main, &eventMenu, &eventGadget, &eventWindow})
      rules->add(mode, stem, name, tail, replacement);
  }
  // A stage changes each line once with all its rules in order, which gives the same
  // text as one pass over every line per rule.
  void apply(FormModel& model) const {
    main.apply(model.buffers.main);
    eventMenu.apply(model.buffers.eventMenu);
    eventGadget.apply(model.buffers.eventGadget);
    eventWindow.apply(model.buffers.eventWindow);
  }
};

}  // namespace

std::vector<bool> variableBindings(const FormModel& model) {
  std::unordered_set<Text> windows, gadgets;
  for (std::size_t i = 0; i < model.WindowList.size(); ++i)
    if (model.isVariableWindow(i)) windows.insert(upper(model.WindowList[i]));
  for (const GadgetEntry& g : model.GadgetList)
    if (g.variable) gadgets.insert(upper(g.name));
  std::vector<bool> flags;
  flags.reserve(model.replaceList.size());
  for (const ReplaceEntry& e : model.replaceList) {
    const std::unordered_set<Text>* names = e.kind == ObjectKind::Window   ? &windows
                                            : e.kind == ObjectKind::Gadget ? &gadgets
                                                                           : nullptr;
    flags.push_back(names && names->count(upper(e.newName)));
  }
  return flags;
}

std::vector<std::pair<Text, Text>> constantRules(const ReplaceEntry& binding, bool variable) {
  // A variable has no constant: an old constant bound to it (a gadget the designer
  // switched to variable mode) becomes the variable.
  if (!variable) return {{"#", "#" + binding.newName}};
  return {{"#", binding.newName}, {Text(), binding.newName}};
}

void updatePrefixes(StageContext& ctx) {
  ctx.log("- Update Prefix");
  FormModel& m = ctx.model;
  // A window's prefix is renamed only in the names of its own objects, not in those
  // of a window whose name begins with it.
  const WindowNames windows = windowNamesOf(m);
  BufferRules rules(&windows);
  for (const ReplaceEntry& e : m.replaceList) {
    if (e.kind != ObjectKind::Window) continue;
    const Text newPrefix = e.newName + "_";
    rules.eventMenu.add(Mode::WindowPrefix, "EventMenu_", e.oldName, "_", "EventMenu_" + newPrefix);
    rules.eventGadget.add(Mode::WindowPrefix, "EventGadget_", e.oldName, "_", "EventGadget_" + newPrefix);
    rules.eventWindow.add(Mode::WindowPrefix, "EventSize_", e.oldName, "_", "EventSize_" + newPrefix);
    rules.eventWindow.add(Mode::WindowPrefix, "EventExit_", e.oldName, "_", "EventExit_" + newPrefix);
    rules.addToAll(Mode::WindowPrefix, "#", e.oldName, "_", "#" + newPrefix);
  }
  rules.apply(m);
}

void updateProcedures(StageContext& ctx) {
  ctx.log("- Update Procedure");
  FormModel& m = ctx.model;
  BufferRules rules;
  for (const ReplaceEntry& e : m.replaceList) {
    switch (e.kind) {
      case ObjectKind::MenuItem:
        rules.eventMenu.add(Mode::Word, "EventMenu_", e.oldName, Text(), "EventMenu_" + e.newName);
        break;
      case ObjectKind::Gadget:
        rules.eventGadget.add(Mode::Word, "EventGadget_", e.oldName, Text(), "EventGadget_" + e.newName);
        break;
      case ObjectKind::Window:
        rules.eventWindow.add(Mode::Word, "EventSize_", e.oldName, Text(), "EventSize_" + e.newName);
        rules.eventWindow.add(Mode::Word, "EventExit_", e.oldName, Text(), "EventExit_" + e.newName);
        break;
      default:  // menus, status bars and toolbars have no event procedures
        break;
    }
  }
  rules.apply(m);
}

void updateConstants(StageContext& ctx) {
  ctx.log("- Update Constants");
  BufferRules rules;
  const std::vector<bool> variables = variableBindings(ctx.model);
  for (std::size_t i = 0; i < ctx.model.replaceList.size(); ++i) {
    const ReplaceEntry& e = ctx.model.replaceList[i];
    for (const auto& [before, after] : constantRules(e, variables[i]))
      rules.addToAll(Mode::Word, before, e.oldName, Text(), after);
  }
  rules.apply(ctx.model);
}

void updateOpenWindows(StageContext& ctx) {
  ctx.log("- Update Open Window");
  BufferRules rules;
  for (const ReplaceEntry& e : ctx.model.replaceList)
    if (e.kind == ObjectKind::Window) {
      rules.addToAll(Mode::Word, "Open_", e.oldName, "()", "Open_" + e.newName + "()");
      // The designer's resize procedure of the window, which its size event calls.
      rules.addToAll(Mode::Word, "ResizeGadgets", e.oldName, "()", "ResizeGadgets" + e.newName + "()");
    }
  rules.apply(ctx.model);
}

}  // namespace tarnwick
