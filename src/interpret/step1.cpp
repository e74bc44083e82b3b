#include "interpret/step1.h"

#include "generate/common_file.h"
#include "generate/file_set.h"
#include "interpret/passes.h"
#include "interpret/source_loading.h"
#include "rewrite/check_duplicates.h"

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
  LoadSourceFiles(ctx);
  prepareFileBuffers(ctx);
  if (model.SourceFileList.empty()) {
    ctx.log(U"None Files to Generate.");
    return failStep1(ctx);
  }
  CollectIncludeFiles(ctx, U"Main.pb");

  ctx.log(U"- Interpret code...");
  if (!PrefixObjectConstants(ctx)) return failStep1(ctx);
  if (!checkDuplicates(ctx)) return failStep1(ctx);
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

}  // namespace tarnwick
