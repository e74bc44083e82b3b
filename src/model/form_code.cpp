#include "model/form_code.h"

#include <algorithm>
#include <iterator>

namespace tarnwick {

std::size_t findChar(TextView line, char c, std::size_t start) {
  if (start < 1) start = 1;
  if (start > line.size()) return 0;
  std::size_t p = line.find(c, start - 1);
  return p == TextView::npos ? 0 : p + 1;
}

namespace {

// The index one past the string literal that starts at index i; i itself when none
// starts there. An unclosed literal runs to the end of the line.
std::size_t literalEnd(TextView line, std::size_t i) {
  char c = line[i];
  if (c == '~' && i + 1 < line.size() && line[i + 1] == '"') {
    std::size_t j = i + 2;
    while (j < line.size() && line[j] != '"') j += line[j] == '\\' ? 2 : 1;
    return std::min(j + 1, line.size());
  }
  if (c != '"' && c != '\'') return i;
  std::size_t close = line.find(c, i + 1);
  return close == TextView::npos ? line.size() : close + 1;
}

}  // namespace

std::size_t codeChar(TextView line, std::size_t i) {
  while (i < line.size()) {
    std::size_t end = literalEnd(line, i);
    if (end == i) return line[i] == ';' ? line.size() : i;
    i = end;
  }
  return line.size();
}

bool isIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

Text wordBefore(TextView line, std::size_t pos) {
  if (pos < 2 || pos - 1 > line.size()) return Text();
  std::size_t end = pos - 1;  // 0-based index one past the word
  std::size_t begin = end;
  while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
  return Text(line.substr(begin, end - begin));
}

std::size_t commandStart(TextView line, std::size_t pos) {
  if (pos < 2 || pos - 1 > line.size()) return pos == 0 ? 0 : pos - 1;
  std::size_t end = pos - 1;  // 0-based index one past the name
  std::size_t begin = end;
  while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
  if (begin != end && begin >= 3 && line[begin - 1] == ':' && line[begin - 2] == ':' &&
      isIdentifierChar(line[begin - 3])) {
    begin -= 2;
    while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
  }
  return begin;
}

Text commandBefore(TextView line, std::size_t pos) {
  if (pos < 2 || pos - 1 > line.size()) return Text();
  const std::size_t begin = commandStart(line, pos);
  return Text(line.substr(begin, pos - 1 - begin));
}

bool isPureBasicName(TextView text) {
  if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
  for (char c : text)
    if (!isIdentifierChar(c)) return false;
  return true;
}

std::size_t closingParenthesis(TextView line, std::size_t open) {
  if (open < 1 || open > line.size() || line[open - 1] != '(') return 0;
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') inString = !inString;
    if (inString || i + 1 < open) continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i + 1;
  }
  return 0;
}

bool isPbAnyAt(TextView line, std::size_t hashPos) {
  if (hashPos < 1 || hashPos > line.size() || line[hashPos - 1] != '#') return false;
  TextView rest = line.substr(hashPos);
  if (rest.size() < 6 || !equalsNoCase(rest.substr(0, 6), "PB_ANY")) return false;
  return rest.size() == 6 || !isIdentifierChar(rest[6]);
}

bool isPbConstantAt(TextView line, std::size_t hashPos) {
  if (hashPos < 1 || hashPos + 3 > line.size() || line[hashPos - 1] != '#') return false;
  return upperAscii(line[hashPos]) == 'P' && upperAscii(line[hashPos + 1]) == 'B' && line[hashPos + 2] == '_';
}

bool isPbAnyName(TextView name) { return equalsNoCase(trimBlanksTabs(name), "PB_ANY"); }

Text pbAnyAssignment(TextView line, std::size_t open) {
  if (open < 2 || open > line.size() || line[open - 1] != '(' || !isPbAnyAt(line, open + 1)) return Text();
  // Walks back from the command word: blanks, "=", blanks, the name with its type.
  auto skipBlanks = [&](std::size_t i) {
    while (i > 0 && (line[i - 1] == ' ' || line[i - 1] == '\t')) --i;
    return i;
  };
  auto wordStart = [&](std::size_t i) {
    while (i > 0 && isIdentifierChar(line[i - 1])) --i;
    return i;
  };
  std::size_t i = wordStart(open - 1);  // 0-based index of the command word
  if (i == open - 1) return Text();
  i = skipBlanks(i);
  // "<=" and ">=" compare; only a lone "=" assigns.
  if (i == 0 || line[i - 1] != '=' || (i >= 2 && (line[i - 2] == '<' || line[i - 2] == '>'))) return Text();
  std::size_t end = skipBlanks(i - 1);
  std::size_t begin = wordStart(end);
  if (begin == end) return Text();
  if (begin > 0 && line[begin - 1] == '.') {  // the ".type" behind the name
    end = begin - 1;
    begin = wordStart(end);
    if (begin == end) return Text();
  }
  if (line[begin] >= '0' && line[begin] <= '9') return Text();
  std::size_t before = skipBlanks(begin);
  bool statementStart = before == 0 || (line[before - 1] == ':' && (before < 2 || line[before - 2] != ':'));
  return statementStart ? Text(line.substr(begin, end - begin)) : Text();
}

LineCalls::LineCalls(TextView line) : line_(line) {
  for (std::size_t open = line.find('('); open != TextView::npos; open = line.find('(', open + 1)) {
    std::size_t begin = open;
    while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
    add({open, line.substr(begin, open - begin)});
  }
}

void LineCalls::add(const Call& call) {
  if (count_ < std::size(first_)) first_[count_++] = call;
  else more_.push_back(call);
}

std::size_t LineCalls::find(TextView keyword) const { return find(keyword, false); }
std::size_t LineCalls::findWord(TextView keyword) const { return find(keyword, true); }

std::size_t LineCalls::find(TextView keyword, bool whole) const {
  const bool withHash = keyword.size() >= 2 && keyword.back() == '#';
  const std::size_t nameSize = keyword.size() - (withHash ? 2 : 1);
  const TextView name = keyword.substr(0, nameSize);
  for (std::size_t c = 0; c < count_ + more_.size(); ++c) {
    const Call& call = c < count_ ? first_[c] : more_[c - count_];
    // The keyword's name ends right at the "(": the name in front ends with it.
    if (call.name.size() < nameSize || (whole && call.name.size() != nameSize)) continue;
    // Both are ASCII letters and digits: compared byte by byte, from the "(" back.
    const char* tail = call.name.data() + call.name.size() - nameSize;
    std::size_t k = nameSize;
    while (k > 0 && upperAscii(tail[k - 1]) == upperAscii(name[k - 1])) --k;
    if (k > 0) continue;
    if (withHash && (call.open + 1 >= line_.size() || line_[call.open + 1] != '#')) continue;
    return call.open - nameSize + 1;
  }
  return 0;
}

TextView codePart(TextView line) {
  std::size_t p = line.find(';');
  return p == TextView::npos ? line : line.substr(0, p);
}

namespace {

TextView afterIndent(TextView line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return line.substr(i);
}

// The leading word of the line after its indentation.
TextView leadingWord(TextView line) {
  TextView rest = afterIndent(line);
  std::size_t n = 0;
  while (n < rest.size() && isIdentifierChar(rest[n])) ++n;
  return rest.substr(0, n);
}

}  // namespace

bool startsWithProcedure(TextView line) {
  TextView rest = afterIndent(line);
  return rest.size() >= 9 && equalsNoCase(rest.substr(0, 9), "PROCEDURE");
}

bool isProcedureHead(TextView line) {
  TextView word = leadingWord(line);
  if (word.size() < 9 || word.size() > 13) return false;  // every line but a few ends here
  for (const char* head : {"PROCEDURE", "PROCEDUREC", "PROCEDUREDLL", "PROCEDURECDLL"})
    if (equalsNoCase(word, head)) return true;
  return false;
}

std::size_t keywordAndTypeEnd(TextView statement) {
  std::size_t i = 0;
  while (i < statement.size() && isIdentifierChar(statement[i])) ++i;  // the keyword
  if (i < statement.size() && statement[i] == '.') {
    ++i;
    while (i < statement.size() && isIdentifierChar(statement[i])) ++i;  // the type
  }
  return i;
}

Text procedureHeadName(TextView line) {
  if (!isProcedureHead(line)) return Text();
  TextView rest = afterIndent(line);
  const std::size_t i = keywordAndTypeEnd(rest);
  std::size_t begin = i;
  while (begin < rest.size() && (rest[begin] == ' ' || rest[begin] == '\t')) ++begin;
  std::size_t end = begin;
  while (end < rest.size() && isIdentifierChar(rest[end])) ++end;
  std::size_t open = end;
  while (open < rest.size() && (rest[open] == ' ' || rest[open] == '\t')) ++open;
  if (end == begin || begin == i || open >= rest.size() || rest[open] != '(') return Text();
  return Text(rest.substr(begin, end - begin));
}

bool procedureNeedsArguments(TextView headLine) {
  std::size_t open = headLine.find('(');
  if (open == TextView::npos) return false;
  int depth = 0;
  bool parameter = false, hasDefault = false;  // within the current parameter
  for (std::size_t i = codeChar(headLine, open + 1); i < headLine.size(); i = codeChar(headLine, i + 1)) {
    char c = headLine[i];
    if (c == '(') ++depth;
    if (c == ')' && depth-- == 0) break;
    if (depth > 0) continue;
    if (c == ',') {
      if (!hasDefault) return true;
      parameter = hasDefault = false;
    } else if (c == '=') {
      hasDefault = true;
    } else if (c != ' ' && c != '\t') {
      parameter = true;
    }
  }
  return parameter && !hasDefault;
}

bool endsProcedure(TextView line) { return FindNoCase(codePart(line), "ENDPROCEDURE") != 0; }

Text replaceAllNoCase(TextView line, TextView find, TextView replacement) {
  if (find.empty()) return Text(line);
  Text out;
  std::size_t from = 0;
  for (;;) {
    std::size_t p = FindNoCase(line, find, from + 1);
    if (p == 0) break;
    out.append(line.substr(from, p - 1 - from));
    out.append(replacement);
    from = p - 1 + find.size();
  }
  if (from == 0) return Text(line);
  out.append(line.substr(from));
  return out;
}

Text textBetween(TextView line, std::size_t from, std::size_t to) {
  if (from < 1) from = 1;
  if (to <= from || from > line.size() + 1) return Text();
  std::size_t end = std::min(to - 1, line.size());
  return Text(line.substr(from - 1, end - (from - 1)));
}

Text textFrom(TextView line, std::size_t from) {
  if (from < 1) from = 1;
  if (from > line.size()) return Text();
  return Text(line.substr(from - 1));
}

}  // namespace tarnwick
