#include "project/settings.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;

TEST(Ini, GroupsAndKeysIgnoreCaseAndValuesAreTrimmed) {
  IniText ini;
  ini.lines = L({"[path]", "PROJECT =  /p/x.pbm \t", "[Default]", "utf8=0", "Parend"});
  EXPECT_EQ(ini.get(U"Path", U"Project", U""), U"/p/x.pbm");
  EXPECT_EQ(ini.get(U"Default", U"Utf8", U"1"), U"0");
  EXPECT_EQ(ini.get(U"Default", U"Multilang", U"0"), U"0");
  EXPECT_EQ(ini.get(U"Nowhere", U"Utf8", U"x"), U"x");
  Switches s = readDefaultSwitches(ini);
  EXPECT_EQ(s.Utf8, 0);
  EXPECT_EQ(s.Parend, 1);
  EXPECT_EQ(s.UseCallFast, 1);
}

TEST(Ini, UpdatesInPlaceAddsKeysAndGroups) {
  IniText ini;
  ini.lines = L({"[Path]", "Last = /a/", "[Default]", "Parend = 1"});
  ini.set(U"PATH", U"Last", U"/b/");
  ini.set(U"Path", U"Project", U"/b/p.pbm");
  ini.set(U"Default", U"Utf8", U"0");
  ini.set(U"Extra", U"k", U"v");
  EXPECT_EQ(ini.lines, L({"[Path]", "Last = /b/", "Project = /b/p.pbm", "[Default]", "Parend = 1", "Utf8 = 0",
                          "[Extra]", "k = v"}));
}

TEST(Ini, NewFileGetsAMarkAndExistingFilesKeepTheirs) {
  MemoryFileSystem fs;
  ASSERT_TRUE(updateIniKey(fs, "/c/TW4.INI", U"Path", U"Last", U""));
  ASSERT_TRUE(updateIniKey(fs, "/c/TW4.INI", U"Path", U"Project", U"Unbekannt.pbm"));
  EXPECT_EQ(fs.files["/c/TW4.INI"], "\xEF\xBB\xBF[Path]\nLast = \nProject = Unbekannt.pbm\n");
  fs.files["/c/other.ini"] = "[Path]\r\nLast = x\r\n";
  ASSERT_TRUE(updateIniKey(fs, "/c/other.ini", U"path", U"last", U"y"));
  EXPECT_EQ(fs.files["/c/other.ini"], "[Path]\nlast = y\n");
}

TEST(UserGadgets, ParseAndWrite) {
  EXPECT_EQ(parseUserGadgets(L({"[USERGADGET]", "  MyChartGadget  ", "   ", "\tTabbed", "", "Ignored", "[OTHER]", "x"})),
            (Lines{U"MyChartGadget", U"\tTabbed"}));
  EXPECT_EQ(userGadgetFileBytes({}), "[USERGADGET]\n");
  EXPECT_EQ(userGadgetFileBytes({U"A", U"B"}), "[USERGADGET]\nA\nB\n");
}

}  // namespace
}  // namespace tarnwick
