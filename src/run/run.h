// The generation run above its stages: the interface through which the run talks to
// whoever drives it, the run's context, and the run procedure with its four steps.
#pragma once

#include "model/stage.h"

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
};

// Runs steps 1 to 4. True when the run ended with "Ready.", false after "Cancel.".
bool runGeneration(RunContext& ctx);

}  // namespace tarnwick
