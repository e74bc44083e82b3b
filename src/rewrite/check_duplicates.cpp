// One pass over the form code that collects the identifier of every window, menu,
// menu item, status bar, toolbar and gadget it creates, and refuses identifiers that
// are created twice. On the way it marks where each object is created and remembers
// the procedure that opens each window. Windows and gadgets created with #PB_Any into
// variables are recorded by the variables' names, alike with the constants.
#include "rewrite/check_duplicates.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "model/form_code.h"

namespace tarnwick {

namespace {

enum class Repeat { Error, Warning, Silent };

// One target list with the upper-cased names it holds, each with the form code line
// that created it first, so that the "seen before" test does not walk the list.
struct NameList {
  Lines& names;
  std::unordered_map<Text, std::size_t> seen;
  explicit NameList(Lines& list) : names(list) {
    for (const Text& n : list) seen.emplace(upper(n), std::size_t(-1));
  }
  // False when the name was created before; first then holds the line of that creation.
  bool add(const Text& name, std::size_t line, std::size_t& first) {
    auto [at, fresh] = seen.emplace(upper(name), line);
    first = at->second;
    if (!fresh) return false;
    names.push_back(name);
    return true;
  }
};

// Where the two creations of a name stand, so that the user finds both.
Text creationPlaces(const FormModel& model, const Text& identifier, std::size_t first, std::size_t second) {
  if (first == std::size_t(-1)) return Text();
  const Text a = model.marks.sourceOf(first), b = model.marks.sourceOf(second);
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
};

// The first position of keyword in the code part of the line; 0 when it is absent.
// A keyword ending in "MENUITEM(#" must be the MenuItem command itself: the other
// menu-item commands (DisableMenuItem, SetMenuItemState, ...) address an item.
std::size_t findCreation(const LineCalls& calls, TextView keyword) {
  return keyword == "MENUITEM(#" ? calls.findWord(keyword) : calls.find(keyword);
}

// The identifier behind the "(#" of the creation call whose "(" stands at open, up to
// the first "," after it (or, for menus without a ",", the first ")"), trimmed.
Text callIdentifier(TextView code, std::size_t open, bool closeAtParenthesis) {
  std::size_t end = findChar(code, ',', open);
  if (end == 0 && closeAtParenthesis) end = findChar(code, ')', open);
  if (end < open + 2) return Text();
  return trimBlanks(textBetween(code, open + 2, end));
}

}  // namespace

bool checkDuplicates(StageContext& ctx) {
  FormModel& model = ctx.model;
  NameList windows(model.WindowList), menus(model.MenuBarList), items(model.MenuItemList),
      statusBars(model.StatusBarList), toolBars(model.ToolBarList);
  std::unordered_set<Text> gadgetsSeen;
  for (const GadgetEntry& g : model.GadgetList) gadgetsSeen.insert(upper(g.name));

  const CreationTest tests[] = {
      {{"OPENWINDOW(#", nullptr}, &windows, false, Repeat::Error, " -> Error: Find duplicate WindowID(#", "). Stop!"},
      {{"CREATEMENU(#", "CREATEPOPUPMENU(#"}, &menus, true, Repeat::Error, " -> Error: Find duplicate MenuID(#",
       "). Stop!"},
      {{"CREATEIMAGEMENU(#", "CREATEPOPUPIMAGEMENU(#"}, &menus, true, Repeat::Error,
       " -> Error: Find duplicate MenuID(#", "). Stop!"},
      {{"MENUITEM(#", nullptr}, &items, false, Repeat::Warning, " -> Warning: Find duplicate MenuItemID(#",
       ") by MenuItem."},
      {{"CREATESTATUSBAR(#", nullptr}, &statusBars, false, Repeat::Error,
       " -> Error: Find duplicate StatusBarID(#", "). Stop!"},
      {{"CREATETOOLBAR(#", nullptr}, &toolBars, false, Repeat::Error, " -> Error: Find duplicate ToolBarID(#",
       "). Stop!"},
      {{"TOOLBARSTANDARDBUTTON(#", "TOOLBARIMAGEBUTTON(#"}, &items, false, Repeat::Warning,
       " -> Warning: Find duplicate MenuItemID(#", ") by ToolbarButton."},
  };

  model.marks.creating.clear();
  // The head line of the procedure the current line stands in, if any.
  const Text* procedureHead = nullptr;
  for (std::size_t index = 0; index < model.FormCodeLines.size(); ++index) {
    const Text& line = model.FormCodeLines[index];
    if (!procedureHeadName(line).empty()) procedureHead = &line;
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
      Text identifier = callIdentifier(code, open, passed->closeAtParenthesis);
      // A window opened with #PB_Any into a variable is known by the variable's name.
      bool variable = false;
      if (window && (identifier.empty() || isPbAnyName(identifier))) {
        identifier = pbAnyAssignment(code, open);
        variable = !identifier.empty();
      }
      // An empty identifier (a malformed line) and #PB_Any create no constant.
      if (!identifier.empty() && !isPbAnyName(identifier)) {
        model.marks.creating.push_back({{index, open + 1}, window});
        std::size_t first = 0;
        if (!passed->list->add(identifier, index, first)) {
          if (passed->repeat == Repeat::Error) {
            const Text places = creationPlaces(model, identifier, first, index);
            if (!places.empty()) ctx.log(places);
          }
          ctx.log(passed->messageHead + identifier + passed->messageTail);
          if (passed->repeat == Repeat::Error) return false;
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
      // Gadgets: every "(#" whose command is a gadget creation command, left to right;
      // the command is the name that ends directly before the "(#".
      Text command;
      for (std::size_t p = findFrom(code, "(#"); p != 0; p = findFrom(code, "(#", p + 2)) {
        command = wordBefore(code, p);
        for (char& c : command) c = upperAscii(c);  // a command word is ASCII
        if (!model.GadgetCommandSet.containsUpper(command)) continue;
        std::size_t comma = findChar(code, ',', p + 2);
        Text identifier = comma ? trimBlanks(textBetween(code, p + 2, comma)) : Text();
        if (variableWindow && isPbAnyAt(code, p + 1)) {
          Text name = pbAnyAssignment(code, p);
          if (!name.empty() && gadgetsSeen.insert(upper(name)).second)
            model.GadgetList.push_back({name, command, true});
          continue;
        }
        if (identifier.empty() || isPbAnyName(identifier)) continue;
        model.marks.creating.push_back({{index, p + 1}, false});
        if (gadgetsSeen.insert(upper(identifier)).second) model.GadgetList.push_back({identifier, command});
      }
    }
    if (endsProcedure(line)) procedureHead = nullptr;
  }
  return true;
}

}  // namespace tarnwick
