// The last stage of step 3: the bound renames carried into the user's include files
// on disk, each written back in the encoding it was read in.
#include "model/encoding.h"
#include "rewrite/rename_rules.h"
#include "rewrite/update_sources.h"

namespace tarnwick {

namespace {

// The three rules in their order, the constant rule of a variable's binding (which
// gives the bare new name) followed by its bare-name rule; the count is per rule and
// entry, so a line changed by two of them counts twice. The prefix rule renames only
// the objects of the window itself, as the prefix stages of the buffers do.
RenameRules includeRules(const ReplaceList& replaceList, const std::vector<bool>& variables,
                         const WindowNames& windows) {
  using Mode = RenameRules::Mode;
  RenameRules rules(&windows);
  for (const ReplaceEntry& e : replaceList)
    if (e.kind == ObjectKind::Window) rules.add(Mode::WindowPrefix, "#", e.oldName, "_", "#" + e.newName + "_");
  for (std::size_t i = 0; i < replaceList.size(); ++i) {
    const ReplaceEntry& e = replaceList[i];
    for (const auto& [before, after] : constantRules(e, variables[i]))
      rules.add(Mode::Word, before, e.oldName, Text(), after);
  }
  for (const ReplaceEntry& e : replaceList)
    if (e.kind == ObjectKind::Window)
      rules.add(Mode::Word, "Open_", e.oldName, "()", "Open_" + e.newName + "()");
  return rules;
}

// False when the file's new content could not be staged.
bool updateIncludeFile(StageContext& ctx, const RenameRules& rules, const Text& path) {
  const std::string file = toUtf8(path);
  std::string bytes;
  if (!ctx.fs.readFile(file, bytes)) {
    // A missing include file is created empty (by the commit, like every change); one
    // that cannot be created, or a folder in its place, is logged and left. A file that
    // cannot be read or examined stops the run: its renames would not reach it.
    const PathKind kind = ctx.fs.inspect(ctx.fs.resolveLink(file)).kind;
    const bool unreadable = kind == PathKind::Regular || kind == PathKind::Unknown;
    if (!unreadable && !ctx.fs.exists(file) &&
        ctx.changes.stageFile(ctx.fs, file, std::string()) != StageResult::Failed)
      return true;
    ctx.logFileError(" -> Error OpenFile " + path + " / " + fileErrorText());
    return !unreadable;
  }
  DecodedText text = ctx.decodeRead(path, bytes);
  // Bytes that do not decode are reported by decodeRead; the file must not be written
  // with a stand-in for them, and the run stops.
  if (text.invalidAt) return false;
  int count = rules.apply(text.lines);
  if (count == 0) return true;

  ctx.log(" -> Update Includefile " + path + " / Count Change: " + numberText(count));
  // Written back in the encoding it was read in, with its mark when it had one, so
  // that nothing but the renamed identifiers changes; a file of UTF-8 and 8-bit lines
  // becomes UTF-8.
  bool lossy = false;
  std::string encoded = encodeLines(text.lines, text.format, text.hasMark, &lossy);
  // An 8-bit file cannot hold a new name with characters beyond ISO 8859-1: rather
  // than drop them, the file keeps its old content.
  if (lossy || ctx.changes.stageFile(ctx.fs, file, encoded) == StageResult::Failed) {
    ctx.logFileError(" -> Error WriteFile " + path + " / " + fileErrorText());
    return false;
  }
  return true;
}

}  // namespace

bool updateIncludeFiles(StageContext& ctx) {
  ctx.log("- Update IncludeFiles");
  // The rules are built once for all files.
  const WindowNames windows = windowNamesOf(ctx.model);
  const RenameRules rules = includeRules(ctx.model.replaceList, variableBindings(ctx.model), windows);
  bool ok = true;
  // Every file is tried, so that the log names each one that cannot be written.
  for (const Text& path : ctx.model.IncludeFileList) ok &= updateIncludeFile(ctx, rules, path);
  return ok;
}

}  // namespace tarnwick
