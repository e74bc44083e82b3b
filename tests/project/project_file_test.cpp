#include "project/project_file.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;

TEST(ParseNumber, PureBasicNumbers) {
  EXPECT_EQ(parseNumber("1"), 1);
  EXPECT_EQ(parseNumber("  \t-12x"), -12);
  EXPECT_EQ(parseNumber("$1F"), 31);
  EXPECT_EQ(parseNumber("%101"), 5);
  EXPECT_EQ(parseNumber("abc"), 0);
  EXPECT_EQ(parseNumber(""), 0);
  EXPECT_EQ(parseNumber("+7"), 7);
}

TEST(ProjectParse, SwitchLineRules) {
  FormModel m;
  m.switches.Utf8 = 1;
  m.switches.Parend = 1;
  m.switches.Multilang = 0;
  Lines files;
  parseProject(L({"[SWITCH]", "Utf8=0;", "Parend = 0", "Multilang= 1", "UseCallFast=$0", "Unknown=5",
                  "\tImage_Null\t=\t1"}), files, m);
  EXPECT_EQ(m.switches.Utf8, 0);        // ";" removed before parsing
  EXPECT_EQ(m.switches.Parend, 0);      // blanks around "=" belong to no key
  EXPECT_EQ(m.switches.Image_Null, 1);
  EXPECT_EQ(m.switches.Multilang, 1);   // blanks after "=" skipped
  EXPECT_EQ(m.switches.UseCallFast, 0);
  EXPECT_EQ(m.switches.PB_Ignore, 1);   // missing switch keeps its value
}

TEST(ProjectParse, SectionsEndAtEmptyLinesAndHeadersMatchExactly) {
  FormModel m;
  m.PreviousGadgetList = {"stale"};
  Lines files;
  parseProject(L({"[FILES]", "/a/one.pb", "/a/two.pbf", "", "/ignored.pb", "[WINDOW]", "Window_0", "", "Window_9",
                  "[GADGET]  ", "Window_0_Button_0", "[MENUITEM]", "Window_0_MenuItem_1"}),
               files, m);
  EXPECT_EQ(files, (Lines{"/a/one.pb", "/a/two.pbf"}));
  EXPECT_EQ(m.PreviousWindowList, (Lines{"Window_0"}));
  EXPECT_TRUE(m.PreviousGadgetList.empty());  // "[GADGET]  " is no known section
  EXPECT_EQ(m.PreviousMenuItemList, (Lines{"Window_0_MenuItem_1"}));
}

TEST(ProjectFile, RoundTripAndExactLayout) {
  FormModel m;
  m.switches = Switches{1, 1, 0, 0, 0, 1, 1};
  m.PreviousWindowList = {"Window_0"};
  m.PreviousMenuBarList = {"Window_0_Menu_0"};
  m.PreviousGadgetList = {"Window_0_Button_0", "Window_0_ListView_1"};
  MemoryFileSystem fs;
  // A row is a path, bytes: one in ISO 8859-1 is written and read back as it is.
  Lines files{"/p/form.pb", "/caf\xE9/b.pb"};
  ASSERT_TRUE(writeProjectFile(fs, "/p/x.pbm", files, m, false));
  EXPECT_EQ(fs.files["/p/x.pbm"],
            "[FILES]\n/p/form.pb\n/caf\xE9/b.pb\n\n[SWITCH]\nParend=1\nPB_Ignore=1\nMultilang=0\nImage_Include=0\nImage_Null=0\n"
            "UseCallFast=1\nUtf8=1\n\n[WINDOW]\nWindow_0\n\n[MENU]\nWindow_0_Menu_0\n\n[MENUITEM]\n\n[STATUSBAR]\n\n"
            "[TOOLBAR]\n\n[GADGET]\nWindow_0_Button_0\nWindow_0_ListView_1\n\n");
  FormModel back;
  Lines backFiles;
  fs.files["/p/y.pbm"] = fs.files["/p/x.pbm"];
  // CR LF line ends read the same.
  std::string crlf;
  for (char c : fs.files["/p/x.pbm"]) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  fs.files["/p/y.pbm"] = crlf;
  ASSERT_TRUE(readProjectFile(fs, "/p/y.pbm", backFiles, back));
  EXPECT_EQ(backFiles, files);
  EXPECT_EQ(back.switches, m.switches);
  EXPECT_EQ(back.PreviousGadgetList, m.PreviousGadgetList);
  EXPECT_EQ(back.PreviousMenuBarList, m.PreviousMenuBarList);
}

TEST(ProjectFile, EmptyFileListWritesNothingAndRunNamesComeFromTheModel) {
  FormModel m;
  MemoryFileSystem fs;
  EXPECT_FALSE(writeProjectFile(fs, "/p/x.pbm", {}, m, false));
  EXPECT_TRUE(fs.files.empty());

  m.PreviousWindowList = {"Old"};
  m.WindowList = {"New"};
  m.GadgetList = {{"New_Button", "BUTTONGADGET"}};
  Lines current = projectLines({"/p/a.pb"}, m, true);
  EXPECT_NE(std::find(current.begin(), current.end(), "New"), current.end());
  EXPECT_EQ(std::find(current.begin(), current.end(), "Old"), current.end());
  adoptCurrentNames(m);
  EXPECT_EQ(m.PreviousWindowList, (Lines{"New"}));
  EXPECT_EQ(m.PreviousGadgetList, (Lines{"New_Button"}));
}

TEST(ProjectFile, FilesOnlyKeepsSwitchesAndEmptiesPreviousNames) {
  FormModel m;
  m.switches = Switches{0, 0, 1, 1, 0, 0, 0};
  m.PreviousToolBarList = {"Old_ToolBar"};
  m.replaceList = {{"a", "b", ObjectKind::Gadget}};
  MemoryFileSystem fs;
  fs.files["/p/x.pbm"] = "[FILES]\n/p/one.pb\n/p/two.pb";  // no final line end
  Lines files{"stale"};
  ASSERT_TRUE(readProjectFile(fs, "/p/x.pbm", files, m));
  EXPECT_EQ(files, (Lines{"/p/one.pb", "/p/two.pb"}));
  EXPECT_EQ(m.switches, (Switches{0, 0, 1, 1, 0, 0, 0}));
  EXPECT_TRUE(m.PreviousToolBarList.empty());
  EXPECT_TRUE(m.replaceList.empty());
}

TEST(ProjectFile, MissingFileEmptiesTheProject) {
  FormModel m;
  m.PreviousWindowList = {"W"};
  MemoryFileSystem fs;
  Lines files{"x"};
  EXPECT_FALSE(readProjectFile(fs, "/none.pbm", files, m));
  EXPECT_TRUE(files.empty());
  EXPECT_TRUE(m.PreviousWindowList.empty());
}

TEST(ProjectFile, HoldsTellsWhetherTheSaveReachedTheFile) {
  FormModel m;
  m.PreviousWindowList = {"Window_0"};
  MemoryFileSystem fs;
  Lines files{"/p/a.pb"};
  EXPECT_FALSE(projectFileHolds(fs, "/p/x.pbm", files, m));  // not there
  ASSERT_TRUE(writeProjectFile(fs, "/p/x.pbm", files, m, false));
  EXPECT_TRUE(projectFileHolds(fs, "/p/x.pbm", files, m));
  m.switches.Utf8 = 1 - m.switches.Utf8;  // changed since the save
  EXPECT_FALSE(projectFileHolds(fs, "/p/x.pbm", files, m));
}

TEST(ProjectFile, RelativeRowsCountFromTheProjectFolder) {
  const char* const cases[][3] = {
      // row, project folder, path read
      {"forms/a.pb", "/p/", "/p/forms/a.pb"},
      {"./a.pb", "/p/", "/p/a.pb"},
      {"../lib/b.pb", "/p/", "/p/../lib/b.pb"},
      {"/abs/c.pb", "/p/", "/abs/c.pb"},
      {"a.pb", "", "a.pb"},  // a project not yet saved has no folder
  };
  for (const auto& c : cases) EXPECT_EQ(toUtf8(resolveFileRow(T(c[0]), T(c[1]))), c[2]) << c[0];
}

}  // namespace
}  // namespace tarnwick
