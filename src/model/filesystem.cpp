#include "model/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <iterator>

namespace tarnwick {

namespace {

// Reads a whole regular file opened with the given extra flags.
bool readWhole(const std::string& path, std::string& bytes, int flags) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  bytes.clear();
  // Sized once from the file's length, so that a large file is not copied again at
  // every growth of the buffer.
  if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

// Takes an exclusive lock on the file or folder just opened as fd (a failed open: -1);
// the descriptor becomes the handle, or is closed when the lock is not taken.
LockResult lockOpened(int fd, int& handle) {
  if (fd < 0) return LockResult::Failed;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
  }
  handle = fd;
  return LockResult::Taken;
}

}  // namespace

bool DiskFileSystem::readFile(const std::string& path, std::string& bytes) { return readWhole(path, bytes, 0); }

bool DiskFileSystem::readFileNoFollow(const std::string& path, std::string& bytes) {
  return readWhole(path, bytes, O_NOFOLLOW);
}

bool DiskFileSystem::writeFile(const std::string& linkOrPath, const std::string& bytes) {
  // A symbolic link stays a link: the new content replaces the file it points to, so
  // that a file shared through links is not split off into a private copy.
  std::string path = linkOrPath;
  struct stat lst;
  if (lstat(linkOrPath.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(linkOrPath.c_str(), resolved)) path = resolved;
  }
  std::size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmp = (slash == std::string::npos ? std::string() : dir) + "." + name + ".tw-XXXXXX";
  std::vector<char> templ(tmp.begin(), tmp.end());
  templ.push_back('\0');
  int fd = mkstemp(templ.data());
  if (fd < 0) return false;
  std::string tmpPath(templ.data());
  // Keep the access rights of the file being replaced; a new file gets the usual ones.
  struct stat st;
  mode_t mode = 0644;
  if (stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      ::unlink(tmpPath.c_str());
      return false;
    }
    mode = st.st_mode & 07777;
    // A read-only file stays protected: it is not silently replaced.
    if (access(path.c_str(), W_OK) != 0) {
      ::close(fd);
      ::unlink(tmpPath.c_str());
      return false;
    }
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = fchmod(fd, mode) == 0;
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmpPath.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmpPath.c_str());
  return ok;
}

bool DiskFileSystem::exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool DiskFileSystem::isRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

long long DiskFileSystem::fileSize(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

bool DiskFileSystem::ensureFile(const std::string& path) {
  if (isRegularFile(path)) return true;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return isRegularFile(path);
  return ::close(fd) == 0;
}

bool DiskFileSystem::makeDirectory(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  return isDirectory(path);
}

bool DiskFileSystem::isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DiskFileSystem::listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  entries.clear();
  DIR* d = opendir(path.c_str());
  if (!d) return false;
  std::string base = path.empty() || path.back() == '/' ? path : path + "/";
  bool ok = true;
  for (;;) {
    // readdir gives no entry both at the end and on an error; only errno tells them apart.
    errno = 0;
    struct dirent* e = readdir(d);
    if (!e) {
      ok = errno == 0;
      break;
    }
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = name;
    struct stat st;
    if (lstat((base + name).c_str(), &st) != 0) {
      // An entry removed since it was listed is simply gone; any other failure means
      // the folder's content is not known.
      if (errno == ENOENT) continue;
      ok = false;
      break;
    }
    entry.isDirectory = S_ISDIR(st.st_mode);
    entry.isRegular = S_ISREG(st.st_mode);
    if (S_ISLNK(st.st_mode) && stat((base + name).c_str(), &st) == 0) {
      entry.isDirectory = S_ISDIR(st.st_mode);
      entry.isRegular = S_ISREG(st.st_mode);
    }
    entries.push_back(entry);
  }
  closedir(d);
  if (!ok) entries.clear();
  return ok;
}

LockResult DiskFileSystem::lockFile(const std::string& path, int& handle) {
  return lockOpened(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), handle);
}

namespace {

// The folder part of a path with its "/", and the name after it.
void splitPath(const std::string& path, std::string& dir, std::string& name) {
  std::size_t slash = path.rfind('/');
  dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryTemplate(const std::string& target) {
  std::string dir, name;
  splitPath(target, dir, name);
  return dir + "." + name + ".tw-XXXXXX";
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes, syncs and closes; the mode is set explicitly so that the umask does not
// narrow the bits of a copy.
bool fillAndClose(int fd, const std::string& bytes, unsigned mode, bool sync) {
  bool ok = fchmod(fd, static_cast<mode_t>(mode & 07777)) == 0 && writeAll(fd, bytes) && (!sync || fsync(fd) == 0);
  if (::close(fd) != 0) ok = false;
  return ok;
}

}  // namespace

bool isTemporaryName(const std::string& name) {
  const std::size_t tail = 4 + 6;  // ".tw-" and six characters
  if (name.size() < 2 + tail || name[0] != '.') return false;
  if (name.compare(name.size() - tail, 4, ".tw-") != 0) return false;
  for (std::size_t i = name.size() - 6; i < name.size(); ++i)
    if (!isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

std::string lexicallyNormal(const std::string& path) {
  const bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") parts.pop_back();
      else if (!absolute) parts.push_back(part);
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string out = absolute ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out;
}

std::string pathBelow(const std::string& folder, const std::string& path) {
  std::string base = lexicallyNormal(folder);
  if (base != "/") base += "/";
  const std::string file = lexicallyNormal(path);
  if (file.size() > base.size() && file.compare(0, base.size(), base) == 0) return file.substr(base.size());
  return std::string();
}

PathInfo DiskFileSystem::inspect(const std::string& path) {
  struct stat st;
  PathInfo info;
  if (lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) info.kind = PathKind::Unknown;
    return info;
  }
  info.mode = st.st_mode & 07777;
  info.size = static_cast<long long>(st.st_size);
  info.modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  info.statusChanged = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
  if (S_ISLNK(st.st_mode)) info.kind = PathKind::Symlink;
  else if (S_ISREG(st.st_mode)) info.kind = PathKind::Regular;
  else if (S_ISDIR(st.st_mode)) info.kind = PathKind::Directory;
  else info.kind = PathKind::Other;
  return info;
}

std::string DiskFileSystem::resolveLink(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string DiskFileSystem::fileIdentity(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return path;
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

bool DiskFileSystem::isWritable(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

unsigned DiskFileSystem::newFileMode() {
  // The umask can only be read by setting it; it is read once, before any worker runs.
  static const unsigned mode = [] {
    mode_t mask = umask(0);
    umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
  }();
  return mode;
}

bool DiskFileSystem::writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                                    std::string& tempPath, bool sync) {
  std::string templ = temporaryTemplate(target);
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  tempPath = name.data();
  if (!fillAndClose(fd, bytes, mode, sync)) {
    ::unlink(tempPath.c_str());
    return false;
  }
  return true;
}

bool DiskFileSystem::makeTemporaryDirectory(const std::string& target, std::string& tempPath) {
  std::string templ = temporaryTemplate(target);
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) return false;
  tempPath = name.data();
  // A folder made the usual way: mkdtemp keeps it private.
  if (chmod(tempPath.c_str(), static_cast<mode_t>(0777u & (newFileMode() | 0111u))) != 0) {
    ::rmdir(tempPath.c_str());
    return false;
  }
  return true;
}

bool DiskFileSystem::writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool sync) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (!fillAndClose(fd, bytes, mode, sync)) {
    ::unlink(path.c_str());
    return false;
  }
  return true;
}

bool DiskFileSystem::renamePath(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool DiskFileSystem::removePath(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
  bool ok = true;
  if (DIR* d = opendir(path.c_str())) {
    std::vector<std::string> names;
    while (struct dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
    for (const std::string& name : names) ok &= removePath(path + "/" + name);
  }
  return ::rmdir(path.c_str()) == 0 && ok;
}

bool DiskFileSystem::syncDirectory(const std::string& path) {
  int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool DiskFileSystem::syncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  ::close(fd);
  return ok;
}

LockResult DiskFileSystem::lockDirectory(const std::string& path, int& handle) {
  return lockOpened(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), handle);
}

void DiskFileSystem::unlockDirectory(int handle) {
  if (handle >= 0) ::close(handle);
}

// ---- in-memory ----

bool MemoryFileSystem::readFile(const std::string& path, std::string& bytes) {
  called("read", path);
  if (unreadable.count(path)) return false;
  auto it = files.find(path);
  if (it == files.end()) return false;
  bytes = it->second;
  return true;
}

bool MemoryFileSystem::writeFile(const std::string& path, const std::string& bytes) {
  if (readOnly.count(path) || directories.count(path)) return false;
  files[path] = bytes;
  ++writes;
  return true;
}

bool MemoryFileSystem::exists(const std::string& path) {
  return files.count(path) || directories.count(path);
}

bool MemoryFileSystem::isRegularFile(const std::string& path) { return files.count(path) > 0; }

long long MemoryFileSystem::fileSize(const std::string& path) {
  auto it = files.find(path);
  return it == files.end() ? -1 : static_cast<long long>(it->second.size());
}

bool MemoryFileSystem::ensureFile(const std::string& path) {
  if (files.count(path)) return true;
  if (readOnly.count(path) || directories.count(path)) return false;
  files[path] = std::string();
  return true;
}

bool MemoryFileSystem::makeDirectory(const std::string& path) {
  if (files.count(path)) return false;
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  directories.insert(p);
  return true;
}

bool MemoryFileSystem::isDirectory(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return directories.count(p) > 0;
}

PathInfo MemoryFileSystem::inspect(const std::string& path) {
  called("inspect", path);
  PathInfo info;
  if (unexaminable.count(path)) {
    info.kind = PathKind::Unknown;
  } else if (auto file = files.find(path); file != files.end()) {
    info.kind = PathKind::Regular;
    auto it = modes.find(path);
    info.mode = it == modes.end() ? 0644 : it->second;
    info.size = static_cast<long long>(file->second.size());
    // Every content has its own time here, as if each change of a file took a moment.
    info.modified = info.statusChanged = static_cast<long long>(std::hash<std::string>()(file->second) >> 1);
  } else if (isDirectory(path)) {
    info.kind = PathKind::Directory;
    info.mode = 0755;
  }
  return info;
}

bool MemoryFileSystem::writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                                      std::string& tempPath, bool) {
  called("temporary", target);
  if (readOnly.count(target) || isDirectory(target)) return false;
  std::string t = temporaryTemplate(target);
  std::string suffix = std::to_string(100000 + ++temporaries_);
  tempPath = t.substr(0, t.size() - 6) + suffix.substr(suffix.size() - 6);
  files[tempPath] = bytes;
  modes[tempPath] = mode;
  ++writes;
  return true;
}

bool MemoryFileSystem::makeTemporaryDirectory(const std::string& target, std::string& tempPath) {
  if (readOnly.count(target)) return false;
  std::string t = temporaryTemplate(target);
  std::string suffix = std::to_string(100000 + ++temporaries_);
  tempPath = t.substr(0, t.size() - 6) + suffix.substr(suffix.size() - 6);
  directories.insert(tempPath);
  return true;
}

bool MemoryFileSystem::writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool) {
  if (exists(path) || readOnly.count(path)) return false;
  files[path] = bytes;
  modes[path] = mode;
  ++writes;
  return true;
}

bool MemoryFileSystem::renamePath(const std::string& from, const std::string& to) {
  called("rename", to);
  if (failRenames.count(to)) return false;
  ++renames;
  if (files.count(from)) {
    files[to] = files[from];
    files.erase(from);
    auto m = modes.find(from);
    if (m != modes.end()) {
      modes[to] = m->second;
      modes.erase(m);
    } else {
      modes.erase(to);
    }
    return true;
  }
  if (!isDirectory(from)) return false;
  // A folder moves with everything below it.
  const std::string base = from + "/";
  std::map<std::string, std::string> moved;
  for (auto it = files.begin(); it != files.end();) {
    if (it->first.rfind(base, 0) == 0) {
      moved[to + "/" + it->first.substr(base.size())] = it->second;
      it = files.erase(it);
    } else {
      ++it;
    }
  }
  files.insert(moved.begin(), moved.end());
  std::set<std::string> dirs;
  for (auto it = directories.begin(); it != directories.end();) {
    if (*it == from || it->rfind(base, 0) == 0) {
      dirs.insert(to + it->substr(from.size()));
      it = directories.erase(it);
    } else {
      ++it;
    }
  }
  directories.insert(dirs.begin(), dirs.end());
  return true;
}

bool MemoryFileSystem::removePath(const std::string& path) {
  called("remove", path);
  files.erase(path);
  modes.erase(path);
  const std::string base = path + "/";
  for (auto it = files.begin(); it != files.end();) it = it->first.rfind(base, 0) == 0 ? files.erase(it) : std::next(it);
  for (auto it = directories.begin(); it != directories.end();)
    it = (*it == path || it->rfind(base, 0) == 0) ? directories.erase(it) : std::next(it);
  return true;
}

LockResult MemoryFileSystem::lockDirectory(const std::string& path, int& handle) {
  if (locked.count(path)) return LockResult::Busy;
  locked.insert(path);
  handle = static_cast<int>(lockHandles_.size()) + 1;
  while (lockHandles_.count(handle)) ++handle;
  lockHandles_[handle] = path;
  return LockResult::Taken;
}

void MemoryFileSystem::unlockDirectory(int handle) {
  auto it = lockHandles_.find(handle);
  if (it == lockHandles_.end()) return;
  locked.erase(it->second);
  lockHandles_.erase(it);
}

bool MemoryFileSystem::listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  entries.clear();
  if (unlistable.count(path)) return false;
  std::string base = path.empty() || path.back() == '/' ? path : path + "/";
  std::set<std::string> seen;
  for (const auto& [p, bytes] : files) {
    if (p.rfind(base, 0) != 0) continue;
    std::string rest = p.substr(base.size());
    if (rest.empty() || rest.find('/') != std::string::npos) continue;
    entries.push_back({rest, false, true});
  }
  for (const std::string& d : directories) {
    if (d.rfind(base, 0) != 0) continue;
    std::string rest = d.substr(base.size());
    if (rest.empty() || rest.find('/') != std::string::npos) continue;
    entries.push_back({rest, true, false});
  }
  return true;
}

}  // namespace tarnwick
