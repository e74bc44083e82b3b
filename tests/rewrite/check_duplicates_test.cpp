#include "rewrite/check_duplicates.h"

#include <gtest/gtest.h>

#include "../interpret/form_code_fixture.h"
#include "interpret/passes.h"

namespace tarnwick::testing {
namespace {

TEST(CheckDuplicates, CollectsEveryKindInOrder) {
  FormCodeFixture f(L({
      "  If OpenWindow(#Window_0, 0, 0, 400, 300, \"Main\")",
      "    If CreateMenu(#Window_0_Menu, WindowID(#Window_0))",
      "      MenuTitle(\"File\")",
      "      MenuItem(#Window_0_Open, \"Open\")",
      "      DisableMenuItem(#Window_0_Menu, #Window_0_Open, 1)",
      "    CreatePopupMenu(#Window_0_Popup)",
      "    CreatePopupImageMenu(#Window_0_Popup2, #PB_Menu_ModernLook)",
      "    CreateStatusBar(#Window_0_Status, WindowID(#Window_0))",
      "    id=CreateToolBar(#Window_0_Tools, WindowID(#Window_0))",
      "      ToolBarImageButton(#Window_0_Save, ImageID(#Img))",
      "    If ContainerGadget(#Window_0_C, 0, 0, 1, 1)",
      "\t    x=Frame3DGadget(#Window_0_F, 0, 0, 1, 1, \"\")",
      "      TextGadget(#Window_0_T, 0, 0, 1, 1, \"a\") : ListViewGadget(#Window_0_L , 0, 0, 1, 1)",
      "      SetGadgetFont(#Window_0_T, FontID(#Font_0))",
      "      ChartGadget(#Window_0_Chart, 0, 0, 1, 1)",
  }), L({"ChartGadget"}));
  EXPECT_TRUE(checkDuplicates(f.ctx));
  EXPECT_TRUE(f.host.log.empty());
  EXPECT_EQ(f.model.WindowList, L({"Window_0"}));
  EXPECT_EQ(f.model.MenuBarList, L({"Window_0_Menu", "Window_0_Popup", "Window_0_Popup2"}));
  EXPECT_EQ(f.model.MenuItemList, L({"Window_0_Open", "Window_0_Save"}));
  EXPECT_EQ(f.model.StatusBarList, L({"Window_0_Status"}));
  EXPECT_EQ(f.model.ToolBarList, L({"Window_0_Tools"}));
  EXPECT_EQ(f.model.GadgetList, (std::vector<GadgetEntry>{{"Window_0_C", "CONTAINERGADGET"},
                                                          {"Window_0_F", "FRAME3DGADGET"},
                                                          {"Window_0_T", "TEXTGADGET"},
                                                          {"Window_0_L", "LISTVIEWGADGET"},
                                                          {"Window_0_Chart", "CHARTGADGET"}}));
}

// Each window remembers the procedure whose lines hold its window line, and whether
// that procedure can be called without arguments.
TEST(CheckDuplicates, WindowsRememberTheirProcedure) {
  FormCodeFixture f(L({
      "  OpenWindow(#Outside, 0, 0, 1, 1, \"\")",
      "Procedure.l Window_Main()",
      "  ; OpenWindow(#Old, 0, 0, 1, 1, \"\")",
      "  If OpenWindow(#Main, 0, 0, 1, 1, \"\")",
      "  EndIf",
      "EndProcedure",
      "  OpenWindow(#After, 0, 0, 1, 1, \"\")",
      "\tproceduredll  CreateGUI (x = 0, Title$ = \"a, b\", flags = (1 | 2))",
      "  OpenWindow(#Gui, x, 0, 1, 1, Title$, flags)",
      "EndProcedure",
      "ProcedureC Form(List items.s(), w = 1)",
      "  OpenWindow(#Form, 0, 0, w, 1, \"\")",
      "EndProcedure",
  }));
  ASSERT_TRUE(checkDuplicates(f.ctx));
  EXPECT_EQ(f.model.WindowList, L({"Outside", "Main", "After", "Gui", "Form"}));
  EXPECT_EQ(f.model.WindowProcedureList, (std::vector<WindowProcedure>{{"", false},
                                                                        {"Window_Main", false},
                                                                        {"", false},
                                                                        {"CreateGUI", false},
                                                                        {"Form", true}}));
}

TEST(CheckDuplicates, RepeatedWindowMenuStatusBarOrToolBarStops) {
  struct Case {
    const char* first;
    const char* repeat;
    const char* message;
  } cases[] = {
      {"OpenWindow(#Window_0, 0, 0, 1, 1, \"\")", "  OPENWINDOW(#WINDOW_0, 0, 0, 1, 1, \"\")",
       " -> Error: Find duplicate WindowID(#WINDOW_0). Stop!"},
      {"CreateMenu(#M, WindowID(#W))", "CreatePopupMenu(#m)", " -> Error: Find duplicate MenuID(#m). Stop!"},
      {"CreatePopupMenu(#Menu_1)", "CreateImageMenu(#Menu_1, WindowID(#W))",
       " -> Error: Find duplicate MenuID(#Menu_1). Stop!"},
      {"CreateStatusBar(#S, WindowID(#W))", "CreateStatusBar(#S , WindowID(#V))",
       " -> Error: Find duplicate StatusBarID(#S). Stop!"},
      {"CreateToolBar(#T, WindowID(#W))", "If CreateToolBar(#t, WindowID( #V ))",
       " -> Error: Find duplicate ToolBarID(#t). Stop!"},
  };
  for (const Case& c : cases) {
    FormCodeFixture f(L({c.first, "  ButtonGadget(#B1, 0, 0, 1, 1, \"\")", c.repeat, "  ButtonGadget(#B2, 0, 0, 1, 1, \"\")"}));
    EXPECT_FALSE(checkDuplicates(f.ctx)) << c.repeat;
    EXPECT_EQ(f.host.log, L({c.message}));
    // The lines after the error are not examined.
    EXPECT_EQ(f.model.GadgetList, (std::vector<GadgetEntry>{{"B1", "BUTTONGADGET"}})) << c.repeat;
  }
}

// An object created again for the same window is the one object, with a warning: a
// window opened twice by its procedure (in two CompilerIf branches), a toolbar made
// again after FreeToolBar, a menu made again behind a test of IsMenu. Made for two
// windows, it is still a duplicate.
TEST(CheckDuplicates, ObjectsCreatedAgainForTheSameWindow) {
  FormCodeFixture f(L({
      "Procedure Open_W()",
      "  CompilerIf #PB_Compiler_OS = #PB_OS_Linux",
      "    OpenWindow(#W, 0, 0, 1, 1, \"\")",
      "  CompilerElse",
      "    OpenWindow(#W, 0, 0, 1, 1, \"\", #PB_Window_SystemMenu)",
      "  CompilerEndIf",
      "  CreateToolBar(#Tools, WindowID(#W))",
      "EndProcedure",
      "Procedure Rebuild()",
      "  FreeToolBar(#Tools) : CreateToolBar(#Tools, WindowID(#W))",
      "  If Not IsMenu(#Popup) : CreatePopupMenu(#Popup) : EndIf",
      "  If Not IsMenu(#Popup) : CreatePopupImageMenu(#Popup) : EndIf",
      "EndProcedure",
  }));
  ASSERT_TRUE(PrefixObjectConstants(f.ctx));
  EXPECT_TRUE(checkDuplicates(f.ctx));
  EXPECT_EQ(f.host.log, L({" -> Warning: Find duplicate WindowID(#W) in the same procedure, taken as one window.",
                           " -> Warning: Find duplicate ToolBarID(#W_Tools) for the same window, taken as one toolbar.",
                           " -> Warning: Find duplicate MenuID(#W_Popup) for the same window, taken as one menu."}));
  EXPECT_EQ(f.model.WindowList, L({"W"}));
  EXPECT_EQ(f.model.WindowProcedureList.size(), 1u);
  EXPECT_EQ(f.model.ToolBarList, L({"W_Tools"}));
  EXPECT_EQ(f.model.MenuBarList, L({"W_Popup"}));

  FormCodeFixture two(L({
      "Procedure Open_A()",
      "  OpenWindow(#A, 0, 0, 1, 1, \"\")",
      "  OpenWindow(#B, 0, 0, 1, 1, \"\")",
      "  CreateMenu(#Menu, WindowID(#A))",
      "  CreateMenu(#Menu, WindowID(#B))",
      "EndProcedure",
  }));
  ASSERT_TRUE(PrefixObjectConstants(two.ctx));
  EXPECT_FALSE(checkDuplicates(two.ctx));
  EXPECT_EQ(two.host.log, L({" -> Error: Find duplicate MenuID(#B_Menu). Stop!"}));
}

// Every creator: the gadgets of PureBasic 6, a module's gadget named in the user
// gadget list, the form's own procedures that create a gadget for their caller, the
// toolbar buttons of PureBasic 6.
TEST(CheckDuplicates, EveryCreator) {
  FormCodeFixture f(L({
                        "Procedure GridGadget(id, x, y, w, h, rows = 1)",
                        "  If ScrollAreaGadget(id, x, y, w, h, 100, 100) : CloseGadgetList() : EndIf",
                        "EndProcedure",
                        "Procedure TableGadget(*t, x, y, w, h)",
                        "  GridGadget(*t, x, y, w, h)",
                        "EndProcedure",
                        "Procedure.i Table2Gadget(number.i, x, y, w, h)",
                        "  ProcedureReturn GridGadget( number , x, y, w, h)",
                        "EndProcedure",
                        "Procedure Caption(id, x, y, w, h)",
                        "  SetGadgetText(id, \"\") : ButtonGadget(#PB_Any, x, y, w, h, \"\")",
                        "EndProcedure",
                        "Procedure Open_W()",
                        "  OpenWindow(#W, 0, 0, 1, 1, \"\")",
                        "  ScintillaGadget(#Sci, 0, 0, 1, 1, 0) : OpenGLGadget(#GL, 0, 0, 1, 1)",
                        "  WebViewGadget(#Web, 0, 0, 1, 1)",
                        "  ListEx::Gadget(#List, 0, 0, 1, 1, \"\", 25) : Other::Gadget(#Not, 0, 0, 1, 1)",
                        "  GridGadget(#Grid, 0, 0, 1, 1) : Table2Gadget(#Table, 0, 0, 1, 1)",
                        "  TableGadget(#NotEither, 0, 0, 1, 1) : Caption(#Title, 0, 0, 1, 1)",
                        "  HideGadget(#List, 1)",
                        "  CreateToolBar(#T, WindowID(#W))",
                        "  ToolBarButton(#New, ImageID(#Img)) : DisableToolBarButton(#T, #Old, 1)",
                        "EndProcedure",
                    }),
                    L({"ListEx::Gadget"}));
  FindGadgetProcedures(f.model);
  ASSERT_TRUE(PrefixObjectConstants(f.ctx));
  ASSERT_TRUE(checkDuplicates(f.ctx));
  EXPECT_EQ(f.model.GadgetList, (std::vector<GadgetEntry>{{"W_Sci", "SCINTILLAGADGET"},
                                                          {"W_GL", "OPENGLGADGET"},
                                                          {"W_Web", "WEBVIEWGADGET"},
                                                          {"W_List", "LISTEX::GADGET"},
                                                          {"W_Grid", "GRIDGADGET"},
                                                          {"W_Table", "TABLE2GADGET"}}));
  EXPECT_EQ(f.model.MenuItemList, L({"W_New"}));
  EXPECT_EQ(f.model.FormCodeLines[16],
            T("  ListEx::Gadget(#W_List, 0, 0, 1, 1, \"\", 25) : Other::Gadget(#Not, 0, 0, 1, 1)"));
  EXPECT_EQ(f.model.FormCodeLines[19], T("  HideGadget(#W_List, 1)"));
}

TEST(CheckDuplicates, RepeatedMenuItemsWarnAndGadgetsAreDroppedSilently) {
  FormCodeFixture f(L({
      "MenuItem(#Item_1, \"Open\")",
      "ToolBarStandardButton(#ITEM_1, #PB_ToolBarIcon_Open)",
      "menuitem(#item_1, \"Again\")",
      "ToolBarImageButton(#Item_2, ImageID(#I))",
      "ButtonGadget(#Button_0, 0, 0, 1, 1, \"\")",
      "StringGadget(#BUTTON_0, 0, 0, 1, 1, \"\")",
  }));
  EXPECT_TRUE(checkDuplicates(f.ctx));
  EXPECT_EQ(f.host.log, L({" -> Warning: Find duplicate MenuItemID(#ITEM_1) by ToolbarButton.",
                           " -> Warning: Find duplicate MenuItemID(#item_1) by MenuItem."}));
  EXPECT_EQ(f.model.MenuItemList, L({"Item_1", "Item_2"}));
  EXPECT_EQ(f.model.GadgetList, (std::vector<GadgetEntry>{{"Button_0", "BUTTONGADGET"}}));
}

TEST(CheckDuplicates, CommentsMalformedLinesAndPbAnyCreateNothing) {
  FormCodeFixture f(L({
      "OpenWindow(#Window_0, 0, 0, 1, 1, \"\")",
      "; OpenWindow(#Window_0, 0, 0, 1, 1, \"\")",
      "  x = 1 ; ButtonGadget(#Old, 0, 0, 1, 1, \"\")",
      "  CreatePopupMenu(#Menu_1) ; a, b",
      "  MenuItem(#NoComma)",
      "  TextGadget(#PB_Any, 0, 0, 1, 1, \"\")",
      "  CreateToolBar(#pb_any, WindowID(#Window_0))",
      "  ButtonGadget(#Base + 1, 0, 0, 1, 1, \"\") : ButtonGadget(#Base\t|#Flag, 0, 0, 1, 1)",
      "  MessageRequester(\"Hint\", \"Call ButtonGadget(#Any name, ...) first\")",
      "  SetGadgetText(#Text_0, \"x\")",
      "  DisableMenuItem(#Menu_1, #Item, 1)",
      "  SetMenuItemState(#Menu_1, #Item, 1)",
  }));
  EXPECT_TRUE(checkDuplicates(f.ctx));
  EXPECT_TRUE(f.host.log.empty());
  EXPECT_EQ(f.model.WindowList, L({"Window_0"}));
  EXPECT_EQ(f.model.MenuBarList, L({"Menu_1"}));
  EXPECT_TRUE(f.model.MenuItemList.empty());
  EXPECT_TRUE(f.model.ToolBarList.empty());
  EXPECT_TRUE(f.model.GadgetList.empty());
}

// A window opened into a variable and the gadgets it creates into variables are
// recorded by the variables' names and checked alike with the constants; #PB_Any
// gadgets of a constant window, and those whose number is not kept, create nothing.
TEST(CheckDuplicates, ObjectsCreatedIntoVariables) {
  FormCodeFixture f(L({
      "  OpenWindow(#Main, 0, 0, 1, 1, \"\")",
      "    Early = ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\")",
      "Procedure OpenWindow_0(x = 0)",
      "  Window_0.i = OpenWindow(#PB_Any, x, 0, 1, 1, \"\")",
      "    Button_0 = ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\") : Text_0.i = TextGadget(#PB_Any, 0, 0, 1, 1, \"\")",
      "    If ButtonGadget(#PB_Any, 0, 0, 1, 1, \"\") : EndIf",
      "    BUTTON_0 = StringGadget(#PB_Any, 0, 0, 1, 1, \"\")",
      "    ButtonGadget(#Button_0, 0, 0, 1, 1, \"\")",
      "EndProcedure",
  }));
  ASSERT_TRUE(PrefixObjectConstants(f.ctx));
  ASSERT_TRUE(checkDuplicates(f.ctx));
  EXPECT_TRUE(f.host.log.empty());
  EXPECT_EQ(f.model.WindowList, L({"Main", "Window_0"}));
  EXPECT_EQ(f.model.WindowVariableList, (std::vector<bool>{false, true}));
  EXPECT_EQ(f.model.WindowProcedureList.back(), (WindowProcedure{"OpenWindow_0", false}));
  EXPECT_EQ(f.model.GadgetList, (std::vector<GadgetEntry>{{"Button_0", "BUTTONGADGET", true},
                                                          {"Text_0", "TEXTGADGET", true},
                                                          {"Window_0_Button_0", "BUTTONGADGET", false}}));

  FormCodeFixture repeated(L({"OpenWindow(#Main, 0, 0, 1, 1, \"\")", "MAIN = OpenWindow(#PB_Any, 0, 0, 1, 1, \"\")"}));
  ASSERT_TRUE(PrefixObjectConstants(repeated.ctx));
  EXPECT_FALSE(checkDuplicates(repeated.ctx));
  EXPECT_EQ(repeated.host.log, L({" -> Error: Find duplicate WindowID(#MAIN). Stop!"}));
}

TEST(CheckDuplicates, EmptyFormCode) {
  FormCodeFixture f;
  EXPECT_TRUE(checkDuplicates(f.ctx));
  EXPECT_TRUE(f.model.WindowList.empty() && f.model.GadgetList.empty() && f.host.log.empty());
}

}  // namespace
}  // namespace tarnwick::testing
