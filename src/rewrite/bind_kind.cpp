// Binding one kind of names: the comparison of previous and current names, the window
// prefix carry-over, and taking the user's bindings into the ReplaceList.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "rewrite/bind_kind.h"
#include "rewrite/window_names.h"

namespace tarnwick {

namespace {

// Objects of a window carry its name and "_" as their prefix, so a window bound to a
// new name takes its objects along: their previous names get the new prefix. A
// binding moves only the names that belong to its window, not those of a window whose
// name begins with it (Main_Options_Ok stays when Main is renamed). The bindings act
// in order, so a name renamed by one may be renamed again by a later one.
void carryOverWindowPrefixes(const FormModel& model, Lines& previousNames) {
  const ReplaceList& bindings = model.replaceList;
  // Upper-cased old window name -> the window bindings of that name, in order.
  std::unordered_map<Text, std::vector<std::size_t>> byWindow;
  for (std::size_t i = 0; i < bindings.size(); ++i)
    if (bindings[i].kind == ObjectKind::Window) byWindow[upper(bindings[i].oldName)].push_back(i);
  if (byWindow.empty()) return;
  const WindowNames windows = windowNamesOf(model);
  for (Text& name : previousNames) {
    std::size_t next = 0;  // the first binding not yet applied to the name
    for (;;) {
      std::size_t owner = windows.ownerLength(name);
      // Only an object's name goes on behind its window's name with "_".
      if (owner == 0 || owner == name.size() || name[owner] != '_') break;
      auto it = byWindow.find(upper(TextView(name).substr(0, owner)));
      if (it == byWindow.end()) break;
      // The old name must begin the name exactly, case included.
      const ReplaceEntry* entry = nullptr;
      for (auto at = std::lower_bound(it->second.begin(), it->second.end(), next); at != it->second.end(); ++at)
        if (name.compare(0, owner, bindings[*at].oldName) == 0) {
          entry = &bindings[*at];
          next = *at + 1;
          break;
        }
      if (!entry) break;
      name = entry->newName + name.substr(owner);
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
  if (kind != ObjectKind::Window) carryOverWindowPrefixes(model, workingOld);
  // The current names are only read: the gadgets' are gathered, the others used as they are.
  Lines gadgetNames;
  if (kind == ObjectKind::Gadget) gadgetNames = model.currentNames(kind);
  const Lines& workingNew = kind == ObjectKind::Gadget ? gadgetNames : model.nameList(kind);

  model.oldEntryList.clear();
  model.newEntryList.clear();
  // Both lists outlive the sets, which only look at their names.
  const std::unordered_set<TextView> oldSet(workingOld.begin(), workingOld.end());
  const std::unordered_set<TextView> newSet(workingNew.begin(), workingNew.end());
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
