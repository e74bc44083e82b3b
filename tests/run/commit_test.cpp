// A whole run against an in-memory folder: the one commit with its backup and record,
// a write that fails, a commit that is cut off, and a project held by another run.
#include "run/commit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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
  // The run changed files: its last line does not claim otherwise.
  ASSERT_GE(next.host.log.size(), 3u);
  EXPECT_EQ(next.host.log[next.host.log.size() - 3],
            "- Every file was up to date once the interrupted run's changes were completed.");
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


// A journal that came with a project is carried out only when every entry is one a
// commit writes; otherwise nothing of it is done, it is moved aside under the name the
// log gives, and the next run starts afresh.
TEST(Commit, AJournalThatNoCommitWroteIsRefused) {
  struct Case {
    const char* what;
    const char* entry;  // kind, temporary, target
    const char* why;
  } cases[] = {
      {"a file outside", "file\t/home/u/..bashrc.tw-a1b2c3\t/home/u/.bashrc",
       "it lies outside the project and is no include file that Main.pb names"},
      {"a removal outside", "remove\t\t/home/u/notes.txt",
       "it lies outside the project and is no include file that Main.pb names"},
      {"a folder removed", "remove\t\t/p/sub", "only a regular file is ever removed"},
      {"a removal without copy", "remove\t\t/p/form.pb", "the file to remove has no copy in Backup"},
      {"a temporary of another file", "file\t/p/.x.tw-a1b2c3\t/p/Main.pb", "its temporary file is not named after its target"},
      {"a folder as a user file", "folder\t/p/.sub.tw-a1b2c3\t/p/sub", "only Backup and its folders are put in place as folders"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs = renamedProject();
    fs.directories.insert("/home/u");
    fs.files["/home/u/.bashrc"] = "mine";
    fs.files["/home/u/..bashrc.tw-a1b2c3"] = "theirs";
    fs.files["/home/u/notes.txt"] = "notes";
    fs.files["/p/.x.tw-a1b2c3"] = "theirs";
    fs.directories.insert("/p/.sub.tw-a1b2c3");
    fs.files["/p/.tarnwick-journal"] = std::string("Tarnwick journal 1\n") + c.entry + "\n";
    Files expected = fs.files;
    expected.erase("/p/.tarnwick-journal");
    expected["/p/tarnwick-journal.refused"] = fs.files["/p/.tarnwick-journal"];
    GenerationRun run(fs);
    EXPECT_EQ(run.end, RunEnd::Cancelled) << c.what;
    const std::string kind = std::string(c.entry).substr(0, std::string(c.entry).find('\t'));
    const std::string target = std::string(c.entry).substr(std::string(c.entry).rfind('\t') + 1);
    EXPECT_EQ(run.host.log[1], " -> Error: journal entry 1 (" + kind + " " + target + ") is refused: " + c.why + ".")
        << c.what;
    EXPECT_EQ(run.host.log[2].rfind(" -> The journal of an interrupted run names files", 0), 0u) << c.what;
    EXPECT_NE(run.host.log[2].find("kept as /p/tarnwick-journal.refused"), std::string::npos) << c.what;
    EXPECT_EQ(fs.files, expected) << c.what;
    EXPECT_TRUE(fs.directories.count("/p/sub")) << c.what;

    GenerationRun next(fs);
    EXPECT_EQ(next.end, RunEnd::Ready) << c.what;
    EXPECT_EQ(fs.files["/home/u/.bashrc"], "mine") << c.what;
    EXPECT_EQ(fs.files["/home/u/notes.txt"], "notes") << c.what;
  }
}

// A commit cut off where its rename cannot succeed (a Backup folder appeared meanwhile)
// does not block the project: the next run moves the unfinished folder aside, says
// where, completes the rest and goes on.
TEST(Commit, AJournalThatCannotBeCompletedIsNoDeadEnd) {
  MemoryFileSystem reference = renamedProject();
  const std::string userBefore = reference.files["/p/user.pbi"];
  GenerationRun whole(reference);

  MemoryFileSystem fs = renamedProject();
  fs.failRenames.insert("/p/Backup");
  fs.beforeCall = [&fs](const std::string& op, const std::string& path) {
    if (op == "rename" && path == "/p/Backup" && !fs.directories.count("/p/Backup")) {
      fs.directories.insert("/p/Backup");
      fs.files["/p/Backup/sync.txt"] = "synced";
    }
  };
  GenerationRun cut(fs);
  EXPECT_EQ(cut.end, RunEnd::Cancelled);
  EXPECT_TRUE(fs.files.count("/p/.tarnwick-journal"));

  GenerationRun next(fs);
  EXPECT_EQ(next.end, RunEnd::Ready);
  EXPECT_EQ(Lines(next.host.log.begin() + 1, next.host.log.begin() + 3),
            L({" -> Warning: /p/Backup could not be put in place; its new content is kept as /p/Backup.unfinished",
               "- Completed the file changes of an interrupted run."}));
  EXPECT_EQ(fs.files["/p/Backup.unfinished/user.pbi"], userBefore);
  for (const char* name : {"user.pbi", "sub/deep.pbi", "Main.pb", "EventGadget.pb", "x.pbm"})
    EXPECT_EQ(fs.files["/p/" + std::string(name)], reference.files["/p/" + std::string(name)]) << name;
  EXPECT_EQ(machinery(fs), std::vector<std::string>{});
}

// An edit saved while the run works is never lost: before the commit it stops the run
// with nothing changed, and the next run takes it up; during the commit's renames the
// edited file is kept beside the new one.
TEST(Commit, AnEditSavedDuringTheRunIsKept) {
  MemoryFileSystem fs = renamedProject();
  fs.beforeCall = [&fs](const std::string& op, const std::string& path) {
    if (op == "temporary" && path == "/p/EventGadget.pb") fs.files["/p/Main.pb"] += "; my note\n";
  };
  Files expected = fs.files;
  expected["/p/Main.pb"] += "; my note\n";
  GenerationRun run(fs);
  EXPECT_EQ(run.end, RunEnd::Cancelled);
  ASSERT_GE(run.host.log.size(), 3u);
  EXPECT_EQ(Lines(run.host.log.end() - 3, run.host.log.end()),
            L({" -> Error: /p/Main.pb changed while the run was in progress; no file was changed, start the run "
               "again. Stop!",
               "Cancel.", ""}));
  EXPECT_EQ(fs.files, expected);
  EXPECT_EQ(machinery(fs), std::vector<std::string>{});
  fs.beforeCall = nullptr;
  GenerationRun again(fs);
  EXPECT_EQ(again.end, RunEnd::Ready);
  EXPECT_NE(fs.files["/p/Main.pb"].find("; my note"), std::string::npos);

  MemoryFileSystem late = renamedProject();
  late.beforeCall = [&late](const std::string& op, const std::string& path) {
    if (op == "rename" && path == "/p/.tarnwick-journal") late.files["/p/EventGadget.pb"] += "; late\n";
  };
  GenerationRun during(late);
  EXPECT_EQ(during.end, RunEnd::Ready);
  EXPECT_TRUE(during.host.logged(
      " -> Warning: /p/EventGadget.pb changed while the run was in progress; the edited file is kept "
      "as /p/EventGadget.pb.edited"));
  EXPECT_NE(late.files["/p/EventGadget.pb.edited"].find("; late"), std::string::npos);
}

// A failed listing, stat or read is no end of the folder and no missing file: the run
// stops before anything changes.
TEST(Commit, AFailedListingStatOrReadStopsTheRun) {
  struct Case {
    const char* what;
    std::function<void(MemoryFileSystem&)> fail;
    const char* stop;
  } cases[] = {
      {"listing", [](MemoryFileSystem& fs) { fs.unlistable.insert("/p/"); },
       " -> Error: no backup, no file was changed. Stop!"},
      {"stat of a file to back up", [](MemoryFileSystem& fs) { fs.unexaminable.insert("/p/user.pbi"); },
       " -> Error: no backup, no file was changed. Stop!"},
      {"read of Main.pb", [](MemoryFileSystem& fs) { fs.unreadable.insert("/p/Main.pb"); },
       " -> Error: the include files of Main.pb are not known. Stop!"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs = renamedProject();
    c.fail(fs);
    const Files before = fs.files;
    GenerationRun run(fs);
    EXPECT_EQ(run.end, RunEnd::Cancelled) << c.what;
    ASSERT_GE(run.host.log.size(), 3u) << c.what;
    EXPECT_EQ(Lines(run.host.log.end() - 3, run.host.log.end()), L({c.stop, "Cancel.", ""})) << c.what;
    EXPECT_EQ(fs.files, before) << c.what;
  }
}

// An include file that another project's run holds is not touched, nor what lies
// beside it.
TEST(Commit, AnIncludeFileHeldByAnotherRunIsRefused) {
  MemoryFileSystem fs = renamedProject();
  fs.locked.insert("/p/sub/deep.pbi");
  fs.files["/p/sub/.deep.pbi.tw-a1b2c3"] = "the other run's";
  fs.locked.insert("/p/user.pbi");
  fs.files["/p/.user.pbi.tw-d4e5f6"] = "the other run's";
  const Files before = fs.files;
  GenerationRun run(fs);
  EXPECT_EQ(run.end, RunEnd::Cancelled);
  EXPECT_TRUE(run.host.logged(
      " -> Error: the include file /p/user.pbi is being changed by another project's run; start "
      "again when that run has ended. Stop!"));
  EXPECT_EQ(fs.files, before);
}

}  // namespace
}  // namespace tarnwick
