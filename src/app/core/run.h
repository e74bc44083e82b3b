// The generation run without any user interface: the interface through which the run
// talks to whoever drives it, and the run procedure with its four steps.
#pragma once

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// What the driver answers when the run asks for the bindings of one object kind:
// 0 to go on or 2 to cancel, and the "OLD > NEW" entries of the Todo list in order.
struct BindAnswer {
  int answer = 2;
  Lines todo;
};

class RunHost {
 public:
  virtual ~RunHost() = default;
  // Shows one log line; returns when it is shown.
  virtual void logLine(const Text& line) = 0;
  // Asks the user to bind the old names of one kind to new ones.
  virtual BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) = 0;
  // The first request of every run.
  virtual void closeStartDialog() = 0;
  virtual void enableMainWindow() = 0;
};

struct RunContext {
  FormModel& model;
  RunHost& host;
  FileSystem& fs;
  // The rows of the file list, copied when the run started.
  Lines fileRows;
  // How many files of the run could not be read or written; each is logged.
  int fileErrors = 0;

  void log(const Text& line) { host.logLine(line); }
  void logFileError(const Text& line) {
    ++fileErrors;
    host.logLine(line);
  }
};

// Runs steps 1 to 4. True when the run ended with "Ready.", false after "Cancel.".
bool runGeneration(RunContext& ctx);

}  // namespace tarnwick
