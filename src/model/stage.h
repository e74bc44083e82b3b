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
#include "model/read_stamps.h"

namespace tarnwick {

// Where the stages report, one line at a time.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // Shows one log line; returns when it is shown.
  virtual void logLine(const Text& line) = 0;
};

struct StageContext {
  StageContext(FormModel& m, LogSink& s, FileSystem& f) : model(m), sink(s), stamps(f), fs(stamps) {}
  // fs refers to the context's own stamps.
  StageContext(const StageContext&) = delete;
  StageContext& operator=(const StageContext&) = delete;

  FormModel& model;
  LogSink& sink;
  // Every call of the stages passes through here, which remembers what each file held
  // when the run first read it.
  StampingFileSystem stamps;
  FileSystem& fs;
  // The new contents of this run, each already in a temporary file beside its target;
  // nothing of it reaches the user's files before the run's one commit.
  ChangeSet changes;
  // The changes of the run's commit once it has put them in place, in their order.
  std::vector<PendingChange> committed;
  // How many files of the run could not be read or written; each is logged.
  int fileErrors = 0;
  // A file that someone else changed while the run was in progress; the run stopped
  // before it changed anything.
  std::string changedDuringRun;
  // The run writes into memory only (a dry run, a preview): its log says what it would
  // write, and that no file was changed; an interrupted commit is reported, not completed.
  bool dryRun = false;
  // The user files an interrupted commit still had to change (a dry run reports them).
  std::vector<PendingChange> pendingFromJournal;
  // The log lines of the files that could not be read or written, each naming its file,
  // for a summary at the run's end.
  Lines fileErrorLines;

  // A line that names a path may hold bytes that are not UTF-8; they are shown
  // readably (readableText), and the paths themselves stay bytes.
  void log(const Text& line) { sink.logLine(readableText(line)); }
  void logFileError(const Text& line) {
    ++fileErrors;
    fileErrorLines.push_back(readableText(line));
    sink.logLine(readableText(line));
  }
  // Decodes the bytes of a file the run has read; a file that mixes UTF-8 and 8-bit
  // lines is reported once, where the run reads it first.
  // Bytes that do not decode in the encoding the file's mark names are reported with
  // the file and the byte: in a file the run writes back (refuse) the run must stop
  // (see undecodable); in one it only reads (warn) they are read as U+FFFD.
  enum class BadBytes { Refuse, Warn };
  DecodedText decodeRead(const std::string& path, std::string_view bytes, BadBytes bad = BadBytes::Refuse) {
    DecodedText d = decodeFile(bytes);
    if (d.mixed && mixedReported.insert(path).second) log(" -> Warning: mixed encodings in " + path);
    if (d.invalidAt && bad == BadBytes::Refuse) reportUndecodable(path, d.format, d.invalidAt);
    if (d.invalidAt && bad == BadBytes::Warn)
      log(" -> Warning: " + path + " is not valid " + formatName(d.format) + " at byte " +
          numberText(static_cast<long long>(d.invalidAt)) + "; read with U+FFFD for what does not decode.");
    return d;
  }
  // False, with a log line naming the file and the byte, when the bytes of a file with
  // a mark do not decode in the encoding it names. Such a file is never written: the
  // run stops before its commit (see undecodable).
  bool checkDecodes(const std::string& path, std::string_view bytes) {
    const std::size_t at = invalidByteAt(bytes);
    if (at) reportUndecodable(path, detectMark(bytes).format, at);
    return at == 0;
  }
  // The paths whose bytes did not decode in their own encoding, each reported once.
  std::unordered_set<std::string> undecodable;
  // The files reported as mixed so far.
  std::unordered_set<Text> mixedReported;

 private:
  void reportUndecodable(const std::string& path, TextFormat format, std::size_t at) {
    if (undecodable.insert(path).second)
      logFileError(" -> Error: " + path + " is not valid " + formatName(format) + " at byte " +
                   numberText(static_cast<long long>(at)) + ".");
  }
};

}  // namespace tarnwick
