// The one commit of a run's files: the journal that lets a later run finish a commit
// that was cut off, the renames that put every staged content in place, the record of
// what the run changed, and the clean-up after an interrupted run.
#pragma once

#include <set>
#include <string>

#include "model/stage.h"

namespace tarnwick {

// The journal's name in the project folder. It exists only while a commit renames.
extern const char* const kJournalName;
// The record of a run's changes in the backup folder.
extern const char* const kRestoreName;

// What a journal was written for: "run" or "restore".
extern const char* const kRunOrigin;
extern const char* const kRestoreOrigin;

// Puts every staged change in place: the backup first, then the user's files in the
// order they were staged (the project file is staged last). A run that changes no
// file stages nothing and leaves the backup as it was. First every file about to be
// replaced or backed up must still hold what the run read: a file changed meanwhile
// stops the commit before anything changes (its path in ctx.changedDuringRun). False,
// after a log line, when the commit stopped or a rename failed part way; in the
// latter case the journal stays, so that the next run completes it.
bool commitChanges(StageContext& ctx, const char* origin = kRunOrigin);

enum class Recovery { Nothing, Completed, CompletedRestore, Removed, Refused, Failed };

// The files outside the project folder dir (ending in "/") that a journal or a restore
// may touch: the include files that dir's Main.pb names now, each as the regular file
// it is (a link among them is left out).
std::set<std::string> includeFilesNamedNow(StageContext& ctx);
// Why a path may not be written by a journal or a restore, or empty when it may: it
// lies in the project folder dir and reaches it through no linked folder, or it is one
// of includes.
std::string outsideTerritory(FileSystem& fs, const std::string& dir, const std::set<std::string>& includes,
                             const std::string& path);
// The place below Backup where a run keeps the copy of path: relative to the project
// folder dir, or "external" followed by its absolute path.
std::string backupPlaceOf(const std::string& dir, const std::string& path);

// Completes the renames of an interrupted commit named by the journal of the project
// folder, then removes the temporary files and folders that no journal names from the
// project folder and its backup. A journal with an entry that no commit writes is not
// carried out: each such entry is logged, and the journal is moved aside under the name
// the log gives. An entry whose rename fails has its temporary moved aside under a
// name the log gives, and the rest goes on. With ctx.dryRun the user files the
// journal changes go to ctx.pendingFromJournal.
Recovery recoverInterruptedRun(StageContext& ctx);
// Locks on files, held until the object goes (or the process ends).
class FileLocks {
 public:
  explicit FileLocks(FileSystem& fs) : fs_(fs) {}
  ~FileLocks();
  FileLocks(const FileLocks&) = delete;
  FileLocks& operator=(const FileLocks&) = delete;
  // Locks the file at path (the file its link points to) unless this object holds it
  // already. Busy when another run holds it; a file that is missing or cannot be
  // locked at all (a file system without locks) gives Failed and keeps no one from
  // working.
  LockResult take(const std::string& path);

 private:
  FileSystem& fs_;
  std::vector<int> handles_;
  std::set<std::string> held_;
};

// Locks every existing file of files, then removes the temporary files an interrupted
// write left beside them. False, after a log line naming it, when another run holds one
// of them: nothing is removed then.
bool lockIncludeFiles(StageContext& ctx, FileLocks& locks, const Lines& files, bool& removedLeftovers);

// Removes the temporary files an interrupted write left beside the given files (or
// beside the files their links point to). True when it removed any.
bool removeLeftoversBeside(FileSystem& fs, const Lines& files);

// The text of the backup's record: for each file the run changes its path (relative to
// the project folder when it lies below it) and the place of its copy below Backup, and
// each file the run creates.
std::string restoreRecord(const ChangeSet& changes, const std::string& dir);

// A path as the record and the journal write it: "\" as "\\", tab as "\t", line feed
// as "\n", so that every field stays on its line; and back.
std::string escapeField(const std::string& field);
std::string unescapeField(const std::string& field);

}  // namespace tarnwick
