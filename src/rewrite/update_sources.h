// The stages of the source update: backup, and the bound renames carried into
// Main.pb, the event files and the user's include files.
#pragma once

#include "model/stage.h"

namespace tarnwick {

// Copies every regular "*.pb*" file of the project directory into its Backup folder.
// Logs "- Error CopyDirectory" once when the folder cannot be read or a copy fails.
void makeBackup(StageContext& ctx);

// The four stages over the buffers of Main.pb, EventMenu.pb, EventGadget.pb and
// EventWindow.pb, each logging its stage line.
void updatePrefixes(StageContext& ctx);
void updateProcedures(StageContext& ctx);
void updateConstants(StageContext& ctx);
void updateOpenWindows(StageContext& ctx);

// Applies the renames to each include file on disk, logging the files it changes.
void updateIncludeFiles(StageContext& ctx);

}  // namespace tarnwick
