// Hand-built projects for the generator tests, and the generator stages of step 1 in
// the order the step runs them, so a test can run step 1's generating part and step 4
// against an in-memory folder without the interpreter.
#pragma once

#include <string>

#include "run/run.h"
#include "generate/common_file.h"
#include "generate/file_set.h"
#include "run/steps.h"
#include "interpret/source_loading.h"
#include "support/recording_host.h"

namespace tarnwick::testing {

inline const char* const kDir = "/p/";

// One window Window_0 with a menu item, a text gadget and a button, as the interpreter
// leaves it; the texts are wrapped in MyLanguage when multilang is set.
inline void fillDemoForm(FormModel& m, bool multilang) {
  auto text = [&](const char* t) {
    std::string quoted = std::string("\"").append(t).append("\"");
    return multilang ? std::string("MyLanguage(").append(quoted).append(")") : quoted;
  };
  std::string sep = "; " + std::string(87, '*');
  m.FormCodeLines = L({"Procedure Open_Window_0()",
                       ("  OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, 300, 200, " + text("File") +
                        ", #PB_Window_SystemMenu)").c_str(),
                       "  If CreateMenu(#Window_0_Menu_0, WindowID(#Window_0))",
                       ("    MenuTitle(" + text("File") + ")").c_str(),
                       ("    MenuItem(#Window_0_MenuItem_1, " + text("Open") + ")").c_str(),
                       "  EndIf",
                       ("  TextGadget(#Window_0_Text_0, 10, 10, 100, 20, " + text("File") + ")").c_str(),
                       ("  ButtonGadget(#Window_0_Button_0, 10, 40, 100, 20, " + text("Open") + ")").c_str(),
                       "EndProcedure", "", sep.c_str(), ""});
  m.WindowList = {"Window_0"};
  m.MenuBarList = {"Window_0_Menu_0"};
  m.MenuItemList = {"Window_0_MenuItem_1"};
  m.GadgetList = {{"Window_0_Text_0", "TEXTGADGET"}, {"Window_0_Button_0", "BUTTONGADGET"}};
  m.ImageList = {{"#Image_0", "ok.png"}};
}

// Step 1's generator stages on a fresh model that a test has filled with its form.
inline void prepareAsStepOne(RunContext& ctx) {
  FormModel& m = ctx.model;
  m.WriteFormat = WriteFormat(std::nullopt, m.switches);
  prepareFileBuffers(ctx);
  if (m.switches.Multilang == 1) {
    ScanLanguageKeys(m, m.FormCodeLines);
    for (const FileBuffer* b : {&m.buffers.main, &m.buffers.eventMenu, &m.buffers.eventGadget, &m.buffers.eventWindow})
      ScanLanguageKeys(m, *b);
    fillLanguageData(m);
  }
  m.sections.fonts = {";- Load Font"};
  for (const FontEntry& f : m.FontList) m.sections.fonts.push_back(f.line);
  m.sections.fonts.emplace_back();
  buildImageSection(m);
  buildConstantsSection(m);
}

// The bytes of a file in the fake folder, or "<missing>".
inline std::string fileBytes(const MemoryFileSystem& fs, const std::string& name) {
  auto it = fs.files.find(kDir + name);
  return it == fs.files.end() ? std::string("<missing>") : it->second;
}

}  // namespace tarnwick::testing
