#include "interpret/source_loading.h"

#include <gtest/gtest.h>

#include "form_code_fixture.h"

namespace tarnwick::testing {
namespace {

struct Loader : FormCodeFixture {
  Loader() { model.ProjectPath = "/p/demo.pbm"; }
  void add(const std::string& path, const std::string& bytes) {
    fs.files[path] = bytes;
    model.SourceFileList.push_back(T(path));
  }
  void load() { LoadSourceFiles(ctx); }
};

Lines separated(std::initializer_list<const char*> procedure) {
  Lines out = L(procedure);
  out.insert(out.end(), {Text(), SeparatorLine(), Text()});
  return out;
}

// UTF-16 LE bytes with their mark, for ASCII text.
std::string utf16le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

Lines join(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(LoadSourceFiles, ProceduresOnlyWithSeparatorsAndGlobalCaptures) {
  Loader f;
  f.add("/p/a.pb",
        "; Form file, procedure lines only\r\n"
        "Enumeration\r\n  #Window_0\r\nEndEnumeration\r\n"
        "LoadFont(#Font_0, \"Arial\", 10)\r\n"
        "Procedure Open_Window_0()\r\n  OpenWindow(#Window_0, 0, 0, 1, 1, \"\")\r\nEndProcedure\r\n"
        "Global x = 1\r"
        "\tprocedure.i Helper(a) ; the word EndProcedure in a comment\n  ProcedureReturn a\n  EndProcedure\n");
  f.load();
  EXPECT_EQ(f.model.FormCodeLines,
            join(separated({"Procedure Open_Window_0()", "  OpenWindow(#Window_0, 0, 0, 1, 1, \"\")", "EndProcedure"}),
                 separated({"\tprocedure.i Helper(a) ; the word EndProcedure in a comment", "  ProcedureReturn a",
                            "  EndProcedure"})));
  EXPECT_EQ(f.model.FontList, (std::vector<FontEntry>{{"#Font_0", "LoadFont(#Font_0, \"Arial\", 10)"}}));
  EXPECT_TRUE(f.model.ImageList.empty());
  EXPECT_EQ(f.host.log, L({" -> Load File /p/a.pb"}));
}

TEST(LoadSourceFiles, GlobalCapturesHonourComments) {
  Loader f;
  f.add("/p/a.pb",
        "LoadImage(#Img_0, \"a.png\")\n"
        "  Img = LoadImage( #Img_1 , \"b.png\")\n"
        "  LoadFont(#F_1, \"Arial\", 9) : LoadImage(#Img_6, \"h.png\")\n"
        "; LoadImage(#Img_2, \"c.png\")\n"
        "Debug \";\" : LoadImage(#Img_3, \"d.png\")\n"
        "LoadImage(#Img_4, \"e.png\") ; LoadFont(#F_2, \"x\", 1)\n"
        "Img = LoadImage(#PB_Any, \"f.png\")\n"
        "LoadFont(#pb_any, \"Arial\", 9)\n"
        "LoadImage(#NoComma \"g.png\")\n"
        "LoadImage(#Img_5, File$)\n");
  f.load();
  EXPECT_EQ(f.model.ImageList, (std::vector<ImageEntry>{{"#Img_0", "a.png"},
                                                        {" #Img_1 ", "b.png"},
                                                        {"#Img_6", "h.png"},
                                                        {"#Img_4", "e.png"},
                                                        {"#Img_5", ""}}));
  EXPECT_EQ(f.model.FontList,
            (std::vector<FontEntry>{{"#F_1", "  LoadFont(#F_1, \"Arial\", 9) : LoadImage(#Img_6, \"h.png\")"}}));
  EXPECT_TRUE(f.model.FormCodeLines.empty());
}

// A global font load that is part of a block gives only its first call to the font
// section; a load outside any block keeps its whole line.
TEST(LoadSourceFiles, FontLoadInsideABlockKeepsOnlyItsCall) {
  struct Case {
    const char* line;
    const char* constant;
    const char* fontLine;
  } cases[] = {
      {"If LoadFont(1, \"Arial\", 10) Or LoadFont(1, \"Sans\", 10)", "1", "LoadFont(1, \"Arial\", 10)"},
      {"x = 1 : if Not LoadFont(#G, \"A(1)\", 9) : End : EndIf", "#G", "LoadFont(#G, \"A(1)\", 9)"},
      {"CompilerIf #Linux : LoadFont(#C, \"Sans\", 9", "#C", "LoadFont(#C, \"Sans\", 9"},
      {"LoadFont(#H, \"If : EndIf\", 9) ; If", "#H", "LoadFont(#H, \"If : EndIf\", 9) ; If"},
      {"Global Font = LoadFont(#I, \"Then\", 9) : Endless = 1", "#I",
       "Global Font = LoadFont(#I, \"Then\", 9) : Endless = 1"},
  };
  for (const Case& c : cases) {
    Loader f;
    f.add("/p/a.pb", std::string(c.line) + "\n");
    f.load();
    EXPECT_EQ(f.model.FontList, (std::vector<FontEntry>{{T(c.constant), T(c.fontLine)}})) << c.line;
  }
}

TEST(LoadSourceFiles, MarksAndEncodings) {
  Loader f;
  f.add("/p/utf8.pb", "\xEF\xBB\xBFProcedure A()\n  TextGadget(#T, 0, 0, 1, 1, \"\xC3\xA4\")\nEndProcedure\n");
  f.add("/p/latin1.pb", "Procedure B()\n  TextGadget(#T, 0, 0, 1, 1, \"\xE4\")\nEndProcedure");
  f.add("/p/nomark.pb", "Procedure C()\n  TextGadget(#T, 0, 0, 1, 1, \"\xC3\xA4\")\nEndProcedure");
  f.add("/p/utf16.pb", utf16le("Procedure D()\r\nEndProcedure\r\n"));
  f.load();
  Lines expected = join(join(separated({"Procedure A()", "  TextGadget(#T, 0, 0, 1, 1, \"ä\")", "EndProcedure"}),
                             separated({"Procedure B()", "  TextGadget(#T, 0, 0, 1, 1, \"ä\")", "EndProcedure"})),
                        separated({"Procedure C()", "  TextGadget(#T, 0, 0, 1, 1, \"ä\")", "EndProcedure"}));
  EXPECT_EQ(f.model.FormCodeLines, join(expected, separated({"Procedure D()", "EndProcedure"})));
}

TEST(LoadSourceFiles, UnreadableSourceIsLoggedAndSkipped) {
  Loader f;
  f.add("/p/gone.pb", "Procedure X()\nEndProcedure\n");
  f.fs.unreadable.insert("/p/gone.pb");
  f.model.SourceFileList.push_back("/p/missing.pb");
  f.add("/p/ok.pb", "Procedure Y()\nEndProcedure\n");
  f.load();
  EXPECT_EQ(f.host.log, L({" -> Load File /p/gone.pb", "Error /p/gone.pb: Open file error", " -> Load File /p/missing.pb",
                           "Error /p/missing.pb: Open file error", " -> Load File /p/ok.pb"}));
  EXPECT_EQ(f.model.FormCodeLines, separated({"Procedure Y()", "EndProcedure"}));
}

// Every line of the form code knows its file (its place in the list, a file that
// could not be read counted) and line; a window lifted out of global code keeps the
// lines it came from, and only the lines the run wrote stand for none.
TEST(LoadSourceFiles, LinePlacesNameFileAndLine) {
  Loader f;
  f.model.SourceFileList.push_back("/p/missing.pb");
  f.add("/p/gui.pb", "Procedure Helper()\n  x = 1\nEndProcedure\n; the window\n"
                     "OpenWindow(#W, 0, 0, 10, 10, \"\")\nButtonGadget(#B, 1, 1, 5, 5, \"b\")\n"
                     "Repeat : Until WaitWindowEvent() = #PB_Event_CloseWindow\n");
  f.load();
  ASSERT_EQ(f.model.FormCodeLines[2], "  ButtonGadget(#B, 1, 1, 5, 5, \"b\")");
  ASSERT_EQ(f.model.marks.places.size(), f.model.FormCodeLines.size());
  std::vector<std::size_t> files, numbers;
  for (const LinePlace& p : f.model.marks.places) {
    files.push_back(p.file);
    numbers.push_back(p.line);
  }
  EXPECT_EQ(files, std::vector<std::size_t>(f.model.FormCodeLines.size(), 2));
  EXPECT_EQ(numbers, (std::vector<std::size_t>{0, 5, 6, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0}));
}

TEST(LoadSourceFiles, DesignerFilesAreConverted) {
  Loader f;
  f.add("/p/form.pbf",
        "; Event procedures need(s) to be put in another source file.\r\n"
        "\r\n"
        "Enumeration FormWindow\r\n  #Window_0\r\nEndEnumeration\r\n"
        "LoadImage(#Img_Window_0_0, \"logo.png\")\r\n"
        "LoadFont(#Font_Window_0_0, \"Arial\", 10)\r\n"
        "Procedure OpenWindow_0(x = 0, y = 0, width = 600, height = 400)\r\n"
        "  OpenWindow(#Window_0, x, y, width, height, \"Main\")\r\n"
        "  CreateMenu(0, WindowID(#Window_0))\r\n"
        "  createtoolbar(0, WindowID(#Window_0))\r\n"
        "  ToolBarToolTip(0, #Tool_New, \"New\")\r\n"
        "  CreateStatusBar(0, WindowID(#Window_0))\r\n"
        "  StatusBarText(0, 0, \"Ready\") : h = StatusBarHeight(0) + ToolBarHeight(0)\r\n"
        "EndProcedure\r\n"
        "\r\n"
        "Procedure Window_0_Events(event)\r\n"
        "  Select event\r\n    Case #MenuItem_3\r\n  EndSelect\r\n"
        "  ProcedureReturn #True\r\n"
        "EndProcedure\r\n"
        "Procedure window_1_EVENTS(event)\r\nEndProcedure\r\n");
  f.add("/p/old.pb", "Procedure Other_Events()\nEndProcedure\n");
  f.load();
  Lines expected = join(separated({
                            "Procedure Open_Window_0(x = 0, y = 0, width = 600, height = 400)",
                            "  OpenWindow(#Window_0, x, y, width, height, \"Main\")",
                            "  CreateMenu(#Menu, WindowID(#Window_0))",
                            "  CreateToolbar(#ToolBar, WindowID(#Window_0))",
                            "  ToolBarToolTip(#ToolBar, #Tool_New, \"New\")",
                            "  CreateStatusBar(#StatusBar, WindowID(#Window_0))",
                            "  StatusBarText(#StatusBar, 0, \"Ready\") : h = StatusBarHeight(#StatusBar) + "
                            "ToolBarHeight(#ToolBar)",
                            "EndProcedure",
                        }),
                        separated({"Procedure Other_Events()", "EndProcedure"}));
  EXPECT_EQ(f.model.FormCodeLines, expected);
  EXPECT_EQ(f.model.ImageList, (std::vector<ImageEntry>{{"#Img_Window_0_0", "logo.png"}}));
  ASSERT_EQ(f.model.FontList.size(), 1u);
  EXPECT_EQ(f.model.FontList[0].constant, "#Font_Window_0_0");
}

// Column-aligned calls lose the blanks before their "(" only where a pass looks for
// the call: its word is a command, a user gadget or one of the window and load calls.
TEST(LoadSourceFiles, BlanksBeforeTheParenthesisOfKnownCalls) {
  Loader f;
  f.model.PrefixCommandSet.insert("MyChartGadget");
  f.add("/p/a.pb",
        "LoadFont   (#F, \"Arial\", 9)\n"
        "Procedure Open_Main ()\n"
        "  If OpenWindow          (#Main, 0, 0, 1, 1, \"OpenWindow  (\")\n"
        "    ButtonGadget\t(#B, 0, 0, 1, 1, ~\"a\\\" LoadImage (\") : mychartgadget (#C, 1) : Foo (#D)\n"
        "    x = 'LoadImage (' : SetGadgetFont (#B, FontID (#F)) ; UseGadgetList (x)\n"
        "EndProcedure\n");
  f.load();
  EXPECT_EQ(f.model.FontList, (std::vector<FontEntry>{{"#F", "LoadFont(#F, \"Arial\", 9)"}}));
  EXPECT_EQ(Lines(f.model.FormCodeLines.begin(), f.model.FormCodeLines.begin() + 4),
            L({"Procedure Open_Main ()", "  If OpenWindow(#Main, 0, 0, 1, 1, \"OpenWindow  (\")",
               "    ButtonGadget(#B, 0, 0, 1, 1, ~\"a\\\" LoadImage (\") : mychartgadget(#C, 1) : Foo (#D)",
               "    x = 'LoadImage (' : SetGadgetFont(#B, FontID (#F)) ; UseGadgetList (x)"}));
}

// An absolute name is that file; a relative one counts from the project folder, or
// from the folder of the IncludePath before it, as the compiler takes them.
TEST(CollectIncludeFiles, NamesResolvedAsTheCompilerDoes) {
  Loader f;
  f.fs.files["/p/Main.pb"] =
      "XIncludeFile \"CommonFile.pb\"\n"
      "IncludeFile \"eventmenu.PB\"\n"
      "XIncludeFile \"tools.pb\"\r\n"
      "  IncludeFile \"/sub/a.pb\" ; comment\n"
      "IncludeFile \"lib/b.pb\"\n"
      "; IncludeFile \"commented.pb\"\n"
      "Debug \"IncludeFile \" : x = 1\n"
      "includefile \"lower.pb\"\n"
      "IncludePath \"inc/\"\n"
      "IncludeFile \"\"\n"
      "XIncludeFile \"c.pbi\"\n"
      "IncludePath \"/opt/lib\"\n"
      "IncludeFile \"d.pbi\"\n"
      "IncludeFile \"/abs/e.pbi\"\n"
      "IncludeFile \"/p/EventGadget.pb\"\n"    // the generated file, by another way
      "IncludePath \"/p/sub/..\"\n"
      "IncludeFile \"EventWindow.pb\"\n";
  CollectIncludeFiles(f.ctx, "Main.pb");
  EXPECT_EQ(f.model.IncludeFileList,
            L({"/p/tools.pb", "/sub/a.pb", "/p/lib/b.pb", "/p/inc/c.pbi", "/opt/lib/d.pbi", "/abs/e.pbi"}));

  // A project named without a folder: an empty IncludePath leads back to the current one.
  Loader here;
  here.model.ProjectPath = "demo.pbm";
  here.fs.files["Main.pb"] = "IncludePath \"\"\nIncludeFile \"a.pb\"\nXIncludeFile \"./CommonFile.pb\"\n";
  CollectIncludeFiles(here.ctx, "Main.pb");
  EXPECT_EQ(here.model.IncludeFileList, L({"a.pb"}));
}

TEST(CollectIncludeFiles, MainFileInEachEncoding) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"utf8 mark", "\xEF\xBB\xBFIncludeFile \"t\xC3\xA4.pb\"\n"},
      {"utf8 without mark", "IncludeFile \"t\xC3\xA4.pb\"\n"},
      {"latin-1", "IncludeFile \"t\xE4.pb\"\n"},
      {"utf16", utf16le("IncludeFile \"t") + std::string("\xE4\0", 2) + utf16le(".pb\"\r\n").substr(2)},
  };
  for (const Case& c : cases) {
    Loader f;
    f.fs.files["/p/Main.pb"] = c.bytes;
    CollectIncludeFiles(f.ctx, "Main.pb");
    // A name is the bytes between the quotes: an 8-bit name stays 8-bit.
    EXPECT_EQ(f.model.IncludeFileList, std::vector<std::string>{c.name == std::string("latin-1") ? "/p/t\xE4.pb" : "/p/t\xC3\xA4.pb"}) << c.name;
  }
  Loader none;
  CollectIncludeFiles(none.ctx, "Main.pb");
  CollectIncludeFiles(none.ctx, "");
  EXPECT_TRUE(none.model.IncludeFileList.empty());
}

}  // namespace
}  // namespace tarnwick::testing
