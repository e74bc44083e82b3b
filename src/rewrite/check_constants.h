// Step 2: binding the names that vanished since the previous run to new ones.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

bool checkConstants(RunContext& ctx);

}  // namespace tarnwick
