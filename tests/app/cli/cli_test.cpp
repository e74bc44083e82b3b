#include "app/cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>



namespace tarnwick {
namespace {

const char* const kStop = " -> Error: a file could not be written, no file was changed. Stop!\nCancel.\n\n";


TEST(CommandLine, ParsesOptionsAndRejectsBadOnes) {
  CommandLine cl;
  std::string error;
  ASSERT_TRUE(parseCommandLine({"--generate", "p.pbm", "--bind", "gadget:A=B", "--bind", "C=D", "--allow-unbound",
                                "--config-dir", "/cfg"},
                               cl, error))
      << error;
  EXPECT_TRUE(cl.generate);
  EXPECT_EQ(cl.project, "p.pbm");
  ASSERT_EQ(cl.bindings.size(), 2u);
  EXPECT_EQ(cl.bindings[0].kind, ObjectKind::Gadget);
  EXPECT_EQ(cl.bindings[0].oldName, "A");
  EXPECT_FALSE(cl.bindings[1].kind.has_value());
  EXPECT_TRUE(cl.allowUnbound);
  EXPECT_EQ(cl.configDir, "/cfg");

  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"--generate"}, {"--frobnicate"}, {"--generate", "p", "--bind", "Nope:A=B"},
           {"--generate", "p", "--bind", "AB"}, {"--generate", "p", "--bind", "=B"}, {"--bind", "A=B"},
           {"--generate", "p", "--force"}}) {
    CommandLine c2;
    EXPECT_FALSE(parseCommandLine(bad, c2, error)) << bad[0];
  }
  CommandLine restore;
  ASSERT_TRUE(parseCommandLine({"--restore", "p.pbm", "--force"}, restore, error)) << error;
  EXPECT_TRUE(restore.restore && restore.force);
  CommandLine plain;
  ASSERT_TRUE(parseCommandLine({"--config-dir", "/c", "my.pbm"}, plain, error)) << error;
  EXPECT_FALSE(plain.generate);
  EXPECT_EQ(plain.project, "my.pbm");
  EXPECT_EQ(plain.configDir, "/c");  // the window keeps its settings there too

  // The window's title and --version name the same version as the package.
  EXPECT_TRUE(std::string(kProgramTitle).ends_with(std::string(" v") + kVersion)) << kVersion;
}

TEST(CommandLine, BindingsActAsTheDialogWould) {
  std::ostringstream out, err;
  std::vector<Binding> binds{{ObjectKind::Window, "W0", "Main"},
                             {std::nullopt, "B1", "OK"},
                             {std::nullopt, "B1", "OK"},     // the same pair again: ignored
                             {ObjectKind::Window, "B2", "X"}, // other kind: ignored here
                             {std::nullopt, "Gone", "OK"}};   // not in the old list
  CommandLineHost host(out, err, binds, false);
  BindAnswer a = host.askBindings(ObjectKind::Gadget, {"B1", "B2"}, {"OK", "X"});
  EXPECT_EQ(a.answer, 2);  // B2 stays unbound
  EXPECT_EQ(a.todo, (Lines{"B1 > OK"}));
  EXPECT_NE(err.str().find("B2"), std::string::npos);
  EXPECT_NE(err.str().find("X"), std::string::npos);

  CommandLineHost lenient(out, err, binds, true);
  EXPECT_EQ(lenient.askBindings(ObjectKind::Gadget, {"B1", "B2"}, {"OK", "X"}).answer, 0);
  BindAnswer w = lenient.askBindings(ObjectKind::Window, {"W0"}, {"Main"});
  EXPECT_EQ(w.answer, 0);
  EXPECT_EQ(w.todo, (Lines{"W0 > Main"}));
}

TEST(CommandLine, BindingsTakeTheFirstOccurrenceOfRepeatedNames) {
  std::ostringstream out, err;
  std::vector<Binding> binds{{std::nullopt, "A", "X"}, {std::nullopt, "A", "X"}, {std::nullopt, "B", "A"}};
  CommandLineHost host(out, err, binds, false);
  BindAnswer a = host.askBindings(ObjectKind::Gadget, {"A", "B", "A"}, {"X", "A", "X"});
  EXPECT_EQ(a.answer, 2);
  EXPECT_EQ(a.todo, (Lines{"A > X", "B > A"}));
  // The repeated pair is taken once, so one A and one X stay.
  EXPECT_EQ(err.str().substr(0, err.str().find("Bind them")), "Unbound old Gadget names: A\nNew Gadget names: X\n");
}

TEST(CommandLine, UnreadableProjectIsExitTwo) {
  MemoryFileSystem fs;
  CommandLine cl;
  cl.generate = true;
  cl.project = "/nowhere/p.pbm";
  cl.configDir = "/cfg";
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLineGeneration(cl, fs, out, err), 2);
  EXPECT_EQ(err.str(), "Error open file project: /nowhere/p.pbm\n");
  EXPECT_TRUE(out.str().empty());
}

TEST(CommandLine, SettingsComeFromTheConfigFolderAndAreNeverWritten) {
  MemoryFileSystem fs;
  fs.files["/cfg/TW4.INI"] = "\xEF\xBB\xBF[Default]\nUtf8 = 0\n";
  fs.files["/p/x.pbm"] = "[FILES]\n\n";
  CommandLine cl;
  cl.generate = true;
  cl.project = "/p/x.pbm";
  cl.configDir = "/cfg";
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLineGeneration(cl, fs, out, err), 1);
  EXPECT_EQ(out.str(),
            "Generate Code Step 1 ...\n- Check Main.pb\n -> Main.pb not found.\n- Load Files...\n"
            "None Files to Generate.\nCancel.\n\n");
  EXPECT_EQ(fs.writes, 0);
  EXPECT_FALSE(fs.exists("/cfg/UserList.INI"));
}

// A file that cannot be written cancels the run with status 1 and changes nothing.
TEST(CommandLine, AFileThatCannotBeWrittenCancels) {
  struct Case {
    const char* name;
    std::string readOnly;  // a path that refuses writes, or empty
    bool everyWriteRefused;  // as on a full disk
    int status;
    const char* lastLines;
  } cases[] = {
      {"all written", "", false, 0, "Ready.\n\n"},
      {"event file read-only", "/p/EventGadget.pb", false, 1, kStop},
      {"project file read-only", "/p/x.pbm", false, 1, kStop},
      {"backup copy refused", "/p/Backup/form.pb", false, 1,
       "- Error CopyDirectory\n -> Error: no backup, no file was changed. Stop!\nCancel.\n\n"},
      {"every write refused", "", true, 1, kStop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    fs.directories.insert("/p");
    fs.files["/p/form.pb"] =
        "Enumeration\n  #Window_0\nEndEnumeration\nProcedure Open_Window_0()\n"
        "  If OpenWindow(#Window_0, 0, 0, 300, 200, \"T\")\n  EndIf\nEndProcedure\n";
    fs.files["/p/x.pbm"] = "[FILES]\n/p/form.pb\n\n[SWITCH]\nMultilang=0\n";
    if (!c.readOnly.empty()) {
      if (c.readOnly.rfind("/p/Backup/", 0) == 0) fs.directories.insert("/p/Backup");
      fs.files.emplace(c.readOnly, "old");
      fs.readOnly.insert(c.readOnly);
    }
    if (c.everyWriteRefused)
      for (const char* name : {"Main.pb", "CommonFile.pb", "EventMain.pb", "EventMenu.pb", "EventGadget.pb",
                               "EventWindow.pb", "x.pbm"})
        fs.readOnly.insert(std::string("/p/") + name);
    const auto before = fs.files;
    CommandLine cl;
    cl.generate = true;
    cl.project = "/p/x.pbm";
    cl.configDir = "/cfg";
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLineGeneration(cl, fs, out, err), c.status);
    const std::string log = out.str();
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), std::strlen(c.lastLines))), c.lastLines);
    EXPECT_EQ(err.str(), "");
    if (c.status != 0) {
      EXPECT_EQ(fs.files, before);
    }
  }
}

}  // namespace
}  // namespace tarnwick
