#include "run/steps.h"

#include "generate/common_file.h"
#include "generate/event_files.h"
#include "generate/event_main.h"
#include "generate/file_set.h"
#include "interpret/form_globals.h"
#include "interpret/passes.h"
#include "interpret/source_loading.h"
#include "project/project_file.h"
#include "rewrite/bind_kind.h"
#include "rewrite/check_duplicates.h"
#include "rewrite/update_sources.h"
#include "run/commit.h"

namespace tarnwick {

namespace {

bool failStep1(RunContext& ctx) {
  ctx.host.enableMainWindow();
  return false;
}

void logRecovery(RunContext& ctx, const char* line) {
  if (ctx.recoveryLogged) return;
  ctx.recoveryLogged = true;
  ctx.log(line);
}

// A run that finds the traces of an interrupted one first completes its commit or
// removes what it left half written, so that it starts from whole files.
bool completeInterruptedRun(RunContext& ctx) {
  switch (recoverInterruptedRun(ctx)) {
    case Recovery::Nothing:
      return true;
    case Recovery::Completed:
    case Recovery::CompletedRestore: {
      // A preview completes the journal in memory only: the files are still to change.
      logRecovery(ctx, ctx.dryRun ? "- The file changes of an interrupted run are pending; the next run completes them."
                                   : "- Completed the file changes of an interrupted run.");
      ctx.completedInterrupted = !ctx.dryRun;
      // The completed commit may have stored its run's names in the project file; they
      // are the names this run binds against, or it would rename a second time.
      Lines files;
      FormModel stored;
      if (readProjectFile(ctx.fs, toUtf8(ctx.model.ProjectPath), files, stored))
        for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                                ObjectKind::ToolBar, ObjectKind::Gadget})
          ctx.model.previousList(kind) = stored.previousList(kind);
      return true;
    }
    case Recovery::Removed:
      logRecovery(ctx, "- Removed the temporary files of an interrupted run.");
      return true;
    case Recovery::Refused:
      ctx.log(" -> Error: the journal of an interrupted run was refused, no file was changed. Stop!");
      return false;
    case Recovery::Failed:
      break;
  }
  ctx.logFileError(" -> Error: the file changes of an interrupted run could not be completed. Stop!");
  return false;
}

// The windows of global code that the run could not take: they explain a form code
// without windows, which stops the run, and are warnings beside other windows.
bool reportUnseenWindows(RunContext& ctx) {
  const FormModel& model = ctx.model;
  const bool none = model.WindowList.empty();
  for (const FormFileGlobals& globals : model.FormGlobals)
    for (const Text& note : globals.notes) {
      if (none) {
        ctx.log(" -> Error: " + note + ". Stop!");
        return false;
      }
      ctx.log(" -> Warning: " + note + ".");
    }
  if (none) ctx.log(" -> Error: no window found in the form code. Stop!");
  return !none;
}

const char* const kWriteStop = " -> Error: a file could not be written, no file was changed. Stop!";

// A file whose bytes do not decode in its own encoding would be written back with a
// stand-in for them (or not at all): the run is refused with the file and byte named
// (the lines before this one), and the user mends the file or saves it anew.
bool refuseUndecodable(RunContext& ctx) {
  if (ctx.undecodable.empty()) return false;
  ctx.log(" -> Error: a file holds bytes that are not valid in its encoding, no file was changed. Stop!");
  return true;
}

}  // namespace

bool generateStep1(RunContext& ctx) {
  FormModel& model = ctx.model;
  ctx.log("Generate Code Step 1 ...");
  if (!completeInterruptedRun(ctx)) return failStep1(ctx);
  ctx.log("- Check Main.pb");
  std::optional<MarkInfo> mainMark = CheckMainFile(ctx.fs, model);
  ctx.log(mainMark ? markLogLine(*mainMark) : Text(" -> Main.pb not found."));
  model.WriteFormat = WriteFormat(mainMark, model.switches);

  ctx.log("- Load Files...");
  model.resetRun();
  // The rows stay as written in the project file; the run reads them from the project's folder.
  for (const Text& row : ctx.fileRows) model.SourceFileList.push_back(resolveFileRow(row, model.projectDirectory()));
  // Without one of its files the form lacks windows and objects: a run would ask to
  // bind their names away and drop them from the generated files.
  switch (LoadSourceFiles(ctx)) {
    case SourceLoad::Loaded:
      break;
    case SourceLoad::Unreadable:
      ctx.log(" -> Error: a source file could not be read. Stop!");
      return failStep1(ctx);
    case SourceLoad::Broken:
      return failStep1(ctx);
  }
  // A window the run cannot take stops it before anything is interpreted.
  for (const FormFileGlobals& globals : model.FormGlobals)
    if (!globals.refusals.empty()) {
      ctx.log(globals.refusals.front());
      return failStep1(ctx);
    }
  prepareFileBuffers(ctx);
  if (model.SourceFileList.empty()) {
    ctx.log("None Files to Generate.");
    return failStep1(ctx);
  }
  if (!CollectIncludeFiles(ctx, "Main.pb")) {
    ctx.logFileError(" -> Error OpenFile " + model.projectDirectory() + "Main.pb / " + fileErrorText());
    ctx.log(" -> Error: the include files of Main.pb are not known. Stop!");
    return failStep1(ctx);
  }
  bool removedLeftovers = false;
  if (!lockIncludeFiles(ctx, ctx.includeLocks, model.IncludeFileList, removedLeftovers)) return failStep1(ctx);
  if (removedLeftovers) logRecovery(ctx, "- Removed the temporary files of an interrupted run.");
  CheckIncludeFileEncodings(ctx);
  if (refuseUndecodable(ctx)) return failStep1(ctx);

  ctx.log("- Interpret code...");
  FindGadgetProcedures(model);
  if (!PrefixObjectConstants(ctx)) return failStep1(ctx);
  if (!checkDuplicates(ctx)) return failStep1(ctx);
  if (!reportUnseenWindows(ctx)) return failStep1(ctx);
  CollectFormDeclarations(ctx);
  FindResizeProcedures(model);
  PrefixObjectReferences(model);
  AddOpenWrappers(ctx);
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
    reportUnreadableTranslations(ctx);
    fillLanguageData(model);
  }
  model.sections.fonts = BuildFontSection(model);
  ReplaceProcedureImageLoads(model);
  buildImageSection(model);
  if (model.switches.Image_Null == 1) ClearImageGadgetImages(model);
  buildConstantsSection(model);
  if (refuseUndecodable(ctx)) return failStep1(ctx);
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
  ctx.log("Generate Code Step 2 ...");
  ctx.log("- Check Constants...");
  // Only this run's window bindings may steer the prefix carry-over of the later kinds.
  ctx.model.replaceList.clear();
  for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                          ObjectKind::ToolBar, ObjectKind::Gadget})
    if (!bindKind(ctx, kind)) return false;
  return ctx.host.finishBindings(ctx.model);
}

bool updateSources(RunContext& ctx) {
  ctx.log("Generate Code Step 3 ...");
  // Without a backup no source is touched.
  if (!makeBackup(ctx)) {
    ctx.log(" -> Error: no backup, no file was changed. Stop!");
    return false;
  }
  updatePrefixes(ctx);
  updateProcedures(ctx);
  updateConstants(ctx);
  updateOpenWindows(ctx);
  if (!updateIncludeFiles(ctx)) {
    if (!refuseUndecodable(ctx)) ctx.log(kWriteStop);
    return false;
  }
  return true;
}

bool generateStep4(RunContext& ctx) {
  FormModel& m = ctx.model;
  ctx.log("Generate Code Step 4 ...");
  ctx.log("- Create new code...");
  // Each file, once built, goes to its temporary file at once (its log line comes with
  // the others below), so that a large project never holds all its files in memory.
  rewriteFirstWindowLines(ctx);
  stageFinished(ctx, "Main.pb", m.buffers.main);
  if (m.switches.Multilang == 1) stageFinished(ctx, "LoadLanguage.pb", m.buffers.loadLanguage);
  assembleCommonFile(m);
  stageFinished(ctx, "CommonFile.pb", m.buffers.common);
  if (m.switches.UseCallFast == 1) fillCallTables(m);
  else fillPlainDispatch(m);
  stageFinished(ctx, "EventMain.pb", m.buffers.eventMain);
  appendMenuProcedures(m);
  stageFinished(ctx, "EventMenu.pb", m.buffers.eventMenu);
  appendSizeProcedures(m);
  appendExitProcedures(m);
  stageFinished(ctx, "EventWindow.pb", m.buffers.eventWindow);
  appendGadgetProcedures(m);
  stageFinished(ctx, "EventGadget.pb", m.buffers.eventGadget);

  ctx.log(" -> Count Window: " + numberText(static_cast<long long>(m.WindowList.size())));
  ctx.log(" -> Count MenuBar: " + numberText(static_cast<long long>(m.MenuBarList.size())));
  ctx.log(" -> Count MenuItem: " + numberText(static_cast<long long>(m.MenuItemList.size())));
  ctx.log(" -> Count StatusBar: " + numberText(static_cast<long long>(m.StatusBarList.size())));
  ctx.log(" -> Count ToolBar: " + numberText(static_cast<long long>(m.ToolBarList.size())));
  ctx.log(" -> Count Gadget: " + numberText(static_cast<long long>(m.GadgetList.size())));
  ctx.log(" -> Count Image: " + numberText(static_cast<long long>(m.ImageList.size())));
  ctx.log("- Write Files...");
  bool written = writeGeneratedFiles(ctx);
  // The project file with this run's names is the last of the run's files, so that the
  // names change only together with the files that use them.
  const std::string projectPath = toUtf8(m.ProjectPath);
  // Files in the project's folder are kept relative to it, so that the project goes
  // with its folder when it is copied or moved.
  ctx.fileRows = storedFileRows(ctx.fileRows, m.projectDirectory(), m.projectDirectory());
  if (ctx.changes.stageFile(ctx.fs, projectPath, projectFileBytes(ctx.fileRows, m, true)) == StageResult::Failed) {
    ctx.logFileError(" -> Error File " + m.ProjectPath + " / " + fileErrorText());
    written = false;
  }
  if (!written) {
    ctx.log(kWriteStop);
    return false;
  }
  if (!commitChanges(ctx)) return false;
  adoptCurrentNames(m);
  // Completing an interrupted run's changes did change files: the line must not deny it.
  if (ctx.dryRun) ctx.log("- Nothing written: no file was changed.");
  else if (ctx.committed.empty())
    ctx.log(ctx.completedInterrupted ? "- Every file was up to date once the interrupted run's changes were completed."
                                     : "- Every file was up to date: no file was changed.");
  ctx.log("Ready.");
  ctx.log("");
  ctx.host.enableMainWindow();
  return true;
}

}  // namespace tarnwick
