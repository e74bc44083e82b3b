// Step 2: binding the names that vanished since the previous run to new ones.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

// Runs the binding of every object kind in order; false when the user cancelled.
bool checkConstants(RunContext& ctx);

// Binds the vanished names of one kind: compares the previous names with the current
// ones (after carrying over this run's window renames into the prefixes), asks the
// host when old names are left, and appends the bound pairs to the ReplaceList.
// False when the user cancelled.
bool bindKind(RunContext& ctx, ObjectKind kind);

// Splits a Todo list entry "OLD > NEW" into its two names, trimmed of blanks. False
// when either name is empty.
bool splitTodoEntry(TextView entry, Text& oldName, Text& newName);

}  // namespace tarnwick
