// Reading the project from disk: Main.pb and its mark, the output encoding, the form
// sources, the include files of Main.pb.
#pragma once

#include <optional>

#include "model/stage.h"

namespace tarnwick {

// The mark of Main.pb in the project directory, or nothing when it cannot be read.
std::optional<MarkInfo> CheckMainFile(FileSystem& fs, const FormModel& model);
// The encoding of the generated files for a Main.pb with the given mark.
TextFormat WriteFormat(const std::optional<MarkInfo>& mainMark, const Switches& switches);
// Fills FormCodeLines, ImageList and FontList from SourceFileList. A file that cannot
// be read is logged and skipped; the result is false when that happened.
bool LoadSourceFiles(StageContext& ctx);
// Fills IncludeFileList from the include statements of the named file. False when the
// file exists but cannot be read: its include files are not known then.
bool CollectIncludeFiles(StageContext& ctx, const Text& name);

}  // namespace tarnwick
