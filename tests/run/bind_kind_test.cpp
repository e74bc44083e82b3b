#include "run/steps.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::RecordingHost;

std::vector<GadgetEntry> gadgets(std::initializer_list<const char*> names) {
  std::vector<GadgetEntry> out;
  for (const char* n : names) out.push_back({T(n), "BUTTONGADGET"});
  return out;
}

struct BindFixture : ::testing::Test {
  FormModel m;
  MemoryFileSystem fs;
  RecordingHost host;
  RunContext ctx{m, host, fs, {}};
};

TEST_F(BindFixture, NoDialogWithoutOldNames) {
  struct Case {
    const char* what;
    Lines previous, current;
  } cases[] = {
      {"first run", {}, L({"Window_0", "Window_1"})},
      {"same names reordered", L({"Window_0", "Window_1"}), L({"Window_1", "Window_0"})},
      {"only new names", L({"Window_0"}), L({"Window_0", "Window_1"})},
  };
  for (const Case& c : cases) {
    m.PreviousWindowList = c.previous;
    m.WindowList = c.current;
    host.requests.clear();
    EXPECT_TRUE(bindKind(ctx, ObjectKind::Window)) << c.what;
    EXPECT_TRUE(host.requests.empty()) << c.what;
    EXPECT_TRUE(m.replaceList.empty()) << c.what;
  }
}

TEST_F(BindFixture, CaseOnlyChangeIsOldAndNewAtOnce) {
  m.PreviousGadgetList = L({"Window_0_Button_1", "Window_0_Text"});
  m.GadgetList = gadgets({"Window_0_button_1", "Window_0_Text"});
  host.answers.push_back({0, L({"Window_0_Button_1 > Window_0_button_1"})});
  EXPECT_TRUE(bindKind(ctx, ObjectKind::Gadget));
  ASSERT_EQ(host.requests.size(), 1u);
  EXPECT_EQ(host.requests[0].kind, ObjectKind::Gadget);
  EXPECT_EQ(host.requests[0].oldEntries, L({"Window_0_Button_1"}));
  EXPECT_EQ(host.requests[0].newEntries, L({"Window_0_button_1"}));
  EXPECT_EQ(m.replaceList, (ReplaceList{{"Window_0_Button_1", "Window_0_button_1", ObjectKind::Gadget}}));
}

TEST_F(BindFixture, RepeatedNamesAreOfferedAsOftenAsTheyOccur) {
  m.PreviousMenuItemList = L({"A", "A", "B"});
  m.MenuItemList = L({"B", "X", "X"});
  EXPECT_FALSE(bindKind(ctx, ObjectKind::MenuItem));  // the empty answer queue cancels
  ASSERT_EQ(host.requests.size(), 1u);
  EXPECT_EQ(host.requests[0].oldEntries, L({"A", "A"}));
  EXPECT_EQ(host.requests[0].newEntries, L({"X", "X"}));
}

TEST_F(BindFixture, TodoEntriesBecomeReplaceEntriesInListOrder) {
  m.PreviousToolBarList = L({"T1", "T2", "T3"});
  m.ToolBarList = L({"N1", "N2"});
  // Yes with one name left unbound: the step goes on with the bound pairs only.
  host.answers.push_back({0, L({"T2 > N1", "  T1   >  N2 > x", "T3 > ", "garbage"})});
  EXPECT_TRUE(bindKind(ctx, ObjectKind::ToolBar));
  EXPECT_EQ(m.replaceList, (ReplaceList{{"T2", "N1", ObjectKind::ToolBar}, {"T1", "N2", ObjectKind::ToolBar}}));
}

TEST_F(BindFixture, BoundWindowCarriesItsObjectsAlong) {
  m.PreviousWindowList = L({"Window_0"});
  m.WindowList = L({"Main"});
  m.PreviousMenuItemList = L({"Window_0_Open", "Other_Open"});
  m.MenuItemList = L({"Main_Open", "Other_Open"});
  m.PreviousGadgetList = L({"Window_0_Button", "window_0_Text", "Window_0_Label"});
  m.GadgetList = gadgets({"Main_Button", "Main_Text", "Main_Caption"});
  host.answers.push_back({0, L({"Window_0 > Main"})});
  host.answers.push_back({0, L({"Main_Label > Main_Caption", "window_0_Text > Main_Text"})});

  EXPECT_TRUE(checkConstants(ctx));
  EXPECT_EQ(host.log, L({"Generate Code Step 2 ...", "- Check Constants..."}));
  // The menu items need no dialog at all; of the gadgets only those that differ
  // beyond the prefix are offered, under their carried-over names. The carry-over
  // compares case-sensitively.
  ASSERT_EQ(host.requests.size(), 2u);
  EXPECT_EQ(host.requests[0].kind, ObjectKind::Window);
  EXPECT_EQ(host.requests[1].kind, ObjectKind::Gadget);
  EXPECT_EQ(host.requests[1].oldEntries, L({"window_0_Text", "Main_Label"}));
  EXPECT_EQ(host.requests[1].newEntries, L({"Main_Text", "Main_Caption"}));
  EXPECT_EQ(m.replaceList, (ReplaceList{{"Window_0", "Main", ObjectKind::Window},
                                        {"Main_Label", "Main_Caption", ObjectKind::Gadget},
                                        {"window_0_Text", "Main_Text", ObjectKind::Gadget}}));
}

TEST_F(BindFixture, WindowBindingsCarryOverInTheirOrder) {
  struct Case {
    const char* what;
    ReplaceList windows;
    Lines expectedOld;
  } cases[] = {
      // A later binding renames what an earlier one produced.
      {"chain", {{"Win_1", "B", ObjectKind::Window}, {"B", "C", ObjectKind::Window}}, L({"Win_10_Ok", "Gone"})},
      // An earlier binding does not see what a later one produced.
      {"reverse", {{"B", "C", ObjectKind::Window}, {"Win_1", "B", ObjectKind::Window}},
       L({"B_Ok", "Win_10_Ok", "Gone"})},
      // Gadget bindings never move prefixes.
      {"gadget only", {{"Win_1", "C", ObjectKind::Gadget}}, L({"Win_1_Ok", "Win_10_Ok", "Gone"})},
  };
  for (const Case& c : cases) {
    m.replaceList = c.windows;
    m.PreviousGadgetList = L({"Win_1_Ok", "Win_10_Ok", "C_Ok", "Gone"});
    m.GadgetList = gadgets({"C_Ok", "Fresh"});
    host.requests.clear();
    host.answers.push_back({0, {}});
    EXPECT_TRUE(bindKind(ctx, ObjectKind::Gadget)) << c.what;
    ASSERT_EQ(host.requests.size(), 1u) << c.what;
    EXPECT_EQ(host.requests[0].oldEntries, c.expectedOld) << c.what;
    EXPECT_EQ(host.requests[0].newEntries, L({"Fresh"})) << c.what;
  }
}

// A name belongs to the window with the longest name that begins it: renaming Main
// leaves the objects of Main_Options alone, and Main_Options itself, whether that
// window is one of this run or only of the previous one.
TEST_F(BindFixture, WindowsSharingAPrefixKeepTheirOwnObjects) {
  for (bool optionsIsCurrent : {true, false}) {
    SCOPED_TRACE(optionsIsCurrent ? "current window" : "previous window");
    m.PreviousWindowList = L({"Main", "Main_Options"});
    m.WindowList = optionsIsCurrent ? L({"Start", "Main_Options"}) : L({"Start"});
    m.replaceList = {{"Main", "Start", ObjectKind::Window}};
    m.PreviousGadgetList = L({"Main_Ok", "Main_Options_Ok", "Main_Options", "Main_OptionsX_Ok"});
    m.GadgetList = gadgets({"Start_Ok", "Main_Options_Ok", "Main_Options", "Start_OptionsX_Ok"});
    host.requests.clear();
    EXPECT_TRUE(bindKind(ctx, ObjectKind::Gadget));
    EXPECT_TRUE(host.requests.empty());
  }
}

TEST_F(BindFixture, CancelAtTheThirdKindStopsAndKeepsThePreviousNames) {
  m.PreviousWindowList = L({"W0"});
  m.WindowList = L({"Main"});
  m.PreviousMenuBarList = L({"Menu_0"});
  m.MenuBarList = L({"Bar"});
  m.PreviousMenuItemList = L({"Main_Item"});
  m.MenuItemList = L({"Main_Entry"});
  m.PreviousGadgetList = L({"G"});
  m.GadgetList = gadgets({"H"});
  m.replaceList = {{"Stale", "Entry", ObjectKind::Window}};  // from an earlier run
  host.answers = {{0, L({"W0 > Main"})}, {0, {}}, {2, L({"Main_Item > Main_Entry"})}};

  FormModel before = m;
  EXPECT_FALSE(checkConstants(ctx));
  ASSERT_EQ(host.requests.size(), 3u);  // the gadgets are never asked about
  EXPECT_EQ(host.requests[2].kind, ObjectKind::MenuItem);
  EXPECT_EQ(m.replaceList, (ReplaceList{{"W0", "Main", ObjectKind::Window}}));
  for (ObjectKind k : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::Gadget})
    EXPECT_EQ(m.previousList(k), before.previousList(k));
  EXPECT_TRUE(fs.files.empty());
}

}  // namespace
}  // namespace tarnwick
