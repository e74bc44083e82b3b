// The backup of the project's PureBasic files, taken before any source is changed.
#include <fnmatch.h>

#include "rewrite/update_sources.h"

namespace tarnwick {

void makeBackup(StageContext& ctx) {
  ctx.log(U"- Make Backup...");
  const std::string dir = toUtf8(ctx.model.projectDirectory());
  const std::string backup = dir + "Backup";
  // An existing folder is fine; one that cannot be made (a file in the way, no
  // rights) leaves nowhere to copy to.
  if (!ctx.fs.makeDirectory(backup)) {
    ctx.logFileError(U"- Error CopyDirectory");
    return;
  }

  bool failed = false;
  std::vector<DirEntry> entries;
  if (!ctx.fs.listDirectory(dir.empty() ? std::string(".") : dir, entries)) failed = true;
  for (const DirEntry& entry : entries) {
    // Shell pattern semantics: "*" does not match a leading dot, so hidden files (and
    // the temporary files of an interrupted write) stay out.
    if (entry.isDirectory || fnmatch("*.pb*", entry.name.c_str(), FNM_PERIOD) != 0) continue;
    // Only regular files hold source: reading a pipe or a socket named like one
    // would block the run or copy nothing meaningful.
    if (!entry.isRegular) continue;
    std::string bytes;
    if (!ctx.fs.readFile(dir + entry.name, bytes) || !ctx.fs.writeFile(backup + "/" + entry.name, bytes))
      failed = true;
  }
  if (failed) ctx.logFileError(U"- Error CopyDirectory");
}

}  // namespace tarnwick
