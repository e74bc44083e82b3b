#include "run/steps.h"

#include "generate/common_file.h"
#include "generate/event_files.h"
#include "generate/event_main.h"
#include "generate/file_set.h"
#include "interpret/passes.h"
#include "interpret/source_loading.h"
#include "project/project_file.h"
#include "rewrite/bind_kind.h"
#include "rewrite/check_duplicates.h"
#include "rewrite/update_sources.h"

namespace tarnwick {

namespace {

bool failStep1(RunContext& ctx) {
  ctx.host.enableMainWindow();
  return false;
}

}  // namespace

bool generateStep1(RunContext& ctx) {
  FormModel& model = ctx.model;
  ctx.log(U"Generate Code Step 1 ...");
  ctx.log(U"- Check Main.pb");
  std::optional<MarkInfo> mainMark = CheckMainFile(ctx.fs, model);
  ctx.log(mainMark ? markLogLine(*mainMark) : Text(U" -> Main.pb not found."));
  model.WriteFormat = WriteFormat(mainMark, model.switches);

  ctx.log(U"- Load Files...");
  model.resetRun();
  model.SourceFileList = ctx.fileRows;
  // Without one of its files the form lacks windows and objects: a run would ask to
  // bind their names away and drop them from the generated files.
  if (!LoadSourceFiles(ctx)) {
    ctx.log(U" -> Error: a source file could not be read. Stop!");
    return failStep1(ctx);
  }
  prepareFileBuffers(ctx);
  if (model.SourceFileList.empty()) {
    ctx.log(U"None Files to Generate.");
    return failStep1(ctx);
  }
  CollectIncludeFiles(ctx, U"Main.pb");

  ctx.log(U"- Interpret code...");
  if (!PrefixObjectConstants(ctx)) return failStep1(ctx);
  if (!checkDuplicates(ctx)) return failStep1(ctx);
  if (model.WindowList.empty()) {
    ctx.log(U" -> Error: no window found in the form code. Stop!");
    return failStep1(ctx);
  }
  PrefixObjectReferences(model);
  if (model.switches.Parend == 1) AttachToParentWindow(model);
  if (model.switches.PB_Ignore == 1) IgnoreWindowPosition(model);
  ConvertMenuItemTabs(model);
  if (model.switches.Multilang == 1) {
    WrapLanguageTexts(model);
    ScanLanguageKeys(model, model.FormCodeLines);
    for (const FileBuffer* buffer : {&model.buffers.main, &model.buffers.eventMenu, &model.buffers.eventGadget,
                                     &model.buffers.eventWindow})
      ScanLanguageKeys(model, *buffer);
    ScanIncludeFilesForLanguage(ctx);
    fillLanguageData(model);
  }
  model.sections.fonts = BuildFontSection(model);
  ReplaceProcedureImageLoads(model);
  buildImageSection(model);
  if (model.switches.Image_Null == 1) ClearImageGadgetImages(model);
  buildConstantsSection(model);
  return true;
}

bool bindKind(RunContext& ctx, ObjectKind kind) {
  FormModel& model = ctx.model;
  if (!compareNames(model, kind)) return true;
  BindAnswer answer = ctx.host.askBindings(kind, model.oldEntryList, model.newEntryList);
  if (answer.answer == 2) return false;
  takeBindings(model, kind, answer.todo);
  return true;
}

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

void updateSources(RunContext& ctx) {
  ctx.log(U"Generate Code Step 3 ...");
  makeBackup(ctx);
  updatePrefixes(ctx);
  updateProcedures(ctx);
  updateConstants(ctx);
  updateOpenWindows(ctx);
  updateIncludeFiles(ctx);
}

void generateStep4(RunContext& ctx) {
  FormModel& m = ctx.model;
  ctx.log(U"Generate Code Step 4 ...");
  ctx.log(U"- Create new code...");
  rewriteFirstWindowLines(ctx);
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
