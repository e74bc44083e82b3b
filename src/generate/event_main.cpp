#include "generate/event_main.h"

#include <algorithm>

#include "generate/event_files.h"

namespace tarnwick {

namespace {

// Index of the first line that contains text (case-sensitive), or size() when none.
std::size_t findLine(const FileBuffer& buffer, TextView text) {
  for (std::size_t i = 0; i < buffer.size(); ++i)
    if (buffer[i].find(text) != Text::npos) return i;
  return buffer.size();
}

// Inserts lines after the line that follows the marker line, i.e. right after the
// opening line of the procedure's Select block.
void insertIntoSelect(FileBuffer& buffer, TextView marker, const Lines& lines) {
  std::size_t at = findLine(buffer, marker);
  if (at == buffer.size() || lines.empty()) return;
  std::size_t pos = std::min(at + 2, buffer.size());
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(pos), lines.begin(), lines.end());
}

void replaceLine(FileBuffer& buffer, TextView contained, Text replacement) {
  std::size_t at = findLine(buffer, contained);
  if (at < buffer.size()) buffer[at] = std::move(replacement);
}

// The Case lines of the dispatch: "Case " + the object + " : " + its procedure's call.
struct DispatchCases {
  Lines gadget, size, exit;
  // Appends the lines of the constants (variables false) or of the objects held in
  // variables (true), each in list order.
  void add(const FormModel& model, bool variables, const Text& indent) {
    for (const GadgetEntry& g : model.GadgetList)
      if (g.variable == variables && hasEventProcedure(g))
        gadget.push_back(indent + "Case " + objectReference(g.name, g.variable) + " : EventGadget_" + g.name +
                         "(EventType)");
    for (std::size_t i = 0; i < model.WindowList.size(); ++i) {
      if (model.isVariableWindow(i) != variables) continue;
      const Text& name = model.WindowList[i];
      size.push_back(indent + "Case " + objectReference(name, variables) + " : EventSize_" + name + "()");
      exit.push_back(indent + "Case " + objectReference(name, variables) + " : EventExit_" + name + "()");
    }
  }
};

// Gives the dispatch procedure of the marker line, whose body is the call-table test,
// an Else branch that selects among the objects held in variables: PureBasic numbers
// them far beyond the table, so each event still reaches one procedure.
void insertVariableCases(FileBuffer& buffer, TextView marker, const char* subject, const Lines& cases) {
  std::size_t at = findLine(buffer, marker);
  if (cases.empty() || at == buffer.size()) return;
  std::size_t endIf = at + 1;
  while (endIf < buffer.size() && buffer[endIf].find("EndIf") == Text::npos) ++endIf;
  if (endIf == buffer.size()) return;
  Lines branch = {"  Else", "    Select " + Text(subject)};
  branch.insert(branch.end(), cases.begin(), cases.end());
  branch.push_back("    EndSelect");
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(endIf), branch.begin(), branch.end());
}

}  // namespace

void fillPlainDispatch(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventMain;
  Lines menu;
  for (const Text& name : model.MenuItemList)
    menu.push_back("    Case #" + name + " : EventMenu_" + name + "()");
  // The constants come first: a variable of a window that is not open yet holds 0,
  // the number of the first constant, and a Case for it ahead of that constant would
  // take the constant's events.
  DispatchCases cases;
  cases.add(model, false, "    ");
  cases.add(model, true, "    ");
  insertIntoSelect(buffer, "MyEventMenu", menu);
  insertIntoSelect(buffer, "MyEventGadget", cases.gadget);
  insertIntoSelect(buffer, "MyEventSize", cases.size);
  insertIntoSelect(buffer, "MyEventExit", cases.exit);
}

void fillCallTables(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventMain;
  // The tables hold the constants, whose values are their indices; the objects in
  // variables are selected after the table test.
  Lines gadgetTable, windows;
  for (const GadgetEntry& g : model.GadgetList) {
    if (g.variable) continue;
    gadgetTable.push_back(hasEventProcedure(g) ? "    Data.i @EventGadget_" + g.name + "()"
                                               : Text("    Data.i @MyEventDispatch()"));
  }
  for (std::size_t i = 0; i < model.WindowList.size(); ++i)
    if (!model.isVariableWindow(i)) windows.push_back(model.WindowList[i]);
  replaceLine(buffer, "#CallEventMenuCount = 0",
              "#CallEventMenuCount   = " + numberText(static_cast<long long>(model.MenuItemList.size())));
  replaceLine(buffer, "#CallEventGadgetCount = 0",
              "#CallEventGadgetCount = " + numberText(static_cast<long long>(gadgetTable.size())));
  replaceLine(buffer, "#CallEventWindowCount = 0",
              "#CallEventWindowCount = " + numberText(static_cast<long long>(windows.size())));
  DispatchCases variables;
  variables.add(model, true, "      ");
  insertVariableCases(buffer, "MyEventGadget", "GadgetID", variables.gadget);
  insertVariableCases(buffer, "MyEventSize", "WindowID", variables.size);
  insertVariableCases(buffer, "MyEventExit", "WindowID", variables.exit);

  std::size_t at = findLine(buffer, "DataSection");
  if (at == buffer.size()) return;
  Lines table;
  table.push_back("  CallEventMenu:");
  for (const Text& name : model.MenuItemList) table.push_back("    Data.i @EventMenu_" + name + "()");
  table.push_back("  CallEventGadget:");
  // Gadgets without a procedure keep their slot, so the later gadgets keep their index.
  table.insert(table.end(), gadgetTable.begin(), gadgetTable.end());
  table.push_back("  CallEventSize:");
  for (const Text& name : windows) table.push_back("    Data.i @EventSize_" + name + "()");
  table.push_back("  CallEventExit:");
  for (const Text& name : windows) table.push_back("    Data.i @EventExit_" + name + "()");
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(at + 1), table.begin(), table.end());
}

}  // namespace tarnwick
