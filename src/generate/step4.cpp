#include "generate/step4.h"

#include "generate/common_file.h"
#include "generate/event_files.h"
#include "generate/event_main.h"
#include "generate/file_set.h"
#include "project/project_file.h"

namespace tarnwick {

void generateStep4(RunContext& ctx) {
  FormModel& m = ctx.model;
  ctx.log(U"Generate Code Step 4 ...");
  ctx.log(U"- Create new code...");
  rewriteFirstWindowLines(m);
  assembleCommonFile(m);
  if (m.switches.UseCallFast == 1) fillCallTables(m);
  else fillPlainDispatch(m);
  appendMenuProcedures(m);
  appendSizeProcedures(m);
  appendExitProcedures(m);
  appendGadgetProcedures(m);

  ctx.log(U" -> Count Window: " + numberText(static_cast<long long>(m.WindowList.size())));
  ctx.log(U" -> Count MenuBar: " + numberText(static_cast<long long>(m.MenuBarList.size())));
  ctx.log(U" -> Count MenuItem: " + numberText(static_cast<long long>(m.MenuItemList.size())));
  ctx.log(U" -> Count StatusBar: " + numberText(static_cast<long long>(m.StatusBarList.size())));
  ctx.log(U" -> Count ToolBar: " + numberText(static_cast<long long>(m.ToolBarList.size())));
  ctx.log(U" -> Count Gadget: " + numberText(static_cast<long long>(m.GadgetList.size())));
  ctx.log(U" -> Count Image: " + numberText(static_cast<long long>(m.ImageList.size())));
  ctx.log(U"- Write Files...");
  bool written = writeGeneratedFiles(ctx);

  // The names of this run become the ones the next run binds against only when every
  // file holding them was written; otherwise the next run must bind again.
  std::string projectPath = toUtf8(m.ProjectPath);
  if (!writeProjectFile(ctx.fs, projectPath, ctx.fileRows, m, written))
    ctx.logFileError(U" -> Error File " + m.ProjectPath + U" / " + fileErrorText());
  if (written) adoptCurrentNames(m);
  else ctx.log(U" -> Warning: names of this run not stored, a file could not be written.");
  ctx.log(U"Ready.");
  ctx.log(U"");
  ctx.host.enableMainWindow();
}

}  // namespace tarnwick
