// Which window an object name belongs to. Objects carry their window's name and "_" as
// a prefix, and window names may begin with one another (Main and Main_Options), so a
// name belongs to the window with the longest name that, followed by "_", begins it;
// a name that is itself a window's name belongs to that window.
#pragma once

#include <vector>

#include "model/form_model.h"
#include "rewrite/name_trie.h"

namespace tarnwick {

class WindowNames {
 public:
  // Names compare without regard to case.
  void add(TextView name);
  // The length of the name of the window that the identifier starting at position
  // from (0-based) of text belongs to, or 0 when it belongs to none. The identifier
  // ends before the first character, upper-cased, that is none of 0-9, A-Z and "_".
  std::size_t ownerLength(TextView text, std::size_t from = 0) const;

 private:
  NameTrie trie_;
  std::vector<bool> isWindow_;  // by trie node
};

// The windows of this run and of the previous one, and the names of the window
// bindings, which are windows of one of them.
WindowNames windowNamesOf(const FormModel& model);

}  // namespace tarnwick
