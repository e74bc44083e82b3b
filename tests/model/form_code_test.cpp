#include "model/form_code.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

// The calls of a line answer every keyword test as the case-insensitive search of the
// whole line does, on lines put together from call words, brackets, constants, blanks,
// strings and characters beyond ASCII.
TEST(LineCalls, AnswersAsTheSearchOfTheWholeLine) {
  const char* pieces[] = {"OpenWindow", "openwindow(", "(#", "(", "#", "Window_0", " ", ",", "\"t(#\"", "xMenuItem",
                          "MenuItem", "ä", "Ölfeld(", "CreateMenu", "_", "0", ")", ";", "UseGadgetList(", "WINDOWID"};
  const char* keywords[] = {"OPENWINDOW(#", "OPENWINDOW(", "MENUITEM(#", "CREATEMENU(#", "USEGADGETLIST(",
                            "WINDOWID(", "(#", "LFELD("};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    Text line;
    for (int n = random() % 12; n >= 0; --n) line += pieces[random() % std::size(pieces)];
    const LineCalls calls(line);
    for (const char* keyword : keywords) {
      ASSERT_EQ(calls.find(keyword), FindNoCase(line, keyword)) << line << " / " << keyword;
      // The whole-word form: the first occurrence with no name character in front.
      std::size_t whole = 0;
      for (std::size_t p = FindNoCase(line, keyword); p != 0 && whole == 0; p = FindNoCase(line, keyword, p + 1))
        if (p == 1 || !isIdentifierChar(line[p - 2])) whole = p;
      ASSERT_EQ(calls.findWord(keyword), whole) << line << " / " << keyword;
    }
  }
}

}  // namespace
}  // namespace tarnwick
