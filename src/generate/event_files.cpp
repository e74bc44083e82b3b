#include "generate/event_files.h"

namespace tarnwick {

namespace {

// Every head begins with this text and ends at its only ")".
const Text kHeadStart = "Procedure Event";

Lines separatorBlock() { return {Text(), SeparatorLine(), Text()}; }

// Appends the header of a new event file when the buffer is empty.
void ensureHeader(FileBuffer& buffer, const char* title) {
  if (!buffer.empty()) return;
  buffer = {";-TOP", Text(), title};
  for (Text& line : separatorBlock()) buffer.push_back(std::move(line));
}

// Appends a procedure block unless its head is present already; the body is made only
// for a procedure that is new (on a later run nearly every one is there already).
template <typename MakeBody>
void appendUnlessPresent(FileBuffer& buffer, HeadIndex& index, const Text& head, MakeBody makeBody) {
  if (index.contains(head)) return;
  Lines body = makeBody();
  body.insert(body.begin(), head);
  body.push_back("EndProcedure");
  for (Text& line : separatorBlock()) body.push_back(std::move(line));
  for (Text& line : body) {
    buffer.push_back(std::move(line));
    index.add(buffer.back());
  }
}

Text head(const char* start, const Text& name, const char* end) {
  Text h;
  h.reserve(std::char_traits<char>::length(start) + name.size() + std::char_traits<char>::length(end));
  return h.append(start).append(name).append(end);
}

}  // namespace

HeadIndex::HeadIndex(const Lines& lines) : lines_(lines) {
  for (const Text& line : lines) add(line);
}

void HeadIndex::add(const Text& line) {
  // A head found anywhere in a line runs from "Procedure Event" to the first ")"
  // after it, so each such stretch is one candidate head.
  for (std::size_t p = line.find(kHeadStart); p != Text::npos; p = line.find(kHeadStart, p + 1)) {
    std::size_t close = line.find(')', p + kHeadStart.size());
    if (close == Text::npos) break;
    heads_.insert(line.substr(p, close - p + 1));
  }
}

bool HeadIndex::contains(const Text& head) const {
  std::size_t close = head.find(')');
  if (startsWith(head, kHeadStart) && close == head.size() - 1) return heads_.count(head) > 0;
  // A name holding ")" does not fit the index; search the lines themselves.
  for (const Text& line : lines_)
    if (line.find(head) != Text::npos) return true;
  return false;
}

Text menuHead(const Text& name) { return head("Procedure EventMenu_", name, "()"); }
Text sizeHead(const Text& name) { return head("Procedure EventSize_", name, "()"); }
Text exitHead(const Text& name) { return head("Procedure EventExit_", name, "()"); }
Text gadgetHead(const Text& name) { return head("Procedure EventGadget_", name, "(EventType)"); }

bool hasEventProcedure(const GadgetEntry& gadget) {
  return gadget.kind != "TEXTGADGET" && gadget.kind != "FRAME3DGADGET" && gadget.kind != "FRAMEGADGET";
}

void appendMenuProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventMenu;
  ensureHeader(buffer, "; Tarnwick Event Menu");
  HeadIndex index(buffer);
  for (const Text& name : model.MenuItemList)
    appendUnlessPresent(buffer, index, menuHead(name), [] { return Lines{"  "}; });
}

void appendSizeProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventWindow;
  ensureHeader(buffer, "; Tarnwick Event Window");
  HeadIndex index(buffer);
  for (const Text& name : model.WindowList)
    appendUnlessPresent(buffer, index, sizeHead(name), [] { return Lines{"  "}; });
}

void appendExitProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventWindow;
  ensureHeader(buffer, "; Tarnwick Event Window");
  HeadIndex index(buffer);
  for (std::size_t i = 0; i < model.WindowList.size(); ++i) {
    const Text& name = model.WindowList[i];
    // Closing the first window ends the application; any other only closes itself.
    appendUnlessPresent(buffer, index, exitHead(name), [&] {
      return Lines{i == 0 ? Text("  ExitApplication = 1")
                          : "  CloseWindow(" + objectReference(name, model.isVariableWindow(i)) + ")"};
    });
  }
}

void appendGadgetProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventGadget;
  ensureHeader(buffer, "; Tarnwick Event Gadget");
  HeadIndex index(buffer);
  for (const GadgetEntry& gadget : model.GadgetList) {
    if (!hasEventProcedure(gadget)) continue;
    appendUnlessPresent(buffer, index, gadgetHead(gadget.name), [] {
      return Lines{"  ", "  Select EventType", "    Case #PB_EventType_LeftClick", Text(6, ' '), "  EndSelect", "  "};
    });
  }
}

}  // namespace tarnwick
