// The backup of every file a run may change, staged before any source is touched and
// put in place by the run's commit before anything else.
#include <fnmatch.h>

#include <set>

#include "rewrite/update_sources.h"

namespace tarnwick {

namespace {

// Shell pattern semantics: "*" does not match a leading dot, so hidden files (and the
// temporary files of an interrupted write) stay out.
bool isPureBasicName(const std::string& name) { return fnmatch("*.pb*", name.c_str(), FNM_PERIOD) == 0; }

// Where the copy of a file lies below Backup: at its place relative to the project
// folder, or, outside it, below "external/" at its absolute path.
std::string backupName(const std::string& projectDir, const std::string& path) {
  std::string below = pathBelow(projectDir, path);
  if (!below.empty()) return below;
  const std::string file = lexicallyNormal(path);
  return "external/" + (file.rfind('/', 0) == 0 ? file.substr(1) : file);
}

}  // namespace

bool makeBackup(StageContext& ctx) {
  ctx.log("- Make Backup...");
  FileSystem& fs = ctx.fs;
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  const std::string listed = dir.empty() ? std::string(".") : dir;

  // The files to copy, each once: the PureBasic files of the project folder, every
  // include file that exists, the translations and the project file.
  std::vector<std::pair<std::string, std::string>> sources;  // original, place below Backup
  std::set<std::string> taken;
  auto add = [&](const std::string& original, const std::string& relative) {
    if (taken.insert(relative).second) sources.emplace_back(original, relative);
  };
  bool ok = ctx.changes.beginBackup(fs, dir + "Backup");
  std::vector<DirEntry> entries;
  if (ok && !fs.listDirectory(listed, entries)) ok = false;
  for (const DirEntry& entry : entries) {
    // Only regular files hold source: reading a pipe or a socket named like one
    // would block the run or copy nothing meaningful.
    if (entry.isRegular && !entry.isDirectory && isPureBasicName(entry.name)) add(dir + entry.name, entry.name);
  }
  for (const Text& include : ctx.model.IncludeFileList) {
    const std::string path = toUtf8(include);
    // An include file that cannot be examined may well exist: without its copy the
    // run does not go on.
    const PathKind kind = fs.inspect(fs.resolveLink(path)).kind;
    if (kind == PathKind::Unknown) ok = false;
    else if (kind == PathKind::Regular) add(path, backupName(listed, path));
  }
  if (fs.isRegularFile(dir + "Catalog")) add(dir + "Catalog", "Catalog");
  const std::string project = toUtf8(fileNameOf(ctx.model.ProjectPath));
  if (!isPureBasicName(project) && fs.isRegularFile(dir + project)) add(dir + project, project);

  for (std::size_t i = 0; ok && i < sources.size(); ++i) {
    const auto& [original, relative] = sources[i];
    std::string bytes;
    // A copy keeps the permission bits of its file: a private file stays private. A file
    // that cannot be examined has no known bits, and is not copied with made-up ones.
    const PathInfo info = fs.inspect(fs.resolveLink(original));
    ok = info.kind == PathKind::Regular && fs.readFile(original, bytes) &&
         ctx.changes.stageBackupCopy(fs, relative, bytes, info.mode, original);
  }
  if (ok) return true;
  ctx.logFileError("- Error CopyDirectory");
  ctx.changes.discard(fs);
  return false;
}

}  // namespace tarnwick
