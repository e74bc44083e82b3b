#include "generate/event_files.h"

namespace tarnwick {

namespace {

// Every head begins with this text and ends at its only ")".
const Text kHeadStart = "Procedure Event";

Lines separatorBlock() { return {Text(), SeparatorLine(), Text()}; }

// Where new procedures go: before the settings block that the PureBasic editor keeps
// at the end of a file (a run of comment lines from "; IDE Options" to the end), so
// that the block stays last, where the editor looks for it; the end of the buffer
// when there is none. Every line of the file stays, the user's notes included.
std::size_t insertionPoint(const FileBuffer& buffer) {
  std::size_t start = buffer.size();
  while (start > 0 && !buffer[start - 1].empty() && buffer[start - 1][0] == ';') --start;
  for (std::size_t i = start; i < buffer.size(); ++i)
    if (startsWith(buffer[i], "; IDE Options")) return i;
  return buffer.size();
}

// The part of a separator block that the lines before at lack, so that new procedures
// stand apart from a user's own last procedure as generated procedures stand apart
// from each other; nothing before the first line.
Lines missingSeparator(const FileBuffer& buffer, std::size_t at) {
  if (at == 0) return {};
  const Text separator = SeparatorLine();
  if (buffer[at - 1] == separator) return {Text()};
  if (!buffer[at - 1].empty()) return separatorBlock();
  if (at >= 2 && buffer[at - 2] == separator) return {};
  return {separator, Text()};
}

// Writes the header of a new event file into a buffer that holds nothing, or nothing
// but the editor's settings block.
void ensureHeader(FileBuffer& buffer, const char* title) {
  if (insertionPoint(buffer) != 0) return;
  Lines header = {";-TOP", Text(), title};
  for (Text& line : separatorBlock()) header.push_back(std::move(line));
  buffer.insert(buffer.begin(), std::make_move_iterator(header.begin()), std::make_move_iterator(header.end()));
}

// Adds a procedure block for each head of `heads` that is not present already, its
// body from makeBody(i) (of the same number of lines for every i); a body is made only
// for a procedure that is new (on a later run nearly every one is there already). The
// new blocks go where insertionPoint says, all at once, so that the buffer grows once,
// by exactly the new lines: a large project's event file is not left with the room of
// a doubled line list.
template <typename MakeBody>
void appendMissing(FileBuffer& buffer, HeadIndex& index, const Lines& heads, MakeBody makeBody) {
  std::vector<std::size_t> missing;
  for (std::size_t i = 0; i < heads.size(); ++i)
    if (!index.contains(heads[i])) missing.push_back(i);
  if (missing.empty()) return;
  const std::size_t at = insertionPoint(buffer);
  Lines blocks = missingSeparator(buffer, at);
  std::unordered_set<Text> added;
  // Each block: head, body, "EndProcedure" and a separator block of three lines.
  blocks.reserve(blocks.size() + missing.size() * (makeBody(missing.front()).size() + 5));
  for (std::size_t i : missing) {
    // Two equal heads in the list give one procedure, as they always did.
    if (!added.insert(heads[i]).second || index.contains(heads[i])) continue;
    Lines body = makeBody(i);
    body.insert(body.begin(), heads[i]);
    body.push_back("EndProcedure");
    for (Text& line : separatorBlock()) body.push_back(std::move(line));
    for (Text& line : body) {
      blocks.push_back(std::move(line));
      index.add(blocks.back());
    }
  }
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(blocks.begin()),
                std::make_move_iterator(blocks.end()));
}

template <typename HeadOf, typename Items>
Lines headsOf(const Items& items, HeadOf headOf) {
  Lines heads;
  heads.reserve(items.size());
  for (const auto& item : items) heads.push_back(headOf(item));
  return heads;
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
  appendMissing(buffer, index, headsOf(model.MenuItemList, menuHead), [](std::size_t) { return Lines{"  "}; });
}

void appendSizeProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventWindow;
  ensureHeader(buffer, "; Tarnwick Event Window");
  HeadIndex index(buffer);
  // A window whose form code fits its gadgets to its size in a procedure of the
  // designer's calls that procedure.
  appendMissing(buffer, index, headsOf(model.WindowList, sizeHead), [&](std::size_t i) {
    if (i < model.ResizeProcedureList.size() && !model.ResizeProcedureList[i].empty())
      return Lines{"  " + model.ResizeProcedureList[i] + "()"};
    return Lines{"  "};
  });
}

void appendExitProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventWindow;
  ensureHeader(buffer, "; Tarnwick Event Window");
  HeadIndex index(buffer);
  // Closing the first window ends the application; any other only closes itself.
  appendMissing(buffer, index, headsOf(model.WindowList, exitHead), [&](std::size_t i) {
    return Lines{i == 0 ? Text("  ExitApplication = 1")
                        : "  CloseWindow(" + objectReference(model.WindowList[i], model.isVariableWindow(i)) + ")"};
  });
}

void appendGadgetProcedures(FormModel& model) {
  FileBuffer& buffer = model.buffers.eventGadget;
  ensureHeader(buffer, "; Tarnwick Event Gadget");
  HeadIndex index(buffer);
  Lines heads;
  for (const GadgetEntry& gadget : model.GadgetList)
    if (hasEventProcedure(gadget)) heads.push_back(gadgetHead(gadget.name));
  appendMissing(buffer, index, heads, [](std::size_t) {
    return Lines{"  ", "  Select EventType", "    Case #PB_EventType_LeftClick", Text(6, ' '), "  EndSelect", "  "};
  });
}

}  // namespace tarnwick
