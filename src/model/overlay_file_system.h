// A file system that takes every write into memory and reads through to the one below
// it, so that a whole run, its commit included, can go through exactly as a real run
// and leave the disk untouched: the dry run and the preview.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/filesystem.h"

namespace tarnwick {

class OverlayFileSystem : public FileSystem {
 public:
  explicit OverlayFileSystem(FileSystem& base) : base_(base) {}

  bool readFile(const std::string& path, std::string& bytes) override;
  bool writeFile(const std::string& path, const std::string& bytes) override;
  bool exists(const std::string& path) override;
  bool isRegularFile(const std::string& path) override;
  long long fileSize(const std::string& path) override;
  bool ensureFile(const std::string& path) override;
  bool makeDirectory(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) override;
  PathInfo inspect(const std::string& path) override;
  std::string resolveLink(const std::string& path) override;
  // The files a run asks this of are never the ones it writes.
  std::string fileIdentity(const std::string& path) override { return base_.fileIdentity(path); }
  bool isWritable(const std::string& path) override;
  unsigned newFileMode() override { return base_.newFileMode(); }
  bool writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                      std::string& tempPath, bool sync = true) override;
  bool makeTemporaryDirectory(const std::string& target, std::string& tempPath) override;
  bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync = true) override;
  bool syncFile(const std::string& path) override { return isRegularFile(path); }
  bool renamePath(const std::string& from, const std::string& to) override;
  bool removePath(const std::string& path) override;
  bool syncDirectory(const std::string&) override { return true; }
  // The lock is the real one: it changes nothing on disk and keeps a dry run from
  // reading the files of a run that is committing.
  LockResult lockDirectory(const std::string& path, int& handle) override { return base_.lockDirectory(path, handle); }
  void unlockDirectory(int handle) override { base_.unlockDirectory(handle); }
  LockResult lockFile(const std::string& path, int& handle) override { return base_.lockFile(path, handle); }
  void unlockFile(int handle) override { base_.unlockFile(handle); }
  bool readFileNoFollow(const std::string& path, std::string& bytes) override;

 private:
  struct Node {
    enum Kind { File, Directory, Gone } kind = File;
    std::string bytes;
    unsigned mode = 0644;
  };
  // The node that decides about a (normalised) path: its own, or a gone one when a
  // folder above it was made, replaced or removed here; nullptr when the disk below
  // decides.
  const Node* find(const std::string& key) const;
  // True when a new entry may be made in the folder, as the disk would allow it.
  bool canCreateIn(const std::string& folder);
  // Takes a file or folder of the disk below into memory at key.
  bool copyUp(const std::string& from, const std::string& key);
  void eraseBelow(const std::string& key);
  std::string temporaryName(const std::string& target);

  FileSystem& base_;
  std::map<std::string, Node> nodes_;
  int temporaries_ = 0;
};

}  // namespace tarnwick
