// Makes every window after the first a child of the first window: its OpenWindow call
// gets the first window's WindowID as parent (and PB_Any as flags when it has none).
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

namespace {

// The arguments of a call, split at the commas outside string literals, so that a
// window title with a comma stays one argument. Each field keeps its blanks.
Lines splitArguments(const Text& arguments) {
  // One pass that tracks the string literals, rather than a search from the start of
  // the text for every comma.
  Lines fields;
  bool inString = false;
  std::size_t from = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == '"') inString = !inString;
    if (inString || arguments[i] != ',') continue;
    fields.push_back(arguments.substr(from, i - from));
    from = i + 1;
  }
  fields.push_back(arguments.substr(from));
  return fields;
}

Text joinFields(const Lines& fields, std::size_t count) {
  Text out;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) out += ",";
    out += fields[i];
  }
  return out;
}

}  // namespace

void AttachToParentWindow(FormModel& model) {
  bool first = true;
  Text parent;
  for (Text& line : model.FormCodeLines) {
    const std::size_t call = FindNoCase(line, "OPENWINDOW(#");
    if (call == 0) continue;
    std::size_t open = findChar(line, '(');
    if (first) {
      // A window in a comment opens nothing and can be no parent: the parent is the
      // first window the code opens. Commented-out windows after it are rebuilt like
      // the others, so that they read right when the user takes the comment away.
      if (FindNoCase(codePart(line), "OPENWINDOW(#") == 0) continue;
      first = false;
      std::size_t comma = findChar(line, ',');
      if (comma > open) parent = trimBlanks(textBetween(line, open + 1, comma));
      // A first window opened with #PB_Any is known by the variable it went into.
      if (isPbAnyAt(line, open + 1)) parent = pbAnyAssignment(line, call + 10);
      continue;
    }
    // The argument text ends at the ")" that closes the call, so a comment or a
    // second call behind it is not taken for window arguments.
    std::size_t close = closingParenthesis(line, open);
    if (parent.empty() || close == 0) continue;
    Lines fields = splitArguments(textBetween(line, open + 1, close));
    // A window has at least six arguments, the title being the sixth; with fewer the
    // parent cannot be placed and the line stays as it is.
    if (fields.size() < 6) continue;
    Text arguments;
    if (fields.size() < 7 || trimBlanks(fields[6]).empty())
      arguments = joinFields(fields, 6) + ", PB_Any, WindowID(" + parent + ")";
    else
      arguments = joinFields(fields, 7) + ", WindowID(" + parent + ")";
    line = textBetween(line, 1, open + 1) + arguments + textFrom(line, close);
  }
}

}  // namespace tarnwick
