#include "app/core/run.h"

#include "generate/step4.h"
#include "interpret/step1.h"
#include "rewrite/check_constants.h"
#include "rewrite/update_sources.h"

namespace tarnwick {

bool runGeneration(RunContext& ctx) {
  ctx.host.closeStartDialog();
  if (!generateStep1(ctx) || !checkConstants(ctx)) {
    ctx.log(U"Cancel.");
    ctx.log(U"");
    ctx.host.enableMainWindow();
    return false;
  }
  updateSources(ctx);
  generateStep4(ctx);  // ends the run with "Ready."
  return true;
}

}  // namespace tarnwick
