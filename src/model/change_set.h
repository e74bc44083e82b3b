// The files a run is about to change. Every new content is written whole into a
// temporary file (or, for a backup folder that is not there yet, a temporary folder)
// beside its target as soon as the run has it; nothing of the user's files changes
// until the run's one commit renames them all into place.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/filesystem.h"

namespace tarnwick {

struct PendingChange {
  std::string path;       // the file as the run names it; a link stays a link
  std::string target;     // what the rename replaces: path, or the file a link points to
  std::string temporary;  // where the new content waits
  bool directory = false; // a temporary folder that becomes target as a whole
  bool replaces = false;  // a link or file in the folder's place is removed first
  bool created = false;   // target did not exist
  bool removes = false;   // the commit removes target; there is no temporary
  std::string digest;     // contentDigest of the new content
};

// One file of the backup: where it came from and where its copy lies below Backup/.
struct BackupCopy {
  std::string original;
  std::string relative;
};

enum class StageResult { Changed, Unchanged, Failed };

class ChangeSet {
 public:
  // A new content for one of the user's files. Content equal to the file's present
  // bytes stages nothing; a later content for the same file replaces an earlier one.
  // Fails, staging nothing, when the file is read-only or no regular file, or when
  // the temporary file cannot be written.
  StageResult stageFile(FileSystem& fs, const std::string& path, const std::string& bytes);
  // Moves the staged change of the file at path (if any) behind all others, so that the
  // commit puts files in place in the order the run names them.
  void moveToEnd(FileSystem& fs, const std::string& path);
  // The removal of a file, done by the commit; a file that is not there stages nothing.
  StageResult stageRemoval(FileSystem& fs, const std::string& path);

  // Opens the backup in folder (the project's Backup). False when folder is a link or
  // something other than a folder.
  bool beginBackup(FileSystem& fs, const std::string& folder);
  // Stages a copy at folder + "/" + relative with the given permission bits. A link or
  // file in the way of a subfolder is replaced, a link at the copy's place as well;
  // nothing is ever written through a link. False when the copy cannot be written.
  bool stageBackupCopy(FileSystem& fs, const std::string& relative, const std::string& bytes, unsigned mode,
                       const std::string& original = std::string());
  const std::string& backupFolder() const { return backupFolder_; }
  const std::vector<BackupCopy>& backupCopies() const { return backupCopies_; }
  // Makes the backup's copies durable: they are written without a sync, since a run that
  // changes nothing drops them. False when one cannot be synced.
  bool syncBackup(FileSystem& fs) const;
  // The folders that the backup made, which must be synced before they are renamed.
  const std::vector<std::string>& backupDirectories() const { return backupDirectories_; }

  // The changes to the user's files, in the order they were staged, and the
  // backup's own, which the commit puts in place first.
  const std::vector<PendingChange>& changes() const { return changes_; }
  const std::vector<PendingChange>& backupChanges() const { return backup_; }
  bool hasChanges() const { return !changes_.empty(); }

  // Removes every temporary file and folder; the set is empty afterwards.
  void discard(FileSystem& fs);

 private:
  // Where the folder dir of the backup is to be written now: the folder itself, or
  // its place inside a temporary folder. Empty when it cannot be made.
  std::string backupPlace(FileSystem& fs, const std::string& dir);

  std::vector<PendingChange> changes_;
  std::vector<PendingChange> backup_;
  std::string backupFolder_;
  std::vector<BackupCopy> backupCopies_;
  std::vector<std::string> backupDirectories_;
  std::vector<std::string> unsynced_;  // the copies, where they are written now
  // Final folder -> the temporary folder that stands for it until the commit.
  std::map<std::string, std::string> backupPlaces_;
};

}  // namespace tarnwick
