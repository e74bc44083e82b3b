// The engine reaches the disk only through this interface, so that every step can be
// tested against an in-memory folder that can also fail on purpose.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

struct DirEntry {
  std::string name;
  bool isDirectory = false;
  bool isRegular = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads a whole regular file. False when it does not exist or cannot be read.
  virtual bool readFile(const std::string& path, std::string& bytes) = 0;
  // Replaces a file: the bytes go to a temporary file in the same folder, which is
  // then renamed over the target, so a failure leaves the old file whole. Every write
  // and the close are checked. A symbolic link is followed: the file it points to is
  // replaced and the link stays.
  virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
  virtual bool exists(const std::string& path) = 0;
  virtual bool isRegularFile(const std::string& path) = 0;
  // Size of a regular file, or -1.
  virtual long long fileSize(const std::string& path) = 0;
  // Creates an empty file when none exists; true when a file is there afterwards.
  virtual bool ensureFile(const std::string& path) = 0;
  // Creates a directory; true when it exists afterwards.
  virtual bool makeDirectory(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  virtual bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) = 0;
};

// The real file system (POSIX).
class DiskFileSystem : public FileSystem {
 public:
  bool readFile(const std::string& path, std::string& bytes) override;
  bool writeFile(const std::string& path, const std::string& bytes) override;
  bool exists(const std::string& path) override;
  bool isRegularFile(const std::string& path) override;
  long long fileSize(const std::string& path) override;
  bool ensureFile(const std::string& path) override;
  bool makeDirectory(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) override;
};

// An in-memory folder tree for tests. Paths are taken as given (no normalisation).
// Paths in readOnly refuse writes; paths in unreadable refuse reads.
class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::set<std::string> readOnly;
  std::set<std::string> unreadable;
  int writes = 0;

  bool readFile(const std::string& path, std::string& bytes) override;
  bool writeFile(const std::string& path, const std::string& bytes) override;
  bool exists(const std::string& path) override;
  bool isRegularFile(const std::string& path) override;
  long long fileSize(const std::string& path) override;
  bool ensureFile(const std::string& path) override;
  bool makeDirectory(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) override;
};

}  // namespace tarnwick
