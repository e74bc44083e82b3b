#include "rewrite/rename_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "rewrite/replace_word.h"

namespace tarnwick {
namespace {

using Mode = RenameRules::Mode;

struct Rule {
  Mode mode;
  const char* stem;
  const char* name;
  const char* tail;
  const char* replacement;
};

// What the rules must amount to: each rule run over every line in turn, counting the
// lines it changed.
int applyOneByOne(const std::vector<Rule>& rules, const WindowNames& windows, Lines& lines) {
  int changed = 0;
  for (const Rule& r : rules) {
    Text search = T(r.stem) + T(r.name) + T(r.tail);
    for (Text& line : lines) {
      Text next = r.mode == Mode::Word        ? ReplaceWord(line, search, T(r.replacement))
                  : r.mode == Mode::Substring ? ReplaceSubstring(line, search, T(r.replacement))
                                              : ReplaceWindowPrefix(line, T(r.stem), T(r.name), T(r.replacement), windows);
      if (next != line) ++changed;
      line = next;
    }
  }
  return changed;
}

int applyIndexed(const std::vector<Rule>& rules, const WindowNames& windows, Lines& lines) {
  RenameRules indexed(&windows);
  for (const Rule& r : rules) indexed.add(r.mode, T(r.stem), T(r.name), T(r.tail), T(r.replacement));
  return indexed.apply(lines);
}

TEST(RenameRules, MatchesRuleByRuleApplication) {
  const std::vector<Rule> rules = {
      {Mode::Substring, "EventGadget_", "Win_1", "_", "EventGadget_Main_"},
      {Mode::Substring, "#", "Win_1", "_", "#Main_"},
      // A chain: the name the first rule wrote is renamed again by a later one.
      {Mode::Word, "#", "Main_Ok", "", "#Main_Accept"},
      {Mode::Word, "#", "Main_Accept", "", "#Main_Go"},
      {Mode::Word, "EventGadget_", "main_ok", "", "EventGadget_Main_Go"},
      {Mode::Word, "Open_", "Win_1", "()", "Open_Main()"},
      // Names the index cannot describe are tried on every line.
      {Mode::Word, "#", "Odd Name", "", "#Even"},
      {Mode::Word, "#", "_Lead", "", "#Led"},
      {Mode::Word, "#", "Two__Bars", "", "#OneBar"},
      {Mode::Substring, "Data", "Win_1", "", "DataMain"},
      {Mode::Word, "", "Win_1", "", "Bare"},
      // Dlg's prefix, where the identifier is not Dlg_Ext's.
      {Mode::WindowPrefix, "#", "Dlg", "_", "#D_"},
  };
  Lines lines = {
      T("Procedure EventGadget_Win_1_Ok(EventType)"),
      T("  x = #WIN_1_OK + #win_1_ok2 : Open_Win_1() : Open_Win_10()"),
      T("MyEventGadget_Win_1_Ok() ; inside a longer identifier"),
      T("#Odd Name + #_Lead + #Two__Bars + #Two_Bars"),
      T("DataWin_1 Win_1 Win_10 #Win_1"),
      T("\"#Win_1_Ok\" é#Win_1_Okü"),
      T("#Dlg_Ext_Ok #dlg_ext #Dlg_Extra (#DLG_1)"),
      T(""),
      T("no names at all"),
  };
  WindowNames windows;
  for (const char* w : {"Dlg", "Dlg_Ext"}) windows.add(T(w));
  Lines expected = lines;
  int expectedCount = applyOneByOne(rules, windows, expected);
  int count = applyIndexed(rules, windows, lines);
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(count, expectedCount);
  EXPECT_EQ(toUtf8(lines[0]), "Procedure EventGadget_Main_Go(EventType)");
  EXPECT_EQ(toUtf8(lines[1]), "  x = #Main_Go + #Main_ok2 : Open_Main() : Open_Win_10()");
  EXPECT_EQ(toUtf8(lines[6]), "#Dlg_Ext_Ok #dlg_ext #D_Extra (#D_1)");
}

// Random lines and rules built from a few name parts, so that names overlap, nest
// and repeat, compared with rule-by-rule application.
TEST(RenameRules, RandomRulesMatchRuleByRuleApplication) {
  const char* const parts[] = {"W", "w", "Win_1", "A", "a_b", "1", "_", "#", "(", ")", " ", "é", "$"};
  const char* const stems[] = {"#", "EventMenu_", "Open_", "", "x"};
  const char* const tails[] = {"", "_", "()", "x"};
  std::mt19937 rng(20261207);
  auto pick = [&](auto& table) { return table[rng() % std::size(table)]; };
  std::vector<std::string> storage;  // keeps the texts the rules point at
  storage.reserve(4000);
  auto word = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += pick(parts);
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<Rule> rules;
    int ruleCount = 1 + static_cast<int>(rng() % 6);
    for (int r = 0; r < ruleCount; ++r) {
      storage.push_back(word(1 + static_cast<int>(rng() % 3)));
      const char* name = storage.back().c_str();
      storage.push_back(std::string(pick(stems)) + word(1 + static_cast<int>(rng() % 2)));
      const char* replacement = storage.back().c_str();
      Mode mode = std::array{Mode::Word, Mode::Substring, Mode::WindowPrefix}[rng() % 3];
      rules.push_back({mode, pick(stems), name, mode == Mode::WindowPrefix ? "_" : pick(tails), replacement});
    }
    // Windows whose names begin alike, some of them the rules' names.
    WindowNames windows;
    for (int w = 0; w < 3; ++w) windows.add(T(word(1 + static_cast<int>(rng() % 3))));
    for (const Rule& r : rules)
      if (rng() % 2) windows.add(T(r.name));
    Lines lines;
    for (int l = 0; l < 4; ++l) {
      std::string line;
      for (int t = 0; t < 6; ++t) line += std::string(rng() % 3 ? pick(stems) : "") + word(1 + static_cast<int>(rng() % 3));
      lines.push_back(T(line));
    }
    Lines expected = lines;
    int expectedCount = applyOneByOne(rules, windows, expected);
    int count = applyIndexed(rules, windows, lines);
    ASSERT_EQ(lines, expected) << "round " << round;
    ASSERT_EQ(count, expectedCount) << "round " << round;
    storage.clear();
  }
}

}  // namespace
}  // namespace tarnwick
