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
// Fills FormCodeLines, ImageList and FontList from SourceFileList, naming each file in
// the log. A file listed twice (by another path, or a link) is loaded once and leaves
// the list; a file outside the project folder and one without any form code are named
// in a warning. A file that cannot be read is logged and skipped (the result is then
// Unreadable); a procedure without its EndProcedure ends the loading with a logged stop
// line (Broken).
enum class SourceLoad { Loaded, Unreadable, Broken };
SourceLoad LoadSourceFiles(StageContext& ctx);
// Fills IncludeFileList from the include statements of the named file (in the project
// folder). An absolute name is that file; a relative one counts from the project folder,
// or from the folder of the IncludePath statement before it. False when the file exists
// but cannot be read: its include files are not known then.
bool CollectIncludeFiles(StageContext& ctx, const Text& name);
// Reads every include file that is there and reports each whose bytes do not decode in
// the encoding its mark names (ctx.undecodable), before the run asks the user anything.
void CheckIncludeFileEncodings(StageContext& ctx);

}  // namespace tarnwick
