// The generation run of the window: the worker thread, the run host that turns every
// call of the run into a request to the main thread, and the main thread's handling of
// those requests.
#include <thread>

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
  int fileErrors = 0;          // files that could not be read or written
};

void runWorker(App* app, Lines rows) {
  WindowRunHost host(app->handshake);
  RunContext ctx{app->model, host, app->fs, std::move(rows)};
  RunOutcome outcome;
  RunEnd end = runGeneration(ctx);
  outcome.ready = end == RunEnd::Ready;
  outcome.busy = end == RunEnd::Busy;
  outcome.fileErrors = ctx.fileErrors;
  // A run that ends with "Ready." has tried to save the project; a failed save was only
  // logged, so the file is checked before the project counts as saved.
  outcome.projectStored =
      outcome.ready && projectFileHolds(app->fs, toUtf8(app->model.ProjectPath), ctx.fileRows, app->model);
  app->handshake.postToGui(RunEnded, &outcome);
}

void openBindDialog(App& app, GuiRequest& request) {
  auto* call = static_cast<BindCall*>(const_cast<void*>(request.argument));
  uint64_t serial = request.serial;
  GuiRequest* req = &request;
  bool opened = openSearchReplaceDialog(
      GTK_WINDOW(app.window), call->kind, call->oldEntries, call->newEntries,
      [&app, serial, req, call](int answer, const Lines& todo) {
        // One answer per opening: a late second answer finds no pending request.
        if (!app.handshake.isPending(serial)) return;
        call->todo = todo;
        app.handshake.answerRequest(*req, answer);
      });
  if (!opened) app.handshake.answerRequest(request, 2);
}

}  // namespace

std::unique_ptr<RunHost> windowRunHost(App& app) { return std::make_unique<WindowRunHost>(app.handshake); }

void startRun(App& app) {
  if (app.runActive) return;
  app.runActive = true;
  // The dialog stays open until the worker's first request; its boxes are frozen so
  // the switches no longer change under the worker.
  for (auto& [gadget, widget] : app.startGadgets) gtk_widget_set_sensitive(widget, FALSE);
  std::thread(runWorker, &app, fileRows(app)).detach();
}

void serveRequest(App& app, GuiRequest& request) {
  switch (request.code) {
    case CloseStartDialog:
      closeStartDialog(app);
      app.handshake.answerRequest(request, 0);
      break;
    case OpenSearchReplace:
      openBindDialog(app, request);  // answered when the user has finished the dialog
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
      const RunOutcome outcome = *static_cast<const RunOutcome*>(request.argument);
      // The run saved the project with its file list and switches: nothing is left unsaved.
      if (outcome.projectStored) {
        app.state.saved = true;
        app.state.hasFile = true;
      }
      refreshTitle(app);
      // Both endings enable the main window already; this keeps it usable whatever a
      // step did.
      enableMainWindow(app);
      // The worker waits for this answer only; the box below waits for the user.
      app.handshake.answerRequest(request, 0);
      if (outcome.busy) boxes().message(GTK_WINDOW(app.window), "Info", kBusyMessage);
      // As the command line warns on standard error; the worker no longer waits for this.
      // A file that could not be written stops the run before it changes anything.
      if (outcome.fileErrors > 0) {
        const std::string files = std::to_string(outcome.fileErrors) + (outcome.fileErrors == 1 ? " file" : " files");
        boxes().message(GTK_WINDOW(app.window), "Info",
                        outcome.ready ? files + " could not be read or written during the run. The log names each "
                                                "one; such a file keeps its old content."
                                      : "The run stopped: " + files +
                                            " could not be read or written, and no file was changed. The log names "
                                            "each one.");
      }
      break;
    }
    default:
      app.handshake.answerRequest(request, 0);
      break;
  }
}

}  // namespace tarnwick
