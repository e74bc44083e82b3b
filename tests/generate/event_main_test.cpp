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

}  // namespace
}  // namespace tarnwick
