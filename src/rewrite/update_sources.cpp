#include "rewrite/update_sources.h"

namespace tarnwick {

void updateSources(RunContext& ctx) {
  ctx.log(U"Generate Code Step 3 ...");
  ctx.log(U"- Make Backup...");
  ctx.log(U"- Update Prefix");
  ctx.log(U"- Update Procedure");
  ctx.log(U"- Update Constants");
  ctx.log(U"- Update Open Window");
  ctx.log(U"- Update IncludeFiles");
}

}  // namespace tarnwick
