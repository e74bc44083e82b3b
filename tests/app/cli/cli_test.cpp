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

  CommandLine ide;
  ASSERT_TRUE(parseCommandLine({"--ide", "--config-dir", "/c"}, ide, error)) << error;
  EXPECT_TRUE(ide.ide && ide.project.empty() && !ide.generate);
  ASSERT_TRUE(parseCommandLine({"--ide", "form.pbf"}, ide, error)) << error;
  EXPECT_EQ(ide.project, "form.pbf");
  CommandLine both;
  EXPECT_FALSE(parseCommandLine({"--ide", "--generate", "p.pbm"}, both, error));
  CommandLine bound;
  EXPECT_FALSE(parseCommandLine({"--ide", "f.pbf", "--bind", "A=B"}, bound, error));

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
  // Window:B2=X and Gone=OK name no vanished name: an error once every kind is bound,
  // not a name left unbound.
  err.str("");
  FormModel model;
  model.WindowList = {"Main"};
  EXPECT_FALSE(lenient.finishBindings(model));
  EXPECT_TRUE(lenient.bindingFailed());
  EXPECT_EQ(err.str(), "Error: --bind Window:B2=X: B2 is no vanished Window name (vanished: W0).\n");
}

TEST(CommandLine, BindingsWithoutTheWindowPrefixAndBindingsThatMatchNothing) {
  std::ostringstream out, err;
  FormModel model;
  model.GadgetList = {{"Window_0_Button_Buy", "BUTTONGADGET"}, {"Tool_Button_Buy", "BUTTONGADGET"}};
  // The objects of a window carry its prefix; the names may leave it out, and then bind
  // in every window that has both.
  CommandLineHost host(out, err, {{ObjectKind::Gadget, "Button_0", "Button_Buy"}}, false);
  BindAnswer a = host.askBindings(ObjectKind::Gadget, {"Window_0_Button_0", "Tool_Button_0", "Window_0_Text_0"},
                                  {"Window_0_Button_Buy", "Tool_Button_Buy", "Window_0_Text_1"});
  EXPECT_EQ(a.todo, (Lines{"Window_0_Button_0 > Window_0_Button_Buy", "Tool_Button_0 > Tool_Button_Buy"}));
  EXPECT_EQ(a.answer, 2);  // Window_0_Text_0 stays unbound
  EXPECT_FALSE(host.bindingFailed());
  EXPECT_TRUE(host.finishBindings(model));

  // The same command again, once the rename is in place: nothing left to bind, no error.
  CommandLineHost again(out, err, {{ObjectKind::Gadget, "Button_0", "Button_Buy"}}, false);
  EXPECT_TRUE(again.finishBindings(model));

  // A vanished name bound to a name that is not new; with names left unbound, a binding
  // for their kind that matched nothing is named as the mistake.
  for (bool allowUnbound : {true, false}) {
    std::ostringstream err2;
    CommandLineHost wrongNew(out, err2, {{ObjectKind::Gadget, "Button_0", "Button_Bye"}}, allowUnbound);
    EXPECT_EQ(wrongNew.askBindings(ObjectKind::Gadget, {"Window_0_Button_0"}, {"Window_0_Button_Buy"}).answer,
              allowUnbound ? 0 : 2);
    if (allowUnbound) {
      EXPECT_FALSE(wrongNew.finishBindings(model));
    }
    EXPECT_TRUE(wrongNew.bindingFailed());
    EXPECT_EQ(err2.str().substr(0, err2.str().find('\n') + 1),
              "Error: --bind Gadget:Button_0=Button_Bye: Button_Bye is no new Gadget name (new: Window_0_Button_Buy).\n");
  }

  // A vanished name that an earlier binding took already is named as such.
  std::ostringstream errTwice;
  CommandLineHost twice(out, errTwice,
                        {{ObjectKind::Gadget, "Button_0", "Button_Buy"}, {ObjectKind::Gadget, "Button_0", "Text_1"}},
                        false);
  EXPECT_EQ(twice.askBindings(ObjectKind::Gadget, {"Window_0_Button_0", "Window_0_Text_0"},
                              {"Window_0_Button_Buy", "Window_0_Text_1"})
                .answer,
            2);
  EXPECT_EQ(errTwice.str().substr(0, errTwice.str().find('\n') + 1),
            "Error: --bind Gadget:Button_0=Text_1: Window_0_Button_0 is bound already by an earlier --bind.\n");

  // A binding for a kind that nothing vanished from, and one without a kind that matched
  // nowhere, are found once every kind is bound.
  for (Binding b : {Binding{ObjectKind::MenuItem, "Item_Old", "Item_New"}, Binding{std::nullopt, "Gone", "New"}}) {
    std::ostringstream err3;
    CommandLineHost late(out, err3, {b}, false);
    EXPECT_EQ(late.askBindings(ObjectKind::Gadget, {"B"}, {"C"}).answer, 2);
    EXPECT_FALSE(late.bindingFailed());
    EXPECT_FALSE(late.finishBindings(model));
    EXPECT_TRUE(late.bindingFailed());
    EXPECT_NE(err3.str().find(b.kind ? "Error: --bind MenuItem:Item_Old=Item_New: Item_Old is no vanished MenuItem "
                                       "name (no MenuItem name vanished).\n"
                                     : "Error: --bind Gone=New: Gone is no vanished name.\n"),
              std::string::npos)
        << err3.str();
  }
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

// --ide: the file the IDE names leads to the project; when it leads nowhere, or is not
// given, the IDE's open project does. A .pbp without its project makes one.
TEST(CommandLine, IdeFindsTheProjectFromItsFileOrTheIdesProject) {
  MemoryFileSystem fs;
  fs.directories = {"/w", "/w/forms"};
  fs.files["/w/forms/F.pbf"] = "";
  fs.files["/w/App.pbp"] = "<project><section name=\"files\"><file name=\"forms\\F.pbf\"/></section></project>";
  std::string error;
  CommandLine none;
  none.ide = true;
  EXPECT_FALSE(chooseIdeProject(none, nullptr, error));
  EXPECT_NE(error.find("PB_TOOL_Project"), std::string::npos);

  auto run = [&](const std::string& file, const char* toolProject, std::string& out, std::string& err) {
    CommandLine cl;
    cl.ide = true;
    cl.project = file;
    cl.configDir = "/cfg";
    EXPECT_TRUE(chooseIdeProject(cl, toolProject, error));
    std::ostringstream o, e;
    int status = runCommandLineGeneration(cl, fs, o, e);
    out = o.str();
    err = e.str();
    return status;
  };
  std::string out, err;
  EXPECT_EQ(run("/w/forms/F.pbf", nullptr, out, err), 2);
  EXPECT_EQ(err, "tarnwick: No Tarnwick project (*.pbm) in /w/forms/ lists /w/forms/F.pbf\n");
  EXPECT_FALSE(fs.exists("/w/App.pbm"));
  // The form file leads nowhere: the IDE's project makes the project, whose run then
  // finds an empty form file.
  EXPECT_EQ(run("/w/forms/F.pbf", "/w/App.pbp", out, err), 1);
  EXPECT_EQ(out.substr(0, out.find('\n')), "New project /w/App.pbm made from App.pbp with 1 form file.");
  EXPECT_EQ(fs.files["/w/App.pbm"].rfind("[FILES]\nforms/F.pbf\n\n[SWITCH]\n", 0), 0u);
  // Without a file the IDE's project is used; it has its project now.
  EXPECT_EQ(run("", "/w/App.pbp", out, err), 1);
  EXPECT_EQ(out.substr(0, out.find('\n')), "Generate Code Step 1 ...");
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
