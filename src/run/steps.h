// The four steps of a run, each the ordered list of its stages.
#pragma once

#include "run/run.h"

namespace tarnwick {

// Step 1: loading and interpreting the project's sources. False ends the run.
bool generateStep1(RunContext& ctx);
// Step 2: binding the vanished names kind by kind; false when the user cancelled.
bool checkConstants(RunContext& ctx);
// Binds the vanished names of one kind, asking the host when old names are left.
bool bindKind(RunContext& ctx, ObjectKind kind);
// Step 3: backup and the bound renames carried into the sources. False, after its stop
// line, when the backup or a changed include file could not be written.
bool updateSources(RunContext& ctx);
// Step 4: generating, staging the files and the project file, the commit, and the
// "Ready." ending. False, after its stop line, when a file could not be written.
bool generateStep4(RunContext& ctx);

}  // namespace tarnwick
