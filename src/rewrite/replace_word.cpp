#include "rewrite/replace_word.h"

namespace tarnwick {

namespace {

// Identifier characters, tested on upper-cased text: every other character, letters
// outside A to Z included, separates identifiers.
bool isIdentifierChar(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || c == U'_'; }

}  // namespace

Text ReplaceWord(TextView line, TextView search, TextView replacement) {
  Text result(line);
  if (search.empty()) return result;
  Text upperLine = upper(result);
  const Text pattern = upper(search);
  const std::size_t length = pattern.size();
  std::size_t start = 1;
  for (;;) {
    std::size_t p = findFrom(upperLine, pattern, start);
    if (p == 0) return result;
    bool leftFree = p == 1 || !isIdentifierChar(upperLine[p - 2]);
    bool rightFree = p + length - 1 == upperLine.size() || !isIdentifierChar(upperLine[p + length - 1]);
    if (leftFree && rightFree) {
      result = result.substr(0, p - 1) + Text(replacement) + result.substr(p - 1 + length);
      upperLine = upper(result);
      start = p + replacement.size();
    } else {
      start = p + 1;
    }
  }
}

Text ReplaceSubstring(TextView line, TextView search, TextView replacement) {
  if (search.empty()) return Text(line);
  const Text upperLine = upper(line);
  const Text pattern = upper(search);
  Text result;
  std::size_t from = 1;
  for (;;) {
    std::size_t p = findFrom(upperLine, pattern, from);
    if (p == 0) break;
    result.append(line.substr(from - 1, p - from));
    result.append(replacement);
    from = p + pattern.size();
  }
  result.append(line.substr(from - 1));
  return result;
}

}  // namespace tarnwick
