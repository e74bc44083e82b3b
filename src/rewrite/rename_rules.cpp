#include "rewrite/rename_rules.h"

#include <algorithm>

#include "rewrite/replace_word.h"

namespace tarnwick {

namespace {

// Letters and digits after upper-casing.
bool isLetterOrDigit(char upperC) { return (upperC >= '0' && upperC <= '9') || (upperC >= 'A' && upperC <= 'Z'); }

}  // namespace

void RenameRules::add(Mode mode, const Text& stem, const Text& name, const Text& tail, const Text& replacement) {
  const std::size_t index = rules_.size();
  rules_.push_back({mode, stem, name, stem + name + tail, replacement});
  // Behind the stem the name starts after a "#" or "_"; before the tail (or, for a
  // whole word, before the end of the word) no letter or digit follows it.
  bool startsAfterMark = !stem.empty() && (stem.back() == '#' || stem.back() == '_');
  bool endsBeforeMark = tail.empty() ? mode == Mode::Word : !isLetterOrDigit(upperAscii(tail.front()));
  if (name.empty() || !startsAfterMark || !endsBeforeMark) {
    everyLine_.push_back(index);
    return;
  }
  NameTrie::Node node = names_.insert(name);
  if (rulesAt_.size() < names_.size()) rulesAt_.resize(names_.size());
  rulesAt_[node].push_back(index);
}

void RenameRules::candidates(const Text& line, std::vector<std::size_t>& out) const {
  out.insert(out.end(), everyLine_.begin(), everyLine_.end());
  if (rulesAt_.empty()) return;
  const std::size_t n = line.size();
  const UpperBytes up(line);
  for (std::size_t start = 1; start < n; ++start) {
    if (line[start - 1] != '#' && line[start - 1] != '_') continue;
    NameTrie::Node node = NameTrie::kRoot;
    for (std::size_t i = start; i < n;) {
      node = names_.child(node, up[i]);
      if (node == NameTrie::kNone) break;
      ++i;
      if (!rulesAt_[node].empty() && (i == n || !isLetterOrDigit(up[i])))
        out.insert(out.end(), rulesAt_[node].begin(), rulesAt_[node].end());
    }
  }
}

Text RenameRules::applyRule(const Rule& rule, const Text& line) const {
  switch (rule.mode) {
    case Mode::Word: return ReplaceWord(line, rule.search, rule.replacement);
    case Mode::Substring: break;
    case Mode::WindowPrefix:
      // Without the run's windows the rule's own window is the only one known, and
      // every identifier behind its prefix is its own.
      if (windows_) return ReplaceWindowPrefix(line, rule.stem, rule.name, rule.replacement, *windows_);
      break;
  }
  return ReplaceSubstring(line, rule.search, rule.replacement);
}

int RenameRules::apply(Text& line) const {
  if (rules_.empty()) return 0;
  std::vector<std::size_t> todo;
  candidates(line, todo);
  if (todo.empty()) return 0;
  std::sort(todo.begin(), todo.end());
  int changed = 0;
  std::size_t next = 0;  // the first rule not yet applied
  std::size_t at = 0;
  while (at < todo.size()) {
    std::size_t r = todo[at++];
    if (r < next) continue;  // a duplicate, or a rule already applied
    next = r + 1;
    Text rewritten = applyRule(rules_[r], line);
    if (rewritten == line) continue;
    line = std::move(rewritten);
    ++changed;
    // The new text may hold names that later rules rename.
    todo.clear();
    candidates(line, todo);
    std::sort(todo.begin(), todo.end());
    at = 0;
  }
  return changed;
}

int RenameRules::apply(Lines& lines) const {
  int changed = 0;
  if (rules_.empty()) return 0;
  for (Text& line : lines) changed += apply(line);
  return changed;
}

}  // namespace tarnwick
