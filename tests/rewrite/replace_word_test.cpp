#include "rewrite/replace_word.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct Case {
  const char* line;
  const char* search;
  const char* replacement;
  const char* expected;
};

TEST(ReplaceWord, ReplacesWholeIdentifiersOnly) {
  const Case cases[] = {
      // Word boundaries: digits, letters and "_" continue an identifier.
      {"OpenWindow(#Window_0, 0, 0)", "#Window_0", "#Main", "OpenWindow(#Main, 0, 0)"},
      {"If EventWindow() = #Window_01", "#Window_0", "#Main", "If EventWindow() = #Window_01"},
      {"x = #Window_0_Button_1", "#Window_0", "#Main", "x = #Window_0_Button_1"},
      {"Procedure EventGadget_Button_1(EventType)", "EventGadget_Button_1", "EventGadget_OkButton",
       "Procedure EventGadget_OkButton(EventType)"},
      {"Procedure EventGadget_Button_10(EventType)", "EventGadget_Button_1", "EventGadget_OkButton",
       "Procedure EventGadget_Button_10(EventType)"},
      {"MyEventGadget_Button_1()", "EventGadget_Button_1", "EventGadget_OkButton", "MyEventGadget_Button_1()"},
      // At both ends of the line.
      {"#Button_1", "#Button_1", "#Ok", "#Ok"},
      // Another case is found; the replacement keeps the entry's spelling and the rest
      // of the line keeps its own.
      {"SetGadgetText(#button_1, \"Button_1\")", "#Button_1", "#OkButton", "SetGadgetText(#OkButton, \"Button_1\")"},
      {"Case #BUTTON_1 : Debug #Button_1", "#Button_1", "#button_1", "Case #button_1 : Debug #button_1"},
      // A letter outside A to Z separates identifiers.
      {"x=#Button_1\xC3\xA9", "#Button_1", "#Ok", "x=#Ok\xC3\xA9"},
      // Several occurrences, a refused one between accepted ones.
      {"#A + #AB + #A", "#A", "#Z", "#Z + #AB + #Z"},
      // The open call: the search text ends in ")".
      {"  Open_Window_0() : Open_Window_01()", "Open_Window_0()", "Open_Main()", "  Open_Main() : Open_Window_01()"},
      // A new name that holds the old one behind a separator is not replaced again.
      {"#A", "#A", "#A.#A", "#A.#A"},
      {"EventMenu_A EventMenu_A", "EventMenu_A", "EventMenu_A EventMenu_A",
       "EventMenu_A EventMenu_A EventMenu_A EventMenu_A"},
      // The text in front of a later match is the replacement's end, not the old text.
      {"#A#A", "#A", "#B.", "#B.#B."},
      {"#A.#A.", "#A.", "#B", "#B#A."},
      {"", "#A", "#B", ""},
      {"no match here", "#A", "#B", "no match here"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(toUtf8(ReplaceWord(T(c.line), T(c.search), T(c.replacement))), c.expected) << c.line;
}

TEST(ReplaceSubstring, ReplacesEveryOccurrenceWithoutSeparatorTest) {
  const Case cases[] = {
      {"Procedure EventMenu_W_1()", "EventMenu_W_", "EventMenu_V_", "Procedure EventMenu_V_1()"},
      {"Procedure eventmenu_w_1()", "EventMenu_W_", "EventMenu_V_", "Procedure EventMenu_V_1()"},
      {"MyEventMenu_W_1Long", "EventMenu_W_", "EventMenu_V_", "MyEventMenu_V_1Long"},
      {"#XW_1", "#W_", "#V_", "#XW_1"},
      {"#W_1 + #w_2", "#W_", "#V_", "#V_1 + #V_2"},
      // Inserted text is not searched again.
      {"#W_1", "#W_", "#W_W_", "#W_W_1"},
      {"#W_#W_", "#W_", "#V_", "#V_#V_"},
      {"", "#W_", "#V_", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(toUtf8(ReplaceSubstring(T(c.line), T(c.search), T(c.replacement))), c.expected) << c.line;
}

}  // namespace
}  // namespace tarnwick
