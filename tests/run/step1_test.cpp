// Step 1 as a whole, on the bundled demo project and on projects that must stop.
#include "run/steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "generate/common_file.h"
#include "interpret/form_code_fixture.h"

namespace tarnwick::testing {
namespace {

std::string readSourceFile(const std::string& relative) {
  std::ifstream in(std::string(TARNWICK_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Project : FormCodeFixture {
  Project() { model.ProjectPath = "/p/demo.pbm"; }
  void add(const std::string& name, const std::string& bytes) {
    fs.files["/p/" + name] = bytes;
    ctx.fileRows.push_back(T("/p/" + name));
  }
};

TEST(Step1, DemoProjectIsInterpreted) {
  Project p;
  p.add("Editor.pbf", readSourceFile("examples/demo/Editor.pbf"));
  p.add("Options.pb", readSourceFile("examples/demo/Options.pb"));
  ASSERT_TRUE(generateStep1(p.ctx));
  EXPECT_EQ(p.host.log,
            L({"Generate Code Step 1 ...", "- Check Main.pb", " -> Main.pb not found.", "- Load Files...",
               " -> Load File /p/Editor.pbf", " -> Load File /p/Options.pb", "- Interpret code..."}));
  const FormModel& m = p.model;
  EXPECT_EQ(m.WindowList, L({"Window_0", "Window_1"}));
  EXPECT_EQ(m.MenuBarList, L({"Window_0_Menu", "Window_1_Popup_Delay"}));
  EXPECT_EQ(m.MenuItemList, L({"Window_0_MenuItem_New", "Window_0_MenuItem_Open", "Window_0_MenuItem_Quit",
                               "Window_0_Tool_New", "Window_0_Tool_Save", "Window_1_Popup_Reset"}));
  EXPECT_EQ(m.StatusBarList, L({"Window_0_StatusBar"}));
  EXPECT_EQ(m.ToolBarList, L({"Window_0_ToolBar"}));
  std::vector<GadgetEntry> gadgets{
      {"Window_0_Text_Name", "TEXTGADGET"},          {"Window_0_String_Name", "STRINGGADGET"},
      {"Window_0_Button_0", "BUTTONGADGET"},         {"Window_0_ListView_Notes", "LISTVIEWGADGET"},
      {"Window_0_Image_Logo", "IMAGEGADGET"},        {"Window_1_CheckBox_Autosave", "CHECKBOXGADGET"},
      {"Window_1_Text_Delay", "TEXTGADGET"},         {"Window_1_String_Delay", "STRINGGADGET"},
      {"Window_1_Image_Logo", "IMAGEGADGET"},        {"Window_1_Button_0", "BUTTONGADGET"},
      {"Window_1_Button_Cancel", "BUTTONGADGET"}};
  EXPECT_EQ(m.GadgetList, gadgets);
  // The procedure image load reuses the constant of the global load of the same file.
  EXPECT_EQ(m.ImageList, (std::vector<ImageEntry>{{"#Img_Window_0_0", "logo.png"}}));
  EXPECT_EQ(m.FontList, (std::vector<FontEntry>{{"#Font_Window_0_0",
                                                  "LoadFont(#Font_Window_0_0,\"DejaVu Sans\", 10, #PB_Font_Bold)"}}));
  EXPECT_EQ(m.sections.fonts,
            L({";- Load Font", "LoadFont(#Font_Window_0_0,\"DejaVu Sans\", 10, #PB_Font_Bold)", ""}));

  Lines expected = L({
      "Procedure Open_Window_0(x = 0, y = 0, width = 420, height = 300)",
      "  OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, width, height, \"Tarnwick Demo\", #PB_Window_SystemMenu | "
      "#PB_Window_MinimizeGadget)",
      "  CreateMenu(#Window_0_Menu, WindowID(#Window_0))",
      "  MenuTitle(\"File\")",
      "  MenuItem(#Window_0_MenuItem_New, \"New\")",
      "  MenuItem(#Window_0_MenuItem_Open, \"Open...\")",
      "  MenuBar()",
      "  MenuItem(#Window_0_MenuItem_Quit, \"Quit\")",
      "  CreateToolbar(#Window_0_ToolBar, WindowID(#Window_0))",
      "  ToolBarStandardButton(#Window_0_Tool_New, #PB_ToolBarIcon_New)",
      "  ToolBarStandardButton(#Window_0_Tool_Save, #PB_ToolBarIcon_Save)",
      "  ToolBarToolTip(#Window_0_ToolBar, #Window_0_Tool_New, \"New note\")",
      "  ToolBarToolTip(#Window_0_ToolBar, #Window_0_Tool_Save, \"Save the notes\")",
      "  CreateStatusBar(#Window_0_StatusBar, WindowID(#Window_0))",
      "  AddStatusBarField(200)",
      "  StatusBarText(#Window_0_StatusBar, 0, \"Ready\")",
      "  TextGadget(#Window_0_Text_Name, 10, 10, 80, 20, \"Name:\")",
      "  SetGadgetFont(#Window_0_Text_Name, FontID(#Font_Window_0_0))",
      "  StringGadget(#Window_0_String_Name, 100, 10, 200, 20, \"\")",
      "  ButtonGadget(#Window_0_Button_0, 310, 10, 100, 25, \"Add\")",
      "  ListViewGadget(#Window_0_ListView_Notes, 10, 40, 300, 180)",
      "  ImageGadget(#Window_0_Image_Logo, 320, 40, 64, 64, ImageID(#Img_Window_0_0))",
      "EndProcedure",
      "",
      "; ***************************************************************************************",
      "",
      "Procedure Open_Window_1()",
      "\tIf OpenWindow(#Window_1, #PB_Ignore, #PB_Ignore, 300, 200, \"Options, général\", #PB_Window_SystemMenu | "
      "#PB_Window_TitleBar, WindowID(#Window_0))",
      "\t\tIf CreateGadgetList(WindowID(#Window_1))",
      "\t\t\tCheckBoxGadget(#Window_1_CheckBox_Autosave, 10, 10, 200, 20, \"Save automatically\")",
      "\t\t\tTextGadget(#Window_1_Text_Delay, 10, 40, 100, 20, \"Delay (min):\")",
      "\t\t\tStringGadget(#Window_1_String_Delay, 120, 40, 60, 20, \"5\", #PB_String_Numeric)",
      "\t\t\tImageGadget(#Window_1_Image_Logo, 200, 40, 64, 64, ImageID(#Img_Window_0_0))",
      "\t\t\t;ButtonGadget(#Button_Help, 200, 160, 80, 25, \"Help\")",
      "\t\t\tButtonGadget(#Window_1_Button_0, 10, 160, 80, 25, \"OK\")",
      "\t\t\tButtonGadget(#Window_1_Button_Cancel, 100, 160, 80, 25, \"Cancel\") : "
      "GadgetToolTip(#Window_1_Button_Cancel, \"Close without saving\")",
      "\t\tEndIf",
      "\t\t; context menu of the delay field",
      "\t\tIf CreatePopupMenu(#Window_1_Popup_Delay)",
      "\t\t\tMenuItem(#Window_1_Popup_Reset, \"Reset\" + #TAB$ + \"Ctrl+R\")",
      "\t\tEndIf",
      "\tEndIf",
      "EndProcedure",
      "",
      "; ***************************************************************************************",
      "",
  });
  EXPECT_EQ(m.FormCodeLines, expected);
}

TEST(Step1, WindowOpenedWithPbAnyStopsBeforeAnyListIsFilled) {
  Project p;
  p.add("a.pb", "Procedure Open_Main()\n  If OpenWindow(#PB_Any, 0, 0, 100, 100, \"Main\")\n  EndIf\nEndProcedure\n");
  EXPECT_FALSE(generateStep1(p.ctx));
  EXPECT_EQ(p.host.log.back(), T(" -> Error: Find OpenWindow with '#PB_Any', Not supported. Stop!"));
  EXPECT_EQ(p.host.mainWindowEnabled, 1);
  EXPECT_TRUE(p.model.WindowList.empty());
}

TEST(Step1, DuplicateWindowAcrossFilesStops) {
  Project p;
  p.add("a.pb", "Procedure Open_Window_0()\n  OpenWindow(#Window_0, 0, 0, 1, 1, \"A\")\nEndProcedure\n");
  p.add("b.pbf", "Procedure OpenWindow_0()\r\n  OpenWindow(#Window_0, 0, 0, 1, 1, \"B\")\r\nEndProcedure\r\n");
  EXPECT_FALSE(generateStep1(p.ctx));
  EXPECT_EQ(Lines(p.host.log.end() - 2, p.host.log.end()),
            L({" -> #Window_0 is created in /p/a.pb and in /p/b.pbf",
               " -> Error: Find duplicate WindowID(#Window_0). Stop!"}));
  EXPECT_EQ(p.host.mainWindowEnabled, 1);
  EXPECT_EQ(p.model.WindowList, L({"Window_0"}));

  Project once;
  once.add("a.pb", "Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"A\")\nEndProcedure\n"
                   "Procedure Open_V()\n  OpenWindow(#w, 0, 0, 1, 1, \"B\")\nEndProcedure\n");
  EXPECT_FALSE(generateStep1(once.ctx));
  EXPECT_EQ(once.host.log[once.host.log.size() - 2], T(" -> #w is created twice in /p/a.pb"));
}

// The log names each form file it loads; a file listed twice is loaded once, and a file
// outside the project folder or without form code is named in a warning.
TEST(Step1, LoadedFilesAreNamedAndOddOnesWarned) {
  Project p;
  p.add("a.pb", "Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"A\")\nEndProcedure\n");
  p.fs.files["/q/shared.pb"] = "Procedure Open_V()\n  OpenWindow(#V, 0, 0, 1, 1, \"V\")\nEndProcedure\n";
  p.ctx.fileRows.push_back("/q/shared.pb");
  p.ctx.fileRows.push_back("./a.pb");  // a relative row counts from the project folder
  p.add("logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  p.add("notes.txt", "Open the window first.\nThen the button.\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  const Lines& log = p.host.log;
  auto from = std::find(log.begin(), log.end(), T("- Load Files...")) + 1;
  auto to = std::find(log.begin(), log.end(), T("- Interpret code..."));
  EXPECT_EQ(Lines(from, to), L({" -> Load File /p/a.pb",
                                " -> Load File /q/shared.pb",
                                " -> Warning: /q/shared.pb lies outside the project folder.",
                                " -> Warning: /p/a.pb is the same file as /p/a.pb; it is loaded once.",
                                " -> Load File /p/logo.png",
                                " -> Warning: /p/logo.png is no text file; it holds no form code.",
                                " -> Load File /p/notes.txt",
                                " -> Warning: /p/notes.txt holds no form code (no procedure or window)."}));
  EXPECT_EQ(p.model.WindowList, L({"W", "V"}));
}

// A slip in the form code stops step 1 with the file, the line and what is wrong: an
// object name that is no PureBasic name, a procedure without its end. Two procedure
// heads in two CompilerIf branches share one body and are no slip.
TEST(Step1, SlipsStopNamingFileAndLine) {
  const char* const cases[][2] = {
      {"Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"\")\n\n  ButtonGadget(#Button_Slip 10, 0, 1, 1, \"\")\n"
       "EndProcedure\n",
       " -> Error: ButtonGadget in b.pb line 4: '#Button_Slip 10' is not a PureBasic name; write the object's "
       "constant as one name. Stop!"},
      {"Procedure Open_W()\n  If OpenWindow(# , 0, 0, 1, 1, \"\") : EndIf\nEndProcedure\n",
       " -> Error: OpenWindow in b.pb line 2: '#' is not a PureBasic name; write the object's constant as one "
       "name. Stop!"},
      {"Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"\")\n  ListEx::Gadget(#List\t2, 0, 0, 1, 1)\nEndProcedure\n",
       " -> Error: ListEx::Gadget in b.pb line 3: '#List\t2' is not a PureBasic name; write the object's constant "
       "as one name. Stop!"},
      {"Procedure.i Open_W(x = 0)\n  OpenWindow(#W, x, 0, 1, 1, \"\")\n\nProcedure Open_V()\nEndProcedure\n",
       " -> Error: Procedure Open_W in b.pb line 1 has no EndProcedure. Stop!"},
      {"Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"\")\n  ProcedureReturn\n",
       " -> Error: Procedure Open_W in b.pb line 1 has no EndProcedure. Stop!"},
  };
  for (const auto& c : cases) {
    Project p;
    p.model.UserGadgetList = L({"ListEx::Gadget"});
    buildCommandSets(p.model.UserGadgetList, p.model.PrefixCommandSet, p.model.GadgetCommandSet);
    p.add("a.pb", "Procedure Open_A()\n  OpenWindow(#A, 0, 0, 1, 1, \"\")\nEndProcedure\n");
    p.add("b.pb", c[0]);
    EXPECT_FALSE(generateStep1(p.ctx)) << c[0];
    EXPECT_EQ(p.host.log.back(), T(c[1]));
    EXPECT_EQ(p.host.mainWindowEnabled, 1);
  }
  Project twoHeads;
  twoHeads.add("a.pb",
               "CompilerIf #PB_Compiler_OS = #PB_OS_Linux\nProcedure Open_A(x)\n  ; Linux\nCompilerElse\n"
               "Procedure Open_A(x, y)\nCompilerEndIf\n  OpenWindow(#A, x, 0, 1, 1, \"\")\nEndProcedure\n"
               "Macro Head(name)\n  Procedure name()\n    x = 1\n  EndMacro\nProcedure Open_B()\nEndProcedure\n");
  EXPECT_TRUE(generateStep1(twoHeads.ctx));
  EXPECT_EQ(twoHeads.model.WindowList, L({"A"}));
}

TEST(Step1, ImageNullClearsImageGadgetsAfterTheImagePass) {
  Project p;
  p.model.switches.Image_Null = 1;
  p.model.switches.Parend = 0;
  p.model.switches.PB_Ignore = 0;
  p.add("a.pb",
        "Procedure Open_W()\n  OpenWindow(#W, 5, 5, 1, 1, \"A\")\n"
        "  ButtonImageGadget(#B, 0, 0, 1, 1, LoadImage(0, \"b.png\"), #PB_Button_Toggle)\nEndProcedure\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  EXPECT_EQ(p.model.FormCodeLines[1], T("  OpenWindow(#W, 5, 5, 1, 1, \"A\")"));
  EXPECT_EQ(p.model.FormCodeLines[2], T("  ButtonImageGadget(#W_B, 0, 0, 1, 1, 0)"));
  EXPECT_EQ(p.model.ImageList, (std::vector<ImageEntry>{{"#MyImage_0", "b.png"}}));
}


// What a form file declares outside its procedures comes into a section of its own; the
// objects CommonFile.pb declares, the loads its sections take and program code stay out.
TEST(Step1, FormFileDeclarationsComeWithIt) {
  Project p;
  p.add("f.pb",
        "EnableExplicit\n"
        "#Title$ = \"Demo\" : #Eol = 10 ; two at once\n"
        "Enumeration\n  #Ok\n  #Img_Logo\n  #Img_Logo\nEndEnumeration\n"
        "Enumeration\n  #Ok\nEndEnumeration\n"
        "Structure Item\n  name.s\nEndStructure\n"
        "Macro Twice(x) : (x) * 2 : EndMacro\n"
        "Prototype.i Callback(value)\n"
        "Global Main, Pane, NewList items.Item()\n"
        "Declare Helper(a)\nDeclare.i OnClick(EventType)\n"
        "UsePNGImageDecoder()\n"
        "LoadFont(#Font_Main, \"Sans\", 10)\n"
        "CompilerIf #PB_Compiler_OS = #PB_OS_Linux\n  #Sep$ = \"/\"\nCompilerElse\n  #Sep$ = \"\\\"\nCompilerEndIf\n"
        "CompilerIf #PB_Compiler_Debugger\n  Debug 1\nCompilerEndIf\n"
        "DataSection\n  Logo: : IncludeBinary \"logo.png\"\nEndDataSection\n"
        "Procedure Open_Main()\n  Main = OpenWindow(#PB_Any, 0, 0, 100, 100, #Title$)\n"
        "    Pane = ButtonGadget(#PB_Any, 0, 0, 10, 10, \"P\")\n"
        "    ButtonGadget(#Ok, 0, 0, 10, 10, \"OK\")\nEndProcedure\n"
        "Procedure Helper(a)\nEndProcedure\n"
        "Open_Main()\nRepeat\nUntil WaitWindowEvent() = #PB_Event_CloseWindow\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  EXPECT_EQ(p.model.sections.declarations,
            L({";- Declarations of the form files", "; f.pb", "#Title$ = \"Demo\" : #Eol = 10 ; two at once",
               "Enumeration", "  #Img_Logo", "EndEnumeration", "Structure Item", "  name.s", "EndStructure",
               "Macro Twice(x) : (x) * 2 : EndMacro", "Prototype.i Callback(value)", "Global NewList items.Item()",
               "Declare Helper(a)", "UsePNGImageDecoder()", "CompilerIf #PB_Compiler_OS = #PB_OS_Linux",
               "  #Sep$ = \"/\"", "CompilerElse", "  #Sep$ = \"\\\"", "CompilerEndIf", "DataSection",
               "  Logo: : IncludeBinary \"logo.png\"", "EndDataSection", ""}));
  // EnableExplicit, the line of the debug block, the call and the two of the loop.
  EXPECT_EQ(p.host.log.back(), T(" -> f.pb: 5 global lines of program code left out."));
  assembleCommonFile(p.model);
  const Lines& common = p.model.buffers.common;
  auto at = [&](const char* line) { return std::find(common.begin(), common.end(), T(line)) - common.begin(); };
  EXPECT_LT(at("EndStructure"), at(";- Load Font"));
  EXPECT_LT(at(";- Load Font"), at("Procedure Open_Main()"));
  // The image section loads the decoder of its images; the form file's line is not repeated.
  p.model.sections.images = L({";- Image Plugin", "", "UsePNGImageDecoder()"});
  p.model.sections.declarations = L({";- Declarations of the form files", "; f.pb", "UsePNGImageDecoder()", ""});
  assembleCommonFile(p.model);
  EXPECT_EQ(std::count(common.begin(), common.end(), T("UsePNGImageDecoder()")), 1);
}

// A window opened in global code: its creating lines, up to the event loop, become the
// procedure that opens it, ahead of the file's procedures, so that Main.pb opens it.
TEST(Step1, WindowOpenedInGlobalCodeBecomesItsProcedure) {
  Project p;
  p.model.switches.PB_Ignore = 0;
  p.add("gui.pb",
        "Procedure Open_Help()\n  OpenWindow(#Help, 0, 0, 50, 50, \"Help\")\nEndProcedure\n"
        "InitNetwork()\n"
        "If OpenWindow(#Main, 0, 0, 200, 100, \"Main\")\n  ButtonGadget(#Go, 5, 5, 50, 20, \"Go\")\n"
        "  Repeat\n  Until WaitWindowEvent() = #PB_Event_CloseWindow\nEndIf\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  EXPECT_EQ(p.model.WindowList, L({"Main", "Help"}));
  EXPECT_EQ(p.model.GadgetList, (std::vector<GadgetEntry>{{"Main_Go", "BUTTONGADGET"}}));
  Lines opening(p.model.FormCodeLines.begin(), p.model.FormCodeLines.begin() + 5);
  EXPECT_EQ(opening, L({"Procedure Open_Main()", "  If OpenWindow(#Main, 0, 0, 200, 100, \"Main\")",
                        "    ButtonGadget(#Main_Go, 5, 5, 50, 20, \"Go\")", "  EndIf", "EndProcedure"}));
  EXPECT_TRUE(p.host.logged(
      T(" -> Warning: window #Main is opened outside a procedure in gui.pb line 5: its form code "
        "became the procedure Open_Main in CommonFile.pb.")));
}

// Windows the run cannot take stop it with the file, the line and what to change.
TEST(Step1, WindowsThatCannotBeTakenAreNamedWithWhatToChange) {
  {
    Project p;
    p.add("ui.pb", "Procedure Build(*ui.UI)\n  *ui\\Win = OpenWindow(#PB_Any, 0, 0, 9, 9, \"W\")\nEndProcedure\n");
    EXPECT_FALSE(generateStep1(p.ctx));
    EXPECT_EQ(p.host.log.back(),
              T(" -> Error: window *ui\\Win is opened into a structure field in ui.pb line 2: open it into a variable "
                "(Window = OpenWindow(#PB_Any, ...)) or with a constant (OpenWindow(#Window, ...)). Stop!"));
  }
  {
    Project p;
    p.add("m.pb", "Macro Prefs()\n  OpenWindow(#Prefs, 0, 0, 9, 9, \"P\")\nEndMacro\n");
    EXPECT_FALSE(generateStep1(p.ctx));
    EXPECT_EQ(p.host.log.back(), T(" -> Error: a window is opened inside a macro in m.pb line 2: put it into a "
                                   "procedure. Stop!"));
  }
}

// Windows and gadgets opened with numbers get names with their numbers, where they are
// created and where their procedure addresses them; other numbers stay.
TEST(Step1, NumberedWindowsAndGadgetsAreNamed) {
  Project p;
  p.model.switches.PB_Ignore = 0;
  p.model.switches.Parend = 0;
  p.add("n.pb",
        "Procedure Tool()\n  If OpenWindow(1, 0, 0, 9, 9, \"T\")\n    ButtonGadget(3, 0, 0, 9, 9, \"B\")\n"
        "    SetGadgetText(3, \"b\") : HideWindow(1, 0) : SetGadgetText(4, \"x\")\n"
        "    CreateMenu(0, WindowID(1)) : MenuItem(3, \"M\")\n  EndIf\nEndProcedure\n"
        "OpenWindow(0, 0, 0, 9, 9, \"N\")\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  EXPECT_EQ(p.model.WindowList, L({"Window_0", "Window_1"}));
  EXPECT_EQ(p.model.GadgetList, (std::vector<GadgetEntry>{{"Window_1_Gadget_3", "BUTTONGADGET"}}));
  EXPECT_EQ(p.model.FormCodeLines[1], T("  OpenWindow(#Window_0, 0, 0, 9, 9, \"N\")"));
  EXPECT_EQ(p.model.FormCodeLines[9], T("    SetGadgetText(#Window_1_Gadget_3, \"b\") : HideWindow(#Window_1, 0) : "
                                        "SetGadgetText(4, \"x\")"));
  EXPECT_EQ(p.model.FormCodeLines[10], T("    CreateMenu(0, WindowID(#Window_1)) : MenuItem(3, \"M\")"));
  EXPECT_TRUE(p.host.logged(
      T(" -> Warning: window 1 of n.pb is opened with a number: the generated files name it "
        "#Window_1 and its numbered gadgets #Gadget_ and their number.")));
}

// The first window's procedure needs arguments: Main.pb opens it through a procedure
// that passes empty ones of their kinds; parameters with defaults are left to them.
TEST(Step1, WindowProcedureWithArgumentsIsOpenedThroughAWrapper) {
  Project p;
  p.add("h.pb",
        "Procedure ShowHelp(page$, Array rows.s(2), Map seen.i(), *data.Item, n.i = 3)\n"
        "  OpenWindow(#Help, 0, 0, 9, 9, page$)\nEndProcedure\n"
        "Procedure ResizeGadgetsHelp()\nEndProcedure\n");
  ASSERT_TRUE(generateStep1(p.ctx));
  // The size event of the window will call the designer's resize procedure.
  EXPECT_EQ(p.model.ResizeProcedureList, L({"ResizeGadgetsHelp"}));
  Lines tail(p.model.FormCodeLines.end() - 11, p.model.FormCodeLines.end() - 3);
  EXPECT_EQ(tail, L({"; Main.pb opens window Help with this procedure: ShowHelp needs arguments and gets empty ones "
                     "here. Call it with yours in Main.pb.",
                     "Procedure Open_Help()", "  Protected page$", "  Protected Dim rows.s(0, 0)",
                     "  Protected NewMap seen.i()", "  Protected *data.Item", "  ShowHelp(page$, rows(), seen(), *data)",
                     "EndProcedure"}));
  EXPECT_EQ(p.host.log.back(), T(" -> Warning: window Help is opened by procedure ShowHelp, which needs arguments; "
                                 "Main.pb calls Open_Help(), which passes empty ones."));
  p.model.buffers.main = L({"  Open_WindowXY()", "  If WindowID(#Window)"});
  rewriteFirstWindowLines(p.ctx);
  EXPECT_EQ(p.model.buffers.main, L({"  Open_Help()", "  If WindowID(#Help)"}));
}

}  // namespace
}  // namespace tarnwick::testing
