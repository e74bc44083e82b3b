// Shared pieces of the fuzz targets: splitting one input into several files, and a
// run host that never waits for an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/run.h"

namespace tarnwick::fuzz {

// The line that separates the files inside one fuzz input.
inline constexpr std::string_view kSeparator = "\n#~~~~#\n";

// Splits data at kSeparator into at most count parts; missing parts are empty.
inline std::vector<std::string> splitParts(const uint8_t* data, std::size_t size, std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  while (parts.size() + 1 < count) {
    std::size_t at = rest.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.emplace_back(rest.substr(0, at));
    rest.remove_prefix(at + kSeparator.size());
  }
  parts.emplace_back(rest);
  parts.resize(count);
  return parts;
}

// Logs nothing and answers every binding request at once: with Continue while
// continueBindings is set, otherwise with Cancel. The Todo list binds the old and new
// names pairwise, so renames reach the later steps.
class AnsweringHost : public RunHost {
 public:
  bool continueBindings = true;
  std::size_t lines = 0;

  void logLine(const Text&) override { ++lines; }
  BindAnswer askBindings(ObjectKind, const Lines& oldEntries, const Lines& newEntries) override {
    BindAnswer a;
    a.answer = continueBindings ? 0 : 2;
    if (continueBindings)
      for (std::size_t i = 0; i < oldEntries.size() && i < newEntries.size(); ++i)
        a.todo.push_back(oldEntries[i] + " > " + newEntries[i]);
    return a;
  }
  void closeStartDialog() override {}
  void enableMainWindow() override {}
};

}  // namespace tarnwick::fuzz
