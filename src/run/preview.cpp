#include "run/preview.h"

#include <algorithm>

#include "model/unified_diff.h"

namespace tarnwick {

std::string relativePath(const std::string& folder, const std::string& path) {
  const std::string from = lexicallyNormal(folder), to = lexicallyNormal(path);
  auto parts = [](const std::string& p) {
    std::vector<std::string> out;
    std::size_t start = p.empty() || p[0] != '/' ? 0 : 1;
    while (start < p.size()) {
      std::size_t slash = p.find('/', start);
      if (slash == std::string::npos) slash = p.size();
      out.push_back(p.substr(start, slash - start));
      start = slash + 1;
    }
    return out;
  };
  const std::vector<std::string> a = parts(from), b = parts(to);
  std::size_t common = 0;
  while (common < a.size() && common < b.size() && a[common] == b[common]) ++common;
  std::string out;
  for (std::size_t i = common; i < a.size(); ++i) out += "../";
  for (std::size_t i = common; i < b.size(); ++i) out += b[i] + (i + 1 < b.size() ? "/" : "");
  return out;
}

std::vector<FileChange> previewChanges(const std::vector<PendingChange>& committed, const std::string& dir,
                                       FileSystem& disk, OverlayFileSystem& overlay) {
  const std::string folder = dir.empty() ? std::string(".") : dir;
  std::vector<FileChange> out;
  for (const PendingChange& c : committed) {
    FileChange f;
    f.path = c.path;
    std::string below = pathBelow(folder, c.path);
    f.shown = below.empty() ? lexicallyNormal(c.path) : below;
    f.label = below.empty() ? relativePath(folder, c.path) : below;
    f.created = c.created;
    f.removed = c.removes;
    if (!c.created) disk.readFile(c.target, f.before);
    if (!c.removes) overlay.readFile(c.target, f.after);
    out.push_back(std::move(f));
  }
  return out;
}

std::vector<PendingChange> previewedChanges(const StageContext& ctx) {
  std::vector<PendingChange> out = ctx.pendingFromJournal;
  for (const PendingChange& c : ctx.committed) {
    auto same = std::find_if(out.begin(), out.end(), [&](const PendingChange& p) { return p.target == c.target; });
    if (same == out.end()) {
      out.push_back(c);
    } else {
      // The file changes twice; the first change knows whether it exists on disk now.
      const bool created = same->created;
      *same = c;
      same->created = created;
    }
  }
  return out;
}

BindAnswer RememberingHost::askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) {
  for (const Answer& a : memory_)
    if (a.kind == kind && a.oldEntries == oldEntries && a.newEntries == newEntries) return a.answer;
  BindAnswer answer = inner_.askBindings(kind, oldEntries, newEntries);
  memory_.push_back({kind, oldEntries, newEntries, answer});
  return answer;
}

std::string changeDiff(const FileChange& change) {
  return unifiedDiff(change.before, change.after, change.created ? "/dev/null" : "a/" + change.label,
                     change.removed ? "/dev/null" : "b/" + change.label);
}

}  // namespace tarnwick
