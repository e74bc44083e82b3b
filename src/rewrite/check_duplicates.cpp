// One pass over the form code that collects the identifier of every window, menu,
// menu item, status bar, toolbar and gadget it creates, and refuses identifiers that
// are created twice. On the way it marks where each object is created and remembers
// the procedure that opens each window. Windows and gadgets created with #PB_Any into
// variables are recorded by the variables' names, alike with the constants.
// An object created again for the same window (after FreeToolBar, behind a test of
// IsMenu, in two CompilerIf branches) is the same object; a creating call whose
// object is no PureBasic name (a comma missing) stops the run.
#include "rewrite/check_duplicates.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "model/form_code.h"

namespace tarnwick {

namespace {

enum class Repeat { Error, Warning, Silent };

// One target list with the upper-cased names it holds, each with the window (or, for
// a window, the procedure) it was created for and the form code line that created it
// first, so that the "seen before" test does not walk the list.
struct NameList {
  struct Creation {
    Text owner;
    std::size_t line;
  };
  Lines& names;
  std::unordered_map<Text, Creation> seen;
  explicit NameList(Lines& list) : names(list) {
    for (const Text& n : list) seen.emplace(upper(n), Creation{Text(), std::size_t(-1)});
  }
  // False when the name was created before; owner and first then hold the owner it has
  // and the line of its first creation.
  bool add(const Text& name, Text& owner, std::size_t line, std::size_t& first) {
    auto [at, fresh] = seen.emplace(upper(name), Creation{owner, line});
    first = at->second.line;
    if (!fresh) {
      owner = at->second.owner;
      return false;
    }
    names.push_back(name);
    return true;
  }
};

// The place the loader noted for the form code line index; null when it noted none
// (no file holds the line, or a pass changed the lines since).
const LinePlace* placeOf(const FormModel& model, std::size_t index) {
  const std::vector<LinePlace>& places = model.marks.places;
  if (places.size() != model.FormCodeLines.size() || index >= places.size()) return nullptr;
  const LinePlace& place = places[index];
  return place.file != 0 && place.file <= model.SourceFileList.size() ? &place : nullptr;
}

// The path of the source file that holds the form code line index; empty when none does.
Text sourceOf(const FormModel& model, std::size_t index) {
  const LinePlace* place = placeOf(model, index);
  return place ? model.SourceFileList[place->file - 1] : Text();
}

// Where the two creations of a name stand, so that the user finds both.
Text creationPlaces(const FormModel& model, const Text& identifier, std::size_t first, std::size_t second) {
  if (first == std::size_t(-1)) return Text();
  const Text a = sourceOf(model, first), b = sourceOf(model, second);
  if (a.empty() || b.empty()) return Text();
  if (a == b) return " -> #" + identifier + " is created twice in " + a;
  return " -> #" + identifier + " is created in " + a + " and in " + b;
}

struct CreationTest {
  const char* keywords[2];
  NameList* list;
  bool closeAtParenthesis;  // menus: without a "," the identifier ends before ")"
  Repeat repeat;
  const char* messageHead;
  const char* messageTail;
  // The warning tail for an object created again for the same window.
  const char* sameTail;
};

// The first position of keyword in the code part of the line; 0 when it is absent.
// A keyword ending in "MENUITEM(#" must be the MenuItem command itself: the other
// menu-item commands (DisableMenuItem, SetMenuItemState, ...) address an item; so must
// ToolBarButton, the end of DisableToolBarButton.
std::size_t findCreation(const LineCalls& calls, TextView keyword) {
  return keyword == "MENUITEM(#" || keyword == "TOOLBARBUTTON(#" ? calls.findWord(keyword) : calls.find(keyword);
}

// What stands behind the "(#" of a creating call up to the end of its first argument.
enum class Argument {
  Name,        // one PureBasic name: the object's constant
  Expression,  // a name and an operator (#Base + 1): a computed number, no constant
  Slip,        // anything else: "#Button_Slip 10", "#"
  Missing,     // the line holds no end of the argument
};
struct CallIdentifier {
  Argument kind = Argument::Missing;
  Text text;  // trimmed of blanks and tabs
};

// The identifier behind the "(#" of the creation call whose "(" stands at open, up to
// the first "," after it (or, for menus without a ",", the first ")").
CallIdentifier callIdentifier(TextView code, std::size_t open, bool closeAtParenthesis) {
  std::size_t end = findChar(code, ',', open);
  if (end == 0 && closeAtParenthesis) end = findChar(code, ')', open);
  if (end < open + 2) return {};
  CallIdentifier id{Argument::Slip, trimBlanksTabs(textBetween(code, open + 2, end))};
  std::size_t n = 0;
  while (n < id.text.size() && isIdentifierChar(id.text[n])) ++n;
  if (n == id.text.size()) {
    if (isPureBasicName(id.text)) id.kind = Argument::Name;
  } else if (n > 0 && isPureBasicName(TextView(id.text).substr(0, n))) {
    while (n < id.text.size() && (id.text[n] == ' ' || id.text[n] == '\t')) ++n;
    if (n < id.text.size() && Text("+-*/|&%<>!=").find(id.text[n]) != Text::npos) id.kind = Argument::Expression;
  }
  return id;
}

// The prefix the prefixing pass put behind the "#" at hash of the line, if any. The
// marks stand in form code order, by line and position.
const Text* prefixAt(const FormModel& model, std::size_t index, std::size_t hash) {
  const std::vector<PrefixedConstant>& marks = model.marks.prefixed;
  auto it = std::lower_bound(marks.begin(), marks.end(), ConstantMark{index, hash},
                             [](const PrefixedConstant& c, const ConstantMark& at) {
                               return c.at.line < at.line || (c.at.line == at.line && c.at.hash < at.hash);
                             });
  return it != marks.end() && it->at.line == index && it->at.hash == hash ? &it->prefix : nullptr;
}

// The window a menu, status bar or toolbar is created for: the one its WindowID
// argument names, else the one whose prefix its constant got; upper-cased, without
// "#". Empty before any window.
Text ownerWindow(const FormModel& model, TextView code, std::size_t open, std::size_t index) {
  std::size_t w = FindNoCase(code, "WINDOWID(", open);
  std::size_t end = closingParenthesis(code, open);
  if (w != 0 && (end == 0 || w < end)) {
    std::size_t close = findChar(code, ')', w + 9);
    if (close != 0) {
      Text name = trimBlanksTabs(textBetween(code, w + 9, close));
      if (!name.empty() && name[0] == '#') name = trimBlanksTabs(TextView(name).substr(1));
      return upper(name);
    }
  }
  const Text* prefix = prefixAt(model, index, open + 1);
  return prefix ? upper(TextView(*prefix).substr(0, prefix->size() - 1)) : Text();
}

// The object name as the form file writes it: the text behind the "#" at hash without
// the prefix the prefixing pass put there.
Text writtenName(const FormModel& model, std::size_t index, std::size_t hash, const Text& identifier) {
  const Text* prefix = prefixAt(model, index, hash);
  return prefix && startsWith(identifier, *prefix) ? identifier.substr(prefix->size()) : identifier;
}

// True when the byte at the 1-based position pos stands in the code of the line, not
// inside a string literal.
bool inCode(TextView code, std::size_t pos) {
  std::size_t i = codeChar(code, 0);
  while (i < pos - 1) i = codeChar(code, i + 1);
  return i == pos - 1;
}

// The stop line for a creating call whose object is no PureBasic name.
Text slipMessage(const FormModel& model, std::size_t index, const Text& command, const Text& name) {
  Text where;
  if (const LinePlace* place = placeOf(model, index)) {
    where = " in " + fileNameOf(model.SourceFileList[place->file - 1]);
    if (place->line != 0) where += " line " + std::to_string(place->line);
  }
  return " -> Error: " + command + where + ": '#" + name +
         "' is not a PureBasic name; write the object's constant as one name. Stop!";
}

}  // namespace

bool checkDuplicates(StageContext& ctx) {
  FormModel& model = ctx.model;
  NameList windows(model.WindowList), menus(model.MenuBarList), items(model.MenuItemList),
      statusBars(model.StatusBarList), toolBars(model.ToolBarList);
  std::unordered_set<Text> gadgetsSeen;
  for (const GadgetEntry& g : model.GadgetList) gadgetsSeen.insert(upper(g.name));

  const CreationTest tests[] = {
      {{"OPENWINDOW(#", nullptr}, &windows, false, Repeat::Error, " -> Error: Find duplicate WindowID(#", "). Stop!",
       ") in the same procedure, taken as one window."},
      {{"CREATEMENU(#", "CREATEPOPUPMENU(#"}, &menus, true, Repeat::Error, " -> Error: Find duplicate MenuID(#",
       "). Stop!", ") for the same window, taken as one menu."},
      {{"CREATEIMAGEMENU(#", "CREATEPOPUPIMAGEMENU(#"}, &menus, true, Repeat::Error,
       " -> Error: Find duplicate MenuID(#", "). Stop!", ") for the same window, taken as one menu."},
      {{"MENUITEM(#", nullptr}, &items, false, Repeat::Warning, " -> Warning: Find duplicate MenuItemID(#",
       ") by MenuItem.", nullptr},
      {{"CREATESTATUSBAR(#", nullptr}, &statusBars, false, Repeat::Error,
       " -> Error: Find duplicate StatusBarID(#", "). Stop!", ") for the same window, taken as one status bar."},
      {{"CREATETOOLBAR(#", nullptr}, &toolBars, false, Repeat::Error, " -> Error: Find duplicate ToolBarID(#",
       "). Stop!", ") for the same window, taken as one toolbar."},
      {{"TOOLBARSTANDARDBUTTON(#", "TOOLBARIMAGEBUTTON(#"}, &items, false, Repeat::Warning,
       " -> Warning: Find duplicate MenuItemID(#", ") by ToolbarButton.", nullptr},
      {{"TOOLBARBUTTON(#", nullptr}, &items, false, Repeat::Warning, " -> Warning: Find duplicate MenuItemID(#",
       ") by ToolbarButton.", nullptr},
  };

  model.marks.creating.clear();
  // The head line of the procedure the current line stands in, if any, and its index.
  const Text* procedureHead = nullptr;
  std::size_t procedureIndex = 0;
  for (std::size_t index = 0; index < model.FormCodeLines.size(); ++index) {
    const Text& line = model.FormCodeLines[index];
    if (!procedureHeadName(line).empty()) {
      procedureHead = &line;
      procedureIndex = index;
    }
    // What stands behind the first ";" is a comment and creates nothing.
    const TextView code = codePart(line);
    // Every creating call holds "(#": a line without one creates nothing.
    if (code.find("(#") == TextView::npos) {
      if (endsProcedure(line)) procedureHead = nullptr;
      continue;
    }

    const LineCalls calls(code);
    const CreationTest* passed = nullptr;
    std::size_t open = 0;  // the "(" of the creation call that passed
    for (const CreationTest& test : tests) {
      for (const char* keyword : test.keywords) {
        if (!keyword || passed) continue;
        if (std::size_t p = findCreation(calls, keyword)) {
          passed = &test;
          open = p + std::char_traits<char>::length(keyword) - 2;
        }
      }
      if (passed) break;
    }
    if (passed) {
      const bool window = passed == &tests[0];
      CallIdentifier id = callIdentifier(code, open, passed->closeAtParenthesis);
      // A call named inside a string ("Use OpenWindow(# ...) first") is no call.
      if (id.kind == Argument::Slip && inCode(code, open)) {
        ctx.log(slipMessage(model, index, wordBefore(code, open), writtenName(model, index, open + 1, id.text)));
        return false;
      }
      Text identifier = id.kind == Argument::Name ? id.text : Text();
      // A window opened with #PB_Any into a variable is known by the variable's name.
      bool variable = false;
      if (window && (identifier.empty() || isPbAnyName(identifier))) {
        identifier = pbAnyAssignment(code, open);
        variable = !identifier.empty();
      }
      // An empty identifier (a malformed line, a computed number) and #PB_Any create
      // no constant.
      if (!identifier.empty() && !isPbAnyName(identifier)) {
        model.marks.creating.push_back({{index, open + 1}, window});
        // A window is the same when its procedure opens it again; outside procedures
        // every window line is one of its own. Other objects are the same when they
        // are created again for the same window.
        Text owner;
        if (window)
          owner = procedureHead ? "P" + std::to_string(procedureIndex) : "L" + std::to_string(index);
        else if (passed->sameTail)
          owner = ownerWindow(model, code, open, index);
        const Text created = owner;
        std::size_t first = 0;
        if (!passed->list->add(identifier, owner, index, first)) {
          if (passed->repeat == Repeat::Error && owner == created) {
            // "WindowID(#" and the like, from the error line of the kind.
            TextView head = passed->messageHead;
            ctx.log(" -> Warning: " + Text(head.substr(head.find("Find "))) + identifier + passed->sameTail);
          } else {
            if (passed->repeat == Repeat::Error) {
              const Text places = creationPlaces(model, identifier, first, index);
              if (!places.empty()) ctx.log(places);
            }
            ctx.log(passed->messageHead + identifier + passed->messageTail);
            if (passed->repeat == Repeat::Error) return false;
          }
        } else if (window) {
          // The window remembers the procedure that opens it, which Main.pb calls.
          model.WindowProcedureList.push_back(
              {procedureHead ? procedureHeadName(*procedureHead) : Text(),
               procedureHead && procedureNeedsArguments(*procedureHead)});
          model.WindowVariableList.push_back(variable);
        }
      }
    } else {
      // In a window opened into a variable, "Button_0 = ButtonGadget(#PB_Any, ...)"
      // creates the gadget variable Button_0.
      const bool variableWindow = index < model.marks.inVariableWindow.size() && model.marks.inVariableWindow[index];
      // Gadgets: every "(#" whose command is a gadget creation command or one of the
      // form's gadget procedures, left to right; the command is the name that ends
      // directly before the "(#", with its module when it has one.
      Text command;
      for (std::size_t p = findFrom(code, "(#"); p != 0; p = findFrom(code, "(#", p + 2)) {
        command = commandBefore(code, p);
        for (char& c : command) c = upperAscii(c);  // a command word is ASCII
        if (!model.GadgetCommandSet.containsCall(command) &&
            (model.GadgetProcedureSet.size() == 0 || !model.GadgetProcedureSet.containsCall(command)))
          continue;
        // A module's procedure named like a command of the sets is that command.
        if (!model.GadgetCommandSet.containsUpper(command) && !model.GadgetProcedureSet.containsUpper(command))
          command.erase(0, command.rfind("::") + 2);
        if (variableWindow && isPbAnyAt(code, p + 1)) {
          Text name = pbAnyAssignment(code, p);
          if (!name.empty() && gadgetsSeen.insert(upper(name)).second)
            model.GadgetList.push_back({name, command, true});
          continue;
        }
        CallIdentifier id = callIdentifier(code, p, false);
        if (id.kind == Argument::Slip && inCode(code, p)) {
          ctx.log(slipMessage(model, index, commandBefore(code, p), writtenName(model, index, p + 1, id.text)));
          return false;
        }
        if (id.kind != Argument::Name || isPbAnyName(id.text)) continue;
        model.marks.creating.push_back({{index, p + 1}, false});
        if (gadgetsSeen.insert(upper(id.text)).second) model.GadgetList.push_back({id.text, command});
      }
    }
    if (endsProcedure(line)) procedureHead = nullptr;
  }
  return true;
}

}  // namespace tarnwick
