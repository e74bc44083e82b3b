#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"

namespace tarnwick::testing {
namespace {

Lines prefixed(const Lines& in, bool* ok = nullptr) {
  FormCodeFixture f(in);
  bool result = PrefixObjectConstants(f.ctx);
  if (ok) *ok = result;
  EXPECT_TRUE(f.host.log.empty() || !result);
  return f.model.FormCodeLines;
}

TEST(PrefixObjectConstants, WorkedExample) {
  EXPECT_EQ(prefixed(L({
                "  If OpenWindow(#Window_0, 0, 0, 400, 300, \"Main\")",
                "    ButtonGadget(#Button_0, 10, 10, 80, 25, \"OK\")",
                "    CreateStatusBar(#StatusBar_0, WindowID(#Window_0))",
                "    ToolBarToolTip(#ToolBar_0, #Tool_New, \"New\")",
            })),
            L({
                "  If OpenWindow(#Window_0, 0, 0, 400, 300, \"Main\")",
                "    ButtonGadget(#Window_0_Button_0, 10, 10, 80, 25, \"OK\")",
                "    CreateStatusBar(#Window_0_StatusBar_0, WindowID(#Window_0))",
                "    ToolBarToolTip(#Window_0_ToolBar_0, #Window_0_Tool_New, \"New\")",
            }));
}

TEST(PrefixObjectConstants, PbAnyWindowStopsWithTheErrorLine) {
  // Only a statement that keeps the window in a variable can be addressed later.
  for (const char* window : {"  If OpenWindow(#PB_Any, 0, 0, 10, 10, \"x\")", "w = OpenWindow(# pb_any , 0, 0, 1, 1, \"\")",
                             "  If w = OpenWindow(#PB_Any, 0, 0, 1, 1, \"\")", "  w = 1 + OpenWindow(#PB_Any, 0, 0, 1, 1)",
                             "  w <= OpenWindow(#PB_Any, 0, 0, 1, 1)", "  1w = OpenWindow(#PB_Any, 0, 0, 1, 1)"}) {
    FormCodeFixture f(L({"  ButtonGadget(#B, 0, 0, 1, 1, \"\")", window, "  TextGadget(#T, 0, 0, 1, 1, \"\")"}));
    EXPECT_FALSE(PrefixObjectConstants(f.ctx)) << window;
    EXPECT_EQ(f.host.log, L({" -> Error: Find OpenWindow with '#PB_Any', Not supported. Stop!"}));
  }
}

TEST(PrefixObjectConstants, CommentsNearTheLineStartAreLeftAlone) {
  Lines out = prefixed(L({
      "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
      ";ButtonGadget(#A, 0, 0, 1, 1, \"\")",
      "        ; ButtonGadget(#B, 0, 0, 1, 1, \"\")",   // ";" in column 9
      "          ; ButtonGadget(#C, 0, 0, 1, 1, \"\")",  // ";" in column 11
      "  ButtonGadget(#D, 0, 0, 1, 1, \"\") ; ButtonGadget(#E, 1",
      "ääääääää; ButtonGadget(#F, 0, 0, 1, 1, \"\")",  // ";" in column 9, at its 17th byte
  }));
  EXPECT_EQ(out[1], T(";ButtonGadget(#A, 0, 0, 1, 1, \"\")"));
  EXPECT_EQ(out[2], T("        ; ButtonGadget(#B, 0, 0, 1, 1, \"\")"));
  EXPECT_EQ(out[3], T("          ; ButtonGadget(#Window_0_C, 0, 0, 1, 1, \"\")"));
  EXPECT_EQ(out[4], T("  ButtonGadget(#Window_0_D, 0, 0, 1, 1, \"\") ; ButtonGadget(#Window_0_E, 1"));
  EXPECT_EQ(out[5], T("ääääääää; ButtonGadget(#F, 0, 0, 1, 1, \"\")"));
}

TEST(PrefixObjectConstants, EachWindowPrefixesItsOwnObjects) {
  EXPECT_EQ(prefixed(L({
                "  ButtonGadget(#Early, 0, 0, 1, 1, \"\")",
                "  If OpenWindow(#Window_0, 0, 0, 10, 10, \"A\")",
                "    ButtonGadget(#Button_0, 0, 0, 1, 1, \"\")",
                "  If OpenWindow(#Window_1 , 0, 0, 10, 10, \"B\")",
                "    ButtonGadget(#Button_0, 0, 0, 1, 1, \"\")",
                "  UseGadgetList(WindowID(#Window_0))",
                "    TextGadget(#Text_0, 0, 0, 1, 1, \"\")",
                "  UseGadgetList(hWnd)",
                "    TextGadget(#Text_1, 0, 0, 1, 1, \"\")",
            })),
            L({
                "  ButtonGadget(#Early, 0, 0, 1, 1, \"\")",
                "  If OpenWindow(#Window_0, 0, 0, 10, 10, \"A\")",
                "    ButtonGadget(#Window_0_Button_0, 0, 0, 1, 1, \"\")",
                "  If OpenWindow(#Window_1 , 0, 0, 10, 10, \"B\")",
                "    ButtonGadget(#Window_1_Button_0, 0, 0, 1, 1, \"\")",
                "  UseGadgetList(WindowID(#Window_0))",
                "    TextGadget(#Window_0_Text_0, 0, 0, 1, 1, \"\")",
                "  UseGadgetList(hWnd)",
                "    TextGadget(#Window_0_Text_1, 0, 0, 1, 1, \"\")",
            }));
}

TEST(PrefixObjectConstants, ToolBarsAndStatusBarsNameTheirWindow) {
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"A\")",
                "OpenWindow(#Window_1, 0, 0, 10, 10, \"B\")",
                "  If CreateToolBar(#ToolBar_0, WindowID(#Window_0))",
                "    ToolBarStandardButton(#Tool_New, #PB_ToolBarIcon_New)",
                "  CreateStatusBar(#StatusBar_0, WindowID(#Window_1 ))",
                "    AddStatusBarField(#StatusBar_Field)",
                "  CreateStatusBar(#StatusBar_1, hWnd)",
            })),
            L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"A\")",
                "OpenWindow(#Window_1, 0, 0, 10, 10, \"B\")",
                "  If CreateToolBar(#Window_0_ToolBar_0, WindowID(#Window_0))",
                "    ToolBarStandardButton(#Window_0_Tool_New, #PB_ToolBarIcon_New)",
                "  CreateStatusBar(#Window_1_StatusBar_0, WindowID(#Window_1 ))",
                "    AddStatusBarField(#StatusBar_Field)",
                "  CreateStatusBar(#Window_1_StatusBar_1, hWnd)",
            }));
}

TEST(PrefixObjectConstants, HeightCallsArePrefixedOnce) {
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "ToolBarHeight(#ToolBar_0)",
                "  h = ToolBarHeight(#ToolBar_0)",
                "  h=StatusBarHeight(#StatusBar_0)+ToolBarHeight(0)",
                "  y = ToolBarHeight(0) + 10",
            })),
            L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "ToolBarHeight(#Window_0_ToolBar_0)",
                "  h = ToolBarHeight(#Window_0_ToolBar_0)",
                "  h=StatusBarHeight(#Window_0_StatusBar_0)+ToolBarHeight(0)",
                "  y = ToolBarHeight(0) + 10",
            }));
}

TEST(PrefixObjectConstants, EveryCommandOfTheLineTakesThePrefix) {
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  SetGadgetText(#String_0, GetGadgetText(#String_1))",
                "  ButtonGadget(#B, 0, 0, 1, 1, \"\") : GadgetToolTip(#B, \"x\")",
                "  If ContainerGadget(#C, 0, 0, 1, 1)",
                "\t  x=Frame3DGadget(#F, 0, 0, 1, 1, \"\")",
                "  SetGadgetFont(#Text_0, FontID(#Font_0))",
                "  TextGadget(#PB_Any, 0, 0, 1, 1, \"(#1)\")",
                "  img = ImageGadget(#I, 0, 0, 1, 1, ImageID(#Img))",
            })),
            L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  SetGadgetText(#Window_0_String_0, GetGadgetText(#Window_0_String_1))",
                "  ButtonGadget(#Window_0_B, 0, 0, 1, 1, \"\") : GadgetToolTip(#Window_0_B, \"x\")",
                "  If ContainerGadget(#Window_0_C, 0, 0, 1, 1)",
                "\t  x=Frame3DGadget(#Window_0_F, 0, 0, 1, 1, \"\")",
                "  SetGadgetFont(#Window_0_Text_0, FontID(#Font_0))",
                "  TextGadget(#PB_Any, 0, 0, 1, 1, \"(#1)\")",
                "  img = ImageGadget(#Window_0_I, 0, 0, 1, 1, ImageID(#Img))",
            }));
}

TEST(PrefixObjectConstants, CallsBehindAPrefixedConstantReadWithThePrefix) {
  // All prefixes of a line go in at once; a command word that starts right behind a
  // prefixed "#" must still be read as the prefixed text, where it names no command.
  std::string many = "  ", manyPrefixed = "  ";
  for (int i = 0; i < 300; ++i) {
    many += "HideGadget(#G" + std::to_string(i) + ", 1) : ";
    manyPrefixed += "HideGadget(#W_G" + std::to_string(i) + ", 1) : ";
  }
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#W, 0, 0, 10, 10, \"\")",
                "  HideGadget(#ButtonGadget(#X, 1)",
                "  HideGadget(#(#A)",
                "  HideGadget(#A) : x = ToolBarHeight(#T) : ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\")",
                "  ToolBarHeight(#T) : ToolBarToolTip(#TB, #Tool, \"x\") : HideGadget(#Z, 0)",
                many.c_str(),
            })),
            L({
                "OpenWindow(#W, 0, 0, 10, 10, \"\")",
                "  HideGadget(#W_ButtonGadget(#X, 1)",
                "  HideGadget(#W_(#A)",
                "  HideGadget(#W_A) : x = ToolBarHeight(#W_T) : ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\")",
                "  ToolBarHeight(#W_T) : ToolBarToolTip(#W_TB, #W_Tool, \"x\") : HideGadget(#W_Z, 0)",
                manyPrefixed.c_str(),
            }));
}

TEST(PrefixObjectConstants, SecondArgumentsOfToolBarAndMenuItemCommands) {
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  DisableToolBarButton(#ToolBar_0, #Tool_Save, 1)",
                "  If GetToolBarButtonState(#ToolBar_0, b) = #True",
                "  DisableMenuItem(#Menu_0, #MenuItem_1, 1)",
                "  SetMenuItemText(#Menu_0,#MenuItem_2, \"#x\")",
                "  BalloonTip(#Button_0, #Tip, \"t\")",
            })),
            L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  DisableToolBarButton(#Window_0_ToolBar_0, #Window_0_Tool_Save, 1)",
                "  If GetToolBarButtonState(#Window_0_ToolBar_0, b) = #True",
                "  DisableMenuItem(#Window_0_Menu_0, #Window_0_MenuItem_1, 1)",
                "  SetMenuItemText(#Window_0_Menu_0,#Window_0_MenuItem_2, \"#x\")",
                "  BalloonTip(#Button_0, #Window_0_Tip, \"t\")",
            }));
}

TEST(PrefixObjectConstants, SplitterAndMdiChildren) {
  EXPECT_EQ(prefixed(L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  SplitterGadget(#Splitter_0, 10, 10, 300, 200, #Button_0, #Button_1, #PB_Splitter_Vertical)",
                "  MDIGadget(#MDI_0, 0, 0, 100, 100, 0, #Menu_First)",
                "  SplitterGadget(#Splitter_1, 10, 10)",
            })),
            L({
                "OpenWindow(#Window_0, 0, 0, 10, 10, \"\")",
                "  SplitterGadget(#Window_0_Splitter_0, 10, 10, 300, 200, #Window_0_Button_0, #Window_0_Button_1, "
                "#PB_Splitter_Vertical)",
                "  MDIGadget(#Window_0_MDI_0, 0, 0, 100, 100, 0, #Window_0_Menu_First)",
                "  SplitterGadget(#Window_0_Splitter_1, 10, 10)",
            }));
}

TEST(PrefixObjectConstants, UserGadgetsAndUnknownCommands) {
  FormCodeFixture f(L({"OpenWindow(#W, 0, 0, 1, 1, \"\")", "  ChartGadget(#Chart, 0, 0, 1, 1)", "  MyProc(#Arg)",
                       "  OpenWindow(#W2 0 0)", "  TextGadget(#T, 0, 0, 1, 1, \"\")"}),
                    L({"ChartGadget"}));
  EXPECT_TRUE(PrefixObjectConstants(f.ctx));
  EXPECT_EQ(f.model.FormCodeLines[1], T("  ChartGadget(#W_Chart, 0, 0, 1, 1)"));
  EXPECT_EQ(f.model.FormCodeLines[2], T("  MyProc(#Arg)"));
  // A window line without a comma names no window: the prefix stays.
  EXPECT_EQ(f.model.FormCodeLines[4], T("  TextGadget(#W_T, 0, 0, 1, 1, \"\")"));
}

// A malformed window line whose name runs into a command call gives a prefix that
// holds "(#" itself; the inserted prefix must not be searched and prefixed again.
TEST(PrefixObjectConstants, APrefixHoldingACallIsInsertedOnce) {
  EXPECT_EQ(prefixed(L({"  OpenWindow(#ButtonGadget(#X, 0, 0, 10, 10, \"\")",
                        "  ButtonGadget(#B, 0, 0, 1, 1, \"\") : TextGadget(#T, 0, 0, 1, 1, \"\")"}))[1],
            T("  ButtonGadget(#ButtonGadget(#X_B, 0, 0, 1, 1, \"\") : TextGadget(#ButtonGadget(#X_T, 0, 0, 1, 1, \"\")"));
}

// A window opened into a variable prefixes the constants after it with the variable's
// name; WindowID(variable) names it as WindowID(#constant) does, an unknown handle
// names no window.
TEST(PrefixObjectConstants, WindowsOpenedIntoVariables) {
  FormCodeFixture f(L({
      "  Window_0 = OpenWindow(#PB_Any, 0, 0, 10, 10, \"A\")",
      "  CreateMenu(#Menu, WindowID(Window_0))",
      "  Button_0 = ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\")",
      "  x = 1 : Dialog.i = OpenWindow(#PB_Any, 0, 0, 10, 10, \"B\")",
      "  ButtonGadget(#B, 0, 0, 1, 1, \"\")",
      "  UseGadgetList(WindowID(Window_0))",
      "  CreateStatusBar(#S, WindowID(hWnd))",
      "  OpenWindow(#Plain, 0, 0, 10, 10, \"C\")",
      "  CreateToolBar(#T, WindowID(Dialog))",
  }));
  ASSERT_TRUE(PrefixObjectConstants(f.ctx));
  EXPECT_EQ(f.model.FormCodeLines, L({
                                       "  Window_0 = OpenWindow(#PB_Any, 0, 0, 10, 10, \"A\")",
                                       "  CreateMenu(#Window_0_Menu, WindowID(Window_0))",
                                       "  Button_0 = ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\")",
                                       "  x = 1 : Dialog.i = OpenWindow(#PB_Any, 0, 0, 10, 10, \"B\")",
                                       "  ButtonGadget(#Dialog_B, 0, 0, 1, 1, \"\")",
                                       "  UseGadgetList(WindowID(Window_0))",
                                       "  CreateStatusBar(#Window_0_S, WindowID(hWnd))",
                                       "  OpenWindow(#Plain, 0, 0, 10, 10, \"C\")",
                                       "  CreateToolBar(#Dialog_T, WindowID(Dialog))",
                                   }));
  EXPECT_EQ(f.model.marks.inVariableWindow, (std::vector<bool>{true, true, true, true, true, true, true, false, true}));
}

}  // namespace
}  // namespace tarnwick::testing
