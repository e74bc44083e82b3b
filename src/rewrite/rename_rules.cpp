#include "rewrite/rename_rules.h"

#include <algorithm>

#include "rewrite/replace_word.h"

namespace tarnwick {

namespace {

// Letters and digits after upper-casing; "_" and everything else end a stretch.
bool isStretchChar(char upperC) { return (upperC >= '0' && upperC <= '9') || (upperC >= 'A' && upperC <= 'Z'); }

// The upper-cased first stretch of a name built of stretches joined by single "_";
// empty when the name has another shape.
Text firstStretch(const Text& name) {
  Text up = upper(name);
  if (up.empty() || up.front() == '_' || up.back() == '_') return Text();
  for (std::size_t i = 0; i < up.size(); ++i) {
    if (up[i] == '_') {
      if (up[i - 1] == '_') return Text();
    } else if (!isStretchChar(up[i])) {
      return Text();
    }
  }
  return up.substr(0, std::min(up.find('_'), up.size()));
}

}  // namespace

void RenameRules::add(Mode mode, const Text& stem, const Text& name, const Text& tail, const Text& replacement) {
  const std::size_t index = rules_.size();
  rules_.push_back({mode, stem + name + tail, replacement});
  Text stretch = firstStretch(name);
  // Behind the stem the name starts a stretch; before the tail (or, for a whole word,
  // before the end of the word) it ends one.
  bool startsStretch = !stem.empty() && (stem.back() == '#' || stem.back() == '_');
  bool endsStretch = tail.empty() ? mode == Mode::Word : !isStretchChar(upperAscii(tail.front()));
  if (stretch.empty() || !startsStretch || !endsStretch) {
    everyLine_.push_back(index);
    return;
  }
  byStretch_[stretch].push_back(index);
  longestStretch_ = std::max(longestStretch_, stretch.size());
}

void RenameRules::candidates(const Text& line, std::vector<std::size_t>& out) const {
  out.insert(out.end(), everyLine_.begin(), everyLine_.end());
  if (byStretch_.empty()) return;
  Text key;
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (i < n) {
    char c = line[i++];
    if (c != '#' && c != '_') continue;
    std::size_t begin = i;
    while (i < n && isStretchChar(upperAscii(line[i]))) ++i;
    std::size_t length = i - begin;
    if (length == 0 || length > longestStretch_) continue;
    key.assign(line, begin, length);
    for (char& k : key) k = upperAscii(k);
    auto it = byStretch_.find(key);
    if (it != byStretch_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
  }
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
    const Rule& rule = rules_[r];
    Text rewritten = rule.mode == Mode::Word ? ReplaceWord(line, rule.search, rule.replacement)
                                             : ReplaceSubstring(line, rule.search, rule.replacement);
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
