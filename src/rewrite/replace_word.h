// The two ways a bound rename is carried into a line of source: whole identifiers
// only, or every occurrence.
#pragma once

#include "model/text.h"

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

}  // namespace tarnwick
