// Makes every object constant of the form code unique per window: the constants that
// follow a window's OpenWindow line get the window's name and "_" in front of their
// name, so #Button_0 of Window_1 becomes #Window_1_Button_0. A window opened with
// #PB_Any into a variable (Window_1 = OpenWindow(#PB_Any, ...)) gives its constants the
// variable's name; the objects created into variables keep their names, and
// PureBasic's own constants (#PB_Default) theirs. The reference pass after the
// duplicate checks takes the prefix back from a constant that no call creates.
#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

namespace {

// The commands whose second argument is an object of the window: a toolbar button,
// or a menu item of the window's menu.
const char* const kSecondArgumentCommands[] = {
    "BALLOONTIP(",       "TOOLBARTOOLTIP(",   "DISABLETOOLBARBUTTON(", "GETTOOLBARBUTTONSTATE(",
    "SETTOOLBARBUTTONSTATE(", "DISABLEMENUITEM(", "SETMENUITEMSTATE(", "GETMENUITEMSTATE(",
    "SETMENUITEMTEXT(",  "GETMENUITEMTEXT(",
};

// The buffers of the line edits, kept for the whole pass so that a line costs no
// allocation of its own.
struct EditBuffers {
  std::vector<std::size_t> done, hashes;
  Text word, out;
};

// One line under edit. It remembers which "#" received the prefix, so that no
// constant gets it twice when several rules reach the same argument.
class LineEdit {
 public:
  LineEdit(Text& line, const Text& prefix, EditBuffers& buffers)
      : line_(line), prefix_(prefix), buffers_(buffers), done_(buffers.done) {
    done_.clear();
  }

  // Inserts the prefix behind the "#" at hashPos, unless that constant is one of
  // PureBasic's own (#PB_Any, a number PureBasic hands out; #PB_Default) or was
  // prefixed before. True when the prefix was inserted.
  bool prefixAt(std::size_t hashPos) {
    if (prefix_.empty() || hashPos < 1 || hashPos > line_.size() || line_[hashPos - 1] != '#') return false;
    if (isPbConstantAt(line_, hashPos) || isDone(hashPos)) return false;
    line_.insert(hashPos, prefix_);
    for (std::size_t& done : done_)
      if (done > hashPos) done += prefix_.size();
    done_.push_back(hashPos);
    return true;
  }

  // Prefixes the first argument of every call on the line whose command is in
  // commands or procedures: each "(#" whose word in front (with its module, if any)
  // names such a command.
  void prefixCommandArguments(const CommandSet& commands, const CommandSet& procedures) {
    auto isCommand = [&](const Text& upperWord) {
      return commands.containsCall(upperWord) || (procedures.size() != 0 && procedures.containsCall(upperWord));
    };
    if (prefix_.empty()) return;
    bool plainPrefix = true;
    for (char c : prefix_) plainPrefix = plainPrefix && isIdentifierChar(c);
    if (!plainPrefix) {
      // The search goes on behind an inserted prefix: a window name taken from a
      // malformed line may hold "(#" itself, and must not be prefixed over and over.
      for (std::size_t p = findFrom(line_, "(#"); p != 0; p = findFrom(line_, "(#", p + 2))
        if (isCommand(upper(commandBefore(line_, p))) && prefixAt(p + 1)) p += prefix_.size();
      return;
    }
    // A prefix of name characters holds no "(#", so the calls can be found in the line
    // as it stands and all prefixes inserted at once: a line with many calls is not
    // copied once per insertion.
    std::vector<std::size_t>& hashes = buffers_.hashes;  // ascending
    hashes.clear();
    Text& word = buffers_.word;  // upper-cased command words
    for (std::size_t p = findFrom(line_, "(#"); p != 0; p = findFrom(line_, "(#", p + 2)) {
      // A module procedure is named with its module: "ListEx::Gadget".
      const std::size_t begin = commandStart(line_, p);
      // A word that starts right behind a "#" prefixed here reads with the prefix.
      word.clear();
      if (!hashes.empty() && hashes.back() == begin) word = prefix_;
      word.append(line_, begin, p - 1 - begin);
      for (char& c : word) c = upperAscii(c);
      if (!isCommand(word)) continue;
      std::size_t hashPos = p + 1;
      if (isPbConstantAt(line_, hashPos) || isDone(hashPos)) continue;
      hashes.push_back(hashPos);
    }
    if (hashes.empty()) return;
    Text& out = buffers_.out;
    out.clear();
    out.reserve(line_.size() + hashes.size() * prefix_.size());
    std::size_t from = 0;
    for (std::size_t h : hashes) {
      out.append(line_, from, h - from);
      out += prefix_;
      from = h;
    }
    out.append(line_, from);
    line_.swap(out);
    for (std::size_t& done : done_) {
      std::size_t before = std::lower_bound(hashes.begin(), hashes.end(), done) - hashes.begin();
      done += before * prefix_.size();
    }
    for (std::size_t i = 0; i < hashes.size(); ++i) done_.push_back(hashes[i] + i * prefix_.size());
  }

  // The positions of the "#"s that received the prefix, as the line now stands, in
  // ascending order.
  const std::vector<std::size_t>& prefixed() {
    std::sort(done_.begin(), done_.end());
    return done_;
  }

  // Prefixes the argument that begins behind the comma at position comma, when that
  // argument is a constant. Anything else (a number, a variable) is left as it is.
  void prefixArgumentAfter(std::size_t comma) {
    if (comma == 0) return;
    std::size_t p = comma + 1;
    while (p <= line_.size() && (line_[p - 1] == ' ' || line_[p - 1] == '\t')) ++p;
    prefixAt(p);
  }

 private:
  bool isDone(std::size_t hashPos) const { return std::find(done_.begin(), done_.end(), hashPos) != done_.end(); }

  Text& line_;
  const Text& prefix_;
  EditBuffers& buffers_;
  std::vector<std::size_t>& done_;
};

// The window a WindowID argument names, for the "(" at position open, up to the first
// ")" of the line: "#Name" a window constant, a bare Name a window opened into that
// variable before (any other bare text, such as a handle, names no window of ours).
// Empty when the argument is neither or is not closed.
struct WindowArgument {
  Text name;
  bool variable = false;
};
WindowArgument windowArgument(const Text& line, std::size_t open, const std::unordered_set<Text>& variableWindows) {
  if (open == 0 || open >= line.size()) return {};
  std::size_t close = findChar(line, ')');
  if (line[open] == '#') {
    if (close <= open + 2) return {};
    return {trimBlanks(textBetween(line, open + 2, close)), false};
  }
  if (close <= open + 1) return {};
  Text name = trimBlanks(textBetween(line, open + 1, close));
  if (!variableWindows.count(upper(name))) return {};
  return {name, true};
}

// The keyword tests of one line under edit, answered from one scan of the line and
// scanned again only after an insertion has changed it.
class LineKeywords {
 public:
  explicit LineKeywords(const Text& line) : line_(line) {}
  std::size_t find(TextView keyword) {
    if (line_.size() != scanned_) {
      calls_.emplace(line_);
      scanned_ = line_.size();
    }
    return calls_->find(keyword);
  }

 private:
  const Text& line_;
  std::size_t scanned_ = static_cast<std::size_t>(-1);
  std::optional<LineCalls> calls_;
};

}  // namespace

bool PrefixObjectConstants(StageContext& ctx) {
  FormModel& model = ctx.model;
  model.marks.prefixed.clear();
  model.marks.inVariableWindow.assign(model.FormCodeLines.size(), false);
  Text windowPrefix;
  // Whether the current window was opened into a variable, and the upper-cased names
  // of such windows so far.
  bool variableWindow = false;
  std::unordered_set<Text> variableWindows;
  auto switchWindow = [&](std::size_t index, const WindowArgument& window) {
    if (window.name.empty()) return;
    windowPrefix = window.name + "_";
    variableWindow = window.variable;
    model.marks.inVariableWindow[index] = variableWindow;
  };
  EditBuffers buffers;
  for (std::size_t index = 0; index < model.FormCodeLines.size(); ++index) {
    Text& line = model.FormCodeLines[index];
    model.marks.inVariableWindow[index] = variableWindow;
    // Comment lines, and lines with a comment near their start, stay as they are.
    std::size_t semicolon = findChar(line, ';');
    if (semicolon >= 1 && characterCount(TextView(line).substr(0, semicolon - 1)) < 9) continue;
    // Every test below looks for a call: a line without "(" holds none.
    if (line.find('(') == Text::npos) continue;
    LineKeywords keywords(line);

    if (std::size_t call = keywords.find("OPENWINDOW(#")) {
      std::size_t open = findChar(line, '(');
      std::size_t comma = findChar(line, ',');
      Text name = comma > open + 2 ? trimBlanks(textBetween(line, open + 2, comma)) : Text();
      bool variable = false;
      if (isPbAnyName(name) || (name.empty() && isPbAnyAt(line, open + 1))) {
        // "Window_0 = OpenWindow(#PB_Any, ...)" opens the window into its variable;
        // a #PB_Any window whose number is not kept cannot be addressed at all.
        name = pbAnyAssignment(line, call + 10);
        if (name.empty()) {
          ctx.log(" -> Error: Find OpenWindow with '#PB_Any', Not supported. Stop!");
          return false;
        }
        variable = true;
        variableWindows.insert(upper(name));
      }
      // A window line without a comma names no window; the prefix stays.
      switchWindow(index, {name, variable});
      continue;
    }

    if (keywords.find("USEGADGETLIST(") != 0) {
      // Without a WindowID(...) argument the window is unknown and the prefix stays.
      std::size_t windowId = keywords.find("WINDOWID(");
      if (windowId) switchWindow(index, windowArgument(line, windowId + 8, variableWindows));
      continue;
    }

    // A toolbar or status bar names its window in its WindowID argument, the first
    // "(" at least two characters behind the call's own.
    for (const char* keyword : {"CREATETOOLBAR(", "CREATESTATUSBAR("}) {
      if (keywords.find(keyword) == 0) continue;
      std::size_t first = findChar(line, '(');
      switchWindow(index, windowArgument(line, findChar(line, '(', first + 2), variableWindows));
    }

    if (keywords.find("CREATEGADGETLIST(") != 0 || keywords.find("ADDSTATUSBARFIELD(") != 0) continue;

    LineEdit edit(line, windowPrefix, buffers);

    // Height calls: the constant of the toolbar or status bar whose height is asked.
    // A numbered toolbar (ToolBarHeight(0)) has no constant to prefix.
    std::size_t heightAt = keywords.find("TOOLBARHEIGHT(") + keywords.find("STATUSBARHEIGHT(");
    if (heightAt != 0) {
      std::size_t open = findChar(line, '(', heightAt);
      if (open != 0) edit.prefixAt(open + 1);
    }

    // Every command of the line whose first argument is a window's object.
    edit.prefixCommandArguments(model.PrefixCommandSet, model.GadgetProcedureSet);

    for (const char* keyword : kSecondArgumentCommands) {
      std::size_t k = keywords.find(keyword);
      if (k != 0) edit.prefixArgumentAfter(findChar(line, ',', k));
    }

    // The two gadgets of a splitter, the menu constants of an MDI gadget: the sixth
    // and seventh arguments.
    for (const char* keyword : {"SPLITTERGADGET(", "MDIGADGET("}) {
      std::size_t k = keywords.find(keyword);
      if (k == 0) continue;
      std::size_t fifth = k;
      for (int n = 0; n < 5 && fifth != 0; ++n) fifth = findChar(line, ',', n == 0 ? k : fifth + 1);
      if (fifth == 0) continue;
      edit.prefixArgumentAfter(fifth);
      edit.prefixArgumentAfter(findChar(line, ',', fifth + 1));
    }

    // The passes after the duplicate checks tell these constants from the ones that
    // got no prefix here.
    for (std::size_t hash : edit.prefixed()) model.marks.prefixed.push_back({{index, hash}, windowPrefix});
  }
  return true;
}

}  // namespace tarnwick
