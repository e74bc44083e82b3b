#include "generate/event_files.h"

#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;

Lines linesOf(const char* text) { return splitLines(T(text)); }

const std::string kStars87(87, '*');

TEST(EventFiles, FirstRunOfTwoWindows) {
  FormModel m;
  m.WindowList = {"Window_0", "Window_1"};
  // The designer's procedure that fits Window_1's gadgets to its size.
  m.ResizeProcedureList = {"", "ResizeGadgetsWindow_1"};
  m.GadgetList = {{"Window_0_Text_0", "TEXTGADGET"}, {"Window_0_Frame_1", "FRAME3DGADGET"},
                  {"Window_0_Frame_2", "FRAMEGADGET"}};
  appendSizeProcedures(m);
  appendExitProcedures(m);
  appendGadgetProcedures(m);
  std::string sep = "; " + kStars87;
  // All size procedures first, then all exit procedures; only the first window ends the program.
  EXPECT_EQ(m.buffers.eventWindow,
            L({";-TOP", "", "; Tarnwick Event Window", "", sep.c_str(), "", "Procedure EventSize_Window_0()", "  ",
               "EndProcedure", "", sep.c_str(), "", "Procedure EventSize_Window_1()", "  ResizeGadgetsWindow_1()",
               "EndProcedure", "",
               sep.c_str(), "", "Procedure EventExit_Window_0()", "  ExitApplication = 1", "EndProcedure", "",
               sep.c_str(), "", "Procedure EventExit_Window_1()", "  CloseWindow(#Window_1)", "EndProcedure", "",
               sep.c_str(), ""}));
  // Text and frame gadgets get no procedure: only the header is there.
  EXPECT_EQ(m.buffers.eventGadget, L({";-TOP", "", "; Tarnwick Event Gadget", "", sep.c_str(), ""}));
}

// A window kept in a variable is closed through its variable.
TEST(EventFiles, ExitOfAWindowInAVariable) {
  FormModel m;
  m.WindowList = {"Window_0", "Dialog"};
  m.WindowVariableList = {false, true};
  appendExitProcedures(m);
  auto head = std::find(m.buffers.eventWindow.begin(), m.buffers.eventWindow.end(), T("Procedure EventExit_Dialog()"));
  ASSERT_NE(head, m.buffers.eventWindow.end());
  EXPECT_EQ(*(head + 1), T("  CloseWindow(Dialog)"));
}

// What an existing file holds decides what is appended.
TEST(EventFiles, PresenceOfExistingProcedures) {
  struct Case {
    const char* name;
    const char* existing;
    int appended;  // procedures appended for the one menu item Window_0_Open
  } cases[] = {
      {"user code inside the procedure", "Procedure EventMenu_Window_0_Open()\n  Debug 1\nEndProcedure\n", 0},
      {"head turned into a comment", ";Procedure EventMenu_Window_0_Open()\n", 0},
      {"head with a trailing comment", "Procedure EventMenu_Window_0_Open() ; mine\n", 0},
      {"longer name is another object", "Procedure EventMenu_Window_0_OpenFile()\n", 1},
      {"different case is another head", "procedure EventMenu_Window_0_Open()\n", 1},
      {"changed parameter list", "Procedure EventMenu_Window_0_Open(x)\n", 1},
      {"head inside a longer line", "x = 1 : Procedure EventMenu_Window_0_Open() : y = 2\n", 0},
  };
  for (const Case& c : cases) {
    FormModel m;
    m.MenuItemList = {"Window_0_Open"};
    m.buffers.eventMenu = linesOf(c.existing);
    Lines before = m.buffers.eventMenu;
    appendMenuProcedures(m);
    ASSERT_GE(m.buffers.eventMenu.size(), before.size()) << c.name;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), m.buffers.eventMenu.begin())) << c.name;
    // No header (the buffer is not empty); a separator block before the new procedure.
    EXPECT_EQ(m.buffers.eventMenu.size() - before.size(), c.appended * (3u + 6u)) << c.name;
  }
}

TEST(EventFiles, GadgetWithChangedParameterGetsSecondProcedure) {
  FormModel m;
  m.GadgetList = {{"Window_0_Button_0", "BUTTONGADGET"}};
  // The user's procedure ends in a blank line: only the rest of a separator block follows.
  m.buffers.eventGadget = L({"Procedure EventGadget_Window_0_Button_0(Type)", "  Debug Type", "EndProcedure", ""});
  appendGadgetProcedures(m);
  ASSERT_EQ(m.buffers.eventGadget.size(), 4u + 2u + 11u);
  EXPECT_EQ(m.buffers.eventGadget[1], "  Debug Type");
  EXPECT_EQ(m.buffers.eventGadget[4], "; " + kStars87);
  EXPECT_EQ(m.buffers.eventGadget[5], "");
  EXPECT_EQ(m.buffers.eventGadget[6], "Procedure EventGadget_Window_0_Button_0(EventType)");
}

TEST(EventFiles, ExitOfFirstWindowPresentGivesNoOtherExitApplication) {
  FormModel m;
  m.WindowList = {"Window_0", "Window_1"};
  m.buffers.eventWindow = L({"Procedure EventExit_Window_0()", "  End", "EndProcedure"});
  appendExitProcedures(m);
  Lines& b = m.buffers.eventWindow;
  // A separator block stands between the user's procedure and the new one.
  ASSERT_EQ(b.size(), 3u + 3u + 6u);
  EXPECT_EQ(Lines(b.begin() + 3, b.begin() + 6), L({"", ("; " + kStars87).c_str(), ""}));
  EXPECT_EQ(b[6], "Procedure EventExit_Window_1()");
  EXPECT_EQ(b[7], "  CloseWindow(#Window_1)");
}

TEST(EventFiles, NewItemIsAppendedAtTheEndAndNothingTwice) {
  FormModel m;
  m.MenuItemList = {"A", "C", "A"};  // a name twice in one list gives one procedure
  appendMenuProcedures(m);
  EXPECT_EQ(std::count(m.buffers.eventMenu.begin(), m.buffers.eventMenu.end(), T("Procedure EventMenu_A()")), 1);
  m.MenuItemList = {"A", "B", "C"};
  appendMenuProcedures(m);
  Lines once = m.buffers.eventMenu;
  EXPECT_EQ(once[once.size() - 6], "Procedure EventMenu_B()");
  appendMenuProcedures(m);
  EXPECT_EQ(m.buffers.eventMenu, once);
}

TEST(EventFiles, HeaderOnlyIntoAnEmptyBuffer) {
  FormModel m;
  m.buffers.eventWindow = L({"; my own file"});
  appendSizeProcedures(m);
  EXPECT_EQ(m.buffers.eventWindow, L({"; my own file"}));
}

// The index must give exactly what searching every line for the head gives.
TEST(EventFiles, HeadIndexAgreesWithLiteralSearch) {
  Lines lines = L({"Procedure EventMenu_A()", ";Procedure EventMenu_B() ; old", "Procedure EventMenu_C(x)",
                   "Procedure EventMenu_D", "  Procedure EventGadget_E(EventType) Procedure EventSize_F()",
                   "Procedure EventProcedure EventExit_G()", "Procedure EventMenu_H)x()", "xProcedure EventMenu_I()",
                   "Procedure Eventmenu_J()", "Procedure EventMenu_K()Procedure EventMenu_L()"});
  Lines names = L({"A", "B", "C", "D", "E", "F", "G", "H", "H)x", "I", "J", "K", "L", "M", ""});
  HeadIndex index(lines);
  int found = 0;
  for (const Text& name : names) {
    for (const Text& head : {menuHead(name), sizeHead(name), exitHead(name), gadgetHead(name)}) {
      bool literal = false;
      for (const Text& line : lines) literal = literal || line.find(head) != Text::npos;
      EXPECT_EQ(index.contains(head), literal) << toUtf8(head);
      found += literal;
    }
  }
  EXPECT_EQ(found, 9);  // menu A, B, H)x, I, K, L; gadget E; size F; exit G
}

}  // namespace
}  // namespace tarnwick
