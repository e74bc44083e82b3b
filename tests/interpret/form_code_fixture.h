// A form model with the built-in command sets and the given form code, and a run
// context around it, for the tests of the passes and the checks.
#pragma once

#include "run/run.h"
#include "support/recording_host.h"

#include <ostream>

namespace tarnwick {
// Readable test failure output for the model's entries.
inline void PrintTo(const GadgetEntry& e, std::ostream* os) { *os << toUtf8(e.name) << ":" << toUtf8(e.kind); }
inline void PrintTo(const ImageEntry& e, std::ostream* os) { *os << toUtf8(e.constant) << ":" << toUtf8(e.file); }
inline void PrintTo(const FontEntry& e, std::ostream* os) { *os << toUtf8(e.constant) << ":" << toUtf8(e.line); }
inline void PrintTo(const WindowProcedure& p, std::ostream* os) {
  *os << toUtf8(p.name) << (p.needsArguments ? "(...)" : "()");
}
}  // namespace tarnwick

namespace tarnwick::testing {

struct FormCodeFixture {
  FormModel model;
  RecordingHost host;
  MemoryFileSystem fs;
  RunContext ctx{model, host, fs, {}};

  explicit FormCodeFixture(const Lines& formCode = {}, const Lines& userGadgets = {}) {
    model.UserGadgetList = userGadgets;
    buildCommandSets(userGadgets, model.PrefixCommandSet, model.GadgetCommandSet);
    model.FormCodeLines = formCode;
  }
};

}  // namespace tarnwick::testing
