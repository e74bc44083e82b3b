#include "generate/step4.h"

#include "generate/file_set.h"
#include "project/project_file.h"

namespace tarnwick {

void generateStep4(RunContext& ctx) {
  FormModel& m = ctx.model;
  ctx.log(U"Generate Code Step 4 ...");
  ctx.log(U"- Create new code...");
  ctx.log(U" -> Count Window: " + numberText(static_cast<long long>(m.WindowList.size())));
  ctx.log(U" -> Count MenuBar: " + numberText(static_cast<long long>(m.MenuBarList.size())));
  ctx.log(U" -> Count MenuItem: " + numberText(static_cast<long long>(m.MenuItemList.size())));
  ctx.log(U" -> Count StatusBar: " + numberText(static_cast<long long>(m.StatusBarList.size())));
  ctx.log(U" -> Count ToolBar: " + numberText(static_cast<long long>(m.ToolBarList.size())));
  ctx.log(U" -> Count Gadget: " + numberText(static_cast<long long>(m.GadgetList.size())));
  ctx.log(U" -> Count Image: " + numberText(static_cast<long long>(m.ImageList.size())));
  ctx.log(U"- Write Files...");
  writeGeneratedFiles(ctx);
  writeProjectFile(ctx.fs, toUtf8(m.ProjectPath), ctx.fileRows, m, true);
  adoptCurrentNames(m);
  ctx.log(U"Ready.");
  ctx.log(U"");
  ctx.host.enableMainWindow();
}

}  // namespace tarnwick
