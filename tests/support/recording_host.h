// A run host for tests: records the log and plays back scripted binding answers.
#pragma once

#include <algorithm>
#include <deque>

#include "run/run.h"

namespace tarnwick::testing {

struct BindRequest {
  ObjectKind kind;
  Lines oldEntries, newEntries;
};

class RecordingHost : public RunHost {
 public:
  Lines log;
  std::vector<BindRequest> requests;
  std::deque<BindAnswer> answers;  // played back in order; an empty queue answers 2
  int startDialogClosed = 0;
  int mainWindowEnabled = 0;

  void logLine(const Text& line) override { log.push_back(line); }
  // True when the log holds this line.
  bool logged(const Text& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
  BindAnswer askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) override {
    requests.push_back({kind, oldEntries, newEntries});
    if (answers.empty()) return BindAnswer{};
    BindAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void closeStartDialog() override { ++startDialogClosed; }
  void enableMainWindow() override { ++mainWindowEnabled; }
};

// Lines from UTF-8 literals.
inline Lines L(std::initializer_list<const char*> lines) {
  Lines out;
  for (const char* l : lines) out.push_back(T(l));
  return out;
}

}  // namespace tarnwick::testing
