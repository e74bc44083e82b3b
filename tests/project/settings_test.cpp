#include "project/settings.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;

TEST(Ini, GroupsAndKeysIgnoreCaseAndValuesAreTrimmed) {
  IniText ini;
  ini.lines = L({"[path]", "PROJECT =  /p/x.pbm \t", "[Default]", "utf8=0", "Parend"});
  EXPECT_EQ(ini.get("Path", "Project", ""), "/p/x.pbm");
  EXPECT_EQ(ini.get("Default", "Utf8", "1"), "0");
  EXPECT_EQ(ini.get("Default", "Multilang", "0"), "0");
  EXPECT_EQ(ini.get("Nowhere", "Utf8", "x"), "x");
  Switches s = readDefaultSwitches(ini);
  EXPECT_EQ(s.Utf8, 0);
  EXPECT_EQ(s.Parend, 1);
  EXPECT_EQ(s.UseCallFast, 1);
}

TEST(Ini, UpdatesInPlaceAddsKeysAndGroups) {
  IniText ini;
  ini.lines = L({"[Path]", "Last = /a/", "[Default]", "Parend = 1"});
  ini.set("PATH", "Last", "/b/");
  ini.set("Path", "Project", "/b/p.pbm");
  ini.set("Default", "Utf8", "0");
  ini.set("Extra", "k", "v");
  EXPECT_EQ(ini.lines, L({"[Path]", "Last = /b/", "Project = /b/p.pbm", "[Default]", "Parend = 1", "Utf8 = 0",
                          "[Extra]", "k = v"}));
}

TEST(Ini, NewFileGetsAMarkAndExistingFilesKeepTheirs) {
  MemoryFileSystem fs;
  ASSERT_TRUE(updateIniKey(fs, "/c/TW4.INI", "Path", "Last", ""));
  ASSERT_TRUE(updateIniKey(fs, "/c/TW4.INI", "Path", "Project", "Unbekannt.pbm"));
  EXPECT_EQ(fs.files["/c/TW4.INI"], "\xEF\xBB\xBF[Path]\nLast = \nProject = Unbekannt.pbm\n");
  fs.files["/c/other.ini"] = "[Path]\r\nLast = x\r\n";
  ASSERT_TRUE(updateIniKey(fs, "/c/other.ini", "path", "last", "y"));
  EXPECT_EQ(fs.files["/c/other.ini"], "[Path]\nlast = y\n");
}

TEST(UserGadgets, ParseAndWrite) {
  EXPECT_EQ(parseUserGadgets(L({"[USERGADGET]", "  MyChartGadget  ", "   ", "\tTabbed", "", "Ignored", "[OTHER]", "x"})),
            (Lines{"MyChartGadget", "\tTabbed"}));
  EXPECT_EQ(userGadgetFileBytes({}), "[USERGADGET]\n");
  EXPECT_EQ(userGadgetFileBytes({"A", "B"}), "[USERGADGET]\nA\nB\n");
}

}  // namespace
}  // namespace tarnwick
