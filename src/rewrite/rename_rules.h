// An ordered list of rename rules, applied to many lines without trying every rule on
// every line.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/text.h"

namespace tarnwick {

// Each rule replaces stem + name + tail by a replacement, either as a whole identifier
// (ReplaceWord) or wherever it occurs (ReplaceSubstring). Applying the list to a line
// applies every rule in list order, exactly as running each rule over the whole buffer
// in turn would, since a rule only ever changes one line.
//
// The speed comes from an index: a rule whose name is made of letters and digits
// joined by single "_", behind a stem ending in "#" or "_" and before a tail that
// starts with no letter or digit, can only match a line holding the name's first
// letter-and-digit stretch right behind a "#" or "_". A line is tried only with the
// rules whose stretch it holds; rules that do not fit that shape are tried on every line.
class RenameRules {
 public:
  enum class Mode { Word, Substring };

  void add(Mode mode, const Text& stem, const Text& name, const Text& tail, const Text& replacement);
  bool empty() const { return rules_.empty(); }

  // Applies the rules in order to the line; returns how many of them changed it.
  int apply(Text& line) const;
  // The same for every line; returns the sum.
  int apply(Lines& lines) const;

 private:
  struct Rule {
    Mode mode;
    Text search, replacement;
  };
  // Appends to out the rules that may match the line, in no particular order.
  void candidates(const Text& line, std::vector<std::size_t>& out) const;

  std::vector<Rule> rules_;
  // Upper-cased first stretch of a name -> the rules with that name, in list order.
  std::unordered_map<Text, std::vector<std::size_t>> byStretch_;
  std::vector<std::size_t> everyLine_;
  std::size_t longestStretch_ = 0;
};

}  // namespace tarnwick
