// What every stage of a run works with: the form model, the file seam, the log and
// the changes waiting for the run's commit.
// The stages of loading, rewriting and generating take this and nothing of the run
// above them.
#pragma once

#include <string_view>
#include <unordered_set>

#include "model/change_set.h"
#include "model/encoding.h"
#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// Where the stages report, one line at a time.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // Shows one log line; returns when it is shown.
  virtual void logLine(const Text& line) = 0;
};

struct StageContext {
  StageContext(FormModel& m, LogSink& s, FileSystem& f) : model(m), sink(s), fs(f) {}

  FormModel& model;
  LogSink& sink;
  FileSystem& fs;
  // The new contents of this run, each already in a temporary file beside its target;
  // nothing of it reaches the user's files before the run's one commit.
  ChangeSet changes;
  // The changes of the run's commit once it has put them in place, in their order.
  std::vector<PendingChange> committed;
  // How many files of the run could not be read or written; each is logged.
  int fileErrors = 0;
  // Their log lines, each naming its file, for a summary at the run's end.
  Lines fileErrorLines;

  void log(const Text& line) { sink.logLine(line); }
  void logFileError(const Text& line) {
    ++fileErrors;
    fileErrorLines.push_back(line);
    sink.logLine(line);
  }
  // Decodes the bytes of a file the run has read; a file that mixes UTF-8 and 8-bit
  // lines is reported once, where the run reads it first.
  DecodedText decodeRead(const Text& path, std::string_view bytes) {
    DecodedText d = decodeFile(bytes);
    if (d.mixed && mixedReported.insert(path).second) log(" -> Warning: mixed encodings in " + path);
    return d;
  }
  // The files reported as mixed so far.
  std::unordered_set<Text> mixedReported;
};

}  // namespace tarnwick
