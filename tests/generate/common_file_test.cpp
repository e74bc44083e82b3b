#include "generate/common_file.h"

#include <gtest/gtest.h>

#include "generate/templates.h"
#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::RecordingHost;

Lines linesOf(const std::string& text) { return splitLines(T(text)); }

TEST(CommonFile, ImageSections) {
  struct Case {
    const char* name;
    std::vector<ImageEntry> images;
    int include;
    const char* expected;
  } cases[] = {
      {"decoders in fixed order", {{"#A", "ok.PNG"}, {"#B", "b.jpeg"}, {"#C", "c.Tif"}, {"#D", "d.tga"}}, 0,
       ";- Image Plugin\n\nUseJPEGImageDecoder()\nUseJPEG2000ImageDecoder()\nUsePNGImageDecoder()\n"
       "UseTIFFImageDecoder()\nUseTGAImageDecoder()\n\n;- Load Images\nLoadImage(#A, \"ok.PNG\")\n"
       "LoadImage(#B, \"b.jpeg\")\nLoadImage(#C, \"c.Tif\")\nLoadImage(#D, \"d.tga\")\n\n"},
      {"only bitmaps", {{"#A", "a.bmp"}, {"#B", "noext"}}, 0,
       ";- Image Plugin\n\n;- Load Images\nLoadImage(#A, \"a.bmp\")\nLoadImage(#B, \"noext\")\n\n"},
      {"no images embedded", {}, 1, ";- Image Plugin\n\n;- Catch Images\n\n;- Images\nDataSection\nEndDataSection\n"},
      // A numbered image and a constant written with blanks still give valid labels.
      {"numbered and blank labels", {{"0", "a.bmp"}, {" #Logo ", "l.bmp"}}, 1,
       ";- Image Plugin\n\n;- Catch Images\nCatchImage(0, ?Image_0)\nCatchImage( #Logo , ?Logo)\n\n;- Images\n"
       "DataSection\n  Image_0:\n  IncludeBinary \"a.bmp\"\n  Logo:\n  IncludeBinary \"l.bmp\"\nEndDataSection\n"},
  };
  for (const Case& c : cases) {
    FormModel m;
    m.ImageList = c.images;
    m.switches.Image_Include = c.include;
    buildImageSection(m);
    EXPECT_EQ(m.sections.images, linesOf(c.expected)) << c.name;
  }
}

TEST(CommonFile, NumberedFontsAndImagesGetNoEnumerationMember) {
  FormModel m;
  m.FontList = {{"1", "LoadFont(1, \"Arial\", 8)"}, {"#Font_0", ""}, {"#Font_0", ""}, {" #Font_2", ""}};
  m.ImageList = {{"0", "a.png"}, {"#Image_1", "b.png"}};
  buildConstantsSection(m);
  const Lines& c = m.sections.constants;
  auto block = [&](const char* header) {
    auto it = std::find(c.begin(), c.end(), T(header));
    auto end = std::find(it, c.end(), Text("EndEnumeration"));
    return Lines(it + 3, end);
  };
  EXPECT_EQ(block(";- Font Constants"), L({"  #Font_0", "  #Font_0", "   #Font_2"}));
  EXPECT_EQ(block(";- Image Constants"), L({"  #Image_1"}));
  EXPECT_EQ(c.size(), 8u * 5u + 4u);  // eight blocks of five fixed lines plus the members
}

// Windows and gadgets kept in variables leave their enumerations for Global lines right
// after them, ten names a line; the other blocks are untouched.
TEST(CommonFile, VariablesAreDeclaredAfterTheirEnumeration) {
  FormModel m;
  m.WindowList = {"Window_0", "Dialog", "Window_2"};
  m.WindowVariableList = {true, false, true};
  m.GadgetList = {{"Dialog_Close", "BUTTONGADGET"}};
  for (int i = 0; i < 11; ++i) m.GadgetList.push_back({"G" + numberText(i), "BUTTONGADGET", true});
  buildConstantsSection(m);
  const Lines& c = m.sections.constants;
  EXPECT_EQ(Lines(c.begin(), c.begin() + 8),
            L({";- Window Constants", ";", "Enumeration", "  #Dialog", "EndEnumeration", "Global Window_0, Window_2", "",
               ";- Menubar Constants"}));
  auto gadgets = std::find(c.begin(), c.end(), T(";- Gadget Constants"));
  EXPECT_EQ(Lines(gadgets, gadgets + 9),
            L({";- Gadget Constants", ";", "Enumeration", "  #Dialog_Close", "EndEnumeration",
               "Global G0, G1, G2, G3, G4, G5, G6, G7, G8, G9", "Global G10", "", ";- StatusBar Constants"}));
  EXPECT_EQ(c.size(), 8u * 5u + 2u + 3u);  // eight blocks of five fixed lines, two members, three Global lines
}

TEST(MainFile, FirstWindowLines) {
  FormModel m;
  RecordingHost host;
  MemoryFileSystem fs;
  StageContext ctx(m, host, fs);
  m.WindowList = {"Window_0", "Window_1"};
  m.buffers.main = templateLines("Main.txt");
  rewriteFirstWindowLines(ctx);
  EXPECT_EQ(Lines(m.buffers.main.begin() + 40, m.buffers.main.begin() + 43),
            L({"  Open_Window_0()", "  ", "  If WindowID(#Window_0)"}));
  Lines template_ = templateLines("Main.txt");
  int changed = 0;
  for (std::size_t i = 0; i < template_.size(); ++i) changed += template_[i] != m.buffers.main[i];
  EXPECT_EQ(changed, 2);

  // A later run whose window rename was left unbound: the call an earlier run wrote
  // follows the test line, so that both name the window the run opens.
  m.WindowList = {"Main"};
  m.buffers.main[40] = "\tOPEN_WINDOW_0()";
  m.buffers.main.insert(m.buffers.main.begin() + 40, "  Open_Window_0() : Open_Tool()");  // the user's own: kept
  rewriteFirstWindowLines(ctx);
  EXPECT_EQ(Lines(m.buffers.main.begin() + 40, m.buffers.main.begin() + 45),
            L({"  Open_Window_0() : Open_Tool()", "\tOpen_Main()", "  ", "  If WindowID(#Main)", "    "}));
  m.buffers.main.erase(m.buffers.main.begin() + 40);

  // Without a test line every placeholder call is replaced, in any case once found.
  m.buffers.main = L({"Open_WindowXY() : open_windowxy()", "open_windowxy()", "x"});
  rewriteFirstWindowLines(ctx);
  EXPECT_EQ(m.buffers.main, L({"Open_Main() : Open_Main()", "open_windowxy()", "x"}));

  // The user's own lines that hold the text are kept; the test line after them follows.
  m.buffers.main = L({"  If WindowID(#Tool) : CloseWindow(#Tool) : EndIf", "\tIf WindowID(#Old) ; main loop",
                      "Open_WindowXY()", "\tIf WindowID(#Window_0)", "If WindowID(#Later)"});
  rewriteFirstWindowLines(ctx);
  EXPECT_EQ(m.buffers.main, L({"  If WindowID(#Tool) : CloseWindow(#Tool) : EndIf", "\tIf WindowID(#Old) ; main loop",
                               "Open_Main()", "  If WindowID(#Main)", "If WindowID(#Later)"}));

  m.WindowList.clear();
  m.buffers.main = templateLines("Main.txt");
  rewriteFirstWindowLines(ctx);
  EXPECT_EQ(m.buffers.main, templateLines("Main.txt"));
}

// The windows Main and Other, and a context for the first-window stage.
struct TwoWindows {
  FormModel m;
  RecordingHost host;
  MemoryFileSystem fs;
  StageContext ctx{m, host, fs};
  TwoWindows() { m.WindowList = {"Main", "Other"}; }
};

// The placeholder call names the procedure that opens the first window, unless that
// one needs arguments: then Main.pb calls Open_ + the window and the log says why.
TEST(MainFile, CallOfTheWindowProcedure) {
  struct Case {
    WindowProcedure procedure;
    const char* main;
    const char* call;
    const char* warning;  // "" for none
  } cases[] = {
      {{"Window_Main", false}, "  Open_WindowXY()", "  Window_Main()", ""},
      {{"OPEN_MAIN", false}, "  Open_WindowXY()", "  Open_Main()", ""},
      {{"", false}, "  Open_WindowXY()", "  Open_Main()", ""},
      {{"CreateGUI", true}, "  Open_WindowXY() : Open_WindowXY()", "  Open_Main() : Open_Main()",
       " -> Warning: window Main opened by procedure CreateGUI, which needs arguments; Main.pb calls Open_Main()."},
      {{"CreateGUI", true}, "  Open_Main()", "  Open_Main()", ""},  // no placeholder left: no warning
  };
  for (const Case& c : cases) {
    TwoWindows f;
    f.m.WindowProcedureList = {c.procedure, {"Second", false}};
    f.m.buffers.main = {T(c.main), "  If WindowID(#Window)"};
    rewriteFirstWindowLines(f.ctx);
    EXPECT_EQ(f.m.buffers.main, L({c.call, "  If WindowID(#Main)"})) << c.main;
    EXPECT_EQ(f.host.log, *c.warning ? L({c.warning}) : Lines()) << c.main;
  }
}

// A first window kept in a variable is tested with IsWindow; a run rewrites the test
// line it wrote before, in either form, and leaves a user's own IsWindow test alone.
TEST(MainFile, TestLineOfAWindowInAVariable) {
  struct Case {
    std::vector<bool> variables;  // of Main, Other
    const char* before;
    const char* after;
  } cases[] = {
      {{true, false}, "  If WindowID(#Window)", "  If IsWindow(Main)"},
      {{true, false}, "\tIf IsWindow(Window_0)", "  If IsWindow(Main)"},
      {{false, true}, "  If IsWindow(Window_0)", "  If WindowID(#Main)"},
      {{false, true}, "  If IsWindow(other)", "  If WindowID(#Main)"},
      {{true, false}, "  If IsWindow(Tool)", "  If IsWindow(Tool)"},
  };
  for (const Case& c : cases) {
    TwoWindows f;
    f.m.WindowVariableList = c.variables;
    f.m.PreviousWindowList = {"Window_0"};
    f.m.buffers.main = {"  Open_Main()", T(c.before)};
    rewriteFirstWindowLines(f.ctx);
    EXPECT_EQ(f.m.buffers.main, L({"  Open_Main()", c.after})) << c.before;
  }
}

TEST(Language, ScanFindsFirstQuotedTextOfMyLanguageLines) {
  FormModel m;
  m.Language.set("Open", "Öffnen");
  ScanLanguageKeys(m, L({"  MenuItem(#A, MyLanguage(\"Open\"))", "  x = mylanguage(\"File\") + MyLanguage(\"Edit\")",
                         "  Debug \"first\" + MyLanguage(\"second\")", "  MyLanguage(x)", "  MyLanguage(\"\")",
                         "  s = \"\" + MyLanguage(\"z\")", "  Text(\"no call\")", "  MyLanguage(\"open", "Debug \"File\""}));
  std::vector<std::pair<Text, Text>> expected = {{"Open", "Öffnen"}, {"File", "File"}, {"first", "first"}};
  EXPECT_EQ(m.Language.entries(), expected);
}

TEST(Language, DataOfLoadLanguage) {
  FormModel m;
  m.Language.set("File", "File");
  m.Language.set("Open", "Öffnen");
  m.buffers.loadLanguage = templateLines("LoadLanguage.txt");
  fillLanguageData(m);
  const Lines& b = m.buffers.loadLanguage;
  EXPECT_EQ(Lines(b.begin() + 4, b.begin() + 6), L({"; Constant Allways Overwrite", "#MaxLanguage = 2"}));
  EXPECT_EQ(Lines(b.begin() + 47, b.begin() + 55),
            L({"DataSection", "  ; Part Allways Overwrite", "  DefaultLanguage:", "  Data.s \"File\"",
               "  Data.s \"Open\"", "  EndDefaultLanguage:", "  ; End Part Allways Overwrite", "EndDataSection"}));
  EXPECT_EQ(b.size(), 62u);

  // Stale keys between the labels go; a run with the same keys changes nothing.
  m.Language.clear();
  m.Language.set("New", "New");
  fillLanguageData(m);
  EXPECT_EQ(b[5], "#MaxLanguage = 1");
  EXPECT_EQ(Lines(b.begin() + 49, b.begin() + 52), L({"  DefaultLanguage:", "  Data.s \"New\"", "  EndDefaultLanguage:"}));
  EXPECT_EQ(b.size(), 61u);
}

TEST(Language, DataWithoutEndLabelKeepsTheUsersLines) {
  FormModel m;
  m.Language.set("A", "A");
  m.Language.set("B", "B");
  m.buffers.loadLanguage = L({"#MaxLanguage = 7", "DataSection", "DefaultLanguage:", "  Data.s \"Old\"",
                              "Data.s \"Older\"", "  ; mine", "  Data.s \"user\"", "Procedure Mine()", "EndProcedure"});
  fillLanguageData(m);
  Lines expected = L({"#MaxLanguage = 2", "DataSection", "DefaultLanguage:", "  Data.s \"A\"", "  Data.s \"B\"",
                      "  ; mine", "  Data.s \"user\"", "Procedure Mine()", "EndProcedure"});
  EXPECT_EQ(m.buffers.loadLanguage, expected);
  fillLanguageData(m);  // the data lines do not pile up
  EXPECT_EQ(m.buffers.loadLanguage, expected);

  // No label at all: only the count changes, also after the place the label would have.
  m.buffers.loadLanguage = L({"x", "#MaxLanguage = 9", "EndDataSection", "#MaxLanguage = 9"});
  fillLanguageData(m);
  EXPECT_EQ(m.buffers.loadLanguage, L({"x", "#MaxLanguage = 2", "EndDataSection", "#MaxLanguage = 2"}));

  // Only the closing label left: it is not taken for the opening one, so nothing
  // behind it is deleted and no data lands after the block.
  m.buffers.loadLanguage = L({"#MaxLanguage = 9", "DataSection", "  EndDefaultLanguage:", "  ; mine", "EndDataSection"});
  fillLanguageData(m);
  EXPECT_EQ(m.buffers.loadLanguage,
            L({"#MaxLanguage = 2", "DataSection", "  EndDefaultLanguage:", "  ; mine", "EndDataSection"}));
  // An opening label on a line of its own after another text still counts.
  m.buffers.loadLanguage = L({"x : DefaultLanguage:", "  EndDefaultLanguage:"});
  fillLanguageData(m);
  EXPECT_EQ(m.buffers.loadLanguage, L({"x : DefaultLanguage:", "  Data.s \"A\"", "  Data.s \"B\"", "  EndDefaultLanguage:"}));
}

TEST(ScanIncludeFilesForLanguage, MissingFilesAreSkippedAndFailuresLogged) {
  FormModel model;
  RecordingHost host;
  MemoryFileSystem fs;
  RunContext ctx{model, host, fs};
  model.IncludeFileList = L({"/p/missing.pb", "/p/locked.pb", "/p/ok.pb"});
  fs.unreadable.insert("/p/locked.pb");
  fs.files["/p/locked.pb"] = "x";
  fs.files["/p/ok.pb"] = "Debug MyLanguage(\"Hello\")\n";
  ScanIncludeFilesForLanguage(ctx);
  EXPECT_EQ(fs.files.count("/p/missing.pb"), 0u);  // the source update creates it
  EXPECT_TRUE(model.Language.contains("Hello"));
  EXPECT_EQ(host.log, L({" -> Error OpenFile /p/locked.pb / Errorcode: 1"}));
}

}  // namespace
}  // namespace tarnwick
