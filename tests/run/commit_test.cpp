// A whole run against an in-memory folder: the one commit with its backup and record,
// a write that fails, a commit that is cut off, and a project held by another run.
#include "run/commit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "project/project_file.h"
#include "run/run.h"
#include "support/projects.h"
#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::GenerationRun;
using testing::renamedProject;
using testing::RecordingHost;

using Files = std::map<std::string, std::string>;

// The files that no run leaves behind: temporaries and the journal.
std::vector<std::string> machinery(const MemoryFileSystem& fs) {
  std::vector<std::string> found;
  for (const auto& [path, bytes] : fs.files) {
    std::string name = path.substr(path.rfind('/') + 1);
    if (isTemporaryName(name) || name == kJournalName) found.push_back(path);
  }
  for (const std::string& dir : fs.directories)
    if (isTemporaryName(dir.substr(dir.rfind('/') + 1))) found.push_back(dir);
  return found;
}

TEST(Commit, ARenameRunChangesEverythingAtOnceWithItsBackup) {
  MemoryFileSystem fs = renamedProject();
  const Files before = fs.files;
  GenerationRun run(fs);
  ASSERT_EQ(run.end, RunEnd::Ready);
  EXPECT_EQ(fs.files["/p/user.pbi"], "SetGadgetText(#Frame_Button_0, \"x\")\n");
  EXPECT_EQ(fs.files["/p/sub/deep.pbi"], "Open_Frame()\n");
  for (const char* name : {"user.pbi", "sub/deep.pbi", "Main.pb", "EventGadget.pb", "x.pbm", "form.pb"})
    EXPECT_EQ(fs.files["/p/Backup/" + std::string(name)], before.at("/p/" + std::string(name))) << name;
  // Each line ends with the fingerprint of what the run wrote.
  auto d = [&](const char* name) { return "\t" + contentDigest(fs.files["/p/" + std::string(name)]) + "\n"; };
  EXPECT_EQ(fs.files["/p/Backup/.restore"],
            "Tarnwick restore 1\nchanged\tuser.pbi\tuser.pbi" + d("user.pbi") + "changed\tsub/deep.pbi\tsub/deep.pbi" +
                d("sub/deep.pbi") + "changed\tMain.pb\tMain.pb" + d("Main.pb") + "created\tCommonFile.pb" +
                d("CommonFile.pb") + "created\tEventMain.pb" + d("EventMain.pb") + "created\tEventMenu.pb" +
                d("EventMenu.pb") + "changed\tEventGadget.pb\tEventGadget.pb" + d("EventGadget.pb") +
                "created\tEventWindow.pb" + d("EventWindow.pb") + "changed\tx.pbm\tx.pbm" + d("x.pbm"));
  EXPECT_EQ(machinery(fs), std::vector<std::string>{});

  // The same run again finds nothing to change: it writes nothing, and the backup
  // keeps the files as they were before the renaming run.
  const Files after = fs.files;
  GenerationRun again(fs);
  EXPECT_EQ(again.end, RunEnd::Ready);
  EXPECT_TRUE(again.host.requests.empty());
  EXPECT_EQ(fs.files, after);
}

TEST(Commit, AFailedWriteChangesNothing) {
  struct Case {
    const char* what;
    const char* readOnly;
    const char* errorLine;
  } cases[] = {
      {"include file in the source update", "/p/user.pbi", " -> Error WriteFile /p/user.pbi / Errorcode: 1"},
      {"generated file", "/p/EventGadget.pb", " -> Error File /p/EventGadget.pb / Errorcode: 1"},
      {"project file", "/p/x.pbm", " -> Error File /p/x.pbm / Errorcode: 1"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs = renamedProject();
    fs.readOnly.insert(c.readOnly);
    const Files before = fs.files;
    GenerationRun run(fs);
    EXPECT_EQ(run.end, RunEnd::Cancelled) << c.what;
    const Lines& log = run.host.log;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(Lines(log.end() - 3, log.end()),
              L({" -> Error: a file could not be written, no file was changed. Stop!", "Cancel.", ""}))
        << c.what;
    EXPECT_NE(std::find(log.begin(), log.end(), T(c.errorLine)), log.end()) << c.what;
    EXPECT_EQ(fs.files, before) << c.what;
    EXPECT_EQ(machinery(fs), std::vector<std::string>{}) << c.what;
    EXPECT_EQ(run.model.PreviousWindowList, L({"Window_0"})) << c.what;
  }
}

TEST(Commit, ACommitCutOffIsCompletedByTheNextRun) {
  MemoryFileSystem reference = renamedProject();
  GenerationRun whole(reference);
  ASSERT_EQ(whole.end, RunEnd::Ready);

  MemoryFileSystem fs = renamedProject();
  fs.failRenames.insert("/p/EventGadget.pb");
  GenerationRun cut(fs);
  EXPECT_EQ(cut.end, RunEnd::Cancelled);
  EXPECT_EQ(fs.files["/p/user.pbi"], reference.files["/p/user.pbi"]);  // renamed before the cut
  EXPECT_TRUE(fs.files.count(std::string("/p/") + kJournalName));

  // The next run, with the same binding, completes the commit, then binds against the
  // names that commit stored: nothing is renamed twice.
  fs.failRenames.clear();
  GenerationRun next(fs);
  EXPECT_EQ(next.end, RunEnd::Ready);
  EXPECT_EQ(next.host.log[1], "- Completed the file changes of an interrupted run.");
  EXPECT_TRUE(next.host.requests.empty());
  EXPECT_EQ(fs.files, reference.files);
}

TEST(Commit, LeftoversOfAnInterruptedStagingAreRemoved) {
  MemoryFileSystem reference = renamedProject();
  GenerationRun whole(reference);

  MemoryFileSystem fs = renamedProject();
  fs.directories.insert("/p/Backup");
  fs.files["/p/.EventGadget.pb.tw-a1b2c3"] = "half";
  fs.files["/p/Backup/.Main.pb.tw-d4e5f6"] = "half";
  fs.files["/p/sub/.deep.pbi.tw-g7h8i9"] = "half";
  fs.directories.insert("/p/.Backup.tw-j0k1l2");
  fs.files["/p/.Backup.tw-j0k1l2/Main.pb"] = "half";
  GenerationRun run(fs);
  EXPECT_EQ(run.end, RunEnd::Ready);
  EXPECT_EQ(run.host.log[1], "- Removed the temporary files of an interrupted run.");
  EXPECT_EQ(fs.files, reference.files);
}

TEST(Commit, AProjectHeldByAnotherRunIsNotTouched) {
  MemoryFileSystem fs = renamedProject();
  fs.locked.insert("/p/");
  const Files before = fs.files;
  GenerationRun run(fs);
  EXPECT_EQ(run.end, RunEnd::Busy);
  EXPECT_TRUE(run.host.log.empty());
  EXPECT_EQ(fs.files, before);
}

}  // namespace
}  // namespace tarnwick
