// References to a window's objects after the duplicate checks: the prefix of their
// creating calls, within the window's own procedure or anywhere else.
#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"
#include "rewrite/check_duplicates.h"

namespace tarnwick::testing {
namespace {

// The prefixing pass, the duplicate checks and the reference pass, as step 1 runs them.
Lines referenced(const Lines& in, const std::vector<ImageEntry>& images = {}) {
  FormCodeFixture f(in);
  f.model.ImageList = images;
  EXPECT_TRUE(PrefixObjectConstants(f.ctx));
  EXPECT_TRUE(checkDuplicates(f.ctx));
  PrefixObjectReferences(f.model);
  return f.model.FormCodeLines;
}

TEST(PrefixObjectReferences, TwoWindowsAndAHelperAfterThem) {
  Lines out = referenced(
      L({
          "Procedure.l Window_Main()",
          "  If OpenWindow(#Main, 0, 0, 300, 200, \"Main\")",
          "    CreateMenu(#Menu, WindowID(#Main))",
          "    MenuItem(#Quit, \"Quit\")",
          "    ButtonGadget(#Ok, 10, 10, 80, 25, \"#Ok\") : ButtonGadget(#Shared, 0, 0, 1, 1, ~\"\\\"#Ok\")",
          "    ImageGadget(#Logo, 0, 0, 1, 1, ImageID(#Logo))",
          "    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Quit)",
          "    BindMenuEvent(#Menu, #QUIT, @Quit()) ; #Ok",
          "    x$ = #Ok$ + Str(#Ok) + Mod::#Ok + '#' + Str(#Okay)",
          "    If GadgetID = #Cancel : SetActiveGadget(#Cancel) : EndIf",
          "  EndIf",
          "EndProcedure",
          "",
          "Procedure CreateGUI()",
          "  OpenWindow(#Second, 0, 0, 100, 100, \"Second\")",
          "  ButtonGadget(#Shared, 0, 0, 1, 1, \"\")",
          "  ButtonGadget(#Cancel, 0, 0, 1, 1, \"\")",
          "EndProcedure",
          "",
          "Procedure Events(Gadget)",
          "  Select Gadget",
          "    Case #Ok : DisableGadget(#Ok, 1)",
          "    Case #Cancel, #Shared, #Second, #Quit",
          "  EndSelect",
          "EndProcedure",
      }),
      {{U"#Logo", U"logo.png"}});
  EXPECT_EQ(out, L({
                     "Procedure.l Window_Main()",
                     "  If OpenWindow(#Main, 0, 0, 300, 200, \"Main\")",
                     "    CreateMenu(#Main_Menu, WindowID(#Main))",
                     "    MenuItem(#Main_Quit, \"Quit\")",
                     "    ButtonGadget(#Main_Ok, 10, 10, 80, 25, \"#Ok\") : ButtonGadget(#Main_Shared, 0, 0, 1, 1, "
                     "~\"\\\"#Ok\")",
                     // An image that shares a gadget's name stays the image.
                     "    ImageGadget(#Main_Logo, 0, 0, 1, 1, ImageID(#Logo))",
                     "    AddKeyboardShortcut(#Main, #PB_Shortcut_Escape, #Main_Quit)",
                     "    BindMenuEvent(#Main_Menu, #Main_QUIT, @Quit()) ; #Ok",
                     "    x$ = #Ok$ + Str(#Main_Ok) + Mod::#Ok + '#' + Str(#Okay)",
                     // The window's own procedure creates no #Cancel; the prefixing pass
                     // gave one the wrong window's prefix, which the other window's replaces.
                     "    If GadgetID = #Cancel : SetActiveGadget(#Second_Cancel) : EndIf",
                     "  EndIf",
                     "EndProcedure",
                     "",
                     "Procedure CreateGUI()",
                     "  OpenWindow(#Second, 0, 0, 100, 100, \"Second\")",
                     "  ButtonGadget(#Second_Shared, 0, 0, 1, 1, \"\")",
                     "  ButtonGadget(#Second_Cancel, 0, 0, 1, 1, \"\")",
                     "EndProcedure",
                     "",
                     "Procedure Events(Gadget)",
                     "  Select Gadget",
                     "    Case #Main_Ok : DisableGadget(#Main_Ok, 1)",
                     // Created with two prefixes, or a window: left alone.
                     "    Case #Second_Cancel, #Shared, #Second, #Main_Quit",
                     "  EndSelect",
                     "EndProcedure",
                 }));
}

}  // namespace
}  // namespace tarnwick::testing
