// The generation run above its stages: the interface through which the run talks to
// whoever drives it, the run's context, and the run procedure with its four steps.
#pragma once

#include "model/stage.h"
#include "run/commit.h"

namespace tarnwick {

// What the driver answers when the run asks for the bindings of one object kind:
// 0 to go on or 2 to cancel, and the "OLD > NEW" entries of the Todo list in order.
struct BindAnswer {
  int answer = 2;
  Lines todo;
};

class RunHost : public LogSink {
 public:
  // Asks the user to bind the old names of one kind to new ones.
  virtual BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) = 0;
  // Called once every kind is bound, with the run's current names; false stops the run
  // (a binding given in advance that matched no name).
  virtual bool finishBindings(const FormModel&) { return true; }
  // The first request of every run.
  virtual void closeStartDialog() = 0;
  virtual void enableMainWindow() = 0;
};

struct RunContext : StageContext {
  RunContext(FormModel& m, RunHost& h, FileSystem& f, Lines rows = {})
      : StageContext(m, h, f), host(h), fileRows(std::move(rows)) {}

  RunHost& host;
  // The rows of the file list, copied when the run started.
  Lines fileRows;
  // Whether the clean-up after an interrupted run has been logged already.
  bool recoveryLogged = false;
  // Whether the run completed the file changes of an interrupted one (on disk).
  bool completedInterrupted = false;
  // The include files the run may change, locked against runs of other projects.
  FileLocks includeLocks{fs};
};

// How a run ended: with "Ready.", with "Cancel.", or not started at all because another
// run holds the project.
enum class RunEnd { Ready, Cancelled, Busy };

// The message of a run that did not start because another one holds the project.
extern const char* const kBusyMessage;

// Runs steps 1 to 4 while holding the project folder's lock.
RunEnd runGeneration(RunContext& ctx);

}  // namespace tarnwick
