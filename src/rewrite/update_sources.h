// Step 3: backup, and the bound renames carried into Main.pb, the event files and the
// user's include files.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

// The whole step: backup, the four buffer stages, the include files. It has no
// verdict: step 4 follows whatever happens here.
void updateSources(RunContext& ctx);

// Copies every regular "*.pb*" file of the project directory into its Backup folder.
// Logs "- Error CopyDirectory" once when the folder cannot be read or a copy fails.
void makeBackup(RunContext& ctx);

// The four stages over the buffers of Main.pb, EventMenu.pb, EventGadget.pb and
// EventWindow.pb, each logging its stage line.
void updatePrefixes(RunContext& ctx);
void updateProcedures(RunContext& ctx);
void updateConstants(RunContext& ctx);
void updateOpenWindows(RunContext& ctx);

// Applies the renames to each include file on disk, logging the files it changes.
void updateIncludeFiles(RunContext& ctx);

}  // namespace tarnwick
