// Binding one kind of names: the comparison of previous and current names, the window
// prefix carry-over, and taking the user's bindings into the ReplaceList.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "rewrite/bind_kind.h"

namespace tarnwick {

namespace {

// Objects of a window carry its name and "_" as their prefix, so a window bound to a
// new name takes its objects along: their previous names get the new prefix. The
// bindings act in order, so a name renamed by one may be renamed again by a later one.
void carryOverWindowPrefixes(const ReplaceList& bindings, Lines& previousNames) {
  // Old prefix -> the window bindings with that prefix, in order.
  std::unordered_map<Text, std::vector<std::size_t>> byPrefix;
  for (std::size_t i = 0; i < bindings.size(); ++i)
    if (bindings[i].kind == ObjectKind::Window) byPrefix[bindings[i].oldName + "_"].push_back(i);
  if (byPrefix.empty()) return;
  for (Text& name : previousNames) {
    // A prefix ends at a "_"; the next binding to apply is the first one after the
    // last applied whose prefix the name starts with.
    std::size_t next = 0;
    for (;;) {
      std::size_t best = bindings.size();
      for (std::size_t u = name.find('_'); u != Text::npos; u = name.find('_', u + 1)) {
        auto it = byPrefix.find(name.substr(0, u + 1));
        if (it == byPrefix.end()) continue;
        auto at = std::lower_bound(it->second.begin(), it->second.end(), next);
        if (at != it->second.end()) best = std::min(best, *at);
      }
      if (best == bindings.size()) break;
      const ReplaceEntry& entry = bindings[best];
      name = entry.newName + "_" + name.substr(entry.oldName.size() + 1);
      next = best + 1;
    }
  }
}

}  // namespace

bool splitTodoEntry(TextView entry, Text& oldName, Text& newName) {
  std::size_t first = entry.find('>');
  if (first == TextView::npos) return false;
  std::size_t second = entry.find('>', first + 1);
  oldName = trimBlanks(entry.substr(0, first));
  newName = trimBlanks(entry.substr(first + 1, second == TextView::npos ? TextView::npos : second - first - 1));
  return !oldName.empty() && !newName.empty();
}

bool compareNames(FormModel& model, ObjectKind kind) {
  Lines workingOld = model.previousList(kind);
  Lines workingNew = model.currentNames(kind);
  if (kind != ObjectKind::Window) carryOverWindowPrefixes(model.replaceList, workingOld);

  model.oldEntryList.clear();
  model.newEntryList.clear();
  const std::unordered_set<Text> oldSet(workingOld.begin(), workingOld.end());
  const std::unordered_set<Text> newSet(workingNew.begin(), workingNew.end());
  for (const Text& name : workingOld)
    if (!newSet.count(name)) model.oldEntryList.push_back(name);
  for (const Text& name : workingNew)
    if (!oldSet.count(name)) model.newEntryList.push_back(name);
  return !model.oldEntryList.empty();
}

void takeBindings(FormModel& model, ObjectKind kind, const Lines& todo) {
  for (const Text& entry : todo) {
    Text oldName, newName;
    // An entry without both names would turn into a rewrite of every bare "#".
    if (splitTodoEntry(entry, oldName, newName)) model.replaceList.push_back({oldName, newName, kind});
  }
}

}  // namespace tarnwick
