// Undoing the last run: the files of its backup put back where they came from, through
// the same lock and one commit as a run, with the versions they replace kept in the
// backup in their place, so that a second restore redoes the run.
#pragma once

#include <functional>

#include "run/run.h"

namespace tarnwick {

enum class RestoreEnd { Restored, NoBackup, Failed, Busy, Declined };

// The message of a restore that finds no backup made by a run.
extern const char* const kNoBackupMessage;

// Asked with the files that changed after the run that the restore undoes; true to
// replace them all the same.
using ConfirmReplace = std::function<bool(const std::vector<std::string>& files)>;

// Restores the project folder of ctx.model.ProjectPath from its Backup, logging each
// file it puts back or removes. Only files of the project folder (reached through no
// linked folder) and the include files that Main.pb names now are touched, and a copy
// is never read through a link; a record that names anything else is refused. A
// restore that was cut off is completed, not done a second time. Files that changed
// after the run are named to confirm first; without confirm they are not replaced.
RestoreEnd restoreBackup(StageContext& ctx, const ConfirmReplace& confirm = {});

}  // namespace tarnwick
