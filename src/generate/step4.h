// Step 4: generating, writing the files, saving the project and ending the run.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

void generateStep4(RunContext& ctx);

}  // namespace tarnwick
