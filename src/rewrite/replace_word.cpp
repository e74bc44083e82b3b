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
