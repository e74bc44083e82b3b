// The step that carries bound renames into the sources, and its four buffer stages.
#include "rewrite/update_sources.h"

#include "rewrite/replace_word.h"

namespace tarnwick {

namespace {

using Rewrite = Text (*)(TextView, TextView, TextView);

void rewriteBuffer(FileBuffer& buffer, Rewrite rewrite, const Text& search, const Text& replacement) {
  for (Text& line : buffer) line = rewrite(line, search, replacement);
}

// The buffers in the order every stage visits them.
std::vector<FileBuffer*> sourceBuffers(FormModel& model) {
  return {&model.buffers.main, &model.buffers.eventMenu, &model.buffers.eventGadget, &model.buffers.eventWindow};
}

void rewriteAllBuffers(FormModel& model, Rewrite rewrite, const Text& search, const Text& replacement) {
  for (FileBuffer* buffer : sourceBuffers(model)) rewriteBuffer(*buffer, rewrite, search, replacement);
}

}  // namespace

void updatePrefixes(RunContext& ctx) {
  ctx.log(U"- Update Prefix");
  FormModel& m = ctx.model;
  for (const ReplaceEntry& e : m.replaceList) {
    if (e.kind != ObjectKind::Window) continue;
    const Text oldPrefix = e.oldName + U"_", newPrefix = e.newName + U"_";
    rewriteBuffer(m.buffers.eventMenu, ReplaceSubstring, U"EventMenu_" + oldPrefix, U"EventMenu_" + newPrefix);
    rewriteBuffer(m.buffers.eventGadget, ReplaceSubstring, U"EventGadget_" + oldPrefix, U"EventGadget_" + newPrefix);
    rewriteBuffer(m.buffers.eventWindow, ReplaceSubstring, U"EventSize_" + oldPrefix, U"EventSize_" + newPrefix);
    rewriteBuffer(m.buffers.eventWindow, ReplaceSubstring, U"EventExit_" + oldPrefix, U"EventExit_" + newPrefix);
    rewriteAllBuffers(m, ReplaceSubstring, U"#" + oldPrefix, U"#" + newPrefix);
  }
}

void updateProcedures(RunContext& ctx) {
  ctx.log(U"- Update Procedure");
  FormModel& m = ctx.model;
  for (const ReplaceEntry& e : m.replaceList) {
    switch (e.kind) {
      case ObjectKind::MenuItem:
        rewriteBuffer(m.buffers.eventMenu, ReplaceWord, U"EventMenu_" + e.oldName, U"EventMenu_" + e.newName);
        break;
      case ObjectKind::Gadget:
        rewriteBuffer(m.buffers.eventGadget, ReplaceWord, U"EventGadget_" + e.oldName, U"EventGadget_" + e.newName);
        break;
      case ObjectKind::Window:
        rewriteBuffer(m.buffers.eventWindow, ReplaceWord, U"EventSize_" + e.oldName, U"EventSize_" + e.newName);
        rewriteBuffer(m.buffers.eventWindow, ReplaceWord, U"EventExit_" + e.oldName, U"EventExit_" + e.newName);
        break;
      default:  // menus, status bars and toolbars have no event procedures
        break;
    }
  }
}

void updateConstants(RunContext& ctx) {
  ctx.log(U"- Update Constants");
  for (const ReplaceEntry& e : ctx.model.replaceList)
    rewriteAllBuffers(ctx.model, ReplaceWord, U"#" + e.oldName, U"#" + e.newName);
}

void updateOpenWindows(RunContext& ctx) {
  ctx.log(U"- Update Open Window");
  for (const ReplaceEntry& e : ctx.model.replaceList)
    if (e.kind == ObjectKind::Window)
      rewriteAllBuffers(ctx.model, ReplaceWord, U"Open_" + e.oldName + U"()", U"Open_" + e.newName + U"()");
}

void updateSources(RunContext& ctx) {
  ctx.log(U"Generate Code Step 3 ...");
  makeBackup(ctx);
  updatePrefixes(ctx);
  updateProcedures(ctx);
  updateConstants(ctx);
  updateOpenWindows(ctx);
  updateIncludeFiles(ctx);
}

}  // namespace tarnwick
