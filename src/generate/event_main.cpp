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

}  // namespace

void fillPlainDispatch(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventMain;
  Lines menu, gadget, size, exit;
  for (const Text& name : model.MenuItemList)
    menu.push_back("    Case #" + name + " : EventMenu_" + name + "()");
  for (const GadgetEntry& g : model.GadgetList)
    if (hasEventProcedure(g)) gadget.push_back("    Case #" + g.name + " : EventGadget_" + g.name + "(EventType)");
  for (const Text& name : model.WindowList) {
    size.push_back("    Case #" + name + " : EventSize_" + name + "()");
    exit.push_back("    Case #" + name + " : EventExit_" + name + "()");
  }
  insertIntoSelect(buffer, "MyEventMenu", menu);
  insertIntoSelect(buffer, "MyEventGadget", gadget);
  insertIntoSelect(buffer, "MyEventSize", size);
  insertIntoSelect(buffer, "MyEventExit", exit);
}

void fillCallTables(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventMain;
  replaceLine(buffer, "#CallEventMenuCount = 0",
              "#CallEventMenuCount   = " + numberText(static_cast<long long>(model.MenuItemList.size())));
  replaceLine(buffer, "#CallEventGadgetCount = 0",
              "#CallEventGadgetCount = " + numberText(static_cast<long long>(model.GadgetList.size())));
  replaceLine(buffer, "#CallEventWindowCount = 0",
              "#CallEventWindowCount = " + numberText(static_cast<long long>(model.WindowList.size())));

  std::size_t at = findLine(buffer, "DataSection");
  if (at == buffer.size()) return;
  Lines table;
  table.push_back("  CallEventMenu:");
  for (const Text& name : model.MenuItemList) table.push_back("    Data.i @EventMenu_" + name + "()");
  table.push_back("  CallEventGadget:");
  // Gadgets without a procedure keep their slot, so the later gadgets keep their index.
  for (const GadgetEntry& g : model.GadgetList)
    table.push_back(hasEventProcedure(g) ? "    Data.i @EventGadget_" + g.name + "()"
                                         : Text("    Data.i @MyEventDispatch()"));
  table.push_back("  CallEventSize:");
  for (const Text& name : model.WindowList) table.push_back("    Data.i @EventSize_" + name + "()");
  table.push_back("  CallEventExit:");
  for (const Text& name : model.WindowList) table.push_back("    Data.i @EventExit_" + name + "()");
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(at + 1), table.begin(), table.end());
}

}  // namespace tarnwick
