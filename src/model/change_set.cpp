#include "model/change_set.h"

#include <algorithm>

#include "model/read_stamps.h"

namespace tarnwick {

namespace {

std::string parentOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StageResult ChangeSet::stageFile(FileSystem& fs, const std::string& path, const std::string& bytes) {
  const std::string target = fs.resolveLink(path);
  // A later content for the same file replaces the earlier one, so that no file is
  // renamed into place twice.
  auto earlier = std::find_if(changes_.begin(), changes_.end(),
                              [&](const PendingChange& c) { return c.target == target; });
  if (earlier != changes_.end()) {
    if (!earlier->temporary.empty()) fs.removePath(earlier->temporary);
    changes_.erase(earlier);
  }

  PathInfo info = fs.inspect(target);
  unsigned mode = fs.newFileMode();
  bool created = true;
  if (info.kind == PathKind::Regular) {
    // A read-only file stays protected: it is not silently replaced.
    if (!fs.isWritable(target)) return StageResult::Failed;
    // A file of another size has changed; one of the same size is read to compare.
    std::string present;
    if (fs.fileSize(target) == static_cast<long long>(bytes.size()) && fs.readFile(target, present) &&
        present == bytes)
      return StageResult::Unchanged;
    mode = info.mode;
    created = false;
  } else if (info.kind != PathKind::Missing) {
    // A folder or a device is no file to replace, and a link that leads nowhere says
    // nothing about where the file should be.
    return StageResult::Failed;
  }
  std::string temporary;
  if (!fs.writeTemporary(target, bytes, mode, temporary)) return StageResult::Failed;
  changes_.push_back({path, target, temporary, false, false, created, false, contentDigest(bytes)});
  return StageResult::Changed;
}

void ChangeSet::moveToEnd(FileSystem& fs, const std::string& path) {
  const std::string target = fs.resolveLink(path);
  auto it = std::find_if(changes_.begin(), changes_.end(), [&](const PendingChange& c) { return c.target == target; });
  if (it != changes_.end()) std::rotate(it, it + 1, changes_.end());
}

StageResult ChangeSet::stageRemoval(FileSystem& fs, const std::string& path) {
  std::erase_if(changes_, [&](const PendingChange& c) {
    if (c.target != path) return false;
    if (!c.temporary.empty()) fs.removePath(c.temporary);
    return true;
  });
  PathInfo info = fs.inspect(path);
  if (info.kind == PathKind::Missing) return StageResult::Unchanged;
  if (info.kind != PathKind::Regular && info.kind != PathKind::Symlink) return StageResult::Failed;
  changes_.push_back({path, path, std::string(), false, false, false, true, std::string()});
  return StageResult::Changed;
}

bool ChangeSet::beginBackup(FileSystem& fs, const std::string& folder) {
  backupFolder_ = folder;
  PathInfo info = fs.inspect(folder);
  return info.kind == PathKind::Missing || info.kind == PathKind::Directory;
}

std::string ChangeSet::backupPlace(FileSystem& fs, const std::string& dir) {
  auto known = backupPlaces_.find(dir);
  if (known != backupPlaces_.end()) return known->second;
  std::string place;
  if (dir != backupFolder_) {
    if (dir.size() <= backupFolder_.size() || dir.compare(0, backupFolder_.size() + 1, backupFolder_ + "/") != 0)
      return std::string();  // not below the backup folder
    std::string parent = backupPlace(fs, parentOf(dir));
    if (parent.empty()) return std::string();
    if (parent != parentOf(dir)) {
      // Inside a folder that is new as a whole: made there directly.
      place = parent + "/" + nameOf(dir);
      if (!fs.makeDirectory(place)) return std::string();
      backupDirectories_.push_back(place);
      return backupPlaces_[dir] = place;
    }
  }
  PathInfo info = fs.inspect(dir);
  if (info.kind == PathKind::Directory) return backupPlaces_[dir] = dir;
  if ((dir == backupFolder_ && info.kind != PathKind::Missing) || info.kind == PathKind::Unknown) return std::string();
  // Missing, or a link or file in the folder's way: a temporary folder takes its place
  // at the commit, so that no copy is ever written through a link.
  if (!fs.makeTemporaryDirectory(dir, place)) return std::string();
  backup_.push_back({dir, dir, place, true, info.kind != PathKind::Missing, info.kind == PathKind::Missing, false, std::string()});
  backupDirectories_.push_back(place);
  return backupPlaces_[dir] = place;
}

bool ChangeSet::stageBackupCopy(FileSystem& fs, const std::string& relative, const std::string& bytes,
                                unsigned mode, const std::string& original) {
  const std::string finalPath = backupFolder_ + "/" + relative;
  const std::string dir = backupPlace(fs, parentOf(finalPath));
  if (dir.empty()) return false;
  if (dir != parentOf(finalPath)) {
    const std::string place = dir + "/" + nameOf(finalPath);
    if (!fs.writeNewFile(place, bytes, mode, false)) return false;
    unsynced_.push_back(place);
  } else {
    if (fs.inspect(finalPath).kind == PathKind::Directory) return false;
    std::string temporary;
    if (!fs.writeTemporary(finalPath, bytes, mode, temporary, false)) return false;
    backup_.push_back({finalPath, finalPath, temporary, false, false, false, false, std::string()});
    unsynced_.push_back(temporary);
  }
  if (!original.empty()) backupCopies_.push_back({original, relative});
  return true;
}

bool ChangeSet::syncBackup(FileSystem& fs) const {
  for (const std::string& path : unsynced_)
    if (!fs.syncFile(path)) return false;
  return true;
}

void ChangeSet::discard(FileSystem& fs) {
  for (const PendingChange& c : changes_)
    if (!c.temporary.empty()) fs.removePath(c.temporary);
  for (const PendingChange& c : backup_) fs.removePath(c.temporary);
  *this = ChangeSet();
}

}  // namespace tarnwick
