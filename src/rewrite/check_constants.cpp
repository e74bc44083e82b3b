#include "rewrite/check_constants.h"

namespace tarnwick {

bool checkConstants(RunContext& ctx) {
  ctx.log(U"Generate Code Step 2 ...");
  ctx.log(U"- Check Constants...");
  ctx.model.replaceList.clear();
  return true;
}

}  // namespace tarnwick
