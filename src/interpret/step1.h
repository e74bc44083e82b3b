// Step 1 of a run: loading and interpreting the project's sources.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

bool generateStep1(RunContext& ctx);

}  // namespace tarnwick
