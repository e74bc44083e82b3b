// The dry run through an overlay, its diff, and the restore of a run's backup.
#include "run/preview.h"

#include <gtest/gtest.h>

#include "model/unified_diff.h"
#include "run/restore.h"
#include "support/projects.h"

namespace tarnwick {
namespace {

using testing::GenerationRun;
using testing::L;
using testing::RecordingHost;
using testing::renamedProject;
using Files = std::map<std::string, std::string>;

// A dry run logs and stops as the real run does, leaves the folder untouched, and
// knows every file the real run writes, with the bytes it writes.
TEST(Preview, ADryRunForeseesTheRealRun) {
  MemoryFileSystem disk = renamedProject();
  const Files before = disk.files;
  OverlayFileSystem overlay(disk);
  GenerationRun dry(overlay);
  EXPECT_EQ(disk.files, before);
  EXPECT_EQ(disk.writes + disk.renames, 0);
  const std::vector<FileChange> changes = previewChanges(dry.committed, "/p/", disk, overlay);

  GenerationRun real(disk);
  EXPECT_EQ(dry.end, real.end);
  EXPECT_EQ(dry.host.log, real.host.log);
  ASSERT_EQ(changes.size(), real.committed.size());
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const FileChange& c = changes[i];
    EXPECT_EQ(c.path, real.committed[i].path);
    EXPECT_EQ(c.after, disk.files[c.path]) << c.path;
    EXPECT_EQ(c.created, !before.count(c.path)) << c.path;
    if (!c.created) {
      EXPECT_EQ(c.before, before.at(c.path)) << c.path;
    }
  }
  EXPECT_EQ(changes[0].shown, "user.pbi");
  EXPECT_EQ(changes[1].shown, "sub/deep.pbi");
  EXPECT_EQ(changeDiff(changes[1]),
            "--- a/sub/deep.pbi\n+++ b/sub/deep.pbi\n@@ -1 +1 @@\n-Open_Window_0()\n+Open_Frame()\n");
}

// The run after a preview takes the bindings the user gave in it, and asks only what
// it did not ask before.
TEST(Preview, TheRunAfterAPreviewKeepsItsBindings) {
  MemoryFileSystem disk = renamedProject();
  std::vector<RememberingHost::Answer> memory;
  RecordingHost user;
  user.answers.push_back({0, L({"Window_0 > Frame"})});
  FormModel model;
  model.ProjectPath = "/p/x.pbm";
  buildCommandSets({}, model.PrefixCommandSet, model.GadgetCommandSet);
  model.PreviousWindowList = L({"Window_0"});
  model.PreviousGadgetList = L({"Window_0_Button_0"});
  for (bool dry : {true, false}) {
    OverlayFileSystem overlay(disk);
    RememberingHost host(user, memory);
    FormModel copy = model;  // a preview leaves the project's names as they were
    RunContext ctx{copy, host, dry ? static_cast<FileSystem&>(overlay) : disk, L({"/p/form.pb"})};
    EXPECT_EQ(runGeneration(ctx), RunEnd::Ready);
  }
  EXPECT_EQ(user.requests.size(), 1u);
  EXPECT_EQ(disk.files["/p/sub/deep.pbi"], "Open_Frame()\n");
}

TEST(Preview, UnifiedDiffsAsDiffWritesThem) {
  struct Case {
    const char *what, *before, *after, *diff;
  } cases[] = {
      {"equal", "a\n", "a\n", ""},
      {"two hunks, no newline at the end", "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\n", "a\nB\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl",
       "@@ -1,5 +1,5 @@\n a\n-b\n+B\n c\n d\n e\n@@ -9,3 +9,4 @@\n i\n j\n k\n+l\n\\ No newline at end of file\n"},
      {"from nothing", "", "x\ny\n", "@@ -0,0 +1,2 @@\n+x\n+y\n"},
      {"a newline taken away", "x\ny\n", "x\ny", "@@ -1,2 +1,2 @@\n x\n-y\n+y\n\\ No newline at end of file\n"},
      {"CR stays in its line", "a\r\nb\r\n", "a\nb\r\n", "@@ -1,2 +1,2 @@\n-a\r\n+a\n b\r\n"},
      {"changed lines that look like headers", "--a\nkeep\n", "++b\nkeep\n", "@@ -1,2 +1,2 @@\n---a\n+++b\n keep\n"},
  };
  for (const Case& c : cases) {
    std::string d = unifiedDiff(c.before, c.after, "a/f", "b/f");
    std::string expected = *c.diff ? std::string("--- a/f\n+++ b/f\n") + c.diff : "";
    EXPECT_EQ(d, expected) << c.what;
    DiffCounts n = countDiffLines(d);
    DiffCounts lines;
    for (std::string_view l = c.diff; !l.empty();) {
      std::size_t e = l.find('\n');
      lines.added += l[0] == '+';
      lines.removed += l[0] == '-';
      l.remove_prefix(e + 1);
    }
    EXPECT_EQ(n.added, lines.added) << c.what;
    EXPECT_EQ(n.removed, lines.removed) << c.what;
  }
  // The preview colours each line by its kind: a change that begins like a header is
  // still a change.
  EXPECT_EQ(diffLineKinds(unifiedDiff("--a\nkeep\n", "++b\nkeep\n", "a/f", "b/f")),
            (std::vector<DiffLine>{DiffLine::Header, DiffLine::Header, DiffLine::Header, DiffLine::Removed,
                                   DiffLine::Added, DiffLine::Context}));
  EXPECT_EQ(diffLineKinds("--- a/f\n+++ b/f\n@@ -1 +1 @@\n-y\n+y\n\\ No newline at end of file\n").back(),
            DiffLine::Note);
}

RestoreEnd restore(FileSystem& fs, Lines* log = nullptr, const ConfirmReplace& confirm = {}) {
  FormModel model;
  model.ProjectPath = "/p/x.pbm";
  RecordingHost host;
  RunContext ctx{model, host, fs};
  RestoreEnd end = restoreBackup(ctx, confirm);
  if (log) *log = host.log;
  return end;
}

// A restore puts the files of the last run back and removes those it created; the
// versions it replaces go into the backup, so that a second restore redoes the run.
TEST(Preview, RestoreUndoesTheRunAndASecondRestoreRedoesIt) {
  MemoryFileSystem fs = renamedProject();
  const Files before = fs.files;
  GenerationRun run(fs);
  ASSERT_EQ(run.end, RunEnd::Ready);
  auto userFiles = [](const Files& all) {
    Files out;
    for (const auto& [path, bytes] : all)
      if (path.rfind("/p/Backup/", 0) != 0) out[path] = bytes;
    return out;
  };
  const Files after = userFiles(fs.files);

  Lines log;
  EXPECT_EQ(restore(fs, &log), RestoreEnd::Restored);
  EXPECT_EQ(userFiles(fs.files), before);  // CommonFile.pb and the others created by the run are gone
  EXPECT_EQ(log[1], " -> Restore File /p/user.pbi");
  EXPECT_NE(std::find(log.begin(), log.end(), " -> Remove File /p/CommonFile.pb"), log.end());
  EXPECT_EQ(restore(fs), RestoreEnd::Restored);
  EXPECT_EQ(userFiles(fs.files), after);
}

TEST(Preview, RestoreRefusesABackupThatNoRunMade) {
  struct Case {
    const char* what;
    const char* record;  // nullptr: no record
  } cases[] = {
      {"no record", nullptr},
      {"an older record", "changed\tMain.pb\tMain.pb\n"},
      {"a path leading out", "Tarnwick restore 1\nchanged\t../x.pbm\tMain.pb\n"},
      {"a copy leading out", "Tarnwick restore 1\nchanged\tMain.pb\t../../etc/passwd\n"},
      {"an outside file with a foreign copy", "Tarnwick restore 1\nchanged\t/home/u/.profile\tMain.pb\n"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs = renamedProject();
    fs.directories.insert("/p/Backup");
    fs.files["/p/Backup/Main.pb"] = "old";
    if (c.record) fs.files["/p/Backup/.restore"] = c.record;
    const Files before = fs.files;
    Lines log;
    EXPECT_EQ(restore(fs, &log), RestoreEnd::NoBackup) << c.what;
    EXPECT_EQ(log, L({"Restore Backup ...", (std::string(" -> ") + kNoBackupMessage).c_str(), "Cancel.", ""}));
    EXPECT_EQ(fs.files, before) << c.what;
  }
}


// A record names only files of the project and the include files Main.pb names now;
// anything else is refused and nothing is restored.
TEST(Preview, RestoreTouchesOnlyTheProjectAndTheIncludeFilesMainNames) {
  struct Case {
    const char* what;
    const char* line;
    const char* refused;
  } cases[] = {
      {"a file outside", "changed\t/home/u/.bashrc\texternal/home/u/.bashrc", "/home/u/.bashrc"},
      {"a removal outside", "created\t/home/u/notes.txt", "/home/u/notes.txt"},
      {"a folder removed", "created\tsub", "sub"},
      {"a file of Backup", "created\tBackup/Main.pb", "Backup/Main.pb"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs = renamedProject();
    fs.directories.insert("/home/u");
    fs.files["/home/u/.bashrc"] = "mine";
    fs.files["/home/u/notes.txt"] = "notes";
    GenerationRun run(fs);
    ASSERT_EQ(run.end, RunEnd::Ready) << c.what;
    fs.directories.insert("/p/Backup/external/home/u");
    fs.files["/p/Backup/external/home/u/.bashrc"] = "theirs";
    fs.files["/p/Backup/.restore"] = std::string("Tarnwick restore 1\n") + c.line + "\n";
    const Files before = fs.files;
    Lines log;
    if (!c.line) {
      EXPECT_EQ(restore(fs, &log), RestoreEnd::Restored) << c.what;
      EXPECT_EQ(fs.files["/lib/shared.pbi"], "Open_Window_0()\n");
      continue;
    }
    EXPECT_EQ(restore(fs, &log), RestoreEnd::Failed) << c.what;
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1].rfind(" -> Error: /p/Backup/.restore names " + std::string(c.refused) + ", which is refused: ", 0), 0u)
        << c.what << ": " << log[1];
    EXPECT_EQ(fs.files, before) << c.what;
    EXPECT_TRUE(fs.directories.count("/p/sub")) << c.what;
  }
}

// A restore cut off in its commit and started again ends with the files of one that
// was not; a file changed since the run is replaced only when the user says so.
TEST(Preview, RestoreIsIdempotentAndAsksBeforeReplacingNewerEdits) {
  MemoryFileSystem reference = renamedProject();
  GenerationRun run(reference);
  ASSERT_EQ(run.end, RunEnd::Ready);
  MemoryFileSystem fs = reference;
  ASSERT_EQ(restore(reference), RestoreEnd::Restored);

  fs.failRenames.insert("/p/Main.pb");
  EXPECT_EQ(restore(fs), RestoreEnd::Failed);
  fs.failRenames.clear();
  Lines log;
  EXPECT_EQ(restore(fs, &log), RestoreEnd::Restored);
  EXPECT_EQ(log[1], "- Completed the file changes of an interrupted restore.");
  EXPECT_EQ(fs.files, reference.files);

  // Back to the run's files, then an edit: the restore names it and waits for a yes.
  ASSERT_EQ(restore(fs), RestoreEnd::Restored);
  fs.files["/p/user.pbi"] += "; edit\n";
  const Files edited = fs.files;
  std::vector<std::string> asked;
  EXPECT_EQ(restore(fs, &log, [&](const std::vector<std::string>& files) {
              asked = files;
              return false;
            }),
            RestoreEnd::Declined);
  EXPECT_EQ(asked, std::vector<std::string>{"/p/user.pbi"});
  EXPECT_EQ(log[1], " -> Warning: /p/user.pbi changed after the run that the restore undoes.");
  EXPECT_EQ(fs.files, edited);
  EXPECT_EQ(restore(fs, nullptr, [](const std::vector<std::string>&) { return true; }), RestoreEnd::Restored);
  EXPECT_EQ(fs.files["/p/Backup/user.pbi"], edited.at("/p/user.pbi"));
}


// A dry run on a project whose last commit was cut off leaves the journal as it is and
// reports the files it would still change.
TEST(Preview, ADryRunReportsAPendingJournalWithoutCompletingIt) {
  MemoryFileSystem disk = renamedProject();
  disk.failRenames.insert("/p/EventGadget.pb");
  GenerationRun cut(disk);
  ASSERT_EQ(cut.end, RunEnd::Cancelled);
  disk.failRenames.clear();
  const Files before = disk.files;

  OverlayFileSystem overlay(disk);
  FormModel model;
  model.ProjectPath = "/p/x.pbm";
  buildCommandSets({}, model.PrefixCommandSet, model.GadgetCommandSet);
  Lines rows;
  parseProject(splitLines(T(before.at("/p/x.pbm"))), rows, model);
  RecordingHost host;
  RunContext ctx{model, host, overlay, rows};
  ctx.dryRun = true;
  EXPECT_EQ(runGeneration(ctx), RunEnd::Ready);
  EXPECT_EQ(host.log[1], "- The file changes of an interrupted run are pending; the next run completes them.");
  EXPECT_EQ(disk.files, before);
  std::vector<std::string> shown;
  for (const FileChange& c : previewChanges(previewedChanges(ctx), "/p/", disk, overlay)) shown.push_back(c.shown);
  EXPECT_EQ(shown, (std::vector<std::string>{"EventGadget.pb", "EventWindow.pb", "x.pbm"}));
}

}  // namespace
}  // namespace tarnwick
