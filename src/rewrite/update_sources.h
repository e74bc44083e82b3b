// The stages of the source update: backup, and the bound renames carried into
// Main.pb, the event files and the user's include files.
#pragma once

#include <utility>
#include <vector>

#include "model/stage.h"

namespace tarnwick {

// Stages the backup: a copy of every regular "*.pb*" file of the project directory,
// of every include file, of Catalog and of the project file, in its Backup folder.
// Logs "- Error CopyDirectory" and stages nothing when a copy cannot be made.
bool makeBackup(StageContext& ctx);

// One flag per entry of the ReplaceList: its new name is a window or a gadget that the
// form code creates with #PB_Any into a variable of that name, which the user's code
// names without "#": the stages rename the bare name as a whole word too, and the old
// constant to the bare new name.
std::vector<bool> variableBindings(const FormModel& model);
// The whole-word rules of one binding's constant, in their order, each as the text in
// front of the old name and its replacement: "#old" becomes "#new", or the bare new
// name when the binding's new name is a variable, whose bare old name is renamed too.
std::vector<std::pair<Text, Text>> constantRules(const ReplaceEntry& binding, bool variable);

// The four stages over the buffers of Main.pb, EventMenu.pb, EventGadget.pb and
// EventWindow.pb, each logging its stage line.
void updatePrefixes(StageContext& ctx);
void updateProcedures(StageContext& ctx);
void updateConstants(StageContext& ctx);
void updateOpenWindows(StageContext& ctx);

// Applies the renames to each include file, staging the new content of the files it
// changes and logging them. False when a changed file could not be staged.
bool updateIncludeFiles(StageContext& ctx);

}  // namespace tarnwick
