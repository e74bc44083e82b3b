#include "run/restore.h"

#include <sstream>

#include "run/commit.h"

namespace tarnwick {

const char* const kNoBackupMessage =
    "Error: Backup holds no backup made by a run (no list of what it holds); nothing was restored.";

namespace {

struct RecordEntry {
  std::string kind;    // "changed", "created" or "removed"
  std::string path;    // as the record names it
  std::string copy;    // below Backup; empty for "created"
  std::string digest;  // what the run wrote; empty when the record does not say
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
    RecordEntry e{fields[0], fields.size() > 1 ? fields[1] : std::string(), std::string(), std::string()};
    // The fingerprint of what the run wrote is the last field of a changed or created
    // file; older records do without it.
    std::size_t n = fields.size();
    if (e.kind == "changed" && (n == 3 || n == 4)) {
      e.copy = fields[2];
      if (n == 4) e.digest = fields[3];
    } else if (e.kind == "removed" && n == 3) {
      e.copy = fields[2];
    } else if (e.kind == "created" && (n == 2 || n == 3)) {
      if (n == 3) e.digest = fields[2];
    } else {
      return false;
    }
    // A file outside the project has its copy at the one place a run gives it.
    if (e.path.empty() || (e.path[0] == '/' ? lexicallyNormal(e.path) != e.path : !staysBelow(e.path))) return false;
    if (!e.copy.empty() && (!staysBelow(e.copy) || (e.path[0] == '/' && e.copy != "external" + e.path))) return false;
    entries.push_back(e);
  }
  return true;
}

// Why a record entry may not be carried out, or empty when it may.
std::string recordRefusal(FileSystem& fs, const std::string& dir, const std::string& backup,
                          const std::set<std::string>& includes, const RecordEntry& e, const std::string& path) {
  if (e.path[0] == '/' && !pathBelow(dir.empty() ? std::string(".") : dir, path).empty())
    return "a file of the project is named by its absolute path";
  if (e.path[0] != '/' && (e.path == "Backup" || e.path.rfind("Backup/", 0) == 0)) return "it lies in Backup";
  std::string where = outsideTerritory(fs, dir, includes, path);
  if (!where.empty()) return where;
  const PathKind kind = fs.inspect(path).kind;
  if (kind == PathKind::Directory) return "a folder is never replaced or removed";
  if (kind != PathKind::Regular && kind != PathKind::Missing) return "it is no regular file";
  if (e.copy.empty()) return std::string();
  // The copy is reached through real folders of Backup only and is no link itself.
  std::string at = backup;
  for (std::size_t start = 0;;) {
    std::size_t slash = e.copy.find('/', start);
    if (slash == std::string::npos) break;
    at += "/" + e.copy.substr(start, slash - start);
    if (fs.inspect(at).kind != PathKind::Directory) return "its copy lies in a linked folder or no folder";
    start = slash + 1;
  }
  if (fs.inspect(backup + "/" + e.copy).kind != PathKind::Regular) return "its copy is no regular file";
  return std::string();
}

}  // namespace

RestoreEnd restoreBackup(StageContext& ctx, const ConfirmReplace& confirm) {
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
  // A commit that was cut off is completed first, as a run does. One of a restore
  // ends the restore: doing it again would undo it.
  switch (recoverInterruptedRun(ctx)) {
    case Recovery::CompletedRestore:
      ctx.log("- Completed the file changes of an interrupted restore.");
      ctx.log("Ready.");
      ctx.log("");
      return RestoreEnd::Restored;
    case Recovery::Completed:
      ctx.log("- Completed the file changes of an interrupted run.");
      break;
    case Recovery::Removed:
      ctx.log("- Removed the temporary files of an interrupted run.");
      break;
    case Recovery::Refused:
      return fail(" -> Error: the journal of an interrupted run was refused, no file was changed. Stop!");
    case Recovery::Failed:
      return fail(" -> Error: the file changes of an interrupted run could not be completed. Stop!");
    case Recovery::Nothing:
      break;
  }
  const std::string backup = dir + "Backup";
  std::string text;
  std::vector<RecordEntry> entries;
  if (fs.inspect(backup).kind != PathKind::Directory || !fs.readFileNoFollow(backup + "/" + kRestoreName, text) ||
      !parseRecord(text, entries)) {
    ctx.log(" -> " + fromUtf8(kNoBackupMessage));
    ctx.log("Cancel.");
    ctx.log("");
    return RestoreEnd::NoBackup;
  }

  // Every line must name a file that a run of this project could have changed.
  const std::set<std::string> includes = includeFilesNamedNow(ctx);
  std::vector<std::string> paths;
  bool refused = false;
  for (const RecordEntry& e : entries) {
    paths.push_back(e.path[0] == '/' ? e.path : dir + e.path);
    const std::string why = recordRefusal(fs, dir, backup, includes, e, paths.back());
    if (why.empty()) continue;
    ctx.log(" -> Error: " + backup + "/" + kRestoreName + " names " + e.path +
            ", which is refused: " + why + ".");
    refused = true;
  }
  if (refused)
    return fail(" -> Error: the backup's list names files this program does not write; nothing was restored. Restore "
                "those files by hand from Backup if you need them. Stop!");

  // The files outside the project folder are locked against runs of other projects;
  // what an interrupted write left beside any of the files goes.
  FileLocks locks(fs);
  bool removedLeftovers = false;
  if (!lockIncludeFiles(ctx, locks, paths, removedLeftovers)) return fail(nullptr);
  if (removedLeftovers) ctx.log("- Removed the temporary files of an interrupted run.");

  // Files that changed after the run: replacing them loses nothing (they go into the
  // backup), but the user is asked first.
  std::vector<std::string> changedSince;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RecordEntry& e = entries[i];
    std::string now;
    const bool there = fs.inspect(paths[i]).kind == PathKind::Regular;
    if (e.kind == "removed" ? there
                            : there && !e.digest.empty() && fs.readFile(paths[i], now) && contentDigest(now) != e.digest)
      changedSince.push_back(paths[i]);
  }
  if (!changedSince.empty()) {
    for (const std::string& path : changedSince)
      ctx.log(" -> Warning: " + path + " changed after the run that the restore undoes.");
    if (!confirm || !confirm(changedSince)) {
      ctx.log("Cancel.");
      ctx.log("");
      return RestoreEnd::Declined;
    }
  }

  bool backedUp = ctx.changes.beginBackup(fs, backup), ok = backedUp;
  if (!backedUp) ctx.logFileError("- Error CopyDirectory");
  for (std::size_t i = 0; ok && i < entries.size(); ++i) {
    const RecordEntry& e = entries[i];
    const std::string& path = paths[i];
    // What stands there now goes into the backup, at the copy's own place, so that a
    // second restore puts it back.
    const std::string place = e.copy.empty() ? backupPlaceOf(dir, path) : e.copy;
    const PathInfo info = fs.inspect(path);
    std::string now;
    if (info.kind == PathKind::Unknown ||
        (info.kind == PathKind::Regular &&
         !(fs.readFile(path, now) && ctx.changes.stageBackupCopy(fs, place, now, info.mode, path)))) {
      ctx.logFileError("- Error CopyDirectory");
      backedUp = ok = false;
      break;
    }
    StageResult r;
    if (e.kind == "created") {
      r = ctx.changes.stageRemoval(fs, path);
      if (r == StageResult::Changed) ctx.log(" -> Remove File " + path);
    } else {
      std::string old;
      if (!fs.readFileNoFollow(backup + "/" + e.copy, old)) {
        ctx.logFileError(" -> Error OpenFile " + backup + "/" + e.copy + " / " + fileErrorText());
        ok = false;
        break;
      }
      r = ctx.changes.stageFile(fs, path, old);
      if (r == StageResult::Changed) ctx.log(" -> Restore File " + path);
    }
    if (r == StageResult::Failed) {
      ctx.logFileError(" -> Error File " + path + " / " + fileErrorText());
      ok = false;
    }
  }
  if (!backedUp) return fail(" -> Error: no backup, no file was changed. Stop!");
  if (!ok) return fail(" -> Error: a file could not be written, no file was changed. Stop!");
  if (!commitChanges(ctx, kRestoreOrigin)) return fail(nullptr);
  ctx.log("Ready.");
  ctx.log("");
  return RestoreEnd::Restored;
}

}  // namespace tarnwick
