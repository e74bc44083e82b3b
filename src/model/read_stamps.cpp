#include "model/read_stamps.h"

#include <cstdio>

namespace tarnwick {

std::string contentDigest(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  char text[48];
  std::snprintf(text, sizeof text, "%zu-%016llx", bytes.size(), static_cast<unsigned long long>(h));
  return text;
}

std::string StampingFileSystem::keyOf(const std::string& path) { return lexicallyNormal(base_.resolveLink(path)); }

bool StampingFileSystem::readStamped(const std::string& path, const std::string& key, std::string& bytes,
                                     bool followLink) {
  const bool first = !stamps_.count(key);
  PathInfo info = first ? base_.inspect(key) : PathInfo();
  if (!(followLink ? base_.readFile(path, bytes) : base_.readFileNoFollow(path, bytes))) return false;
  if (first) stamps_.emplace(key, Stamp{info, contentDigest(bytes)});
  return true;
}

bool StampingFileSystem::readFile(const std::string& path, std::string& bytes) {
  return readStamped(path, keyOf(path), bytes, true);
}

bool StampingFileSystem::readFileNoFollow(const std::string& path, std::string& bytes) {
  return readStamped(path, lexicallyNormal(path), bytes, false);
}

namespace {

bool sameStat(const PathInfo& a, const PathInfo& b) {
  return a.kind == b.kind && a.size == b.size && a.modified == b.modified && a.statusChanged == b.statusChanged;
}

}  // namespace

StampingFileSystem::Still StampingFileSystem::compare(const std::string& path) {
  auto it = stamps_.find(keyOf(path));
  if (it == stamps_.end()) return Still::NotRead;
  const PathInfo now = base_.inspect(it->first);
  if (now.kind != PathKind::Regular) return Still::Changed;
  if (sameStat(now, it->second.info)) return Still::Same;
  // Touched, or read while it changed: the content decides.
  std::string bytes;
  if (!base_.readFile(it->first, bytes)) return Still::Changed;
  if (contentDigest(bytes) != it->second.digest) return Still::Changed;
  it->second.info = now;
  return Still::Same;
}

bool StampingFileSystem::looksChanged(const std::string& path) {
  auto it = stamps_.find(keyOf(path));
  return it != stamps_.end() && !sameStat(base_.inspect(it->first), it->second.info);
}

}  // namespace tarnwick
