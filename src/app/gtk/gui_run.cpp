// The generation run of the window: the worker thread, the run host that turns every
// call of the run into a request to the main thread, and the main thread's handling of
// those requests.
#include <thread>

#include "model/overlay_file_system.h"
#include "model/unified_diff.h"
#include "run/restore.h"
#include "run/run.h"
#include "app/gtk/app.h"
#include "app/gtk/boxes.h"
#include "app/gtk/search_replace_dialog.h"
#include "project/project_file.h"

namespace tarnwick {

namespace {

// The input and output of an OpenSearchReplace request.
struct BindCall {
  ObjectKind kind;
  const Lines& oldEntries;
  const Lines& newEntries;
  Lines todo;  // filled on the main thread before the answer is given
};

// Runs on the worker; touches no widget and waits for every answer.
class WindowRunHost : public RunHost {
 public:
  explicit WindowRunHost(Handshake& handshake) : handshake_(handshake) {}
  void logLine(const Text& line) override { handshake_.postToGui(AppendLog, &line); }
  BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) override {
    BindCall call{kind, oldEntries, newEntries, {}};
    BindAnswer answer;
    answer.answer = int(handshake_.postToGui(OpenSearchReplace, &call));
    answer.todo = std::move(call.todo);
    handshake_.postToGui(CloseSearchReplace);
    return answer;
  }
  void closeStartDialog() override { handshake_.postToGui(CloseStartDialog); }
  void enableMainWindow() override { handshake_.postToGui(EnableMainWindow); }

 private:
  Handshake& handshake_;
};

// What the worker's last request reports.
struct RunOutcome {
  bool ready = false;          // ended with "Ready."
  bool busy = false;           // did not start: another run holds the project
  bool projectStored = false;  // and the project file on disk holds the project
  Lines rows;                  // the file list as the run stored it (relative in its folder)
  int fileErrors = 0;          // files that could not be read or written
  std::string changedDuringRun;  // a file edited while the run was in progress
  Lines fileErrorLines;        // their log lines, each naming its file
  bool preview = false;        // a preview: nothing was written
  std::vector<PreviewFile> files;  // what the preview's run would change
};

// The files a preview's run would change, with their diffs.
std::vector<PreviewFile> previewFiles(const std::vector<FileChange>& changes) {
  std::vector<PreviewFile> out;
  for (const FileChange& c : changes) {
    PreviewFile f{c.shown, changeDiff(c)};
    DiffCounts n = countDiffLines(f.diff);
    f.added = n.added;
    f.removed = n.removed;
    out.push_back(std::move(f));
  }
  return out;
}

void runWorker(App* app, Lines rows, bool preview, bool afterPreview) {
  WindowRunHost window(app->handshake);
  // A preview and the run after it share the user's binding answers.
  RememberingHost remembering(window, app->previewAnswers);
  RunHost& host = preview || afterPreview ? static_cast<RunHost&>(remembering) : window;
  RunOutcome outcome;
  outcome.preview = preview;
  auto takeEnd = [&outcome](RunEnd end, const RunContext& ctx) {
    outcome.ready = end == RunEnd::Ready;
    outcome.busy = end == RunEnd::Busy;
    outcome.fileErrors = ctx.fileErrors;
    outcome.changedDuringRun = ctx.changedDuringRun;
    outcome.fileErrorLines = ctx.fileErrorLines;
  };
  if (preview) {
    // The preview works on a copy of the model, so that the project's names stay as
    // they are, and writes into memory only.
    FormModel model = app->model;
    OverlayFileSystem overlay(app->fs);
    host.logLine("Preview: nothing of this run is written.");
    RunContext ctx{model, host, overlay, std::move(rows)};
    ctx.dryRun = true;
    takeEnd(runGeneration(ctx), ctx);
    if (outcome.ready)
      outcome.files =
          previewFiles(previewChanges(previewedChanges(ctx), toUtf8(model.projectDirectory()), app->fs, overlay));
  } else {
    RunContext ctx{app->model, host, app->fs, std::move(rows)};
    takeEnd(runGeneration(ctx), ctx);
    // A run that ends with "Ready." has tried to save the project; a failed save was
    // only logged, so the file is checked before the project counts as saved.
    outcome.projectStored =
        outcome.ready && projectFileHolds(app->fs, toUtf8(app->model.ProjectPath), ctx.fileRows, app->model);
    outcome.rows = ctx.fileRows;
  }
  app->handshake.postToGui(RunEnded, &outcome);
}

// The log of a command that runs on the main thread.
struct WindowLog : LogSink {
  explicit WindowLog(App& a) : app(a) {}
  void logLine(const Text& line) override { appendLogLine(app, line); }
  App& app;
};

// The lines of a list for a box, each on a line of its own. A long list is cut, so that
// the box fits on the screen: the log keeps all of it.
std::string boxList(const Lines& lines) {
  constexpr std::size_t kMost = 10;
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kMost; ++i) text += "\n" + lines[i];
  if (lines.size() > kMost) text += "\n... (the log names every one)";
  return text;
}

}  // namespace

void serveBindRequest(Handshake& handshake, GtkWindow* parent, GuiRequest& request) {
  auto* call = static_cast<BindCall*>(const_cast<void*>(request.argument));
  uint64_t serial = request.serial;
  GuiRequest* req = &request;
  bool opened = openSearchReplaceDialog(
      parent, call->kind, call->oldEntries, call->newEntries,
      [&handshake, serial, req, call](int answer, const Lines& todo) {
        // One answer per opening: a late second answer finds no pending request.
        if (!handshake.isPending(serial)) return;
        call->todo = todo;
        handshake.answerRequest(*req, answer);
      });
  if (!opened) handshake.answerRequest(request, 2);
}

std::unique_ptr<RunHost> windowRunHost(App& app) { return handshakeRunHost(app.handshake); }
std::unique_ptr<RunHost> handshakeRunHost(Handshake& handshake) { return std::make_unique<WindowRunHost>(handshake); }

void startRun(App& app, bool preview, bool afterPreview) {
  if (app.runActive) return;
  app.runActive = true;
  if (!afterPreview) app.previewAnswers.clear();
  // The dialog stays open until the worker's first request; its boxes are frozen so
  // the switches no longer change under the worker.
  for (auto& [gadget, widget] : app.startGadgets) gtk_widget_set_sensitive(widget, FALSE);
  std::thread(runWorker, &app, fileRows(app), preview, afterPreview).detach();
}

void restoreBackupCommand(App& app) {
  if (!app.state.hasFile) {
    boxes().message(GTK_WINDOW(app.window), "Info", "The project has no file yet, so it has no backup.");
    return;
  }
  if (boxes().question(GTK_WINDOW(app.window), "Frage", "Restore the files from the backup of the last run?", false) !=
      BoxAnswer::Yes)
    return;
  WindowLog log(app);
  FormModel place;
  place.ProjectPath = app.model.ProjectPath;
  StageContext ctx{place, log, app.fs};
  // Files edited after the run are named before they are replaced.
  auto confirm = [&app](const std::vector<std::string>& files) {
    Lines shown;
    for (const std::string& file : files) shown.push_back(readableText(file));
    std::string text = "These files changed after the run that the restore undoes:\n" + boxList(shown);
    text += "\n\nReplace them all the same? Their present versions go into the backup.";
    return boxes().question(GTK_WINDOW(app.window), "Frage", text, false) == BoxAnswer::Yes;
  };
  switch (restoreBackup(ctx, confirm)) {
    case RestoreEnd::Declined:
      return;
    case RestoreEnd::Busy:
      boxes().error(GTK_WINDOW(app.window), "Info", kBusyMessage);
      return;
    case RestoreEnd::NoBackup:
      boxes().message(GTK_WINDOW(app.window), "Info", kNoBackupMessage);
      return;
    case RestoreEnd::Failed:
      boxes().error(GTK_WINDOW(app.window), "Info",
                    "The backup could not be restored, and no file was changed. The log names each file.");
      return;
    case RestoreEnd::Restored:
      break;
  }
  // The project file may be back at an older state: its names are what the next run
  // binds against. Its file list and switches come along, after asking when the window
  // holds changes of its own.
  checkProjectOnDisk(app);
}

void serveRequest(App& app, GuiRequest& request) {
  switch (request.code) {
    case CloseStartDialog:
      closeStartDialog(app);
      app.handshake.answerRequest(request, 0);
      break;
    case OpenSearchReplace:
      // Answered when the user has finished the dialog.
      serveBindRequest(app.handshake, GTK_WINDOW(app.window), request);
      break;
    case CloseSearchReplace:
      closeSearchReplaceDialog(GTK_WINDOW(app.window));
      enableMainWindow(app);
      app.handshake.answerRequest(request, 0);
      break;
    case AppendLog:
      appendLogLine(app, *static_cast<const Text*>(request.argument));
      app.handshake.answerRequest(request, 0);
      break;
    case EnableMainWindow:
      enableMainWindow(app);
      app.handshake.answerRequest(request, 0);
      break;
    case RunEnded: {
      app.runActive = false;
      // The worker waits until this is answered, so its outcome can be taken over.
      RunOutcome outcome = std::move(*static_cast<RunOutcome*>(const_cast<void*>(request.argument)));
      if (!outcome.preview) app.previewAnswers.clear();
      // The run saved the project with its file list and switches: nothing is left unsaved.
      if (outcome.projectStored) {
        app.state.saved = true;
        app.state.hasFile = true;
        // The list shows the rows as the project file now holds them.
        if (outcome.rows != fileRows(app)) setFileRows(app, outcome.rows);
        noteSavedRows(app);
        noteProjectOnDisk(app, app.model.ProjectPath);
      }
      refreshTitle(app);
      // Both endings enable the main window already; this keeps it usable whatever a
      // step did.
      enableMainWindow(app);
      // The worker waits for this answer only; the box below waits for the user.
      app.handshake.answerRequest(request, 0);
      if (outcome.busy) boxes().error(GTK_WINDOW(app.window), "Start Generate", kBusyMessage);
      // An edit saved during the run: the run stopped so as not to lose it.
      if (!outcome.changedDuringRun.empty()) {
        boxes().error(GTK_WINDOW(app.window), "Start Generate",
                      readableText(outcome.changedDuringRun) +
                          " changed while the run was in progress. No file was changed; start the run again to "
                          "include the edit.");
        outcome.fileErrors = 0;
      }
      // As the command line warns on standard error; the worker no longer waits for this.
      // A file that could not be written stops the run before it changes anything.
      if (outcome.fileErrors > 0) {
        const std::string files = std::to_string(outcome.fileErrors) + (outcome.fileErrors == 1 ? " file" : " files");
        std::string text = outcome.ready ? files + " could not be read or written during the run; such a file keeps "
                                                   "its old content:"
                                         : "The run stopped: " + files +
                                               " could not be read or written, and no file was changed:";
        // The log lines name the files.
        Lines lines;
        for (const Text& line : outcome.fileErrorLines) lines.push_back(toUtf8(trimBlanks(line)));
        boxes().error(GTK_WINDOW(app.window), "Start Generate", text + boxList(lines));
      }
      if (outcome.preview && outcome.ready) openPreviewWindow(app, std::move(outcome.files));
      break;
    }
    default:
      app.handshake.answerRequest(request, 0);
      break;
  }
}

}  // namespace tarnwick
