// References to a window's objects after the duplicate checks: the prefix of their
// creating calls, within the window's own procedure or anywhere else.
#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"
#include "rewrite/check_duplicates.h"

namespace tarnwick::testing {
namespace {

// Two window procedures and a helper after them; each form code line with the line
// that the prefixing pass, the duplicate checks and the reference pass make of it
// (empty: what the prefixing pass alone makes of it).
TEST(PrefixObjectReferences, TwoWindowsAndAHelperAfterThem) {
  const std::pair<const char*, const char*> lines[] = {
      {"Procedure.l Window_Main()", ""},
      {"  If OpenWindow(#Main, 0, 0, 300, 200, \"Main\")", ""},
      {"    CreateMenu(#Menu, WindowID(#Main))", ""},
      {"    MenuItem(#Quit, \"Quit\")", ""},
      {"    ButtonGadget(#Ok, 0, 0, 1, 1, \"#Ok\") : ButtonGadget(#Shared, 0, 0, 1, 1, ~\"\\\"#Ok\")", ""},
      // An image that shares a gadget's name stays the image.
      {"    ImageGadget(#Logo, 0, 0, 1, 1, ImageID(#Logo))", "    ImageGadget(#Main_Logo, 0, 0, 1, 1, ImageID(#Logo))"},
      {"    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Quit)",
       "    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Main_Quit)"},
      {"    BindMenuEvent(#Menu, #QUIT, @Quit()) ; #Ok", "    BindMenuEvent(#Main_Menu, #Main_QUIT, @Quit()) ; #Ok"},
      {"    x$ = #Ok$ + Str(#Ok) + Mod::#Ok + '#' + Str(#Okay)",
       "    x$ = #Ok$ + Str(#Main_Ok) + Mod::#Ok + '#' + Str(#Okay)"},
      // This procedure creates no #Cancel; the one the prefixing pass gave this window's
      // prefix gets the prefix of the window that creates it.
      {"    If GadgetID = #Cancel : SetActiveGadget(#Cancel) : EndIf",
       "    If GadgetID = #Cancel : SetActiveGadget(#Second_Cancel) : EndIf"},
      // PureBasic's own constants, and objects that no call of the run creates (made
      // by a module, or by a window the run does not see), keep their names.
      {"    SetGadgetFont(#PB_Default, FontID(#Font)) : HideGadget(#List, 1)",
       "    SetGadgetFont(#PB_Default, FontID(#Font)) : HideGadget(#List, 1)"},
      {"EndProcedure", ""},
      {"Procedure CreateGUI()", ""},
      {"  OpenWindow(#Second, 0, 0, 100, 100, \"Second\")", ""},
      {"  ButtonGadget(#Shared, 0, 0, 1, 1, \"\") : ButtonGadget(#Cancel, 0, 0, 1, 1, \"\")", ""},
      {"EndProcedure", ""},
      {"Procedure Events(Gadget)", ""},
      {"    Case #Ok : DisableGadget(#Ok, 1)", "    Case #Main_Ok : DisableGadget(#Main_Ok, 1)"},
      // Created with two prefixes, or a window: left alone.
      {"    Case #Cancel, #Shared, #Second, #Quit", "    Case #Second_Cancel, #Shared, #Second, #Main_Quit"},
      {"    SetGadgetText(#Status, \"\") : SetGadgetText(#Ok, \"\")",
       "    SetGadgetText(#Status, \"\") : SetGadgetText(#Main_Ok, \"\")"},
      {"EndProcedure", ""},
  };
  FormCodeFixture f, alone;
  for (const auto& [in, out] : lines) f.model.FormCodeLines.push_back(T(in));
  f.model.ImageList = {{"#Logo", "logo.png"}};
  alone.model.FormCodeLines = f.model.FormCodeLines;
  ASSERT_TRUE(PrefixObjectConstants(f.ctx) && PrefixObjectConstants(alone.ctx));
  ASSERT_TRUE(checkDuplicates(f.ctx));
  PrefixObjectReferences(f.model);
  for (std::size_t i = 0; i < std::size(lines); ++i)
    EXPECT_EQ(f.model.FormCodeLines[i], *lines[i].second ? T(lines[i].second) : alone.model.FormCodeLines[i]);
}

}  // namespace
}  // namespace tarnwick::testing
