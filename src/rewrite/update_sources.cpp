// The four stages that carry bound renames into the buffers of the run.
#include "rewrite/update_sources.h"

#include "rewrite/rename_rules.h"

namespace tarnwick {

namespace {

using Mode = RenameRules::Mode;

// The rules of one stage for each buffer, in the order every stage visits them.
struct BufferRules {
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

void updatePrefixes(StageContext& ctx) {
  ctx.log("- Update Prefix");
  FormModel& m = ctx.model;
  BufferRules rules;
  for (const ReplaceEntry& e : m.replaceList) {
    if (e.kind != ObjectKind::Window) continue;
    const Text newPrefix = e.newName + "_";
    rules.eventMenu.add(Mode::Substring, "EventMenu_", e.oldName, "_", "EventMenu_" + newPrefix);
    rules.eventGadget.add(Mode::Substring, "EventGadget_", e.oldName, "_", "EventGadget_" + newPrefix);
    rules.eventWindow.add(Mode::Substring, "EventSize_", e.oldName, "_", "EventSize_" + newPrefix);
    rules.eventWindow.add(Mode::Substring, "EventExit_", e.oldName, "_", "EventExit_" + newPrefix);
    rules.addToAll(Mode::Substring, "#", e.oldName, "_", "#" + newPrefix);
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
  for (const ReplaceEntry& e : ctx.model.replaceList) rules.addToAll(Mode::Word, "#", e.oldName, Text(), "#" + e.newName);
  rules.apply(ctx.model);
}

void updateOpenWindows(StageContext& ctx) {
  ctx.log("- Update Open Window");
  BufferRules rules;
  for (const ReplaceEntry& e : ctx.model.replaceList)
    if (e.kind == ObjectKind::Window)
      rules.addToAll(Mode::Word, "Open_", e.oldName, "()", "Open_" + e.newName + "()");
  rules.apply(ctx.model);
}

}  // namespace tarnwick
