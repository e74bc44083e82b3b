#include "rewrite/update_sources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <fstream>
#include <set>

#include "run/commit.h"
#include "run/steps.h"
#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::RecordingHost;

struct UpdateFixture : ::testing::Test {
  FormModel m;
  MemoryFileSystem fs;
  RecordingHost host;
  RunContext ctx{m, host, fs, {}};
  UpdateFixture() {
    m.ProjectPath = "/p/app.pbm";
    fs.directories.insert("/p");
  }
};

TEST_F(UpdateFixture, StagesCarryRenamesIntoTheFourBuffers) {
  // Names of a window's objects arrive with the window's new prefix already.
  m.replaceList = {{"Window_0", "Main", ObjectKind::Window},
                   {"Main_Button_1", "Main_OkButton", ObjectKind::Gadget},
                   {"Main_Item", "Main_Save", ObjectKind::MenuItem},
                   {"Main_Bar", "Main_Status", ObjectKind::StatusBar}};
  m.buffers.main = L({"Open_Window_0()", "If #Window_0 Or #Window_01 : Open_Window_01() : EndIf",
                      "x = #window_0_Button_1 : y = #Main_Button_10"});
  m.buffers.eventMenu = L({"Procedure EventMenu_Window_0_Item()", "Procedure EventMenu_Window_0_Open()",
                           "  Open_Window_0()", "Procedure EventMenu_Window_0_Item0()"});
  m.buffers.eventGadget = L({"Procedure EventGadget_Window_0_Button_1(EventType)",
                             "Procedure EventGadget_Window_0_Button_10(EventType)",
                             "  SetGadgetText(#Window_0_Button_1, \"x\") : StatusBarText(#Window_0_Bar, 0, \"\")"});
  m.buffers.eventWindow = L({"Procedure EventSize_Window_0()", "  ResizeWindow(#Window_0, 0, 0, 1, 1)",
                             "  ResizeGadgetsWindow_0() : ResizeGadgetsWindow_01()",
                             "Procedure EventExit_Window_0()", "Procedure EventSize_Window_01()"});
  const FileBuffer common = L({"#Window_0"});
  m.buffers.common = common;

  updateSources(ctx);

  EXPECT_EQ(host.log, L({"Generate Code Step 3 ...", "- Make Backup...", "- Update Prefix", "- Update Procedure",
                         "- Update Constants", "- Update Open Window", "- Update IncludeFiles"}));
  EXPECT_EQ(m.buffers.main, L({"Open_Main()", "If #Main Or #Window_01 : Open_Window_01() : EndIf",
                               "x = #Main_OkButton : y = #Main_Button_10"}));
  EXPECT_EQ(m.buffers.eventMenu, L({"Procedure EventMenu_Main_Save()", "Procedure EventMenu_Main_Open()",
                                    "  Open_Main()", "Procedure EventMenu_Main_Item0()"}));
  EXPECT_EQ(m.buffers.eventGadget,
            L({"Procedure EventGadget_Main_OkButton(EventType)", "Procedure EventGadget_Main_Button_10(EventType)",
               "  SetGadgetText(#Main_OkButton, \"x\") : StatusBarText(#Main_Status, 0, \"\")"}));
  EXPECT_EQ(m.buffers.eventWindow, L({"Procedure EventSize_Main()", "  ResizeWindow(#Main, 0, 0, 1, 1)",
                                      "  ResizeGadgetsMain() : ResizeGadgetsWindow_01()",
                                      "Procedure EventExit_Main()", "Procedure EventSize_Window_01()"}));
  EXPECT_EQ(m.buffers.common, common);  // CommonFile.pb is generated anew, never rewritten
}

// A binding whose new name is a window or gadget kept in a variable renames the bare
// name too, as a whole word, in the buffers and the include files, and an old constant
// (an object switched to variable mode) to the variable; a constant's binding leaves
// bare words alone.
TEST_F(UpdateFixture, BindingsOfVariablesRenameTheBareName) {
  m.WindowList = {"Main"};
  m.WindowVariableList = {true};
  m.GadgetList = {{"OkButton", "BUTTONGADGET", true},
                  {"Main_Close", "BUTTONGADGET"},
                  {"Edit_0", "STRINGGADGET", true}};
  m.replaceList = {{"Window_0", "Main", ObjectKind::Window},
                   {"Button_0", "OkButton", ObjectKind::Gadget},
                   {"Main_Quit", "Main_Close", ObjectKind::Gadget},
                   {"Main_Edit", "Edit_0", ObjectKind::Gadget}};
  m.buffers.main = L({"  If IsWindow(Window_0) : Open_Window_0() : EndIf"});
  m.buffers.eventMenu = L({"Procedure EventMenu_Window_0_Quit()"});
  m.buffers.eventGadget = L({"Procedure EventGadget_Button_0(EventType)",
                             "  DisableGadget(button_0, 1) : x = Button_01 + Main_Quit : SetGadgetText(#Main_Quit, \"\")"});
  m.buffers.eventWindow = L({"Procedure EventExit_Window_0()", "  CloseWindow(Window_0) : HideGadget(#Main_Edit, 1)"});
  m.IncludeFileList = L({"/p/u.pbi"});
  fs.files["/p/u.pbi"] = "HideWindow(Window_0, 1) : SetGadgetText(Button_0, \"Button_0\")\n#Window_0_Quit\n";

  EXPECT_TRUE(updateSources(ctx));
  EXPECT_TRUE(commitChanges(ctx));
  EXPECT_EQ(m.buffers.main, L({"  If IsWindow(Main) : Open_Main() : EndIf"}));
  EXPECT_EQ(m.buffers.eventMenu, L({"Procedure EventMenu_Main_Quit()"}));
  EXPECT_EQ(m.buffers.eventGadget,
            L({"Procedure EventGadget_OkButton(EventType)",
               "  DisableGadget(OkButton, 1) : x = Button_01 + Main_Quit : SetGadgetText(#Main_Close, \"\")"}));
  EXPECT_EQ(m.buffers.eventWindow, L({"Procedure EventExit_Main()", "  CloseWindow(Main) : HideGadget(Edit_0, 1)"}));
  // The first line is changed by both bare-name rules, the second by the prefix rule
  // and then by the constant rule of the gadget.
  EXPECT_EQ(host.log.back(), T(" -> Update Includefile /p/u.pbi / Count Change: 4"));
  EXPECT_EQ(fs.files["/p/u.pbi"], "HideWindow(Main, 1) : SetGadgetText(OkButton, \"OkButton\")\n#Main_Close\n");
}

// Windows Main and Main_Options: renaming Main reaches only what belongs to Main, in
// every prefix rule, whether Main_Options is a window of this run or of the last one.
TEST_F(UpdateFixture, PrefixRulesLeaveWindowsThatShareThePrefix) {
  for (bool optionsIsCurrent : {true, false}) {
    SCOPED_TRACE(optionsIsCurrent ? "current window" : "previous window");
    m.PreviousWindowList = L({"Main", "Main_Options"});
    m.WindowList = optionsIsCurrent ? L({"Start", "Main_Options"}) : L({"Start"});
    m.replaceList = {{"Main", "Start", ObjectKind::Window}};
    const Lines untouched = L({"x = #Main_Options : y = #main_options_Ok : Open_Main_Options()",
                               "Procedure EventMenu_Main_Options_Save() : EventGadget_Main_Options_Ok(1)",
                               "Procedure EventExit_Main_Options() : EventSize_Main_Options()"});
    Lines mixedLine = L({"a = #Main_Ok + #Main_Options_Ok + #MAIN_Ok_Options"});
    for (FileBuffer* b : {&m.buffers.main, &m.buffers.eventMenu, &m.buffers.eventGadget, &m.buffers.eventWindow}) {
      *b = untouched;
      b->push_back(mixedLine[0]);
    }
    m.buffers.eventMenu.push_back("Procedure EventMenu_Main_Save()");
    m.buffers.eventGadget.push_back("Procedure MyEventGadget_Main_Ok()");
    m.buffers.eventWindow.push_back("EventSize_Main_Splitter() : EventExit_Main()");
    fs.files["/p/inc.pbi"] = "#Main_Options_Ok = #Main_Ok\n#Main_Options\n";
    m.IncludeFileList = L({"/p/inc.pbi"});

    ASSERT_TRUE(updateSources(ctx));
    ASSERT_TRUE(commitChanges(ctx));
    const Text renamed = "a = #Start_Ok + #Main_Options_Ok + #Start_Ok_Options";
    for (FileBuffer* b : {&m.buffers.main, &m.buffers.eventMenu, &m.buffers.eventGadget, &m.buffers.eventWindow}) {
      EXPECT_EQ(Lines(b->begin(), b->begin() + 3), untouched);
      EXPECT_EQ((*b)[3], renamed);
    }
    EXPECT_EQ(m.buffers.eventMenu[4], "Procedure EventMenu_Start_Save()");
    EXPECT_EQ(m.buffers.eventGadget[4], "Procedure MyEventGadget_Start_Ok()");
    EXPECT_EQ(m.buffers.eventWindow[4], "EventSize_Start_Splitter() : EventExit_Start()");
    EXPECT_EQ(fs.files["/p/inc.pbi"], "#Main_Options_Ok = #Start_Ok\n#Main_Options\n");
  }
}

TEST_F(UpdateFixture, EmptyReplaceListChangesNothingButCreatesMissingIncludes) {
  m.buffers.main = L({"#Window_0"});
  m.IncludeFileList = L({"/p/a.pbi", "/p/missing.pbi"});
  fs.files["/p/a.pbi"] = "#Window_0\r\n";
  EXPECT_TRUE(updateSources(ctx));
  EXPECT_FALSE(fs.files.count("/p/missing.pbi"));  // created by the commit, not before
  EXPECT_TRUE(commitChanges(ctx));
  EXPECT_EQ(m.buffers.main, L({"#Window_0"}));
  EXPECT_EQ(host.log.back(), "- Update IncludeFiles");
  EXPECT_EQ(fs.files["/p/a.pbi"], "#Window_0\r\n");
  ASSERT_TRUE(fs.files.count("/p/missing.pbi"));
  EXPECT_EQ(fs.files["/p/missing.pbi"], "");
}

struct IncludeCase {
  const char* what;
  std::string before;
  int count;                // 0: the file is not written
  std::string after;
  bool mixed = false;       // reported as mixing UTF-8 and 8-bit lines
};

TEST_F(UpdateFixture, IncludeFilesAreCountedAndWrittenInTheirEncoding) {
  m.replaceList = {{"Window_0", "Main", ObjectKind::Window}, {"Main_Button_1", "Main_Ok", ObjectKind::Gadget}};
  const std::string u16mark("\xFF\xFE", 2);
  const IncludeCase cases[] = {
      {"CR LF becomes LF", "; x\r\nSetGadgetText(#Main_Button_1, \"\")\r\n", 1, "; x\nSetGadgetText(#Main_Ok, \"\")\n"},
      {"two lines", "a = #Window_0_Text\nOpen_Window_0()\n", 2, "a = #Main_Text\nOpen_Main()\n"},
      {"one line, two rules", "a = #Window_0_Text : Open_Window_0()", 2, "a = #Main_Text : Open_Main()\n"},
      // #Window_0_Button_1 is changed by the prefix rule and then by the constant rule.
      {"one line, two entries", "x(#Window_0_Button_1)\n", 2, "x(#Main_Ok)\n"},
      {"nothing to do", "x(#Window_01)\r\n", 0, "x(#Window_01)\r\n"},
      {"8-bit stays 8-bit", "; \xE4\n#Window_0\n", 1, "; \xE4\n#Main\n"},
      {"UTF-8 without mark stays so", "; \xC3\xA4\n#Window_0\n", 1, "; \xC3\xA4\n#Main\n"},
      {"UTF-8 mark is kept", "\xEF\xBB\xBF; \xC3\xA4\n#Window_0\n", 1, "\xEF\xBB\xBF; \xC3\xA4\n#Main\n"},
      {"UTF-16 read and written as such", u16mark + std::string("#\0W\0i\0n\0d\0o\0w\0_\0" "0\0\r\0\n\0", 22), 1,
       u16mark + std::string("#\0M\0a\0i\0n\0\n\0", 12)},
      {"UTF-8 and 8-bit lines become UTF-8", "; \xE4\n; \xE4\xBD\xA0\n#Window_0\n", 1,
       "; \xC3\xA4\n; \xE4\xBD\xA0\n#Main\n", true},
  };
  for (const IncludeCase& c : cases) {
    host.log.clear();
    fs.files["/p/inc.pbi"] = c.before;
    m.IncludeFileList = L({"/p/inc.pbi"});
    EXPECT_TRUE(updateIncludeFiles(ctx));
    EXPECT_TRUE(commitChanges(ctx));
    Lines expectedLog = L({"- Update IncludeFiles"});
    if (c.mixed) expectedLog.push_back(" -> Warning: mixed encodings in /p/inc.pbi");
    if (c.count) expectedLog.push_back(" -> Update Includefile /p/inc.pbi / Count Change: " + numberText(c.count));
    EXPECT_EQ(host.log, expectedLog) << c.what;
    EXPECT_EQ(fs.files["/p/inc.pbi"], c.after) << c.what;
  }
}

TEST_F(UpdateFixture, IncludeFileFailuresKeepTheOldContent) {
  m.replaceList = {{"Window_0", "Fenster_\u0141", ObjectKind::Window}, {"A", "B", ObjectKind::Gadget}};
  fs.files["/p/ro.pbi"] = "#A\n";
  fs.readOnly.insert("/p/ro.pbi");
  fs.files["/p/locked.pbi"] = "#A\n";
  fs.unreadable.insert("/p/locked.pbi");
  fs.files["/p/latin.pbi"] = "#Window_0\n";                  // 8-bit: cannot hold the new name
  fs.files["/p/broken.pbi"] = "\xEF\xBB\xBF#A \xE4\n";       // UTF-8 mark, but 8-bit text behind it
  fs.files["/p/ok.pbi"] = "#A\n";
  m.IncludeFileList = L({"/p/ro.pbi", "/p/locked.pbi", "/p/latin.pbi", "/p/broken.pbi", "/p/ok.pbi"});
  const auto before = fs.files;
  // Every file is tried and logged; one that cannot be written fails the stage.
  EXPECT_FALSE(updateIncludeFiles(ctx));
  EXPECT_EQ(host.log, L({"- Update IncludeFiles", " -> Update Includefile /p/ro.pbi / Count Change: 1",
                         " -> Error WriteFile /p/ro.pbi / Errorcode: 1",
                         " -> Error OpenFile /p/locked.pbi / Errorcode: 1",
                         " -> Update Includefile /p/latin.pbi / Count Change: 1",
                         " -> Error WriteFile /p/latin.pbi / Errorcode: 1",
                         " -> Error: /p/broken.pbi is not valid UTF-8 at byte 7.",
                         " -> Update Includefile /p/ok.pbi / Count Change: 1"}));
  ctx.changes.discard(fs);
  EXPECT_EQ(fs.files, before);
}

TEST_F(UpdateFixture, BackupCopiesPureBasicFilesOnly) {
  for (const char* name : {"Main.pb", "inc.pbi", "form.pbf", "app.pbm", "x.pb.old", "notes.txt", "MAIN.PB", ".hidden.pb"})
    fs.files[std::string("/p/") + name] = name;
  fs.directories.insert("/p/sub.pb");
  fs.files["/p/sub.pb/deep.pb"] = "deep";
  fs.directories.insert("/p/Backup");
  fs.files["/p/Backup/Main.pb"] = "older copy";
  fs.files["/p/Backup/gone.pb"] = "stays";

  EXPECT_TRUE(makeBackup(ctx));
  EXPECT_EQ(fs.files["/p/Backup/Main.pb"], "older copy");  // nothing changes before the commit
  ASSERT_EQ(ctx.changes.stageFile(fs, "/p/Main.pb", "new"), StageResult::Changed);
  EXPECT_TRUE(commitChanges(ctx));

  EXPECT_EQ(host.log, L({"- Make Backup..."}));
  std::vector<DirEntry> entries;
  fs.listDirectory("/p/Backup", entries);
  std::set<std::string> names;
  for (const DirEntry& e : entries) names.insert(e.name);
  EXPECT_EQ(names, (std::set<std::string>{"Main.pb", "inc.pbi", "form.pbf", "app.pbm", "x.pb.old", "gone.pb", ".restore"}));
  EXPECT_EQ(fs.files["/p/Backup/Main.pb"], "Main.pb");
  EXPECT_EQ(fs.files["/p/Backup/gone.pb"], "stays");
  EXPECT_EQ(fs.files["/p/Backup/.restore"], "Tarnwick restore 1\nchanged\tMain.pb\tMain.pb\t" + contentDigest("new") + "\n");
}

// A backup that cannot be made whole stages nothing and stops the step before any
// update stage.
TEST_F(UpdateFixture, BackupFailuresStopTheStep) {
  struct Case {
    const char* what;
    std::function<void(MemoryFileSystem&)> setUp;
  } cases[] = {
      {"unreadable file", [](MemoryFileSystem& f) { f.unreadable.insert("/p/a.pb"); }},
      {"copy refused", [](MemoryFileSystem& f) {
         f.directories.insert("/p/Backup");
         f.readOnly.insert("/p/Backup/b.pb");
       }},
      {"Backup is a file", [](MemoryFileSystem& f) { f.files["/p/Backup"] = ""; }},
  };
  for (const Case& c : cases) {
    MemoryFileSystem disk;
    disk.directories.insert("/p");
    for (const char* name : {"a.pb", "b.pb", "c.pb"}) disk.files[std::string("/p/") + name] = name;
    c.setUp(disk);
    const auto before = disk.files;
    RecordingHost h;
    RunContext run{m, h, disk, {}};
    EXPECT_FALSE(updateSources(run)) << c.what;
    EXPECT_EQ(h.log, L({"Generate Code Step 3 ...", "- Make Backup...", "- Error CopyDirectory",
                        " -> Error: no backup, no file was changed. Stop!"}))
        << c.what;
    EXPECT_EQ(disk.files, before) << c.what;
    EXPECT_FALSE(run.changes.hasChanges());
  }
}

TEST(MakeBackupOnDisk, CopiesRegularFilesAndSkipsAPipe) {
  char tmpl[] = "/tmp/tarnwick-backup-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/";
  std::ofstream(dir + "Main.pb") << "Main";
  std::ofstream(dir + "app.pbm") << "[FILES]";
  ASSERT_EQ(mkfifo((dir + "x.pb").c_str(), 0600), 0);  // reading it would block
  ASSERT_EQ(mkdir((dir + "Backup").c_str(), 0755), 0);

  FormModel m;
  m.ProjectPath = fromUtf8(dir + "app.pbm");
  DiskFileSystem fs;
  RecordingHost host;
  RunContext ctx{m, host, fs, {}};
  EXPECT_TRUE(makeBackup(ctx));
  ASSERT_EQ(ctx.changes.stageFile(fs, dir + "Main.pb", "new"), StageResult::Changed);
  EXPECT_TRUE(commitChanges(ctx));

  EXPECT_EQ(host.log, L({"- Make Backup..."}));
  std::string bytes;
  EXPECT_TRUE(fs.readFile(dir + "Backup/Main.pb", bytes));
  EXPECT_EQ(bytes, "Main");
  EXPECT_TRUE(fs.readFile(dir + "Backup/app.pbm", bytes));
  EXPECT_FALSE(fs.exists(dir + "Backup/x.pb"));
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
}  // namespace tarnwick
