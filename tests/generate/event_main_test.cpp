#include "generate/event_main.h"

#include <gtest/gtest.h>

#include "generate/templates.h"
#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;

// Window_0 with a menu item, a text gadget and a button.
FormModel demo(bool callTables) {
  FormModel m;
  m.WindowList = {"Window_0"};
  m.MenuItemList = {"Window_0_MenuItem_1"};
  m.GadgetList = {{"Window_0_Text_0", "TEXTGADGET"}, {"Window_0_Button_0", "BUTTONGADGET"}};
  m.buffers.eventMain = templateLines(callTables ? "EventMainCallTable.txt" : "EventMainPlain.txt");
  return m;
}

// The lines from the first one equal to from up to and including the next one equal to to.
Lines between(const Lines& b, const char* from, const char* to) {
  auto a = std::find(b.begin(), b.end(), T(from));
  auto z = std::find(a, b.end(), T(to));
  return z == b.end() ? Lines() : Lines(a, z + 1);
}

TEST(EventMain, CallTablesWithoutMenuItemsAndOnlyTextGadgets) {
  FormModel m = demo(true);
  m.MenuItemList.clear();
  m.GadgetList = {{"T", "TEXTGADGET"}, {"F", "FRAME3DGADGET"}};
  fillCallTables(m);
  const Lines& b = m.buffers.eventMain;
  EXPECT_EQ(b[24], "#CallEventMenuCount   = 0");
  EXPECT_EQ(b[25], "#CallEventGadgetCount = 2");
  EXPECT_EQ(between(b, "  CallEventMenu:", "  CallEventSize:"),
            L({"  CallEventMenu:", "  CallEventGadget:", "    Data.i @MyEventDispatch()", "    Data.i @MyEventDispatch()",
               "  CallEventSize:"}));
}

TEST(EventMain, PlainFormWithoutMenuItemsOrEventGadgets) {
  FormModel empty = demo(false);
  empty.MenuItemList.clear();
  empty.GadgetList = {{"T", "TEXTGADGET"}};
  fillPlainDispatch(empty);
  EXPECT_EQ(between(empty.buffers.eventMain, "Procedure MyEventMenu(MenuID)", "EndProcedure").size(), 4u);
  EXPECT_EQ(between(empty.buffers.eventMain, "Procedure MyEventGadget(GadgetID, EventType)", "EndProcedure").size(), 4u);
}

// Windows and gadgets kept in variables are dispatched by their variables: in the plain
// form after the constants, in the call-table form in an Else branch of the table test
// of each procedure, outside the tables and their counts.
TEST(EventMain, ObjectsInVariables) {
  auto variables = [](bool callTables) {
    FormModel m = demo(callTables);
    m.WindowList = {"Window_0", "Dialog"};
    m.WindowVariableList = {true, false};
    m.GadgetList = {{"Button_0", "BUTTONGADGET", true}, {"Text_0", "TEXTGADGET", true},
                    {"Dialog_Text", "TEXTGADGET"}, {"Dialog_Close", "BUTTONGADGET"}};
    return m;
  };
  FormModel plain = variables(false);
  fillPlainDispatch(plain);
  EXPECT_EQ(between(plain.buffers.eventMain, "Procedure MyEventGadget(GadgetID, EventType)", "EndProcedure"),
            L({"Procedure MyEventGadget(GadgetID, EventType)", "  Select GadgetID",
               "    Case #Dialog_Close : EventGadget_Dialog_Close(EventType)",
               "    Case Button_0 : EventGadget_Button_0(EventType)", "  EndSelect", "EndProcedure"}));
  FormModel tables = variables(true);
  fillCallTables(tables);
  const Lines& b = tables.buffers.eventMain;
  EXPECT_EQ(Lines(b.begin() + 24, b.begin() + 27),
            L({"#CallEventMenuCount   = 1", "#CallEventGadgetCount = 2", "#CallEventWindowCount = 1"}));
  EXPECT_EQ(between(b, "Procedure MyEventGadget(GadgetID, EventType)", "EndProcedure"),
            L({"Procedure MyEventGadget(GadgetID, EventType)", "  If GadgetID >= 0 And GadgetID < #CallEventGadgetCount",
               "    *CallEventGadget\\Invoke[GadgetID](EventType)", "  Else", "    Select GadgetID",
               "      Case Button_0 : EventGadget_Button_0(EventType)", "    EndSelect", "  EndIf", "EndProcedure"}));
  EXPECT_EQ(between(b, "Procedure MyEventSize(WindowID)", "EndProcedure")[5], T("      Case Window_0 : EventSize_Window_0()"));
  EXPECT_EQ(between(b, "  CallEventGadget:", "EndDataSection"),
            L({"  CallEventGadget:", "    Data.i @MyEventDispatch()", "    Data.i @EventGadget_Dialog_Close()",
               "  CallEventSize:", "    Data.i @EventSize_Dialog()", "  CallEventExit:", "    Data.i @EventExit_Dialog()",
               "EndDataSection"}));
}

}  // namespace
}  // namespace tarnwick
