// Binding the names that vanished since the previous run to new ones: the comparison
// of one kind's names and the taking of the user's answer. Asking the user is the
// run's business.
#pragma once

#include "model/form_model.h"

namespace tarnwick {

// Compares the previous names of one kind with the current ones (after carrying over
// this run's window renames into the prefixes) and fills the model's old and new entry
// lists. True when old entries are left, so that the user must be asked.
bool compareNames(FormModel& model, ObjectKind kind);

// Appends the bound pairs of the Todo list ("OLD > NEW" entries, in order) to the
// ReplaceList with the given kind.
void takeBindings(FormModel& model, ObjectKind kind, const Lines& todo);

// Splits a Todo list entry "OLD > NEW" into its two names, trimmed of blanks. False
// when either name is empty.
bool splitTodoEntry(TextView entry, Text& oldName, Text& newName);

}  // namespace tarnwick
