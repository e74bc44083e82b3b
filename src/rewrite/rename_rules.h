// An ordered list of rename rules, applied to many lines without trying every rule on
// every line.
#pragma once

#include <string_view>
#include <vector>

#include "model/text.h"
#include "rewrite/name_trie.h"
#include "rewrite/window_names.h"

namespace tarnwick {

// Each rule replaces stem + name + tail by a replacement: as a whole identifier
// (ReplaceWord), wherever it occurs (ReplaceSubstring), or, for a window's prefix
// (the tail is then "_"), wherever the identifier belongs to that window
// (ReplaceWindowPrefix). Applying the list to a line applies every rule in list
// order, exactly as running each rule over the whole buffer in turn would, since a
// rule only ever changes one line.
//
// The speed comes from an index of the names: a rule behind a stem ending in "#" or
// "_", whose name ends where its tail begins with no letter or digit (or where the
// word ends), can only match where its name stands in the line right behind a "#" or
// "_" and is followed by no letter or digit. A line is tried only with the rules whose
// names the index finds there, which costs the line's length times at most the
// longest name, however many names begin alike; rules of another shape are tried on
// every line.
class RenameRules {
 public:
  enum class Mode { Word, Substring, WindowPrefix };

  // windows decides the owners of identifiers for the window prefix rules; it must
  // outlive the rules.
  explicit RenameRules(const WindowNames* windows = nullptr) : windows_(windows) {}

  void add(Mode mode, const Text& stem, const Text& name, const Text& tail, const Text& replacement);
  bool empty() const { return rules_.empty(); }

  // Applies the rules in order to the line; returns how many of them changed it.
  int apply(Text& line) const;
  // The same for every line; returns the sum.
  int apply(Lines& lines) const;

 private:
  struct Rule {
    Mode mode;
    Text stem, name, search, replacement;
  };
  Text applyRule(const Rule& rule, const Text& line) const;
  // Appends to out the rules that may match the line, in no particular order.
  void candidates(const Text& line, std::vector<std::size_t>& out) const;

  const WindowNames* windows_;
  std::vector<Rule> rules_;
  NameTrie names_;
  std::vector<std::vector<std::size_t>> rulesAt_;  // by trie node: the rules of that name, in order
  std::vector<std::size_t> everyLine_;
};

}  // namespace tarnwick
