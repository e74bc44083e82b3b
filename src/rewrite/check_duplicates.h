// The duplicate identifier checks that fill the six object lists.
#pragma once

#include "model/stage.h"

namespace tarnwick {

bool checkDuplicates(StageContext& ctx);

}  // namespace tarnwick
