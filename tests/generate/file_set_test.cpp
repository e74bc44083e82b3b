#include "generate/file_set.h"

#include <gtest/gtest.h>

#include "generate/templates.h"
#include "generate_fixture.h"
#include "project/project_file.h"

namespace tarnwick {
namespace {

using namespace tarnwick::testing;

const std::string kMark = "\xEF\xBB\xBF";

std::string utf16le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

struct Project {
  MemoryFileSystem fs;
  FormModel m;
  RecordingHost host;
  RunContext ctx{m, host, fs, {"/p/form.pb"}};
  Project() { m.ProjectPath = "/p/demo.pbm"; }
};

TEST(FileSet, MissingFilesGiveTemplatesAndEmptyEventFiles) {
  for (int callFast : {0, 1}) {
    Project p;
    p.m.switches.UseCallFast = callFast;
    p.fs.files["/p/EventMain.pb"] = "edited by hand\n";
    prepareFileBuffers(p.ctx);
    EXPECT_EQ(p.m.buffers.main.size(), 80u);
    EXPECT_EQ(p.m.buffers.eventMain.size(), callFast ? 78u : 38u);
    EXPECT_EQ(p.m.buffers.loadLanguage.size(), 60u);
    EXPECT_TRUE(p.m.buffers.eventMenu.empty() && p.m.buffers.eventGadget.empty() && p.m.buffers.eventWindow.empty());
    EXPECT_TRUE(p.m.buffers.common.empty());
    EXPECT_EQ(p.m.Language.size(), 0u);
  }
}

TEST(FileSet, CatalogIsReadInFileOrder) {
  struct Case {
    std::string file;
    std::vector<std::pair<Text, Text>> expected;
  } cases[] = {
      {"Default;Language\n", {}},
      {"\"Open\";\"\"\n", {}},  // the first line is skipped whatever it holds
      {"h\n\"Open\";\"Auf\"\nSave\n\"\";\"x\"\n\"\"\"\";\"y\"\n;z\n", {{"Open", "Auf"}, {"Save", "Save"}}},
      // A repeated key keeps its first place and takes the later text.
      {"h\nA;1\nB;2\nA;3\n", {{"A", "3"}, {"B", "2"}}},
      // A line written "key";"text" is read by its quotes, so both may hold ";".
      {"h\n\"Save;Load\";\"Speichern;Laden\"\n\"a;b\";\"\"\n\"k\";\"x\";\"y\"\n",
       {{"Save;Load", "Speichern;Laden"}, {"a;b", "a;b"}, {"k", "x\";\"y"}}},
      // Other lines by their fields: blanks around ";" belong to key and text, and a
      // text is cut at a further ";".
      {"h\n\"K\" ; \"T;U\"\n\"V\";\"\n", {{"K\" ", " \"T"}, {"V", "V"}}},
      {utf16le("h\r\n\"Open\";\"Auf\"\r\n"), {{"Open", "Auf"}}},
  };
  for (const Case& c : cases) {
    Project p;
    p.fs.files["/p/Catalog"] = c.file;
    prepareFileBuffers(p.ctx);
    EXPECT_EQ(p.m.Language.entries(), c.expected) << c.file;
  }
}

TEST(FileSet, CatalogLines) {
  LanguageMap map;
  map.set("Open", "Öffnen");
  map.set("Save", "Save");
  map.set("Save;Load", "Speichern;Laden");
  EXPECT_EQ(catalogLines(map), L({"Default;Language", "\"Open\";\"Öffnen\"", "\"Save\";\"\"",
                                  "\"Save;Load\";\"Speichern;Laden\""}));
  LanguageMap again;
  readCatalog(catalogLines(map), again);
  EXPECT_EQ(again.entries(), map.entries());
}

// Runs the generating part of step 1 and step 4 on the project's folder.
void runGenerate(Project& p) {
  prepareAsStepOne(p.ctx);
  generateStep4(p.ctx);
}

// Every line the user wrote into an event file survives a run: notes between the
// procedures and at the end, in each of the three files. New procedures go after the
// notes, but before the editor's settings block, which stays last.
TEST(FileSet, EventFilesKeepEveryLine) {
  const std::string ide = "; IDE Options = PureBasic 5.10 (Windows - x86)\n; Folding = -\n";
  const std::string notes = "\n; Notes: keep the menu in step with the toolbar.\n;   second line\n";
  Project p;
  p.m.switches.Utf8 = 0;  // written as read: no mark
  fillDemoForm(p.m, false);
  p.m.WindowList = {"Window_0", "Window_1"};  // Window_1 and the menu item are new
  const std::string menu = notes;                                 // nothing but notes
  const std::string window = "Procedure EventSize_Window_0()\nEndProcedure\n; between\nGlobal x = 1\n"
                             "Procedure EventExit_Window_0()\nEndProcedure\n" + notes;
  const std::string gadget = "Procedure EventGadget_Window_0_Button_0(EventType)\nEndProcedure\n" + notes + ide;
  p.fs.files["/p/EventMenu.pb"] = menu;
  p.fs.files["/p/EventWindow.pb"] = window;
  p.fs.files["/p/EventGadget.pb"] = gadget;
  runGenerate(p);
  const std::string newMenu = fileBytes(p.fs, "EventMenu.pb"), newWindow = fileBytes(p.fs, "EventWindow.pb"),
                    newGadget = fileBytes(p.fs, "EventGadget.pb");
  EXPECT_EQ(newMenu.substr(0, menu.size()), menu);
  EXPECT_NE(newMenu.find("Procedure EventMenu_Window_0_MenuItem_1()", menu.size()), std::string::npos);
  EXPECT_EQ(newWindow.substr(0, window.size()), window);
  EXPECT_NE(newWindow.find("Procedure EventExit_Window_1()", window.size()), std::string::npos);
  // Nothing to add: the file comes back as it was, settings block included.
  EXPECT_EQ(newGadget, gadget);

  // A second run with a new gadget puts its procedure before the settings block.
  Project q;
  q.fs.files = p.fs.files;
  q.m.switches.Utf8 = 0;
  fillDemoForm(q.m, false);
  q.m.GadgetList.push_back({"Window_0_Button_1", "BUTTONGADGET"});
  runGenerate(q);
  const std::string again = fileBytes(q.fs, "EventGadget.pb");
  const std::size_t added = again.find("Procedure EventGadget_Window_0_Button_1(EventType)");
  ASSERT_NE(added, std::string::npos);
  // The notes end the user's part; a separator block sets the new procedure apart.
  EXPECT_EQ(again.substr(0, added),
            gadget.substr(0, gadget.size() - ide.size()) + "\n; " + std::string(87, '*') + "\n\n");
  EXPECT_EQ(again.substr(again.size() - ide.size()), ide);
  EXPECT_EQ(fileBytes(q.fs, "EventMenu.pb"), newMenu);
  EXPECT_EQ(fileBytes(q.fs, "EventWindow.pb"), newWindow);
}

TEST(FileSet, EncodingsOfWrittenFiles) {
  // A Main.pb with the UTF-8 mark makes every file UTF-8, also with Utf8 off.
  {
    Project p;
    p.m.switches.Utf8 = 0;
    fillDemoForm(p.m, false);
    p.fs.files["/p/Main.pb"] = kMark + "  If WindowID(#Old)\n";
    prepareFileBuffers(p.ctx);
    p.m.WriteFormat = WriteFormat(detectMark(p.fs.files["/p/Main.pb"]), p.m.switches);
    generateStep4(p.ctx);
    EXPECT_EQ(fileBytes(p.fs, "Main.pb"), kMark + "  If WindowID(#Window_0)\n");
    EXPECT_EQ(fileBytes(p.fs, "EventMenu.pb").substr(0, 3), kMark);
  }
  // A UTF-16 file is read and written back in the run's format, LF only.
  for (int utf8 : {0, 1}) {
    Project p;
    p.m.switches.Utf8 = utf8;
    p.fs.files["/p/EventMenu.pb"] = utf16le("Procedure Mine()\r\n  Debug \"\xE4\"\r\nEndProcedure\r\n");
    runGenerate(p);
    std::string body = "Procedure Mine()\n  Debug \"" + std::string(utf8 ? "\xC3\xA4" : "\xE4") + "\"\nEndProcedure\n";
    EXPECT_EQ(fileBytes(p.fs, "EventMenu.pb"), (utf8 ? kMark : "") + body);
  }
}

TEST(FileSet, CharactersBeyondLatin1GiveUtf8WithWarning) {
  Project p;
  p.m.switches.Utf8 = 0;
  p.m.switches.Multilang = 1;
  fillDemoForm(p.m, true);
  p.fs.files["/p/Catalog"] = kMark + "h\n\"Open\";\"\xE6\x89\x93\xE5\xBC\x80\"\n";  // Chinese text
  p.fs.files["/p/EventGadget.pb"] = "; \xE4\n";  // Latin-1 ä, trimmed away as a comment line
  p.fs.files["/p/EventMenu.pb"] = kMark + "Procedure Mine() ; \xE2\x82\xAC\nEndProcedure\n";  // euro sign
  runGenerate(p);
  const Lines& log = p.host.log;
  auto at = std::find(log.begin(), log.end(), Text(" -> Write File /p/EventMenu.pb"));
  ASSERT_NE(at, log.end());
  EXPECT_EQ(*(at + 1), " -> Warning: /p/EventMenu.pb holds characters beyond ISO 8859-1; written as UTF-8.");
  std::string head = kMark + "Procedure Mine() ; \xE2\x82\xAC\n";
  EXPECT_EQ(fileBytes(p.fs, "EventMenu.pb").substr(0, head.size()), head);
  at = std::find(log.begin(), log.end(), Text(" -> Write File /p/Catalog"));
  ASSERT_NE(at, log.end());
  EXPECT_EQ(*(at + 1), " -> Warning: /p/Catalog holds characters beyond ISO 8859-1; written as UTF-8.");
  EXPECT_EQ(fileBytes(p.fs, "Catalog").substr(0, 3), kMark);
  // The other files stay 8-bit without a mark.
  int warnings = 0;
  for (const Text& line : log) warnings += startsWith(line, " -> Warning: ");
  EXPECT_EQ(warnings, 2);
  EXPECT_EQ(fileBytes(p.fs, "Main.pb").substr(0, 6), ";-TOP\n");
  EXPECT_EQ(fileBytes(p.fs, "LoadLanguage.pb").substr(0, 10), "; Tarnwick");
}

// A file that is there but cannot be read was prepared without the user's lines:
// writing it would wipe them, so it is kept and reported instead, also when it has
// become readable by the time the files are written.
TEST(FileSet, UnreadableFileIsNotOverwritten) {
  for (bool readableLater : {false, true})
  for (const char* name : {"Main.pb", "EventGadget.pb", "Catalog", "CommonFile.pb"}) {
    SCOPED_TRACE(readableLater ? "readable when written" : "unreadable throughout");
    Project p;
    p.m.switches.Multilang = 1;
    fillDemoForm(p.m, true);
    std::string path = std::string("/p/") + name;
    p.fs.files[path] = "user lines";
    p.fs.unreadable.insert(path);
    prepareAsStepOne(p.ctx);
    if (readableLater) p.fs.unreadable.clear();
    generateStep4(p.ctx);
    bool generatedOnly = std::string(name) == "CommonFile.pb";
    EXPECT_EQ(p.fs.files[path] == "user lines", !generatedOnly) << name;
    int errors = 0;
    for (const Text& line : p.host.log) errors += line == " -> Error File " + T(path) + " / Errorcode: 1";
    EXPECT_EQ(errors, generatedOnly ? 0 : 1) << name;
  }
}

TEST(FileSet, SuccessfulRunStoresItsNames) {
  Project p;
  fillDemoForm(p.m, false);
  p.m.PreviousWindowList = {"OldWindow"};
  runGenerate(p);
  EXPECT_EQ(p.host.log.end()[-2], "Ready.");
  EXPECT_EQ(p.m.PreviousWindowList, Lines{"Window_0"});
  EXPECT_EQ(p.m.PreviousGadgetList, L({"Window_0_Text_0", "Window_0_Button_0"}));
  Lines files;
  FormModel loaded;
  ASSERT_TRUE(readProjectFile(p.fs, "/p/demo.pbm", files, loaded));
  EXPECT_EQ(loaded.PreviousMenuItemList, Lines{"Window_0_MenuItem_1"});
}

// What the user wrote into the event files survives the next run.
TEST(FileSet, UserCodeSurvivesTheNextRun) {
  Project first;
  first.m.switches.Multilang = 1;
  fillDemoForm(first.m, true);
  runGenerate(first);

  Project p;
  p.fs.files = first.fs.files;
  std::string menu = p.fs.files["/p/EventMenu.pb"];
  std::string sep = "; " + std::string(87, '*');
  std::string userMenu = menu.substr(0, menu.find("  \nEndProcedure")) + "  MessageRequester(MyLanguage(\"Hello\"), \"Hi\")\n"
                         "EndProcedure\n\n" + sep + "\n\n; IDE Options = PureBasic 5.10 (Windows - x86)\n; Folding = -\n";
  p.fs.files["/p/EventMenu.pb"] = userMenu;
  // The user commented out the size procedure's head and replaced the gadget one.
  std::string window = p.fs.files["/p/EventWindow.pb"];
  window.replace(window.find("Procedure EventSize_"), 9, ";Procedure");
  p.fs.files["/p/EventWindow.pb"] = window;
  std::string gadget = p.fs.files["/p/EventGadget.pb"];
  gadget.replace(gadget.find("(EventType)"), 11, "(Type)");
  p.fs.files["/p/EventGadget.pb"] = gadget;
  p.fs.files["/p/Catalog"] = kMark + "Default;Language\n\"Open\";\"Auf\"\n";
  p.m.switches.Multilang = 1;
  fillDemoForm(p.m, true);
  runGenerate(p);

  EXPECT_EQ(fileBytes(p.fs, "EventMenu.pb"), userMenu);
  EXPECT_EQ(fileBytes(p.fs, "EventWindow.pb"), window);
  std::string newGadget = fileBytes(p.fs, "EventGadget.pb");
  ASSERT_EQ(newGadget.substr(0, gadget.size()), gadget);
  EXPECT_EQ(newGadget.substr(gadget.size(), 51), "Procedure EventGadget_Window_0_Button_0(EventType)\n");
  EXPECT_EQ(fileBytes(p.fs, "Catalog"),
            kMark + "Default;Language\n\"Open\";\"Auf\"\n\"File\";\"\"\n\"Hello\";\"\"\n");
}

TEST(FileSet, SettingsBlockOnlyEventFileGetsAHeaderBeforeIt) {
  Project p;
  const std::string ide = "; IDE Options = PureBasic 5.10 (Windows - x86)\n; Folding = -\n";
  p.fs.files["/p/EventWindow.pb"] = ide;
  p.m.switches.Utf8 = 0;
  runGenerate(p);
  std::string sep = "; " + std::string(87, '*');
  EXPECT_EQ(fileBytes(p.fs, "EventWindow.pb"), ";-TOP\n\n; Tarnwick Event Window\n\n" + sep + "\n\n" + ide);
}

}  // namespace
}  // namespace tarnwick
