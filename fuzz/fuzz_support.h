// Shared pieces of the fuzz targets: splitting one input into several files, and a
// run host that never waits for an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

// A seed drawn from the whole input, so that one input always gets the same answers.
inline std::uint64_t inputSeed(const uint8_t* data, std::size_t size) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

// Logs nothing and answers every binding request at once: with Continue while
// continueBindings is set, otherwise with Cancel. The Todo list binds random pairs of
// the offered old and new names, in random order, each name at most once as the
// dialog allows, and leaves a random share of the old names unbound, so renames of
// every shape reach the later steps.
class AnsweringHost : public RunHost {
 public:
  bool continueBindings = true;
  std::uint64_t seed = 0;
  std::size_t lines = 0;

  void logLine(const Text&) override { ++lines; }
  BindAnswer askBindings(ObjectKind, const Lines& oldEntries, const Lines& newEntries) override {
    BindAnswer a;
    a.answer = continueBindings ? 0 : 2;
    if (!continueBindings) return a;
    std::vector<std::size_t> olds = shuffled(oldEntries.size()), news = shuffled(newEntries.size());
    for (std::size_t i = 0; i < olds.size() && i < news.size(); ++i)
      if (next() % 4 != 0) a.todo.push_back(oldEntries[olds[i]] + " > " + newEntries[news[i]]);
    return a;
  }
  void closeStartDialog() override {}
  void enableMainWindow() override {}

 private:
  // splitmix64
  std::uint64_t next() {
    std::uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::vector<std::size_t> shuffled(std::size_t n) {
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    for (std::size_t i = n; i > 1; --i) std::swap(order[i - 1], order[next() % i]);
    return order;
  }
};

}  // namespace tarnwick::fuzz
