#include "interpret/source_loading.h"

namespace tarnwick {

std::optional<MarkInfo> CheckMainFile(FileSystem& fs, const FormModel& model) {
  std::string bytes;
  if (!fs.readFile(model.projectFile("Main.pb"), bytes)) return std::nullopt;
  return detectMark(bytes);
}

TextFormat WriteFormat(const std::optional<MarkInfo>& mainMark, const Switches& switches) {
  if (mainMark && mainMark->format == TextFormat::FormatUtf8 && mainMark->length > 0) return TextFormat::FormatUtf8;
  return switches.Utf8 == 1 ? TextFormat::FormatUtf8 : TextFormat::FormatAnsi;
}

void LoadSourceFiles(RunContext&) {}

void CollectIncludeFiles(RunContext&, const Text&) {}

void ScanIncludeFilesForLanguage(RunContext&) {}

}  // namespace tarnwick
