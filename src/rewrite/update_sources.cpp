// The four stages that carry bound renames into the buffers of the run.
#include "rewrite/update_sources.h"

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

void updatePrefixes(StageContext& ctx) {
  ctx.log(U"- Update Prefix");
  FormModel& m = ctx.model;
  // A window's prefix is renamed only in the names of its own objects, not in those
  // of a window whose name begins with it.
  const WindowNames windows = windowNamesOf(m);
  BufferRules rules(&windows);
  for (const ReplaceEntry& e : m.replaceList) {
    if (e.kind != ObjectKind::Window) continue;
    const Text newPrefix = e.newName + U"_";
    rules.eventMenu.add(Mode::WindowPrefix, U"EventMenu_", e.oldName, U"_", U"EventMenu_" + newPrefix);
    rules.eventGadget.add(Mode::WindowPrefix, U"EventGadget_", e.oldName, U"_", U"EventGadget_" + newPrefix);
    rules.eventWindow.add(Mode::WindowPrefix, U"EventSize_", e.oldName, U"_", U"EventSize_" + newPrefix);
    rules.eventWindow.add(Mode::WindowPrefix, U"EventExit_", e.oldName, U"_", U"EventExit_" + newPrefix);
    rules.addToAll(Mode::WindowPrefix, U"#", e.oldName, U"_", U"#" + newPrefix);
  }
  rules.apply(m);
}

void updateProcedures(StageContext& ctx) {
  ctx.log(U"- Update Procedure");
  FormModel& m = ctx.model;
  BufferRules rules;
  for (const ReplaceEntry& e : m.replaceList) {
    switch (e.kind) {
      case ObjectKind::MenuItem:
        rules.eventMenu.add(Mode::Word, U"EventMenu_", e.oldName, Text(), U"EventMenu_" + e.newName);
        break;
      case ObjectKind::Gadget:
        rules.eventGadget.add(Mode::Word, U"EventGadget_", e.oldName, Text(), U"EventGadget_" + e.newName);
        break;
      case ObjectKind::Window:
        rules.eventWindow.add(Mode::Word, U"EventSize_", e.oldName, Text(), U"EventSize_" + e.newName);
        rules.eventWindow.add(Mode::Word, U"EventExit_", e.oldName, Text(), U"EventExit_" + e.newName);
        break;
      default:  // menus, status bars and toolbars have no event procedures
        break;
    }
  }
  rules.apply(m);
}

void updateConstants(StageContext& ctx) {
  ctx.log(U"- Update Constants");
  BufferRules rules;
  for (const ReplaceEntry& e : ctx.model.replaceList) rules.addToAll(Mode::Word, U"#", e.oldName, Text(), U"#" + e.newName);
  rules.apply(ctx.model);
}

void updateOpenWindows(StageContext& ctx) {
  ctx.log(U"- Update Open Window");
  BufferRules rules;
  for (const ReplaceEntry& e : ctx.model.replaceList)
    if (e.kind == ObjectKind::Window)
      rules.addToAll(Mode::Word, U"Open_", e.oldName, U"()", U"Open_" + e.newName + U"()");
  rules.apply(ctx.model);
}

}  // namespace tarnwick
