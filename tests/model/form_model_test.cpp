#include "model/form_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tarnwick {
namespace {

TEST(CommandTables, CompleteAndDistinct) {
  std::set<std::string> prefix, gadget;
  for (const char* n : kPrefixCommands) {
    ASSERT_NE(n, nullptr);
    prefix.insert(toUtf8(upper(T(n))));
  }
  for (const char* n : kGadgetCommands) {
    ASSERT_NE(n, nullptr);
    gadget.insert(toUtf8(upper(T(n))));
  }
  EXPECT_EQ(prefix.size(), 139u);
  EXPECT_EQ(gadget.size(), 36u);
  // Every gadget-creating command also takes the window prefix.
  for (const std::string& g : gadget) EXPECT_TRUE(prefix.count(g)) << g;
}

TEST(CommandSets, UserGadgetsJoinBothSetsIgnoringCase) {
  CommandSet prefix, gadget;
  buildCommandSets({"MyChartGadget", "buttongadget"}, prefix, gadget);
  EXPECT_EQ(prefix.size(), 140u);  // ButtonGadget is present only once
  EXPECT_EQ(gadget.size(), 37u);
  EXPECT_TRUE(gadget.contains("MYCHARTGADGET"));
  EXPECT_TRUE(prefix.contains("mychartgadget"));
  EXPECT_TRUE(gadget.contains("textgadget"));
  EXPECT_FALSE(gadget.contains("SetGadgetText"));
  EXPECT_TRUE(prefix.contains("SetGadgetText"));
}

TEST(LanguageMapOrder, FirstInsertionKeepsItsPlace) {
  LanguageMap map;
  map.set("Open", "Open");
  map.set("Save", "Save");
  map.set("Open", "Öffnen");
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.entries()[0], (std::pair<Text, Text>{"Open", "Öffnen"}));
  EXPECT_EQ(map.entries()[1].first, "Save");
  EXPECT_FALSE(map.contains("open"));  // keys are case-sensitive
}

TEST(FormModelReset, RunResetKeepsProjectData) {
  FormModel m;
  m.UserGadgetList = {"MyGadget"};
  m.PreviousWindowList = {"Window_0"};
  m.switches.Multilang = 1;
  m.ProjectPath = "/p/x.pbm";
  m.WindowList = {"Window_0"};
  m.GadgetList = {{"Window_0_Button_0", "BUTTONGADGET"}};
  m.FormCodeLines = {"x"};
  m.Language.set("a", "a");
  m.buffers.main = {"line"};
  m.sections.fonts = {";- Load Font"};
  m.resetRun();
  EXPECT_TRUE(m.WindowList.empty());
  EXPECT_TRUE(m.GadgetList.empty());
  EXPECT_TRUE(m.FormCodeLines.empty());
  EXPECT_EQ(m.Language.size(), 0u);
  EXPECT_TRUE(m.buffers.main.empty());
  EXPECT_TRUE(m.sections.fonts.empty());
  EXPECT_EQ(m.UserGadgetList, (Lines{"MyGadget"}));
  EXPECT_EQ(m.PreviousWindowList, (Lines{"Window_0"}));
  EXPECT_EQ(m.switches.Multilang, 1);
  EXPECT_EQ(m.projectDirectory(), "/p/");
  EXPECT_EQ(m.projectFile("Main.pb"), "/p/Main.pb");
}

}  // namespace
}  // namespace tarnwick
