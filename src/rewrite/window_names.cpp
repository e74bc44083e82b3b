#include "rewrite/window_names.h"

#include "model/form_code.h"

namespace tarnwick {

void WindowNames::add(TextView name) {
  if (name.empty()) return;
  NameTrie::Node node = trie_.insert(name);
  if (isWindow_.size() < trie_.size()) isWindow_.resize(trie_.size(), false);
  isWindow_[node] = true;
}

std::size_t WindowNames::ownerLength(TextView text, std::size_t from) const {
  std::size_t owner = 0;
  NameTrie::Node node = NameTrie::kRoot;
  const UpperBytes up(text);
  for (std::size_t i = from; i < text.size();) {
    node = trie_.child(node, up[i]);
    if (node == NameTrie::kNone) break;
    ++i;
    // A window name followed by "_" or by the end of the identifier.
    if (isWindow_[node] && (i == text.size() || text[i] == '_' || !isIdentifierChar(text[i])))
      owner = i - from;
  }
  return owner;
}

WindowNames windowNamesOf(const FormModel& model) {
  WindowNames windows;
  for (const Text& name : model.PreviousWindowList) windows.add(name);
  for (const Text& name : model.WindowList) windows.add(name);
  for (const ReplaceEntry& e : model.replaceList) {
    if (e.kind != ObjectKind::Window) continue;
    windows.add(e.oldName);
    windows.add(e.newName);
  }
  return windows;
}

}  // namespace tarnwick
