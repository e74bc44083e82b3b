// A file system that passes every call through to the one below and remembers what
// the first read of each file found, so that a run can tell, just before its commit,
// whether a file it replaces or backs up was changed by someone else since it read it.
#pragma once

#include <string_view>
#include <unordered_map>

#include "model/filesystem.h"

namespace tarnwick {

// A short fingerprint of a file's content: its size and a 64-bit FNV-1a hash, in hex.
std::string contentDigest(std::string_view bytes);

class StampingFileSystem : public FileSystem {
 public:
  explicit StampingFileSystem(FileSystem& base) : base_(base) {}

  enum class Still { Same, Changed, NotRead };
  // Whether the file at path (or the file its link points to) still holds what the
  // first read found: the same size and times, or else the same content.
  Still compare(const std::string& path);
  // The same test by size and times alone, reading nothing: for the moment right
  // before a rename, where it must be quick.
  bool looksChanged(const std::string& path);
  // Forgets every read: after a commit the files hold what it put there.
  void forget() { stamps_.clear(); }

  bool readFile(const std::string& path, std::string& bytes) override;
  bool readFileNoFollow(const std::string& path, std::string& bytes) override;
  bool writeFile(const std::string& path, const std::string& bytes) override { return base_.writeFile(path, bytes); }
  bool exists(const std::string& path) override { return base_.exists(path); }
  bool isRegularFile(const std::string& path) override { return base_.isRegularFile(path); }
  long long fileSize(const std::string& path) override { return base_.fileSize(path); }
  bool ensureFile(const std::string& path) override { return base_.ensureFile(path); }
  bool makeDirectory(const std::string& path) override { return base_.makeDirectory(path); }
  bool isDirectory(const std::string& path) override { return base_.isDirectory(path); }
  bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) override {
    return base_.listDirectory(path, entries);
  }
  PathInfo inspect(const std::string& path) override { return base_.inspect(path); }
  std::string resolveLink(const std::string& path) override { return base_.resolveLink(path); }
  std::string fileIdentity(const std::string& path) override { return base_.fileIdentity(path); }
  bool isWritable(const std::string& path) override { return base_.isWritable(path); }
  unsigned newFileMode() override { return base_.newFileMode(); }
  bool writeTemporary(const std::string& target, const std::string& bytes, unsigned mode, std::string& tempPath,
                      bool sync = true) override {
    return base_.writeTemporary(target, bytes, mode, tempPath, sync);
  }
  bool makeTemporaryDirectory(const std::string& target, std::string& tempPath) override {
    return base_.makeTemporaryDirectory(target, tempPath);
  }
  bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync = true) override {
    return base_.writeNewFile(path, bytes, mode, sync);
  }
  bool syncFile(const std::string& path) override { return base_.syncFile(path); }
  bool renamePath(const std::string& from, const std::string& to) override { return base_.renamePath(from, to); }
  bool removePath(const std::string& path) override { return base_.removePath(path); }
  bool syncDirectory(const std::string& path) override { return base_.syncDirectory(path); }
  LockResult lockDirectory(const std::string& path, int& handle) override { return base_.lockDirectory(path, handle); }
  void unlockDirectory(int handle) override { base_.unlockDirectory(handle); }
  LockResult lockFile(const std::string& path, int& handle) override { return base_.lockFile(path, handle); }
  void unlockFile(int handle) override { base_.unlockFile(handle); }

 private:
  struct Stamp {
    PathInfo info;  // taken before the read, so that a change during it is not missed
    std::string digest;
  };
  std::string keyOf(const std::string& path);
  // Reads path (through a last link or not) and stamps it under key on its first read.
  bool readStamped(const std::string& path, const std::string& key, std::string& bytes, bool followLink);

  FileSystem& base_;
  std::unordered_map<std::string, Stamp> stamps_;
};

}  // namespace tarnwick
