#include "rewrite/replace_word.h"

namespace tarnwick {

namespace {

// Identifier characters, tested on upper-cased text: every other character, letters
// outside A to Z included, separates identifiers.
bool isIdentifierChar(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_'; }

}  // namespace

Text ReplaceWord(TextView line, TextView search, TextView replacement) {
  if (search.empty()) return Text(line);
  const Text upperLine = upper(line);
  const Text pattern = upper(search);
  const std::size_t length = pattern.size();
  // The result is built once from left to right: line[0, copied) is in it already.
  Text result;
  std::size_t copied = 0, from = 0;
  for (;;) {
    std::size_t p = upperLine.find(pattern, from);
    if (p == Text::npos) break;
    result.append(line.substr(copied, p - copied));
    copied = p;
    // The character in front is the last one written, which may end a replacement.
    bool leftFree = result.empty() || !isIdentifierChar(upperAscii(result.back()));
    bool rightFree = p + length == upperLine.size() || !isIdentifierChar(upperLine[p + length]);
    if (leftFree && rightFree) {
      result.append(replacement);
      copied = from = p + length;
    } else {
      from = p + 1;
    }
  }
  result.append(line.substr(copied));
  return result;
}

namespace {

// Every occurrence of search that accept takes (given its 0-based position), found
// without regard to case, replaced from left to right; inserted text is not searched again.
template <typename Accept>
Text replaceOccurrences(TextView line, TextView search, TextView replacement, Accept accept) {
  if (search.empty()) return Text(line);
  const Text upperLine = upper(line);
  const Text pattern = upper(search);
  Text result;
  std::size_t copied = 0, from = 0;
  for (;;) {
    std::size_t p = upperLine.find(pattern, from);
    if (p == Text::npos) break;
    if (!accept(p)) {
      from = p + 1;
      continue;
    }
    result.append(line.substr(copied, p - copied));
    result.append(replacement);
    copied = from = p + pattern.size();
  }
  result.append(line.substr(copied));
  return result;
}

}  // namespace

Text ReplaceSubstring(TextView line, TextView search, TextView replacement) {
  return replaceOccurrences(line, search, replacement, [](std::size_t) { return true; });
}

Text ReplaceWindowPrefix(TextView line, TextView stem, TextView window, TextView replacement,
                         const WindowNames& windows) {
  const Text search = Text(stem) + Text(window) + "_";
  return replaceOccurrences(line, search, replacement, [&](std::size_t p) {
    return windows.ownerLength(line, p + stem.size()) == window.size();
  });
}

}  // namespace tarnwick
