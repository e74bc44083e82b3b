#include "model/overlay_file_system.h"

namespace tarnwick {

namespace {

std::string keyOf(const std::string& path) { return lexicallyNormal(path); }

std::string parentKey(const std::string& key) {
  std::size_t slash = key.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : key.substr(0, slash);
}

std::string childPrefix(const std::string& key) { return key == "/" ? key : key + "/"; }

}  // namespace

const OverlayFileSystem::Node* OverlayFileSystem::find(const std::string& key) const {
  static const Node gone{Node::Gone, std::string(), 0};
  auto own = nodes_.find(key);
  if (own != nodes_.end()) return &own->second;
  // A folder made here holds only what was made in it; one removed here hides what
  // the disk has below it.
  for (std::string up = parentKey(key); !up.empty(); up = up == "/" ? std::string() : parentKey(up)) {
    auto it = nodes_.find(up);
    if (it != nodes_.end()) return &gone;
  }
  return nullptr;
}

bool OverlayFileSystem::readFile(const std::string& path, std::string& bytes) {
  const Node* n = find(keyOf(path));
  if (!n) return base_.readFile(path, bytes);
  if (n->kind != Node::File) return false;
  bytes = n->bytes;
  return true;
}

bool OverlayFileSystem::readFileNoFollow(const std::string& path, std::string& bytes) {
  const Node* n = find(keyOf(path));
  if (!n) return base_.readFileNoFollow(path, bytes);
  if (n->kind != Node::File) return false;
  bytes = n->bytes;
  return true;
}

bool OverlayFileSystem::writeFile(const std::string& path, const std::string& bytes) {
  if (isDirectory(path)) return false;
  nodes_[keyOf(path)] = Node{Node::File, bytes, isRegularFile(path) ? inspect(path).mode : newFileMode()};
  return true;
}

bool OverlayFileSystem::exists(const std::string& path) {
  const Node* n = find(keyOf(path));
  return n ? n->kind != Node::Gone : base_.exists(path);
}

bool OverlayFileSystem::isRegularFile(const std::string& path) {
  const Node* n = find(keyOf(path));
  return n ? n->kind == Node::File : base_.isRegularFile(path);
}

long long OverlayFileSystem::fileSize(const std::string& path) {
  const Node* n = find(keyOf(path));
  if (!n) return base_.fileSize(path);
  return n->kind == Node::File ? static_cast<long long>(n->bytes.size()) : -1;
}

bool OverlayFileSystem::ensureFile(const std::string& path) {
  if (isRegularFile(path)) return true;
  if (exists(path) || !canCreateIn(parentKey(keyOf(path)))) return false;
  nodes_[keyOf(path)] = Node{Node::File, std::string(), newFileMode()};
  return true;
}

bool OverlayFileSystem::makeDirectory(const std::string& path) {
  if (isDirectory(path)) return true;
  if (exists(path) || !canCreateIn(parentKey(keyOf(path)))) return false;
  nodes_[keyOf(path)] = Node{Node::Directory, std::string(), 0755};
  return true;
}

bool OverlayFileSystem::isDirectory(const std::string& path) {
  const Node* n = find(keyOf(path));
  return n ? n->kind == Node::Directory : base_.isDirectory(path);
}

bool OverlayFileSystem::listDirectory(const std::string& path, std::vector<DirEntry>& entries) {
  const std::string key = keyOf(path);
  const Node* n = find(key);
  entries.clear();
  if (n && n->kind != Node::Directory) return false;
  if (!n && !base_.listDirectory(path, entries)) return false;
  const std::string prefix = childPrefix(key);
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    std::string name = it->first.substr(prefix.size());
    if (name.empty() || name.find('/') != std::string::npos) continue;
    std::erase_if(entries, [&](const DirEntry& e) { return e.name == name; });
    if (it->second.kind != Node::Gone)
      entries.push_back({name, it->second.kind == Node::Directory, it->second.kind == Node::File});
  }
  return true;
}

PathInfo OverlayFileSystem::inspect(const std::string& path) {
  const Node* n = find(keyOf(path));
  if (!n) return base_.inspect(path);
  PathInfo info;
  if (n->kind == Node::File) {
    info.kind = PathKind::Regular;
    info.mode = n->mode;
    info.size = static_cast<long long>(n->bytes.size());
  } else if (n->kind == Node::Directory) {
    info.kind = PathKind::Directory;
    info.mode = n->mode;
  }
  return info;
}

std::string OverlayFileSystem::resolveLink(const std::string& path) {
  // What was made here is never a link.
  return find(keyOf(path)) ? path : base_.resolveLink(path);
}

bool OverlayFileSystem::isWritable(const std::string& path) {
  const Node* n = find(keyOf(path));
  return n ? n->kind != Node::Gone : base_.isWritable(path);
}

bool OverlayFileSystem::canCreateIn(const std::string& folder) {
  const Node* n = find(folder);
  if (n) return n->kind == Node::Directory;
  const std::string path = folder.empty() ? std::string(".") : folder;
  return base_.isDirectory(path) && base_.isWritable(path);
}

std::string OverlayFileSystem::temporaryName(const std::string& target) {
  const std::string key = keyOf(target);
  const std::string folder = parentKey(key);
  const std::string name = key.substr(folder.empty() ? 0 : folder.size() + (folder == "/" ? 0 : 1));
  std::string suffix = std::to_string(1000000 + ++temporaries_);
  return childPrefix(folder) + "." + name + ".tw-" + suffix.substr(suffix.size() - 6);
}

bool OverlayFileSystem::writeTemporary(const std::string& target, const std::string& bytes, unsigned mode,
                                       std::string& tempPath, bool) {
  if (!canCreateIn(parentKey(keyOf(target)))) return false;
  tempPath = temporaryName(target);
  nodes_[tempPath] = Node{Node::File, bytes, mode};
  return true;
}

bool OverlayFileSystem::makeTemporaryDirectory(const std::string& target, std::string& tempPath) {
  if (!canCreateIn(parentKey(keyOf(target)))) return false;
  tempPath = temporaryName(target);
  nodes_[tempPath] = Node{Node::Directory, std::string(), 0755};
  return true;
}

bool OverlayFileSystem::writeNewFile(const std::string& path, const std::string& bytes, unsigned mode, bool) {
  if (exists(path) || inspect(path).kind != PathKind::Missing || !canCreateIn(parentKey(keyOf(path)))) return false;
  nodes_[keyOf(path)] = Node{Node::File, bytes, mode};
  return true;
}

void OverlayFileSystem::eraseBelow(const std::string& key) {
  const std::string prefix = childPrefix(key);
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;)
    it = nodes_.erase(it);
}

bool OverlayFileSystem::copyUp(const std::string& from, const std::string& key) {
  PathInfo info = base_.inspect(from);
  if (info.kind == PathKind::Directory) {
    nodes_[key] = Node{Node::Directory, std::string(), info.mode};
    std::vector<DirEntry> entries;
    if (!base_.listDirectory(from, entries)) return false;
    for (const DirEntry& e : entries)
      if (!copyUp(from + "/" + e.name, childPrefix(key) + e.name)) return false;
    return true;
  }
  std::string bytes;
  if (!base_.readFile(from, bytes)) return false;
  nodes_[key] = Node{Node::File, bytes, info.mode};
  return true;
}

bool OverlayFileSystem::renamePath(const std::string& from, const std::string& to) {
  const std::string fromKey = keyOf(from), toKey = keyOf(to);
  if (fromKey == toKey) return exists(from);
  const Node* n = find(fromKey);
  if (n && n->kind == Node::Gone) return false;
  if (!n && inspect(from).kind == PathKind::Missing) return false;
  if (isDirectory(to) && !isDirectory(from)) return false;
  // The target is replaced as a whole, whatever the disk holds there.
  eraseBelow(toKey);
  if (n) {
    const std::string prefix = childPrefix(fromKey);
    std::map<std::string, Node> moved;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it)
      moved[childPrefix(toKey) + it->first.substr(prefix.size())] = it->second;
    nodes_[toKey] = *n;
    eraseBelow(fromKey);
    nodes_.insert(moved.begin(), moved.end());
  } else if (!copyUp(from, toKey)) {
    return false;
  }
  nodes_[fromKey] = Node{Node::Gone, std::string(), 0};
  return true;
}

bool OverlayFileSystem::removePath(const std::string& path) {
  const std::string key = keyOf(path);
  eraseBelow(key);
  nodes_[key] = Node{Node::Gone, std::string(), 0};
  return true;
}

}  // namespace tarnwick
