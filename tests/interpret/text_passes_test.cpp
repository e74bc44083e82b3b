// The menu-item tab pass and the language-wrapping pass.
#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"

namespace tarnwick::testing {
namespace {

TEST(ConvertMenuItemTabs, EscapedTabsInMenuItemLinesOnly) {
  FormCodeFixture f(L({"  MenuItem(#Window_0_Open, \"Open\\tCtrl+O\")", "  menuitem(#X, \"a\\Tb\\tc\")",
                       "  TextGadget(#T, 0, 0, 1, 1, \"a\\tb\")", "  MenuItem(#Y, \"C:\\temp\")"}));
  ConvertMenuItemTabs(f.model);
  EXPECT_EQ(f.model.FormCodeLines, L({"  MenuItem(#Window_0_Open, \"Open\" + #TAB$ + \"Ctrl+O\")",
                                      "  menuitem(#X, \"a\" + #TAB$ + \"b\" + #TAB$ + \"c\")",
                                      "  TextGadget(#T, 0, 0, 1, 1, \"a\\tb\")",
                                      "  MenuItem(#Y, \"C:\" + #TAB$ + \"emp\")"}));
}

TEST(WrapLanguageTexts, FirstLiteralOfEachLine) {
  FormCodeFixture f(L({
      "    MenuTitle(\"File\")",
      "  TextGadget(#T, 0, 0, 1, 1, \"Name\") : GadgetToolTip(#T, \"Tip\")",
      "  If OpenWindow(#W, 0, 0, 1, 1, \"Title\")",
      "  ImageGadget(#I, 0, 0, 1, 1, LoadImage(0, \"a.png\"))",
      "  CatchImage(0, ?x) : Debug \"y\"",
      "Procedure Open_Window_0(title.s = \"\")",
      "  ProcedureReturn \"Done\"",
      "  x = 1",
      "  Debug \"unclosed",
  }));
  WrapLanguageTexts(f.model);
  EXPECT_EQ(f.model.FormCodeLines,
            L({
                "    MenuTitle(MyLanguage(\"File\"))",
                "  TextGadget(#T, 0, 0, 1, 1, MyLanguage(\"Name\")) : GadgetToolTip(#T, \"Tip\")",
                "  If OpenWindow(#W, 0, 0, 1, 1, \"Title\")",
                "  ImageGadget(#I, 0, 0, 1, 1, LoadImage(0, \"a.png\"))",
                "  CatchImage(0, ?x) : Debug \"y\"",
                "Procedure Open_Window_0(title.s = \"\")",
                "  ProcedureReturn MyLanguage(\"Done\")",
                "  x = 1",
                "  Debug \"unclosed",
            }));
}

TEST(WrapLanguageTexts, KeepsTheWholeRemainderOfLongLines) {
  Text tail = ", " + Text(300, '9') + ")";
  FormCodeFixture f({T("  StringGadget(#S, 0, 0, 1, 1, \"ä\"") + tail});
  WrapLanguageTexts(f.model);
  EXPECT_EQ(f.model.FormCodeLines[0], T("  StringGadget(#S, 0, 0, 1, 1, MyLanguage(\"ä\")") + tail);
}

}  // namespace
}  // namespace tarnwick::testing
