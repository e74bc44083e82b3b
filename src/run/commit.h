// The one commit of a run's files: the journal that lets a later run finish a commit
// that was cut off, the renames that put every staged content in place, the record of
// what the run changed, and the clean-up after an interrupted run.
#pragma once

#include <string>

#include "model/stage.h"

namespace tarnwick {

// The journal's name in the project folder. It exists only while a commit renames.
extern const char* const kJournalName;
// The record of a run's changes in the backup folder.
extern const char* const kRestoreName;

// Puts every staged change in place: the backup first, then the user's files in the
// order they were staged (the project file is staged last). A run that changes no
// file stages nothing and leaves the backup as it was. False, after a log line, when a
// rename failed part way; the journal then stays, so that the next run completes it.
bool commitChanges(StageContext& ctx);

enum class Recovery { Nothing, Completed, Removed, Failed };

// Completes the renames of an interrupted commit named by the journal of the project
// folder dir (ending in "/"), then removes the temporary files and folders that no
// journal names from the project folder and its backup.
Recovery recoverInterruptedRun(FileSystem& fs, const std::string& dir);
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
