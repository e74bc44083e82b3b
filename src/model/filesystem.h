// The engine reaches the disk only through this interface, so that every step can be
// tested against an in-memory folder that can also fail on purpose.
#pragma once

#include <functional>
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

// What a path itself is: a symbolic link is reported as a link, not followed. Unknown:
// the path could not be examined (an I/O error, no permission), which is not the same
// as its absence.
enum class PathKind { Missing, Regular, Directory, Symlink, Other, Unknown };
struct PathInfo {
  PathKind kind = PathKind::Missing;
  unsigned mode = 0;  // permission bits (07777) of the path itself
  long long size = -1;
  // Modification and status change times in nanoseconds: with the size they tell
  // whether a file may have changed since it was read.
  long long modified = 0;
  long long statusChanged = 0;
};

// The outcome of asking for a folder's lock.
enum class LockResult { Taken, Busy, Failed };

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
  // Lists a folder. False when it cannot be read to its end (a failed read of the
  // folder is not its end) or an entry cannot be examined.
  virtual bool listDirectory(const std::string& path, std::vector<DirEntry>& entries) = 0;
  // Reads a regular file that is not a symbolic link; a link is never followed.
  virtual bool readFileNoFollow(const std::string& path, std::string& bytes) {
    return inspect(path).kind == PathKind::Regular && readFile(path, bytes);
  }

  // The pieces of a run's one commit. A new content first goes to a temporary file
  // ".NAME.tw-XXXXXX" beside its target, written whole and synced; only then is it
  // renamed over the target.
  virtual PathInfo inspect(const std::string& path) = 0;
  // The file a symbolic link finally points to; any other path as it is.
  virtual std::string resolveLink(const std::string& path) = 0;
  // A key that two paths of one file share (a link and the file it points to, two hard
  // links, a path through a linked folder); the path itself when it cannot be examined.
  virtual std::string fileIdentity(const std::string& path) { return resolveLink(path); }
  // True when the existing file may be written by this user.
  virtual bool isWritable(const std::string& path) = 0;
  // The permission bits a newly created file gets (the process's umask applied).
  virtual unsigned newFileMode() = 0;
  // Writes bytes into a new temporary file beside target with the given permission
  // bits and, unless sync is false, syncs it; tempPath receives its path. target itself
  // is not touched.
  virtual bool writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                              std::string& tempPath, bool sync = true) = 0;
  // Creates a new temporary folder beside target; tempPath receives its path.
  virtual bool makeTemporaryDirectory(const std::string& target, std::string& tempPath) = 0;
  // Creates a file that must not exist yet (a link is never followed), writes it and,
  // unless sync is false, syncs it.
  virtual bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync = true) = 0;
  // Makes a file's content durable.
  virtual bool syncFile(const std::string& path) = 0;
  // Renames a file or folder; a link at to is replaced, never followed.
  virtual bool renamePath(const std::string& from, const std::string& to) = 0;
  // Removes a file, a link or a folder with everything in it (links are not followed).
  virtual bool removePath(const std::string& path) = 0;
  // Makes the entries of a folder durable.
  virtual bool syncDirectory(const std::string& path) = 0;
  // An exclusive lock on a folder, held until unlockDirectory or the end of the process.
  virtual LockResult lockDirectory(const std::string& path, int& handle) = 0;
  virtual void unlockDirectory(int handle) = 0;
  // An exclusive lock on a file (the file a link points to), held until unlockFile or
  // the end of the process.
  virtual LockResult lockFile(const std::string& path, int& handle) = 0;
  virtual void unlockFile(int handle) = 0;
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
  PathInfo inspect(const std::string& path) override;
  std::string resolveLink(const std::string& path) override;
  std::string fileIdentity(const std::string& path) override;
  bool isWritable(const std::string& path) override;
  unsigned newFileMode() override;
  bool writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                      std::string& tempPath, bool sync = true) override;
  bool makeTemporaryDirectory(const std::string& target, std::string& tempPath) override;
  bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync = true) override;
  bool renamePath(const std::string& from, const std::string& to) override;
  bool removePath(const std::string& path) override;
  bool syncDirectory(const std::string& path) override;
  bool syncFile(const std::string& path) override;
  LockResult lockDirectory(const std::string& path, int& handle) override;
  void unlockDirectory(int handle) override;
  LockResult lockFile(const std::string& path, int& handle) override;
  void unlockFile(int handle) override { unlockDirectory(handle); }
  bool readFileNoFollow(const std::string& path, std::string& bytes) override;
};

// True for the name of a temporary file or folder of an unfinished write:
// ".NAME.tw-XXXXXX".
bool isTemporaryName(const std::string& name);

// The path with "." and ".." folded away and doubled "/" merged, without looking at
// the disk; no "/" at its end.
std::string lexicallyNormal(const std::string& path);
// A path below folder (both taken lexically) as relative to it; empty when it does not
// lie below folder.
std::string pathBelow(const std::string& folder, const std::string& path);

// An in-memory folder tree for tests. Paths are taken as given (no normalisation).
// Paths in readOnly refuse writes (also of temporary files meant for them); paths in
// unreadable refuse reads; renames onto a path in failRenames fail; folders in locked
// are held by another run (files too); folders in unlistable cannot be listed, paths in
// unexaminable cannot be examined. beforeCall, when set, is called with the name of
// the operation ("read", "inspect", "temporary", "rename", "remove") and its path before
// each such call, so that a test can change a file at a chosen moment.
class MemoryFileSystem : public FileSystem {
 public:
  std::set<std::string> unlistable;
  std::set<std::string> unexaminable;
  std::function<void(const std::string& op, const std::string& path)> beforeCall;
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::map<std::string, unsigned> modes;
  std::set<std::string> readOnly;
  std::set<std::string> unreadable;
  std::set<std::string> failRenames;
  std::set<std::string> locked;
  int writes = 0;
  int renames = 0;

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
  std::string resolveLink(const std::string& path) override { return path; }
  bool isWritable(const std::string& path) override { return !readOnly.count(path); }
  unsigned newFileMode() override { return 0644; }
  bool writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                      std::string& tempPath, bool sync = true) override;
  bool makeTemporaryDirectory(const std::string& target, std::string& tempPath) override;
  bool writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync = true) override;
  bool renamePath(const std::string& from, const std::string& to) override;
  bool removePath(const std::string& path) override;
  bool syncDirectory(const std::string&) override { return true; }
  bool syncFile(const std::string& path) override { return files.count(path) > 0; }
  LockResult lockDirectory(const std::string& path, int& handle) override;
  void unlockDirectory(int handle) override;
  LockResult lockFile(const std::string& path, int& handle) override { return lockDirectory(path, handle); }
  void unlockFile(int handle) override { unlockDirectory(handle); }

 private:
  void called(const char* op, const std::string& path) {
    if (beforeCall) beforeCall(op, path);
  }
  int temporaries_ = 0;
  std::map<int, std::string> lockHandles_;
};

}  // namespace tarnwick
