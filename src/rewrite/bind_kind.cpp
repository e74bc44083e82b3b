// Binding one kind of names: the comparison of previous and current names, the window
// prefix carry-over, and taking the user's bindings into the ReplaceList.
#include <algorithm>

#include "rewrite/check_constants.h"

namespace tarnwick {

namespace {

bool contains(const Lines& names, const Text& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Objects of a window carry its name and "_" as their prefix, so a window bound to a
// new name takes its objects along: their previous names get the new prefix.
void carryOverWindowPrefixes(const ReplaceList& bindings, Lines& previousNames) {
  for (const ReplaceEntry& entry : bindings) {
    if (entry.kind != ObjectKind::Window) continue;
    Text oldPrefix = entry.oldName + U"_";
    Text newPrefix = entry.newName + U"_";
    for (Text& name : previousNames)
      if (startsWith(name, oldPrefix)) name = newPrefix + name.substr(oldPrefix.size());
  }
}

}  // namespace

bool splitTodoEntry(TextView entry, Text& oldName, Text& newName) {
  std::size_t first = entry.find(U'>');
  if (first == TextView::npos) return false;
  std::size_t second = entry.find(U'>', first + 1);
  oldName = trimBlanks(entry.substr(0, first));
  newName = trimBlanks(entry.substr(first + 1, second == TextView::npos ? TextView::npos : second - first - 1));
  return !oldName.empty() && !newName.empty();
}

bool bindKind(RunContext& ctx, ObjectKind kind) {
  FormModel& model = ctx.model;
  Lines workingOld = model.previousList(kind);
  Lines workingNew = model.currentNames(kind);
  if (kind != ObjectKind::Window) carryOverWindowPrefixes(model.replaceList, workingOld);

  model.oldEntryList.clear();
  model.newEntryList.clear();
  for (const Text& name : workingOld)
    if (!contains(workingNew, name)) model.oldEntryList.push_back(name);
  for (const Text& name : workingNew)
    if (!contains(workingOld, name)) model.newEntryList.push_back(name);
  if (model.oldEntryList.empty()) return true;

  BindAnswer answer = ctx.host.askBindings(kind, model.oldEntryList, model.newEntryList);
  if (answer.answer == 2) return false;
  for (const Text& entry : answer.todo) {
    Text oldName, newName;
    // An entry without both names would turn into a rewrite of every bare "#".
    if (splitTodoEntry(entry, oldName, newName)) model.replaceList.push_back({oldName, newName, kind});
  }
  return true;
}

}  // namespace tarnwick
