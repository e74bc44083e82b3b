#include "run/restore.h"

#include <sstream>

#include "run/commit.h"

namespace tarnwick {

const char* const kNoBackupMessage =
    "Error: Backup holds no backup made by a run (no list of what it holds); nothing was restored.";

namespace {

struct RecordEntry {
  std::string kind;      // "changed", "created" or "removed"
  std::string path;      // as the record names it
  std::string copy;      // below Backup; empty for "created"
};

// A record path or copy place that stays where a run would have put it: no ".." that
// leads out, nothing absolute where a relative path belongs. A backup that came with
// an unpacked or shared project must not steer the restore elsewhere.
bool staysBelow(const std::string& relative) {
  return !relative.empty() && relative[0] != '/' && lexicallyNormal(relative) == relative &&
         relative.rfind("..", 0) != 0;
}

bool parseRecord(const std::string& text, std::vector<RecordEntry>& entries) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "Tarnwick restore 1") return false;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
      std::size_t tab = line.find('\t', start);
      fields.push_back(unescapeField(line.substr(start, tab == std::string::npos ? tab : tab - start)));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    RecordEntry e{fields[0], fields.size() > 1 ? fields[1] : std::string(), fields.size() > 2 ? fields[2] : std::string()};
    const bool withCopy = e.kind == "changed" || e.kind == "removed";
    if ((!withCopy && e.kind != "created") || fields.size() != (withCopy ? 3u : 2u)) return false;
    // A file outside the project has its copy at the one place a run gives it.
    if (e.path.empty() || (e.path[0] == '/' ? lexicallyNormal(e.path) != e.path : !staysBelow(e.path))) return false;
    if (withCopy && (!staysBelow(e.copy) || (e.path[0] == '/' && e.copy != "external" + e.path))) return false;
    entries.push_back(e);
  }
  return true;
}

}  // namespace

RestoreEnd restoreBackup(StageContext& ctx) {
  FileSystem& fs = ctx.fs;
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  int handle = -1;
  LockResult lock = fs.lockDirectory(dir.empty() ? std::string(".") : dir, handle);
  if (lock == LockResult::Busy) return RestoreEnd::Busy;
  struct Unlock {
    FileSystem& fs;
    LockResult lock;
    int handle;
    ~Unlock() {
      if (lock == LockResult::Taken) fs.unlockDirectory(handle);
    }
  } unlock{fs, lock, handle};

  auto fail = [&](const char* stop) {
    if (stop) ctx.log(stop);
    ctx.changes.discard(fs);
    ctx.log("Cancel.");
    ctx.log("");
    return RestoreEnd::Failed;
  };

  ctx.log("Restore Backup ...");
  // A commit that was cut off is completed first, as a run does.
  switch (recoverInterruptedRun(fs, dir)) {
    case Recovery::Completed:
      ctx.log("- Completed the file changes of an interrupted run.");
      break;
    case Recovery::Removed:
      ctx.log("- Removed the temporary files of an interrupted run.");
      break;
    case Recovery::Failed:
      return fail(" -> Error: the file changes of an interrupted run could not be completed. Stop!");
    case Recovery::Nothing:
      break;
  }
  const std::string backup = dir + "Backup";
  std::string text;
  std::vector<RecordEntry> entries;
  if (fs.inspect(backup).kind != PathKind::Directory || !fs.readFile(backup + "/" + kRestoreName, text) ||
      !parseRecord(text, entries)) {
    ctx.log(" -> " + fromUtf8(kNoBackupMessage));
    ctx.log("Cancel.");
    ctx.log("");
    return RestoreEnd::NoBackup;
  }

  bool backedUp = ctx.changes.beginBackup(fs, backup), ok = backedUp;
  if (!backedUp) ctx.logFileError("- Error CopyDirectory");
  for (const RecordEntry& e : entries) {
    if (!ok) break;
    const std::string path = e.path[0] == '/' ? e.path : dir + e.path;
    const Text shown = fromUtf8(path);
    // What stands there now goes into the backup, at the copy's own place, so that a
    // second restore puts it back.
    std::string place = e.copy.empty() ? pathBelow(dir, path) : e.copy;
    if (place.empty()) place = "external" + lexicallyNormal(path);
    std::string now;
    if (fs.isRegularFile(path) &&
        !(fs.readFile(path, now) &&
          ctx.changes.stageBackupCopy(fs, place, now, fs.inspect(fs.resolveLink(path)).mode, path))) {
      ctx.logFileError("- Error CopyDirectory");
      backedUp = ok = false;
      break;
    }
    StageResult r;
    if (e.kind == "created") {
      r = ctx.changes.stageRemoval(fs, path);
      if (r == StageResult::Changed) ctx.log(" -> Remove File " + shown);
    } else {
      std::string old;
      if (!fs.readFile(backup + "/" + e.copy, old)) {
        ctx.logFileError(" -> Error OpenFile " + fromUtf8(backup + "/" + e.copy) + " / " + fileErrorText());
        ok = false;
        break;
      }
      r = ctx.changes.stageFile(fs, path, old);
      if (r == StageResult::Changed) ctx.log(" -> Restore File " + shown);
    }
    if (r == StageResult::Failed) {
      ctx.logFileError(" -> Error File " + shown + " / " + fileErrorText());
      ok = false;
    }
  }
  if (!backedUp) return fail(" -> Error: no backup, no file was changed. Stop!");
  if (!ok) return fail(" -> Error: a file could not be written, no file was changed. Stop!");
  if (!commitChanges(ctx)) return fail(nullptr);
  ctx.log("Ready.");
  ctx.log("");
  return RestoreEnd::Restored;
}

}  // namespace tarnwick
