#include "run/commit.h"

#include <map>
#include <set>
#include <sstream>

#include "interpret/source_loading.h"

namespace tarnwick {

const char* const kJournalName = ".tarnwick-journal";
const char* const kRestoreName = ".restore";
const char* const kRunOrigin = "run";
const char* const kRestoreOrigin = "restore";

namespace {

const char* const kJournalHeader = "Tarnwick journal 1";
const char* const kRestoreHeader = "Tarnwick restore 1";

std::string parentOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string nameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One step of the journal.
struct JournalEntry {
  // "file", "folder", "replace" (a folder taking the place of a link or file), or
  // "remove" (a file that goes; it has no temporary)
  std::string kind;
  std::string temporary, target;
};

// The header, the origin line and one line per entry. A reader that does not know the
// origin line skips it, as it has one field less than an entry.
std::string journalText(const std::vector<JournalEntry>& entries, const char* origin) {
  std::string text = std::string(kJournalHeader) + "\norigin\t" + origin + "\n";
  for (const JournalEntry& e : entries)
    text += e.kind + "\t" + escapeField(e.temporary) + "\t" + escapeField(e.target) + "\n";
  return text;
}

struct Journal {
  bool valid = false;  // the header was found
  std::string origin = kRunOrigin;
  std::vector<JournalEntry> entries;
  std::vector<std::string> badLines;  // lines that are no entry
};

Journal parseJournal(const std::string& text) {
  Journal j;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kJournalHeader) return j;
  j.valid = true;
  while (std::getline(in, line)) {
    std::size_t a = line.find('\t');
    std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    if (a != std::string::npos && b == std::string::npos && line.compare(0, a, "origin") == 0) {
      j.origin = line.substr(a + 1);
      continue;
    }
    if (b == std::string::npos || line.find('\t', b + 1) != std::string::npos) {
      j.badLines.push_back(line);
      continue;
    }
    j.entries.push_back({line.substr(0, a), unescapeField(line.substr(a + 1, b - a - 1)), unescapeField(line.substr(b + 1))});
  }
  return j;
}

// Renames one entry into place. A folder that replaces a link or a file in the backup
// removes it first; a link is never followed.
bool putInPlace(FileSystem& fs, const JournalEntry& e) {
  if (e.kind == "remove") {
    // Only a file is ever removed, never a folder.
    PathKind kind = fs.inspect(e.target).kind;
    return kind == PathKind::Missing ||
           ((kind == PathKind::Regular || kind == PathKind::Symlink) && fs.removePath(e.target));
  }
  if (e.kind == "replace") {
    PathInfo in = fs.inspect(e.target);
    if (in.kind != PathKind::Missing && in.kind != PathKind::Directory && !fs.removePath(e.target)) return false;
  }
  return fs.renamePath(e.temporary, e.target);
}

void syncParents(FileSystem& fs, const std::vector<JournalEntry>& entries) {
  std::set<std::string> folders;
  for (const JournalEntry& e : entries) folders.insert(parentOf(e.target));
  for (const std::string& folder : folders) fs.syncDirectory(folder);
}

std::string folderPath(const std::string& dir) { return dir.empty() ? std::string(".") : dir; }

// Removes the temporary entries of folder, and with below set those of its real
// subfolders too (a link to a folder is not entered).
bool removeTemporaries(FileSystem& fs, const std::string& folder, bool below) {
  std::vector<DirEntry> entries;
  if (!fs.listDirectory(folder, entries)) return false;
  bool removed = false;
  const std::string base = folder.back() == '/' ? folder : folder + "/";
  for (const DirEntry& entry : entries) {
    const std::string path = base + entry.name;
    if (isTemporaryName(entry.name)) {
      // The file it was written for may be an include file of another project whose
      // run holds it and is about to rename the temporary into place.
      const std::string target = base + entry.name.substr(1, entry.name.size() - 1 - 10);
      int handle = -1;
      LockResult lock = fs.inspect(target).kind == PathKind::Regular ? fs.lockFile(target, handle) : LockResult::Failed;
      if (lock == LockResult::Busy) continue;
      removed |= fs.removePath(path);
      if (lock == LockResult::Taken) fs.unlockFile(handle);
    } else if (below && fs.inspect(path).kind == PathKind::Directory) {
      removed |= removeTemporaries(fs, path, true);
    }
  }
  return removed;
}

// The path a record names: relative to the project folder below it, else absolute.
std::string recordPath(const std::string& dir, const std::string& path) {
  std::string below = pathBelow(folderPath(dir), path);
  return below.empty() ? lexicallyNormal(path) : below;
}

bool isTemporaryOf(const std::string& temporary, const std::string& target) {
  if (temporary.empty()) return false;
  const std::string name = nameOf(temporary), prefix = "." + nameOf(target) + ".tw-";
  return parentOf(lexicallyNormal(temporary)) == parentOf(lexicallyNormal(target)) && isTemporaryName(name) &&
         name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

bool isBelow(const std::string& folder, const std::string& path) { return !pathBelow(folder, path).empty(); }

// Why a journal entry does not fit what a commit writes, or empty when it fits.
std::string journalRefusal(FileSystem& fs, const std::string& dir, const std::set<std::string>& includes,
                           const JournalEntry& e) {
  const std::string backup = dir + "Backup";
  const std::string backupFolder = lexicallyNormal(folderPath(dir) + "/Backup");
  const bool inBackup = isBelow(backupFolder, e.target) || lexicallyNormal(e.target) == backupFolder;
  if (e.kind != "file" && e.kind != "folder" && e.kind != "replace" && e.kind != "remove")
    return "it is of no kind a commit writes";
  if (e.target.empty()) return "it names no file";
  std::string where = outsideTerritory(fs, dir, includes, e.target);
  if (!where.empty()) return where;
  const PathKind target = fs.inspect(e.target).kind;
  if (e.kind == "remove") {
    if (!e.temporary.empty()) return "a removal has no temporary file";
    if (inBackup) return "it would remove a file of Backup";
    if (target == PathKind::Missing) return std::string();
    if (target != PathKind::Regular) return "only a regular file is ever removed";
    // A commit removes only a file whose copy it has just put into Backup.
    std::string now, copy;
    if (!fs.readFile(e.target, now) || !fs.readFileNoFollow(backup + "/" + backupPlaceOf(dir, e.target), copy) ||
        now != copy)
      return "the file to remove has no copy in Backup";
    return std::string();
  }
  if (!isTemporaryOf(e.temporary, e.target)) return "its temporary file is not named after its target";
  const PathKind temporary = fs.inspect(e.temporary).kind;
  if (e.kind == "file") {
    // A path that cannot be examined now is no sign of a foreign journal: its rename
    // is tried, and moved aside when it fails.
    if (temporary != PathKind::Regular && temporary != PathKind::Missing && temporary != PathKind::Unknown)
      return "its temporary is no regular file";
    if (target == PathKind::Symlink && inBackup) return std::string();  // a link planted in Backup is replaced
    if (target != PathKind::Regular && target != PathKind::Missing && target != PathKind::Unknown)
      return "its target is no regular file";
    return std::string();
  }
  // A folder is put in place only as the backup or a folder inside it.
  if (!inBackup || (e.kind == "replace" && lexicallyNormal(e.target) == backupFolder))
    return "only Backup and its folders are put in place as folders";
  if (temporary != PathKind::Directory && temporary != PathKind::Missing && temporary != PathKind::Unknown)
    return "its temporary is no folder";
  return std::string();
}

// A free name beside path for what could not be put in place: path + tail, then with
// a number.
std::string asideName(FileSystem& fs, const std::string& path, const std::string& tail) {
  std::string name = path + tail;
  for (int n = 2; fs.inspect(name).kind != PathKind::Missing && n < 1000; ++n)
    name = path + tail + "-" + std::to_string(n);
  return name;
}

}  // namespace

std::string escapeField(const std::string& field) {
  std::string out;
  for (char c : field) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::string unescapeField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    char next = field[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next;
  }
  return out;
}

std::set<std::string> includeFilesNamedNow(StageContext& ctx) {
  Lines saved = std::move(ctx.model.IncludeFileList);
  ctx.model.IncludeFileList.clear();
  CollectIncludeFiles(ctx, "Main.pb");
  std::set<std::string> named;
  for (const Text& include : ctx.model.IncludeFileList) {
    const std::string path = toUtf8(include);
    PathKind kind = ctx.fs.inspect(path).kind;
    if (kind == PathKind::Regular || kind == PathKind::Missing) named.insert(lexicallyNormal(path));
  }
  ctx.model.IncludeFileList = std::move(saved);
  return named;
}

std::string outsideTerritory(FileSystem& fs, const std::string& dir, const std::set<std::string>& includes,
                             const std::string& path) {
  const std::string folder = lexicallyNormal(folderPath(dir));
  std::string below = pathBelow(folder, path);
  if (folder.empty()) {  // the working folder: a relative path that does not lead out
    const std::string normal = lexicallyNormal(path);
    below = normal.empty() || normal[0] == '/' || normal.rfind("..", 0) == 0 ? std::string() : normal;
  }
  if (below.empty()) {
    if (includes.count(lexicallyNormal(path))) return std::string();
    return "it lies outside the project and is no include file that Main.pb names";
  }
  // Every folder on the way must be a real one: a linked folder inside the project
  // leads anywhere.
  std::string at = folder;
  for (std::size_t start = 0;;) {
    std::size_t slash = below.find('/', start);
    if (slash == std::string::npos) break;
    at += "/" + below.substr(start, slash - start);
    if (fs.inspect(at).kind != PathKind::Directory) return "it lies in a linked folder or no folder";
    start = slash + 1;
  }
  return std::string();
}

std::string backupPlaceOf(const std::string& dir, const std::string& path) {
  std::string below = pathBelow(folderPath(dir), path);
  if (!below.empty()) return below;
  return "external" + lexicallyNormal(path);
}

std::string restoreRecord(const ChangeSet& changes, const std::string& dir) {
  std::map<std::string, std::string> copies;  // original, normalised -> place below Backup
  for (const BackupCopy& c : changes.backupCopies()) copies.emplace(lexicallyNormal(c.original), c.relative);
  std::string text = std::string(kRestoreHeader) + "\n";
  for (const PendingChange& c : changes.changes()) {
    const std::string path = escapeField(recordPath(dir, c.path));
    auto copy = copies.find(lexicallyNormal(c.path));
    // The fingerprint of what the run wrote lets a restore see which files changed
    // after the run.
    if (c.created) text += "created\t" + path + "\t" + c.digest + "\n";
    else if (copy == copies.end()) continue;  // refused by the commit before it gets here
    else if (c.removes) text += "removed\t" + path + "\t" + escapeField(copy->second) + "\n";
    else text += "changed\t" + path + "\t" + escapeField(copy->second) + "\t" + c.digest + "\n";
  }
  return text;
}

namespace {

// The first file about to be replaced or backed up that no longer holds what the run
// read, or empty.
std::string changedSinceRead(StageContext& ctx) {
  for (const PendingChange& c : ctx.changes.changes()) {
    if (c.created ? ctx.fs.inspect(c.target).kind != PathKind::Missing
                  : ctx.stamps.compare(c.target) == StampingFileSystem::Still::Changed)
      return c.path;
  }
  for (const BackupCopy& c : ctx.changes.backupCopies())
    if (ctx.stamps.compare(c.original) == StampingFileSystem::Still::Changed) return c.original;
  return std::string();
}

}  // namespace

bool commitChanges(StageContext& ctx, const char* origin) {
  FileSystem& fs = ctx.fs;
  ChangeSet& changes = ctx.changes;
  // Nothing to change: the backup is dropped too, so that the copies of the run that
  // last changed something stay.
  if (!changes.hasChanges()) {
    changes.discard(fs);
    ctx.stamps.forget();
    return true;
  }
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  // An edit saved while the run was working (in an editor, during the binding dialog)
  // must not be replaced by a content made without it.
  const std::string changed = changedSinceRead(ctx);
  if (!changed.empty()) {
    ctx.changedDuringRun = changed;
    ctx.logFileError(" -> Error: " + changed +
                     " changed while the run was in progress; no file was changed, start the run again. Stop!");
    changes.discard(fs);
    return false;
  }
  if (!changes.backupFolder().empty()) {
    // A file that existed is never called created: one without a copy stops the commit.
    std::set<std::string> copied;
    for (const BackupCopy& c : changes.backupCopies()) copied.insert(lexicallyNormal(c.original));
    for (const PendingChange& c : changes.changes()) {
      if (c.created || copied.count(lexicallyNormal(c.path))) continue;
      ctx.logFileError(" -> Error File " + c.path + " / no copy in Backup");
      ctx.log(" -> Error: no backup, no file was changed. Stop!");
      changes.discard(fs);
      return false;
    }
  }
  // A run always backs up before it changes anything; only a generation step run on
  // its own (in a test) comes here without a backup.
  if (!changes.backupFolder().empty() && !changes.stageBackupCopy(fs, kRestoreName, restoreRecord(changes, dir), fs.newFileMode())) {
    ctx.logFileError(" -> Error File " + changes.backupFolder() + "/" + kRestoreName + " / " +
                     fileErrorText());
    ctx.log(" -> Error: no backup, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  if (!changes.syncBackup(fs)) {
    ctx.logFileError(" -> Error File " + changes.backupFolder() + " / " + fileErrorText());
    ctx.log(" -> Error: no backup, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  for (const std::string& folder : changes.backupDirectories()) fs.syncDirectory(folder);

  std::vector<JournalEntry> entries;
  for (const PendingChange& c : changes.backupChanges())
    entries.push_back({c.directory ? (c.replaces ? "replace" : "folder") : "file", c.temporary, c.target});
  const std::size_t firstUserEntry = entries.size();
  for (const PendingChange& c : changes.changes()) entries.push_back({c.removes ? "remove" : "file", c.temporary, c.target});

  // The journal is in place and durable before the first rename.
  const std::string journal = dir + kJournalName;
  std::string temporary;
  if (!fs.writeTemporary(journal, journalText(entries, origin), 0600, temporary) || !fs.renamePath(temporary, journal) ||
      !fs.syncDirectory(folderPath(dir))) {
    if (!temporary.empty()) fs.removePath(temporary);
    fs.removePath(journal);
    ctx.logFileError(" -> Error File " + journal + " / " + fileErrorText());
    ctx.log(" -> Error: a file could not be written, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const JournalEntry& e = entries[i];
    // The journal and the backup took a moment to make durable: a file edited in that
    // moment is moved aside, so that the edit is kept beside the new content.
    const bool created = i >= firstUserEntry && changes.changes()[i - firstUserEntry].created;
    if (i >= firstUserEntry && e.kind == "file" &&
        (created ? fs.inspect(e.target).kind != PathKind::Missing
                 : ctx.stamps.looksChanged(e.target) &&
                       ctx.stamps.compare(e.target) == StampingFileSystem::Still::Changed)) {
      const std::string aside = asideName(fs, e.target, ".edited");
      if (fs.renamePath(e.target, aside))
        ctx.log(" -> Warning: " + e.target +
                " changed while the run was in progress; the edited file is kept as " + aside);
    }
    if (putInPlace(fs, e)) continue;
    ctx.logFileError(" -> Error File " + e.target + " / " + fileErrorText());
    ctx.log(" -> Error: the run's changes could not all be put in place; the next run completes them. Stop!");
    // The journal names the temporaries that are left: they must stay for the next run.
    changes = ChangeSet();
    return false;
  }
  syncParents(fs, entries);
  fs.removePath(journal);
  fs.syncDirectory(folderPath(dir));
  ctx.committed = changes.changes();
  changes = ChangeSet();
  ctx.stamps.forget();
  return true;
}

Recovery recoverInterruptedRun(StageContext& ctx) {
  FileSystem& fs = ctx.fs;
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  Recovery result = Recovery::Nothing;
  const std::string journal = dir + kJournalName;
  std::string text;
  const PathKind journalKind = fs.inspect(journal).kind;
  if (journalKind != PathKind::Missing) {
    // Without its journal the temporaries could not be told apart, so a journal that
    // cannot be read stops everything.
    if (journalKind != PathKind::Regular || !fs.readFileNoFollow(journal, text)) {
      ctx.logFileError(" -> Error File " + journal + " / " + fileErrorText());
      return Recovery::Failed;
    }
    Journal j = parseJournal(text);
    const std::set<std::string> includes = includeFilesNamedNow(ctx);
    // Nothing of a journal that does not fit what a commit writes is carried out: it
    // may have come with a project from elsewhere.
    bool refused = !j.valid || (j.origin != kRunOrigin && j.origin != kRestoreOrigin);
    if (!j.valid) ctx.log(" -> Error: " + journal + " is no journal of this program.");
    for (const std::string& line : j.badLines) {
      ctx.log(" -> Error: journal line \"" + escapeField(line) + "\" is no entry.");
      refused = true;
    }
    for (std::size_t i = 0; i < j.entries.size(); ++i) {
      const std::string why = journalRefusal(fs, dir, includes, j.entries[i]);
      if (why.empty()) continue;
      ctx.log(" -> Error: journal entry " + numberText(static_cast<long long>(i + 1)) + " (" +
              j.entries[i].kind + " " + j.entries[i].target + ") is refused: " + why + ".");
      refused = true;
    }
    if (refused) {
      const std::string aside = asideName(fs, dir + "tarnwick-journal", ".refused");
      if (!fs.renamePath(journal, aside)) {
        ctx.logFileError(" -> Error File " + journal + " / " + fileErrorText());
        return Recovery::Failed;
      }
      fs.syncDirectory(folderPath(dir));
      ctx.log(" -> The journal of an interrupted run names files this program does not write; nothing of it was done. "
              "It is kept as " + aside + ": look at the files it names, then start again.");
      return Recovery::Refused;
    }
    const std::string backupFolder = lexicallyNormal(folderPath(dir) + "/Backup");
    // A temporary that is gone was renamed already; each is renamed once. One that
    // cannot be put in place is moved aside, so that the project is never stuck.
    bool blocked = false;
    for (const JournalEntry& e : j.entries) {
      const PathKind temporary = e.kind == "remove" ? PathKind::Missing : fs.inspect(e.temporary).kind;
      const bool pending = e.kind == "remove" || temporary != PathKind::Missing;
      if (!pending) continue;
      if (ctx.dryRun && e.kind != "folder" && e.kind != "replace" && !isBelow(backupFolder, e.target) &&
          lexicallyNormal(e.target) != backupFolder) {
        PendingChange c;
        c.path = c.target = e.target;
        c.temporary = e.temporary;
        c.removes = e.kind == "remove";
        c.created = fs.inspect(e.target).kind == PathKind::Missing;
        if (!c.removes || !c.created) ctx.pendingFromJournal.push_back(c);
      }
      if (putInPlace(fs, e)) continue;
      if (e.kind == "remove") {
        ctx.logFileError(" -> Warning: " + e.target + " could not be removed / " + fileErrorText());
        continue;
      }
      const std::string aside = asideName(fs, e.target, ".unfinished");
      if (fs.renamePath(e.temporary, aside)) {
        ctx.logFileError(" -> Warning: " + e.target +
                         " could not be put in place; its new content is kept as " + aside);
      } else {
        ctx.logFileError(" -> Error File " + e.target + " / " + fileErrorText());
        blocked = true;
      }
    }
    syncParents(fs, j.entries);
    // The journal goes only when nothing it names is left to do.
    if (blocked || !fs.removePath(journal)) return Recovery::Failed;
    fs.syncDirectory(folderPath(dir));
    result = j.origin == kRestoreOrigin ? Recovery::CompletedRestore : Recovery::Completed;
  }
  bool removed = removeTemporaries(fs, folderPath(dir), false);
  const std::string backup = dir + "Backup";
  if (fs.inspect(backup).kind == PathKind::Directory) removed |= removeTemporaries(fs, backup, true);
  if (removed && result == Recovery::Nothing) result = Recovery::Removed;
  return result;
}

FileLocks::~FileLocks() {
  for (int handle : handles_) fs_.unlockFile(handle);
}

LockResult FileLocks::take(const std::string& path) {
  const std::string target = lexicallyNormal(fs_.resolveLink(path));
  if (held_.count(target)) return LockResult::Taken;
  if (fs_.inspect(target).kind != PathKind::Regular) return LockResult::Failed;
  int handle = -1;
  LockResult result = fs_.lockFile(target, handle);
  if (result == LockResult::Taken) {
    handles_.push_back(handle);
    held_.insert(target);
  }
  return result;
}

bool lockIncludeFiles(StageContext& ctx, FileLocks& locks, const Lines& files, bool& removedLeftovers) {
  for (const Text& file : files) {
    if (locks.take(toUtf8(file)) != LockResult::Busy) continue;
    ctx.logFileError(" -> Error: the include file " + file +
                     " is being changed by another project's run; start again when that run has ended. Stop!");
    return false;
  }
  // No other run holds these files now, so what lies beside them is no one's work.
  removedLeftovers = removeLeftoversBeside(ctx.fs, files);
  return true;
}

bool removeLeftoversBeside(FileSystem& fs, const Lines& files) {
  bool removed = false;
  std::set<std::string> seen;
  for (const Text& file : files) {
    const std::string path = toUtf8(file);
    for (const std::string& place : {path, fs.resolveLink(path)}) {
      if (!seen.insert(place).second) continue;
      const std::string prefix = std::string(".").append(nameOf(place)).append(".tw-");
      std::vector<DirEntry> entries;
      if (!fs.listDirectory(parentOf(place), entries)) continue;
      for (const DirEntry& entry : entries)
        if (isTemporaryName(entry.name) && entry.name.size() == prefix.size() + 6 && entry.name.rfind(prefix, 0) == 0)
          removed |= fs.removePath(parentOf(place) + "/" + entry.name);
    }
  }
  return removed;
}

}  // namespace tarnwick
