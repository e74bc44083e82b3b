#include "interpret/form_globals.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "model/form_code.h"

namespace tarnwick {

namespace {

TextView trimBlanksTabsView(TextView t) {
  std::size_t b = 0, e = t.size();
  while (b < e && (t[b] == ' ' || t[b] == '\t')) ++b;
  while (e > b && (t[e - 1] == ' ' || t[e - 1] == '\t')) --e;
  return t.substr(b, e - b);
}

bool isOneOf(const Text& word, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (word == w) return true;
  return false;
}

// Blocks whose lines are taken or left whole: their contents are no statements of
// the global code (a structure's fields, a macro's body, data lines, imports).
const char* rawBlockEnd(const Text& keyword) {
  if (keyword == "STRUCTURE") return "ENDSTRUCTURE";
  if (keyword == "INTERFACE") return "ENDINTERFACE";
  if (keyword == "MACRO") return "ENDMACRO";
  if (keyword == "DATASECTION") return "ENDDATASECTION";
  if (keyword == "IMPORT" || keyword == "IMPORTC") return "ENDIMPORT";
  if (keyword == "DECLAREMODULE") return "ENDDECLAREMODULE";
  if (keyword == "MODULE") return "ENDMODULE";
  if (keyword == "ENUMERATION" || keyword == "ENUMERATIONBINARY") return "ENDENUMERATION";
  return nullptr;
}

bool opensProgramBlock(const Text& k) {
  return isOneOf(k, {"IF", "SELECT", "FOR", "FOREACH", "WHILE", "REPEAT", "WITH"});
}
bool closesProgramBlock(const Text& k) {
  return isOneOf(k, {"ENDIF", "ENDSELECT", "NEXT", "WEND", "UNTIL", "FOREVER", "ENDWITH"});
}
bool opensCompilerBlock(const Text& k) { return k == "COMPILERIF" || k == "COMPILERSELECT"; }
bool isCompilerBranch(const Text& k) {
  return isOneOf(k, {"COMPILERELSE", "COMPILERELSEIF", "COMPILERCASE", "COMPILERDEFAULT"});
}
bool closesCompilerBlock(const Text& k) { return k == "COMPILERENDIF" || k == "COMPILERENDSELECT"; }

TextView spanOf(TextView line, const StatementSpan& s) { return line.substr(s.begin, s.end - s.begin); }

// True when any statement of the line is the given keyword.
bool holdsKeyword(TextView line, const char* keyword) {
  for (const StatementSpan& s : statementsOf(line))
    if (statementKeyword(spanOf(line, s)) == keyword) return true;
  return false;
}

// The name of a constant declaration "#Name = value" (also "#Name$ = ..."), without
// its "#"; empty for any other statement.
Text declaredConstant(TextView statement) {
  TextView t = trimBlanksTabsView(statement);
  if (t.size() < 2 || t[0] != '#') return Text();
  std::size_t end = 1;
  while (end < t.size() && isIdentifierChar(t[end])) ++end;
  if (end == 1) return Text();
  Text name(t.substr(1, end - 1));
  if (end < t.size() && t[end] == '$') {
    name += '$';
    ++end;
  }
  TextView rest = trimBlanksTabsView(t.substr(end));
  return rest.empty() || rest[0] == '=' ? name : Text();
}

// The member of an enumeration line: "#Name" with an optional "= value".
Text enumerationMember(TextView line) {
  std::vector<StatementSpan> spans = statementsOf(line);
  if (spans.empty()) return Text();
  return declaredConstant(spanOf(line, spans.front()));
}

// A library the program links with, such as UsePNGImageDecoder() or UseZipPacker():
// these stand in global code beside the declarations and are needed by them.
bool isUseStatement(TextView statement) {
  TextView t = trimBlanksTabsView(statement);
  if (t.size() < 6 || !equalsNoCase(t.substr(0, 3), "USE")) return false;
  std::size_t open = 3;
  while (open < t.size() && isIdentifierChar(t[open])) ++open;
  TextView rest = trimBlanksTabsView(t.substr(open));
  if (rest != "()") return false;
  Text name = upper(t.substr(0, open));
  for (const char* tail : {"DECODER", "ENCODER", "PACKER", "DATABASE", "FINGERPRINT"})
    if (name.size() > std::char_traits<char>::length(tail) &&
        name.compare(name.size() - std::char_traits<char>::length(tail), Text::npos, tail) == 0)
      return true;
  return false;
}

// The upper-cased name of the command that a statement calls first, and the 1-based
// position of its "(" in the line; empty when the statement calls nothing.
struct FirstCall {
  Text name;
  std::size_t open = 0;
};
FirstCall firstCall(TextView line, const StatementSpan& s) {
  for (std::size_t i = s.begin; i < s.end; i = codeChar(line, i + 1)) {
    if (line[i] != '(') continue;
    std::size_t begin = i;
    while (begin > s.begin && isIdentifierChar(line[begin - 1])) --begin;
    if (begin == i) return {};
    return {upper(line.substr(begin, i - begin)), i + 1};
  }
  return {};
}

// The image and font loads of global code: the ones of a "#" constant are taken by
// the image and font sections; the others (into a variable, a number) are kept with
// the declarations, since the form code shows what they load.
enum class Load { None, Taken, Kept };
Load globalLoad(TextView line, const StatementSpan& s) {
  FirstCall call = firstCall(line, s);
  if (!isOneOf(call.name, {"LOADIMAGE", "LOADFONT", "CATCHIMAGE"})) return Load::None;
  std::size_t arg = call.open;  // 0-based index of the first argument
  while (arg < line.size() && (line[arg] == ' ' || line[arg] == '\t')) ++arg;
  const bool constant = arg < line.size() && line[arg] == '#' && !isPbAnyAt(line, arg + 1);
  if (constant && call.name != "CATCHIMAGE") return Load::Taken;
  return Load::Kept;
}

// The items of a Global, Define or Protected list, split at the commas outside
// literals and parentheses: 0-based [begin, end) spans.
std::vector<StatementSpan> listItems(TextView line, std::size_t from, std::size_t to) {
  std::vector<StatementSpan> items;
  int depth = 0;
  std::size_t start = from;
  for (std::size_t i = codeChar(line, from); i < to; i = codeChar(line, i + 1)) {
    char c = line[i];
    if (c == '(' || c == '[') ++depth;
    if (c == ')' || c == ']') --depth;
    if (c == ',' && depth == 0) {
      items.push_back({start, i});
      start = i + 1;
    }
  }
  items.push_back({start, to});
  return items;
}

// The variable an item of a Global list declares: "Name", "Name.i = 0", "*p",
// "Dim Name(3)", "NewList Name()"; upper-cased, without type.
Text itemName(TextView item) {
  TextView t = trimBlanksTabsView(item);
  for (const char* word : {"DIM ", "NEWLIST ", "NEWMAP ", "DIM\t", "NEWLIST\t", "NEWMAP\t"}) {
    std::size_t n = std::char_traits<char>::length(word);
    if (t.size() > n && equalsNoCase(t.substr(0, n), word)) t = trimBlanksTabsView(t.substr(n));
  }
  std::size_t end = 0;
  while (end < t.size() && (isIdentifierChar(t[end]) || (end == 0 && t[end] == '*'))) ++end;
  return upper(t.substr(0, end));
}

Text indentOf(const Text& line) {
  std::size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return line.substr(0, n);
}

// The upper-cased names of the commands that end the lifting of a global window: the
// program's own code begins with a loop over the events, or binds them.
bool isEventCall(const Text& name) {
  return isOneOf(name, {"WAITWINDOWEVENT", "WINDOWEVENT", "EVENTGADGET", "EVENTMENU", "EVENTWINDOW", "EVENTTYPE",
                        "BINDEVENT", "BINDGADGETEVENT", "BINDMENUEVENT"});
}

// True when the line calls a procedure of the file (or an event command): the lifted
// procedure stands before the file's procedures and cannot call them.
bool callsProgram(const Text& line, const std::unordered_set<Text>& procedures) {
  for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
    if (line[i] != '(') continue;
    std::size_t begin = i;
    while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
    if (begin == i) continue;
    Text name = upper(TextView(line).substr(begin, i - begin));
    if (isEventCall(name) || procedures.count(name)) return true;
  }
  return false;
}

Text lineText(const Text& file, std::size_t number) { return file + " line " + numberText(static_cast<long long>(number)); }

// The window a global OpenWindow statement opens, by the "(" of the call: "#Name" a
// constant, "Name = OpenWindow(#PB_Any" a variable. Empty with a reason otherwise.
struct GlobalWindow {
  Text name;
  Text reason;  // why the run cannot take it
};
GlobalWindow globalWindow(const Text& line, std::size_t open, const Text& where) {
  std::size_t comma = findChar(line, ',', open + 1);
  Text argument = comma ? trimBlanksTabs(textBetween(line, open + 1, comma)) : Text();
  if (argument.size() > 1 && argument[0] == '#' && !isPbAnyName(TextView(argument).substr(1))) {
    Text name = argument.substr(1);
    bool plain = true;
    for (char c : name) plain = plain && isIdentifierChar(c);
    if (plain) return {name, Text()};
  }
  if (argument.size() > 1 && argument[0] == '#') {
    Text variable = pbAnyAssignment(line, open);
    if (!variable.empty()) return {variable, Text()};
  }
  // A numbered window gets its name when its lines are named (nameNumberedWindows).
  if (!argument.empty() && argument.find_first_not_of("0123456789") == Text::npos)
    return {"Window_" + argument, Text()};
  return {Text(), "the window opened in " + where + " has no constant of its own: open it with a constant (" +
                      "OpenWindow(#Window_0, ...)) in a procedure"};
}

}  // namespace

std::vector<StatementSpan> statementsOf(TextView line) {
  std::vector<StatementSpan> out;
  const std::size_t n = line.size();
  std::size_t start = 0, end = n;
  for (std::size_t i = 0; i < n;) {
    char c = line[i];
    if (c == '~' && i + 1 < n && line[i + 1] == '"') {
      std::size_t j = i + 2;
      while (j < n && line[j] != '"') j += line[j] == '\\' ? 2 : 1;
      i = std::min(j + 1, n);
      continue;
    }
    if (c == '"' || c == '\'') {
      std::size_t close = line.find(c, i + 1);
      i = close == TextView::npos ? n : close + 1;
      continue;
    }
    if (c == ';') {
      end = i;
      break;
    }
    if (c == ':') {
      if (i + 1 < n && line[i + 1] == ':') {
        i += 2;
        continue;
      }
      out.push_back({start, i});
      start = i + 1;
    }
    ++i;
  }
  out.push_back({start, end});
  std::vector<StatementSpan> nonEmpty;
  for (const StatementSpan& s : out)
    if (!trimBlanksTabsView(line.substr(s.begin, s.end - s.begin)).empty()) nonEmpty.push_back(s);
  return nonEmpty;
}

Text statementKeyword(TextView statement) {
  TextView t = trimBlanksTabsView(statement);
  std::size_t end = 0;
  while (end < t.size() && isIdentifierChar(t[end])) ++end;
  return upper(t.substr(0, end));
}

void noteUnseenWindow(FormFileGlobals& globals, std::size_t number, const Text& line) {
  if (line.find("indow") == Text::npos && line.find("INDOW") == Text::npos) return;  // nearly every line
  LineCalls calls(line);
  std::size_t p = calls.find("OPENWINDOW(");
  if (p == 0) return;
  std::size_t open = p + 10;
  std::size_t arg = open;
  while (arg < line.size() && (line[arg] == ' ' || line[arg] == '\t')) ++arg;
  // "OpenWindow(0, ...)": a number is no constant the run can give the window's objects.
  std::size_t digits = arg;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits > arg) {
    std::size_t after = digits;
    while (after < line.size() && (line[after] == ' ' || line[after] == '\t')) ++after;
    if (after < line.size() && line[after] == ',') globals.numberedWindows = true;
    return;
  }
  if (!isPbAnyAt(line, arg + 1) || !pbAnyAssignment(line, open).empty()) return;
  // "*ui\Win = OpenWindow(#PB_Any, ...)": the window lives in a field.
  Text before = trimBlanksTabs(textBetween(line, 1, p));
  if (before.empty() || before.back() != '=' || before.find('\\') == Text::npos) return;
  Text target = trimBlanksTabs(before.substr(0, before.size() - 1));
  std::size_t colon = target.rfind(':');
  if (colon != Text::npos) target = trimBlanksTabs(target.substr(colon + 1));
  globals.refusals.push_back(" -> Error: window " + target + " is opened into a structure field in " +
                             lineText(fileNameOf(globals.path), number) +
                             ": open it into a variable (Window = OpenWindow(#PB_Any, ...)) or with a constant "
                             "(OpenWindow(#Window, ...)). Stop!");
}

std::vector<std::size_t> liftGlobalWindows(StageContext& ctx, FormFileGlobals& globals, std::size_t insertAt,
                                           const std::vector<Text>& fileProcedures) {
  std::unordered_set<Text> procedures;
  for (const Text& name : fileProcedures) procedures.insert(upper(name));
  const Text file = fileNameOf(globals.path);
  std::vector<GlobalLine>& lines = globals.lines;
  std::vector<bool> lifted(lines.size(), false);
  Lines generated;
  std::vector<std::size_t> numbers;  // of each generated line
  const char* rawEnd = nullptr;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Text& line = lines[k].text;
    if (rawEnd) {
      bool inMacro = std::char_traits<char>::compare(rawEnd, "ENDMACRO", 8) == 0;
      if (holdsKeyword(line, rawEnd)) rawEnd = nullptr;
      else if (inMacro && LineCalls(line).find("OPENWINDOW(") != 0)
        globals.notes.push_back("a window is opened inside a macro in " + lineText(file, lines[k].number) +
                                ": put it into a procedure");
      continue;
    }
    std::vector<StatementSpan> spans = statementsOf(line);
    if (!spans.empty()) {
      Text keyword = statementKeyword(spanOf(line, spans.front()));
      if (const char* end = rawBlockEnd(keyword)) {
        if (!holdsKeyword(line, end)) rawEnd = end;
        continue;
      }
    }
    std::size_t call = line.find('(') == Text::npos ? 0 : LineCalls(line).find("OPENWINDOW(");
    if (call == 0) continue;
    const Text where = lineText(file, lines[k].number);
    const std::size_t refused = globals.refusals.size(), noted = globals.notes.size();
    noteUnseenWindow(globals, lines[k].number, line);
    if (globals.refusals.size() != refused) continue;
    if (globals.notes.size() != noted) continue;
    GlobalWindow window = globalWindow(line, call + 10, where);
    if (window.name.empty()) {
      globals.notes.push_back(window.reason);
      continue;
    }
    // The window's lines, up to where the program's own code begins; blocks they open
    // and leave open are closed behind them.
    struct Open {
      const char* closer;
      Text indent;
    };
    std::vector<Open> open;
    Lines body;
    std::size_t j = k;
    for (; j < lines.size(); ++j) {
      const Text& l = lines[j].text;
      if (j > k && lines[j].number != lines[j - 1].number + 1) break;  // a procedure stood between
      std::vector<StatementSpan> parts = statementsOf(l);
      bool stop = false;
      if (j > k) {
        if (LineCalls(l).find("OPENWINDOW(") != 0 || callsProgram(l, procedures)) stop = true;
        std::size_t depth = open.size();
        for (const StatementSpan& s : parts) {
          Text kw = statementKeyword(spanOf(l, s));
          if (isOneOf(kw, {"REPEAT", "WHILE", "FOR", "FOREACH", "SELECT", "END", "GLOBAL", "DEFINE", "DIM",
                           "DECLARE", "INCLUDEFILE", "XINCLUDEFILE", "PROTOTYPE", "PROTOTYPEC"}) ||
              rawBlockEnd(kw) || opensCompilerBlock(kw) || isCompilerBranch(kw))
            stop = true;
          if (kw == "IF" || kw == "WITH") ++depth;
          if ((kw == "ENDIF" || kw == "ENDWITH" || kw == "ELSE" || kw == "ELSEIF") && depth == 0) stop = true;
          if (kw == "ENDIF" || kw == "ENDWITH") --depth;
        }
      }
      if (stop) break;
      bool closed = false;
      for (const StatementSpan& s : parts) {
        Text kw = statementKeyword(spanOf(l, s));
        if (kw == "IF") open.push_back({"EndIf", indentOf(l)});
        if (kw == "WITH") open.push_back({"EndWith", indentOf(l)});
        if ((kw == "ENDIF" || kw == "ENDWITH") && !open.empty()) {
          open.pop_back();
          closed = true;
        }
      }
      body.push_back(l);
      lifted[j] = true;
      if (closed && open.empty()) {
        ++j;
        break;
      }
    }
    const std::size_t taken = body.size();
    for (auto it = open.rbegin(); it != open.rend(); ++it) body.push_back(it->indent + it->closer);
    generated.push_back("Procedure Open_" + window.name + "()");
    numbers.push_back(0);
    for (std::size_t b = 0; b < body.size(); ++b) {
      generated.push_back("  " + body[b]);
      numbers.push_back(b < taken ? lines[k + b].number : 0);
    }
    for (const Text& l : {Text("EndProcedure"), Text(), SeparatorLine(), Text()}) {
      generated.push_back(l);
      numbers.push_back(0);
    }
    ctx.log(" -> Warning: window #" + window.name + " is opened outside a procedure in " + where +
            ": its form code became the procedure Open_" + window.name + " in CommonFile.pb.");
    k = j - 1;
  }
  if (generated.empty()) return numbers;
  std::vector<GlobalLine> kept;
  for (std::size_t k = 0; k < lines.size(); ++k)
    if (!lifted[k]) kept.push_back(std::move(lines[k]));
  lines = std::move(kept);
  Lines& code = ctx.model.FormCodeLines;
  code.insert(code.begin() + static_cast<std::ptrdiff_t>(insertAt), std::make_move_iterator(generated.begin()),
              std::make_move_iterator(generated.end()));
  return numbers;
}

namespace {

// The upper-cased names that CommonFile.pb declares itself: the objects of this run
// (by their names in the form files and by their prefixed names), the variables of
// variable-mode objects, the font and image constants.
struct CommonNames {
  std::unordered_set<Text> constants, variables;
  // A name of the form files to the one prefixed name its objects got; empty when its
  // objects got several.
  std::unordered_map<Text, Text> prefixed;
};

// The line with each "#" name of an object that got a window prefix written with it,
// as the form code now names it.
Text withPrefixedNames(const Text& line, const CommonNames& names) {
  if (names.prefixed.empty() || line.find('#') == Text::npos) return line;
  Text out;
  std::size_t copied = 0;
  for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
    if (line[i] != '#') continue;
    std::size_t end = i + 1;
    while (end < line.size() && isIdentifierChar(line[end])) ++end;
    auto it = names.prefixed.find(upper(TextView(line).substr(i + 1, end - i - 1)));
    if (it != names.prefixed.end() && !it->second.empty() && (end >= line.size() || line[end] != '$')) {
      out.append(line, copied, i + 1 - copied);
      out += it->second;
      copied = end;
    }
    i = end - 1;
  }
  if (copied == 0) return line;
  out.append(line, copied);
  return out;
}

CommonNames commonNames(const FormModel& model) {
  CommonNames names;
  for (std::size_t i = 0; i < model.WindowList.size(); ++i)
    (model.isVariableWindow(i) ? names.variables : names.constants).insert(upper(model.WindowList[i]));
  for (const Lines* list : {&model.MenuBarList, &model.MenuItemList, &model.StatusBarList, &model.ToolBarList})
    for (const Text& n : *list) names.constants.insert(upper(n));
  for (const GadgetEntry& g : model.GadgetList) (g.variable ? names.variables : names.constants).insert(upper(g.name));
  // The name a creating call gave its object in the form file: the prefixed name less
  // the prefix its window gave it.
  std::unordered_map<std::uint64_t, const Text*> prefixAt;
  auto key = [](const ConstantMark& at) { return (static_cast<std::uint64_t>(at.line) << 32) ^ at.hash; };
  for (const PrefixedConstant& p : model.marks.prefixed) prefixAt.emplace(key(p.at), &p.prefix);
  for (const CreatingCall& c : model.marks.creating) {
    const Text& line = model.FormCodeLines[c.at.line];
    std::size_t from = c.at.hash;  // 0-based index behind the "#"
    std::size_t end = from;
    while (end < line.size() && isIdentifierChar(line[end])) ++end;
    Text name = upper(TextView(line).substr(from, end - from));
    Text full(TextView(line).substr(from, end - from));
    auto p = prefixAt.find(key(c.at));
    if (p != prefixAt.end() && startsWith(name, upper(*p->second))) {
      name = name.substr(p->second->size());
      auto [it, added] = names.prefixed.emplace(name, full);
      if (!added && !equalsNoCase(it->second, full)) it->second.clear();
    }
    if (!name.empty()) names.constants.insert(name);
  }
  for (const FontEntry& f : model.FontList) {
    Text c = trimBlanksTabs(f.constant);
    if (c.size() > 1 && c[0] == '#') names.constants.insert(upper(TextView(c).substr(1)));
  }
  for (const ImageEntry& i : model.ImageList) {
    Text c = trimBlanksTabs(i.constant);
    if (c.size() > 1 && c[0] == '#') names.constants.insert(upper(TextView(c).substr(1)));
  }
  return names;
}

// The compiler blocks around the current global line: their directive lines are taken
// only when a declaration inside them is, so that a block of program code leaves no
// empty CompilerIf behind.
struct CompilerFrame {
  Lines pending;
  bool emitted = false;
};

class DeclarationWriter {
 public:
  DeclarationWriter(Lines& out, std::unordered_set<Text>& declared, const CommonNames& names)
      : out_(out), declared_(declared), names_(names) {}

  void take(const Text& line) {
    for (CompilerFrame& f : frames_) {
      if (f.emitted) continue;
      for (Text& l : f.pending) out_.push_back(std::move(l));
      f.pending.clear();
      f.emitted = true;
    }
    out_.push_back(withPrefixedNames(line, names_));
  }
  void directive(const Text& keyword, const Text& line) {
    if (opensCompilerBlock(keyword)) {
      frames_.push_back({{line}, false});
      return;
    }
    if (frames_.empty()) return;  // an unbalanced directive: left with the program code
    if (frames_.back().emitted) out_.push_back(line);
    else frames_.back().pending.push_back(line);
    if (closesCompilerBlock(keyword)) frames_.pop_back();
  }
  // A constant name declared a second time outside compiler blocks is the designer's
  // repetition, left out; inside them each branch may declare it once.
  bool firstDeclaration(const Text& name) {
    bool first = declared_.insert(upper(name)).second;
    return first || !frames_.empty();
  }

 private:
  Lines& out_;
  std::unordered_set<Text>& declared_;
  const CommonNames& names_;
  std::vector<CompilerFrame> frames_;
};

// A Global (or Define, Threaded) statement without the variables of variable-mode
// objects, which CommonFile.pb declares; empty when nothing is left.
Text withoutObjectVariables(TextView line, const StatementSpan& s, const Text& keyword,
                            const std::unordered_set<Text>& variables) {
  TextView statement = spanOf(line, s);
  std::size_t kw = statement.find_first_not_of(" \t");
  std::size_t after = s.begin + kw + keyword.size();
  // A type given to the whole list: "Global.i a, b".
  while (after < s.end && (isIdentifierChar(line[after]) || line[after] == '.')) ++after;
  Text kept;
  bool dropped = false;
  for (const StatementSpan& item : listItems(line, after, s.end)) {
    TextView text = spanOf(line, item);
    if (variables.count(itemName(text))) {
      dropped = true;
      continue;
    }
    kept += kept.empty() ? Text(trimBlanksTabsView(text)) : ", " + Text(trimBlanksTabsView(text));
  }
  if (!dropped) return Text(trimBlanksTabsView(statement));
  if (kept.empty()) return Text();
  return Text(trimBlanksTabsView(line.substr(s.begin, after - s.begin))) + " " + kept;
}

// The upper-cased names that stand in front of a "(" in the code of the lines: the
// procedures they define and call, and the commands.
std::unordered_set<Text> calledNames(const Lines& lines) {
  std::unordered_set<Text> names;
  for (const Text& line : lines) {
    if (line.find('(') == Text::npos) continue;
    for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
      if (line[i] != '(') continue;
      std::size_t begin = i;
      while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
      if (begin < i) names.insert(upper(TextView(line).substr(begin, i - begin)));
    }
  }
  return names;
}

// The upper-cased name a Declare statement declares ("Declare.i Name(...)").
Text declaredProcedure(TextView statement) {
  TextView t = trimBlanksTabsView(statement);
  std::size_t i = keywordAndTypeEnd(t);
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  std::size_t end = i;
  while (end < t.size() && isIdentifierChar(t[end])) ++end;
  return upper(t.substr(i, end - i));
}

}  // namespace

void CollectFormDeclarations(StageContext& ctx) {
  FormModel& model = ctx.model;
  bool anyGlobal = false;
  for (const FormFileGlobals& globals : model.FormGlobals) anyGlobal = anyGlobal || !globals.lines.empty();
  if (!anyGlobal) return;
  const CommonNames common = commonNames(model);
  std::unordered_set<Text> declared;
  std::optional<std::unordered_set<Text>> formCalls;  // made at the first Declare
  Lines section;
  for (FormFileGlobals& globals : model.FormGlobals) {
    const Text file = fileNameOf(globals.path);
    Lines out;
    DeclarationWriter writer(out, declared, common);
    std::size_t leftOut = 0;
    int programDepth = 0;
    const char* rawEnd = nullptr;
    bool takingRaw = false;
    bool inEnumeration = false;
    Lines enumeration;  // the enumeration under way, its header first
    bool enumerationMembers = false;
    for (const GlobalLine& g : globals.lines) {
      const Text& line = g.text;
      if (rawEnd) {
        const bool ends = holdsKeyword(line, rawEnd);
        if (inEnumeration) {
          Text member = enumerationMember(line);
          if (ends) {
            enumeration.push_back(line);
            if (enumerationMembers)
              for (const Text& l : enumeration) writer.take(l);
            enumeration.clear();
          } else if (member.empty()) {
            // Comments stay; anything else is no member (a bare number the designer wrote).
            if (statementsOf(line).empty()) enumeration.push_back(line);
          } else {
            Text name = upper(member);
            // PureBasic's own constants cannot be declared again.
            if (!common.constants.count(name) && !startsWith(name, "PB_") && writer.firstDeclaration(member)) {
              enumeration.push_back(line);
              enumerationMembers = true;
            }
          }
        } else if (takingRaw) {
          writer.take(line);
        } else {
          ++leftOut;
        }
        if (ends) rawEnd = nullptr, inEnumeration = false;
        continue;
      }
      std::vector<StatementSpan> spans = statementsOf(line);
      if (spans.empty()) continue;  // blank and comment lines
      Lines kept;
      bool programLine = false;
      bool unchanged = true;  // every kept statement as written
      for (const StatementSpan& s : spans) {
        TextView statement = spanOf(line, s);
        Text keyword = statementKeyword(statement);
        if (programDepth > 0) {
          if (opensProgramBlock(keyword)) ++programDepth;
          if (closesProgramBlock(keyword)) --programDepth;
          programLine = true;
          continue;
        }
        if (opensCompilerBlock(keyword) || isCompilerBranch(keyword) || closesCompilerBlock(keyword)) {
          writer.directive(keyword, line);
          continue;
        }
        if (const char* end = rawBlockEnd(keyword)) {
          bool closedHere = holdsKeyword(line, end);
          if (keyword == "ENUMERATION" || keyword == "ENUMERATIONBINARY") {
            enumeration = {line};
            enumerationMembers = false;
            inEnumeration = true;
          } else if (keyword == "MODULE" || keyword == "DECLAREMODULE") {
            // A module's procedures went into the form code without their module, so
            // neither part of it can stand in CommonFile.pb.
            programLine = true;
            takingRaw = false;
          } else {
            writer.take(line);  // the whole line, with what stood before the block on it
            kept.clear();
            takingRaw = true;
          }
          if (!closedHere) rawEnd = end;
          else inEnumeration = false;
          break;
        }
        if (opensProgramBlock(keyword)) {
          ++programDepth;
          programLine = true;
          continue;
        }
        if (Text constant = declaredConstant(statement); !constant.empty()) {
          Text bare = constant.back() == '$' ? constant.substr(0, constant.size() - 1) : constant;
          if (!common.constants.count(upper(bare)) && writer.firstDeclaration(constant))
            kept.push_back(Text(trimBlanksTabsView(statement)));
          else
            unchanged = false;
          continue;
        }
        if (isOneOf(keyword, {"GLOBAL", "DEFINE", "THREADED"})) {
          Text rest = withoutObjectVariables(line, s, keyword, common.variables);
          unchanged = unchanged && rest == trimBlanksTabsView(statement);
          if (!rest.empty()) kept.push_back(rest);
          continue;
        }
        if (isOneOf(keyword, {"DECLARE", "DECLAREC", "DECLAREDLL", "DECLARECDLL"})) {
          // A procedure that the form code neither defines nor calls is one of the user's
          // own, called by the program code that stays out (the designer declares the
          // event procedures of its skipped event loop): declared here it would be
          // declared and never defined.
          if (!formCalls) formCalls = calledNames(model.FormCodeLines);
          if (formCalls->count(declaredProcedure(statement))) kept.push_back(Text(trimBlanksTabsView(statement)));
          else unchanged = false;
          continue;
        }
        if (isOneOf(keyword, {"DIM", "NEWLIST", "NEWMAP", "PROTOTYPE", "PROTOTYPEC"}) || isUseStatement(statement)) {
          kept.push_back(Text(trimBlanksTabsView(statement)));
          continue;
        }
        Load load = globalLoad(line, s);
        if (load == Load::Taken) {
          unchanged = false;
          continue;
        }
        if (load == Load::Kept) {
          kept.push_back(Text(trimBlanksTabsView(statement)));
          continue;
        }
        programLine = true;
      }
      if (!kept.empty() && kept.size() == spans.size() && !programLine && !rawEnd && unchanged) {
        writer.take(line);  // all of it, its comment too
      } else if (!kept.empty()) {
        Text joined = indentOf(line);
        for (std::size_t i = 0; i < kept.size(); ++i) joined += (i ? " : " : "") + kept[i];
        writer.take(joined);
      }
      if (programLine) ++leftOut;
    }
    if (!out.empty()) {
      section.push_back("; " + file);
      for (Text& l : out) section.push_back(std::move(l));
      section.emplace_back();
    }
    if (leftOut > 0)
      ctx.log(" -> " + file + ": " + numberText(static_cast<long long>(leftOut)) +
              " global lines of program code left out.");
  }
  if (section.empty()) return;
  section.insert(section.begin(), ";- Declarations of the form files");
  model.sections.declarations = std::move(section);
}

namespace {

// The first argument of the call whose "(" is at index open (0-based) when it is a plain
// number ("OpenWindow(0, ..."): the 0-based [begin, end) of its digits; end 0 otherwise.
StatementSpan numberArgument(const Text& line, std::size_t open) {
  std::size_t begin = open + 1;
  while (begin < line.size() && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
  std::size_t end = begin;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
  std::size_t after = end;
  while (after < line.size() && (line[after] == ' ' || line[after] == '\t')) ++after;
  if (end == begin || after >= line.size() || (line[after] != ',' && line[after] != ')')) return {};
  return {begin, end};
}

}  // namespace

void nameNumberedWindows(StageContext& ctx, const FormFileGlobals& globals, std::size_t from) {
  if (!globals.numberedWindows) return;
  FormModel& model = ctx.model;
  Lines& code = model.FormCodeLines;
  std::unordered_set<Text> windows, gadgets;  // the numbers seen in the current procedure
  for (std::size_t index = from; index < code.size(); ++index) {
    Text& line = code[index];
    if (isProcedureHead(line)) windows.clear(), gadgets.clear();
    if (line.find('(') == Text::npos) continue;
    Text out;
    std::size_t copied = 0;
    for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
      if (line[i] != '(') continue;
      std::size_t begin = i;
      while (begin > 0 && isIdentifierChar(line[begin - 1])) --begin;
      if (begin == i) continue;
      StatementSpan number = numberArgument(line, i);
      if (number.end == 0) continue;
      const Text word = upper(TextView(line).substr(begin, i - begin));
      const Text n = line.substr(number.begin, number.end - number.begin);
      Text name;
      if (word == "OPENWINDOW") {
        windows.insert(n);
        name = "Window_" + n;
        ctx.log(" -> Warning: window " + n + " of " + fileNameOf(globals.path) +
                " is opened with a number: the generated files name it #" + name +
                " and its numbered gadgets #Gadget_ and their number.");
      } else if (windows.count(n) &&
                 (word.find("WINDOW") != Text::npos || word == "ADDKEYBOARDSHORTCUT" ||
                  word == "REMOVEKEYBOARDSHORTCUT")) {
        name = "Window_" + n;
      } else if (!windows.empty() && model.GadgetCommandSet.containsUpper(word)) {
        gadgets.insert(n);
        name = "Gadget_" + n;
      } else if (gadgets.count(n) && word.find("GADGET") != Text::npos) {
        name = "Gadget_" + n;
      }
      if (name.empty()) continue;
      out.append(line, copied, number.begin - copied);
      out += "#" + name;
      copied = number.end;
    }
    if (copied == 0) continue;
    out.append(line, copied);
    line = std::move(out);
  }
}

void FindResizeProcedures(FormModel& model) {
  std::unordered_map<Text, Text> resizers;  // upper-cased name to the name as written
  for (const Text& line : model.FormCodeLines) {
    if (!startsWithProcedure(line)) continue;
    Text name = procedureHeadName(line);
    if (name.size() > 13 && equalsNoCase(TextView(name).substr(0, 13), "ResizeGadgets") &&
        !procedureNeedsArguments(line))
      resizers.emplace(upper(name), name);
  }
  if (resizers.empty()) return;
  model.ResizeProcedureList.assign(model.WindowList.size(), Text());
  for (std::size_t i = 0; i < model.WindowList.size(); ++i) {
    auto it = resizers.find(upper("ResizeGadgets" + model.WindowList[i]));
    if (it != resizers.end()) model.ResizeProcedureList[i] = it->second;
  }
}

void AddOpenWrappers(StageContext& ctx) {
  FormModel& model = ctx.model;
  if (model.WindowList.empty() || model.WindowProcedureList.empty()) return;
  WindowProcedure& procedure = model.WindowProcedureList.front();
  if (procedure.name.empty() || !procedure.needsArguments) return;
  const Text& window = model.WindowList.front();
  const Text* head = nullptr;
  for (const Text& line : model.FormCodeLines)
    if (equalsNoCase(procedureHeadName(line), procedure.name)) {
      head = &line;
      break;
    }
  if (!head) return;
  std::size_t open = head->find('(');
  std::size_t close = closingParenthesis(*head, open + 1);
  if (open == Text::npos || close == 0) return;
  Lines declarations;
  Text arguments;
  for (const StatementSpan& item : listItems(*head, open + 1, close - 1)) {
    Text parameter = trimBlanksTabs(spanOf(*head, item));
    if (parameter.empty()) continue;
    std::size_t depth = 0;
    bool defaulted = false;
    for (char c : parameter) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
      defaulted = defaulted || (c == '=' && depth == 0);
    }
    if (defaulted) break;  // this and the parameters behind it have defaults
    Text kind = upper(statementKeyword(parameter));
    Text rest = parameter;
    if (kind == "ARRAY" || kind == "LIST" || kind == "MAP") rest = trimBlanksTabs(parameter.substr(kind.size()));
    std::size_t nameEnd = rest.find_first_of(".($ \t");
    Text name = rest.substr(0, nameEnd);
    if (kind == "ARRAY") {
      std::size_t p = rest.find('(');
      Text typed = rest.substr(0, p);
      long dims = p == Text::npos ? 1 : std::atol(rest.c_str() + p + 1);
      Text zeros = "0";
      for (long d = 1; d < dims; ++d) zeros += ", 0";
      declarations.push_back("  Protected Dim " + typed + "(" + zeros + ")");
      name += "()";
    } else if (kind == "LIST" || kind == "MAP") {
      declarations.push_back("  Protected New" + Text(kind == "LIST" ? "List " : "Map ") + rest);
      name += "()";
    } else {
      declarations.push_back("  Protected " + parameter);
      if (nameEnd != Text::npos && rest[nameEnd] == '$') name += '$';
    }
    arguments += (arguments.empty() ? "" : ", ") + name;
  }
  Text wrapper = "Open_" + window;
  if (equalsNoCase(wrapper, procedure.name)) wrapper += "_Start";
  Lines& code = model.FormCodeLines;
  code.push_back("; Main.pb opens window " + window + " with this procedure: " + procedure.name +
                 " needs arguments and gets empty ones here. Call it with yours in Main.pb.");
  code.push_back("Procedure " + wrapper + "()");
  for (Text& d : declarations) code.push_back(std::move(d));
  code.push_back("  " + procedure.name + "(" + arguments + ")");
  code.push_back("EndProcedure");
  code.push_back(Text());
  code.push_back(SeparatorLine());
  code.push_back(Text());
  ctx.log(" -> Warning: window " + window + " is opened by procedure " + procedure.name +
          ", which needs arguments; Main.pb calls " + wrapper + "(), which passes empty ones.");
  procedure.name = wrapper;
  procedure.needsArguments = false;
}

}  // namespace tarnwick
