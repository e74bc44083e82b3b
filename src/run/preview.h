// What a dry run would change: the run goes through an overlay that keeps every write
// in memory, and its commit's changes are compared with the disk below.
#pragma once

#include <string>
#include <vector>

#include "model/overlay_file_system.h"
#include "run/run.h"

namespace tarnwick {

struct FileChange {
  std::string path;   // as the run names it
  std::string shown;  // relative to the project folder below it, otherwise absolute
  std::string label;  // the path of the diff: relative to the project folder, "../" where it leads out
  bool created = false;
  bool removed = false;
  std::string before, after;  // the bytes on disk and the bytes the run would write
};

// The files that the commit of a run through overlay put in place (committed, in their
// order), with the bytes that disk holds and the bytes the run would have written; dir
// is the project folder.
std::vector<FileChange> previewChanges(const std::vector<PendingChange>& committed, const std::string& dir,
                                       FileSystem& disk, OverlayFileSystem& overlay);

// The changes a dry run found: those of an interrupted commit that it completed in
// memory, then those of its own commit, each file once.
std::vector<PendingChange> previewedChanges(const StageContext& ctx);

// The unified diff of one change, "a/" and "b/" before its label, a new file against
// /dev/null.
std::string changeDiff(const FileChange& change);

// A host that remembers the user's binding answers: asked the same question again (the
// same kind, old and new names), it answers as before without asking, so that the run
// after a preview goes on with the bindings the user already gave.
class RememberingHost : public RunHost {
 public:
  struct Answer {
    ObjectKind kind;
    Lines oldEntries, newEntries;
    BindAnswer answer;
  };
  RememberingHost(RunHost& inner, std::vector<Answer>& memory) : inner_(inner), memory_(memory) {}
  void logLine(const Text& line) override { inner_.logLine(line); }
  BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) override;
  bool finishBindings(const FormModel& model) override { return inner_.finishBindings(model); }
  void closeStartDialog() override { inner_.closeStartDialog(); }
  void enableMainWindow() override { inner_.enableMainWindow(); }

 private:
  RunHost& inner_;
  std::vector<Answer>& memory_;
};

// A path relative to folder, leading out with "../" where it must.
std::string relativePath(const std::string& folder, const std::string& path);

}  // namespace tarnwick
