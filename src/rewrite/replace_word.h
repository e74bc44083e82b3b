// The two ways a bound rename is carried into a line of source: whole identifiers
// only, or every occurrence.
#pragma once

#include "model/text.h"
#include "rewrite/window_names.h"

namespace tarnwick {

// Replaces every occurrence of search (found without regard to case) that stands as a
// whole identifier: the characters on both sides, upper-cased, are none of 0-9, A-Z
// and "_". The replacement is inserted as spelled; the rest of the line keeps its
// case. The search goes on behind the inserted text, so a replacement that contains
// the search text is not replaced again.
Text ReplaceWord(TextView line, TextView search, TextView replacement);

// Replaces every occurrence of search, found without regard to case and without any
// separator test, in one pass from left to right; inserted text is not searched again.
Text ReplaceSubstring(TextView line, TextView search, TextView replacement);

// The substring rule for a window's prefix: replaces every occurrence of stem + window
// + "_" as ReplaceSubstring does, but only where the identifier that follows the stem
// belongs to that window and not to another whose name begins the same way.
Text ReplaceWindowPrefix(TextView line, TextView stem, TextView window, TextView replacement,
                         const WindowNames& windows);

}  // namespace tarnwick
