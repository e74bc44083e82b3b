// The parent-window and window-position passes.
#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"

namespace tarnwick::testing {
namespace {

Lines attached(const Lines& in) {
  FormCodeFixture f(in);
  AttachToParentWindow(f.model);
  return f.model.FormCodeLines;
}

Lines ignored(const Lines& in) {
  FormCodeFixture f(in);
  IgnoreWindowPosition(f.model);
  return f.model.FormCodeLines;
}

TEST(AttachToParentWindow, WorkedExample) {
  EXPECT_EQ(attached(L({"  If OpenWindow(#Window_0, 0, 0, 400, 300, \"Main\")",
                        "  If OpenWindow(#Window_1, 0, 0, 200, 100, \"Options\")"})),
            L({"  If OpenWindow(#Window_0, 0, 0, 400, 300, \"Main\")",
               "  If OpenWindow(#Window_1, 0, 0, 200, 100, \"Options\", PB_Any, WindowID(#Window_0))"}));
}

TEST(AttachToParentWindow, FlagsKeptParentReplacedTitleCommasKept) {
  Lines out = attached(L({
      ";OpenWindow(#Window_Old, 0, 0, 400, 300, \"Old\")",
      "OpenWindow(#Window_0, 0, 0, 400, 300, \"Main, first\", #PB_Window_SystemMenu)",
      "  ButtonGadget(#B, 0, 0, 1, 1, \"\")",
      "  If OpenWindow(#Window_1, 0, 0, 200, 100, \"Save, load\", #PB_Window_SystemMenu | #PB_Window_SizeGadget) ; (x)",
      "  OpenWindow(#Window_2, 0, 0, 200, 100, \"T\", #PB_Window_Tool, WindowID(#Other)) = 0",
      "  OpenWindow(#Window_3, 0, 0, 200, 100, \"T\", )",
      "  OpenWindow(#Window_4, 0, 0, 200)",
      "  OpenWindow(#Window_5, 0, 0, 200, 100, \"no end\"",
      "  ;OpenWindow(#Window_6, 0, 0, 200, 100, \"T\") ; old",
  }));
  EXPECT_EQ(out[0], T(";OpenWindow(#Window_Old, 0, 0, 400, 300, \"Old\")"));
  EXPECT_EQ(out[1], T("OpenWindow(#Window_0, 0, 0, 400, 300, \"Main, first\", #PB_Window_SystemMenu)"));
  EXPECT_EQ(out[3], T("  If OpenWindow(#Window_1, 0, 0, 200, 100, \"Save, load\", #PB_Window_SystemMenu | "
                      "#PB_Window_SizeGadget, WindowID(#Window_0)) ; (x)"));
  EXPECT_EQ(out[4], T("  OpenWindow(#Window_2, 0, 0, 200, 100, \"T\", #PB_Window_Tool, WindowID(#Window_0)) = 0"));
  EXPECT_EQ(out[5], T("  OpenWindow(#Window_3, 0, 0, 200, 100, \"T\", PB_Any, WindowID(#Window_0))"));
  // Too few arguments, or no closing parenthesis: left as written.
  EXPECT_EQ(out[6], T("  OpenWindow(#Window_4, 0, 0, 200)"));
  EXPECT_EQ(out[7], T("  OpenWindow(#Window_5, 0, 0, 200, 100, \"no end\""));
  // A commented-out window after the parent is rebuilt and stays a comment; one before
  // it (out[0]) is no parent and stays as written.
  EXPECT_EQ(out[8], T("  ;OpenWindow(#Window_6, 0, 0, 200, 100, \"T\", PB_Any, WindowID(#Window_0)) ; old"));
}

// A first window opened with #PB_Any is addressed by its variable, never by #PB_Any.
TEST(AttachToParentWindow, FirstWindowInAVariable) {
  EXPECT_EQ(attached(L({"  Window_0 = OpenWindow(#PB_Any, 0, 0, 400, 300, \"Main\")",
                        "  Dialog = OpenWindow(#PB_Any, 0, 0, 200, 100, \"D\", #PB_Window_Tool)"})),
            L({"  Window_0 = OpenWindow(#PB_Any, 0, 0, 400, 300, \"Main\")",
               "  Dialog = OpenWindow(#PB_Any, 0, 0, 200, 100, \"D\", #PB_Window_Tool, WindowID(Window_0))"}));
}

TEST(IgnoreWindowPosition, XAndYBecomePbIgnore) {
  Text longTail(400, 'x');
  Lines out = ignored({T("  If OpenWindow(#Window_0, 216, 0, 400, 300, \"Main\", #PB_Window_SystemMenu)"),
                       T("OpenWindow(#Window_1,5,6,7,8,\"") + longTail + "\")", T("OpenWindow(#Window_2, 1)"),
                       T("  ButtonGadget(#B, 1, 2, 3, 4, \"\")")});
  EXPECT_EQ(out[0], T("  If OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, 400, 300, \"Main\", #PB_Window_SystemMenu)"));
  EXPECT_EQ(out[1], T("OpenWindow(#Window_1, #PB_Ignore, #PB_Ignore,7,8,\"") + longTail + "\")");
  EXPECT_EQ(out[2], T("OpenWindow(#Window_2, 1)"));
  EXPECT_EQ(out[3], T("  ButtonGadget(#B, 1, 2, 3, 4, \"\")"));
}

}  // namespace
}  // namespace tarnwick::testing
