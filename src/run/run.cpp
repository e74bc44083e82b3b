#include "run/run.h"

#include "run/steps.h"

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
