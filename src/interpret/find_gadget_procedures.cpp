// Finds the procedures of the form code that create a gadget for their caller: a
// procedure whose first parameter is the gadget's number and which passes it on as the
// first argument of a gadget command, after it x, y, width and height
// (Procedure GridGadget(id, x, y, width, height) holding ScrollAreaGadget(id, ...)).
// A call GridGadget(#Grid, 10, 10, 200, 100) then creates the gadget #Grid as a
// gadget command would. A procedure that hands its number to another such procedure
// is one too.
#include "interpret/passes.h"
#include "model/form_code.h"

namespace tarnwick {

namespace {

// The parameters of a procedure head, split at the commas outside strings and nested
// parentheses, each trimmed of blanks and tabs.
Lines parametersOf(const Text& head) {
  Lines parameters;
  std::size_t open = head.find('(');
  if (open == Text::npos) return parameters;
  int depth = 0;
  std::size_t start = open + 1;
  for (std::size_t i = codeChar(head, open + 1); i < head.size(); i = codeChar(head, i + 1)) {
    char c = head[i];
    if (c == '(') ++depth;
    if (c == ')' && depth-- == 0) {
      parameters.push_back(trimBlanksTabs(TextView(head).substr(start, i - start)));
      break;
    }
    if (c == ',' && depth == 0) {
      parameters.push_back(trimBlanksTabs(TextView(head).substr(start, i - start)));
      start = i + 1;
    }
  }
  if (parameters.size() == 1 && parameters[0].empty()) parameters.clear();
  return parameters;
}

// The name of a plain parameter ("id", "id.i", "id = 0"), upper-cased; empty for an
// array, list, map or pointer parameter, which cannot be a gadget's number.
Text parameterName(const Text& parameter) {
  std::size_t end = 0;
  while (end < parameter.size() && isIdentifierChar(parameter[end])) ++end;
  if (end == 0) return Text();
  std::size_t next = end;
  while (next < parameter.size() && (parameter[next] == ' ' || parameter[next] == '\t')) ++next;
  // "List items.s()", "Array a(1)", "Map m()": a word and a blank before the name.
  if (next > end && next < parameter.size() && isIdentifierChar(parameter[next])) return Text();
  return upper(TextView(parameter).substr(0, end));
}

// The upper-cased command words of the calls on the line whose first argument is the
// plain name name (upper case), followed by more arguments.
void addCallsPassing(const Text& line, const Text& name, Lines& commands) {
  for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
    if (line[i] != '(') continue;
    std::size_t a = i + 1;
    while (a < line.size() && (line[a] == ' ' || line[a] == '\t')) ++a;
    std::size_t end = a;
    while (end < line.size() && isIdentifierChar(line[end])) ++end;
    if (end - a != name.size() || upper(TextView(line).substr(a, end - a)) != name) continue;
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t')) ++end;
    if (end >= line.size() || line[end] != ',') continue;
    Text word = upper(commandBefore(line, i + 1));
    if (!word.empty()) commands.push_back(word);
  }
}

struct Candidate {
  Text name;      // upper-cased procedure name
  Lines commands;  // the calls that receive its first parameter
};

}  // namespace

void FindGadgetProcedures(FormModel& model) {
  std::vector<Candidate> candidates;
  Candidate* current = nullptr;
  Text parameter;
  for (const Text& line : model.FormCodeLines) {
    Text name = procedureHeadName(line);
    if (!name.empty()) {
      current = nullptr;
      Lines parameters = parametersOf(line);
      // The gadget's number, x, y, width and height at least.
      if (parameters.size() >= 5) {
        parameter = parameterName(parameters[0]);
        if (!parameter.empty()) {
          candidates.push_back({upper(name), {}});
          current = &candidates.back();
        }
      }
      continue;
    }
    if (!current) continue;
    if (endsProcedure(line)) {
      current = nullptr;
      continue;
    }
    if (line.find('(') != Text::npos) addCallsPassing(line, parameter, current->commands);
  }

  // A procedure creates a gadget when one of its calls is a gadget command or a
  // procedure found so far; each round finds those one call further away.
  for (bool found = true; found;) {
    found = false;
    for (Candidate& c : candidates) {
      if (model.GadgetProcedureSet.containsUpper(c.name)) continue;
      for (const Text& command : c.commands) {
        if (model.GadgetCommandSet.containsCall(command) || model.GadgetProcedureSet.containsCall(command)) {
          model.GadgetProcedureSet.insert(c.name);
          found = true;
          break;
        }
      }
    }
  }
}

}  // namespace tarnwick
