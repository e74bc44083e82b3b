#include "run/commit.h"

#include <map>
#include <set>
#include <sstream>

namespace tarnwick {

const char* const kJournalName = ".tarnwick-journal";
const char* const kRestoreName = ".restore";

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

std::string journalText(const std::vector<JournalEntry>& entries) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const JournalEntry& e : entries)
    text += e.kind + "\t" + escapeField(e.temporary) + "\t" + escapeField(e.target) + "\n";
  return text;
}

std::vector<JournalEntry> parseJournal(const std::string& text) {
  std::vector<JournalEntry> entries;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kJournalHeader) return entries;
  while (std::getline(in, line)) {
    std::size_t a = line.find('\t');
    std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    if (b == std::string::npos) continue;
    entries.push_back({line.substr(0, a), unescapeField(line.substr(a + 1, b - a - 1)), unescapeField(line.substr(b + 1))});
  }
  return entries;
}

// Renames one entry into place. A folder that replaces a link or a file in the backup
// removes it first; a link is never followed.
bool putInPlace(FileSystem& fs, const JournalEntry& e) {
  if (e.kind == "remove") return fs.inspect(e.target).kind == PathKind::Missing || fs.removePath(e.target);
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
      removed |= fs.removePath(path);
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

std::string restoreRecord(const ChangeSet& changes, const std::string& dir) {
  std::map<std::string, std::string> copies;  // original, normalised -> place below Backup
  for (const BackupCopy& c : changes.backupCopies()) copies.emplace(lexicallyNormal(c.original), c.relative);
  std::string text = std::string(kRestoreHeader) + "\n";
  for (const PendingChange& c : changes.changes()) {
    const std::string path = escapeField(recordPath(dir, c.path));
    auto copy = copies.find(lexicallyNormal(c.path));
    if (c.created || copy == copies.end()) text += "created\t" + path + "\n";
    else text += std::string(c.removes ? "removed" : "changed") + "\t" + path + "\t" + escapeField(copy->second) + "\n";
  }
  return text;
}

bool commitChanges(StageContext& ctx) {
  FileSystem& fs = ctx.fs;
  ChangeSet& changes = ctx.changes;
  // Nothing to change: the backup is dropped too, so that the copies of the run that
  // last changed something stay.
  if (!changes.hasChanges()) {
    changes.discard(fs);
    return true;
  }
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  // A run always backs up before it changes anything; only a generation step run on
  // its own (in a test) comes here without a backup.
  if (!changes.backupFolder().empty() && !changes.stageBackupCopy(fs, kRestoreName, restoreRecord(changes, dir), fs.newFileMode())) {
    ctx.logFileError(" -> Error File " + fromUtf8(changes.backupFolder() + "/" + kRestoreName) + " / " +
                     fileErrorText());
    ctx.log(" -> Error: no backup, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  if (!changes.syncBackup(fs)) {
    ctx.logFileError(" -> Error File " + fromUtf8(changes.backupFolder()) + " / " + fileErrorText());
    ctx.log(" -> Error: no backup, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  for (const std::string& folder : changes.backupDirectories()) fs.syncDirectory(folder);

  std::vector<JournalEntry> entries;
  for (const PendingChange& c : changes.backupChanges())
    entries.push_back({c.directory ? (c.replaces ? "replace" : "folder") : "file", c.temporary, c.target});
  for (const PendingChange& c : changes.changes()) entries.push_back({c.removes ? "remove" : "file", c.temporary, c.target});

  // The journal is in place and durable before the first rename.
  const std::string journal = dir + kJournalName;
  std::string temporary;
  if (!fs.writeTemporary(journal, journalText(entries), 0600, temporary) || !fs.renamePath(temporary, journal) ||
      !fs.syncDirectory(folderPath(dir))) {
    if (!temporary.empty()) fs.removePath(temporary);
    fs.removePath(journal);
    ctx.logFileError(" -> Error File " + fromUtf8(journal) + " / " + fileErrorText());
    ctx.log(" -> Error: a file could not be written, no file was changed. Stop!");
    changes.discard(fs);
    return false;
  }
  for (const JournalEntry& e : entries) {
    if (putInPlace(fs, e)) continue;
    ctx.logFileError(" -> Error File " + fromUtf8(e.target) + " / " + fileErrorText());
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
  return true;
}

Recovery recoverInterruptedRun(FileSystem& fs, const std::string& dir) {
  Recovery result = Recovery::Nothing;
  const std::string journal = dir + kJournalName;
  std::string text;
  if (fs.inspect(journal).kind != PathKind::Missing) {
    // Without its journal the temporaries could not be told apart, so a journal that
    // cannot be read stops everything.
    if (!fs.readFile(journal, text)) return Recovery::Failed;
    // A temporary that is gone was renamed already; each is renamed once.
    std::vector<JournalEntry> entries = parseJournal(text);
    for (const JournalEntry& e : entries) {
      const bool pending = e.kind == "remove" || fs.inspect(e.temporary).kind != PathKind::Missing;
      if (pending && !putInPlace(fs, e)) return Recovery::Failed;
    }
    syncParents(fs, entries);
    if (!fs.removePath(journal)) return Recovery::Failed;
    fs.syncDirectory(folderPath(dir));
    result = Recovery::Completed;
  }
  bool removed = removeTemporaries(fs, folderPath(dir), false);
  const std::string backup = dir + "Backup";
  if (fs.inspect(backup).kind == PathKind::Directory) removed |= removeTemporaries(fs, backup, true);
  if (removed && result == Recovery::Nothing) result = Recovery::Removed;
  return result;
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
