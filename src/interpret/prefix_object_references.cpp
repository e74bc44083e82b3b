// After the duplicate checks: every later reference to an object of a window gets the
// prefix its creating call got, a constant that got the wrong window's prefix gets
// the right one, and a constant that got a prefix although no call of the run creates
// it gets its own name back. The prefixing pass goes by position and by command, so it
// misses constants in other calls (AddKeyboardShortcut, Case #G) and gives the
// constants of helper procedures after a window the prefix of that window, also those
// of objects that a window the run never saw creates (a gadget of a module).
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The prefixes that the creating calls of one name got, compared ignoring case.
struct Prefixes {
  Text first;
  bool several = false;
  void add(const Text& prefix) {
    if (first.empty()) first = prefix;
    else if (!equalsNoCase(first, prefix)) several = true;
  }
};
// Upper-cased unprefixed name to the prefixes its creating calls got.
using NamePrefixes = std::unordered_map<Text, Prefixes>;

std::uint64_t key(const ConstantMark& at) { return (static_cast<std::uint64_t>(at.line) << 32) ^ at.hash; }

// The name characters from index from of the line on.
std::size_t nameEnd(const Text& line, std::size_t from) {
  while (from < line.size() && isIdentifierChar(line[from])) ++from;
  return from;
}

// Adds the name of a "#" constant that an image or font load of the line takes as its
// first argument, upper-cased without its "#". Such a name is an image or a font,
// whatever object shares it.
void addLoadedNames(const Text& line, std::unordered_set<Text>& loaded) {
  if (line.find('(') == Text::npos) return;
  const LineCalls calls(line);
  for (const char* call : {"LOADIMAGE(", "CATCHIMAGE(", "LOADFONT("}) {
    std::size_t p = calls.find(call);
    if (p == 0) continue;
    std::size_t i = p - 1 + std::char_traits<char>::length(call);
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size() || line[i] != '#') continue;
    loaded.insert(upper(TextView(line).substr(i + 1, nameEnd(line, i + 1) - i - 1)));
  }
}

// The bytes at which the reference scan must look closer: a constant's "#", and what
// starts a literal or the comment.
bool startsSomething(char c) { return c == '#' || c == '"' || c == '\'' || c == '~' || c == ';'; }

void addUpper(std::unordered_set<Text>& set, const Lines& names) {
  for (const Text& n : names) set.insert(upper(n));
}

void addLoadedConstant(const Text& constant, std::unordered_set<Text>& loaded) {
  Text c = trimBlanksTabs(constant);
  if (!c.empty() && c[0] == '#') loaded.insert(upper(TextView(c).substr(1)));
}

}  // namespace

void PrefixObjectReferences(FormModel& model) {
  Lines& lines = model.FormCodeLines;

  // The procedure each line stands in: the index of its head line, or kNone.
  std::vector<std::size_t> procedureOf(lines.size(), kNone);
  std::unordered_set<Text> loaded;
  for (std::size_t i = 0, head = kNone; i < lines.size(); ++i) {
    if (!procedureHeadName(lines[i]).empty()) head = i;
    procedureOf[i] = head;
    if (endsProcedure(lines[i])) head = kNone;
    addLoadedNames(lines[i], loaded);
  }
  for (const ImageEntry& image : model.ImageList) addLoadedConstant(image.constant, loaded);
  for (const FontEntry& font : model.FontList) addLoadedConstant(font.constant, loaded);

  std::unordered_map<std::uint64_t, const Text*> prefixAt;
  for (const PrefixedConstant& c : model.marks.prefixed) prefixAt.emplace(key(c.at), &c.prefix);
  auto prefixOf = [&](std::size_t line, std::size_t hash) -> const Text* {
    auto it = prefixAt.find(key({line, hash}));
    return it == prefixAt.end() ? nullptr : it->second;
  };

  // Inside a procedure that opens a window only its own creating calls count; anywhere
  // else every creating call of the form code.
  std::unordered_set<std::size_t> windowProcedures;
  for (const CreatingCall& call : model.marks.creating)
    if (call.window && procedureOf[call.at.line] != kNone) windowProcedures.insert(procedureOf[call.at.line]);
  NamePrefixes everywhere;
  std::unordered_map<std::size_t, NamePrefixes> byProcedure;
  for (const CreatingCall& call : model.marks.creating) {
    const Text* prefix = call.window ? nullptr : prefixOf(call.at.line, call.at.hash);
    if (!prefix) continue;
    const Text& line = lines[call.at.line];
    std::size_t from = call.at.hash + prefix->size();  // index behind the prefix
    Text name = upper(TextView(line).substr(from, nameEnd(line, from) - from));
    if (name.empty()) continue;
    everywhere[name].add(*prefix);
    std::size_t head = procedureOf[call.at.line];
    if (windowProcedures.count(head)) byProcedure[head][name].add(*prefix);
  }

  std::unordered_set<Text> recorded, windows;
  addUpper(windows, model.WindowList);
  for (const Lines* list : {&model.WindowList, &model.MenuBarList, &model.MenuItemList, &model.StatusBarList,
                            &model.ToolBarList})
    addUpper(recorded, *list);
  for (const GadgetEntry& g : model.GadgetList) recorded.insert(upper(g.name));

  Text name;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    Text& line = lines[index];
    if (line.find('#') == Text::npos) continue;  // no constant to look at
    const std::size_t head = procedureOf[index];
    const NamePrefixes& scope = windowProcedures.count(head) ? byProcedure[head] : everywhere;
    Text out;
    std::size_t copied = 0;  // line[0, copied) is in out
    for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
      // Straight to the next byte that starts a constant, a literal or the comment.
      while (i < line.size() && !startsSomething(line[i])) ++i;
      if (i == line.size()) break;
      if (line[i] != '#') {
        i = codeChar(line, i);
        if (i == line.size()) break;
        if (line[i] != '#') continue;
      }
      if (i >= 2 && line[i - 1] == ':' && line[i - 2] == ':') continue;
      const std::size_t from = i + 1, end = nameEnd(line, from);
      i = end - 1;
      if (end == from || (end < line.size() && line[end] == '$')) continue;
      // A name is ASCII: upper-cased in a buffer that every name reuses.
      name.assign(line, from, end - from);
      for (char& c : name) c = upperAscii(c);
      if (const Text* prefix = prefixOf(index, from)) {
        // A prefix that names no object, where the name's creating calls all got one
        // other prefix: the constant belongs to that other window. Where no creating
        // call got a prefix for it, it is no object of a window: it keeps its name.
        if (recorded.count(name) || !startsWith(name, upper(*prefix))) continue;
        auto it = everywhere.find(name.substr(prefix->size()));
        if (it != everywhere.end() && (it->second.several || equalsNoCase(it->second.first, *prefix))) continue;
        out.append(line, copied, from - copied);
        if (it != everywhere.end()) out += it->second.first;
        copied = from + prefix->size();
      } else {
        if (windows.count(name) || loaded.count(name)) continue;
        auto it = scope.find(name);
        if (it == scope.end() || it->second.several) continue;
        out.append(line, copied, from - copied);
        out += it->second.first;
        copied = from;
      }
    }
    if (copied == 0) continue;
    out.append(line, copied);
    line = std::move(out);
  }
}

}  // namespace tarnwick
