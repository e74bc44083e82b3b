#include "rewrite/check_constants.h"

namespace tarnwick {

bool checkConstants(RunContext& ctx) {
  ctx.log(U"Generate Code Step 2 ...");
  ctx.log(U"- Check Constants...");
  // Only this run's window bindings may steer the prefix carry-over of the later kinds.
  ctx.model.replaceList.clear();
  for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                          ObjectKind::ToolBar, ObjectKind::Gadget})
    if (!bindKind(ctx, kind)) return false;
  return true;
}

}  // namespace tarnwick
