// Undoing the last run: the files of its backup put back where they came from, through
// the same lock and one commit as a run, with the versions they replace kept in the
// backup in their place, so that a second restore redoes the run.
#pragma once

#include "run/run.h"

namespace tarnwick {

enum class RestoreEnd { Restored, NoBackup, Failed, Busy };

// The message of a restore that finds no backup made by a run.
extern const char* const kNoBackupMessage;

// Restores the project folder of ctx.model.ProjectPath from its Backup, logging each
// file it puts back or removes.
RestoreEnd restoreBackup(StageContext& ctx);

}  // namespace tarnwick
