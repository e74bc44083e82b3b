// A tree of names, one byte of their upper case per step, searched without regard to
// case: the
// index behind the rename rules and the window names, which lets a line be matched
// against any number of names in time bounded by the line and the longest name.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "model/text.h"

namespace tarnwick {

class NameTrie {
 public:
  using Node = std::uint32_t;
  static constexpr Node kRoot = 0;
  static constexpr Node kNone = 0;  // no child: the root is never anyone's child

  // The node that ends the upper-cased name, created when it is new.
  Node insert(TextView name) {
    Node node = kRoot;
    for (char c : upper(name)) {
      auto [it, added] = edges_.try_emplace(key(node, c), nodes_);
      if (added) ++nodes_;
      node = it->second;
    }
    return node;
  }
  // The child of node along one byte of an upper-cased text, or kNone.
  Node child(Node node, char upperC) const {
    auto it = edges_.find(key(node, upperC));
    return it == edges_.end() ? kNone : it->second;
  }
  // The number of nodes, the root included; nodes are numbered 0 to size() - 1.
  std::size_t size() const { return nodes_; }

 private:
  static std::uint64_t key(Node node, char c) { return std::uint64_t(node) << 32 | static_cast<unsigned char>(c); }

  std::unordered_map<std::uint64_t, Node> edges_;
  Node nodes_ = 1;
};

}  // namespace tarnwick
