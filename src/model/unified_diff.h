// Line differences between two versions of a file, written as `diff -u` writes them,
// so that `patch` applies them: the dry run's diff and the preview.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The unified diff of two byte texts, with three lines of context; empty when they are
// equal. oldLabel and newLabel follow "--- " and "+++ " (for example "a/Main.pb", or
// "/dev/null" for a file that does not exist). Lines end at LF; a CR stays part of its
// line, and a last line without LF is marked "\ No newline at end of file".
std::string unifiedDiff(std::string_view oldText, std::string_view newText, const std::string& oldLabel,
                        const std::string& newLabel);

// What each line of a unified diff is, in its order (lines end at LF). A hunk's lines
// are told from the headers by the line counts of its "@@" line, so that a removed line
// that itself begins with "--", or an added one that begins with "++", stays a change.
enum class DiffLine : char { Header, Context, Added, Removed, Note };
std::vector<DiffLine> diffLineKinds(std::string_view diff);

// The number of lines a unified diff adds and removes.
struct DiffCounts {
  int added = 0;
  int removed = 0;
};
DiffCounts countDiffLines(std::string_view diff);

}  // namespace tarnwick
