// The duplicate identifier checks that fill the six object lists.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

bool checkDuplicates(RunContext& ctx);

}  // namespace tarnwick
