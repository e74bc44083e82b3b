// Step 3: backup, and the bound renames carried into Main.pb, the event files and the
// user's include files.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

void updateSources(RunContext& ctx);

}  // namespace tarnwick
