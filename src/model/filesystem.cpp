#include "model/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

namespace tarnwick {

bool DiskFileSystem::readFile(const std::string& path, std::string& bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = name;
    struct stat st;
    if (lstat((base + name).c_str(), &st) == 0) {
      entry.isDirectory = S_ISDIR(st.st_mode);
      entry.isRegular = S_ISREG(st.st_mode);
      if (S_ISLNK(st.st_mode) && stat((base + name).c_str(), &st) == 0) {
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.isRegular = S_ISREG(st.st_mode);
      }
    }
    entries.push_back(entry);
  }
  closedir(d);
  return true;
}

// ---- in-memory ----

bool MemoryFileSystem::readFile(const std::string& path, std::string& bytes) {
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

bool MemoryFileSystem::listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  entries.clear();
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
