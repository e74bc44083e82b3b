// The built-in template texts, embedded byte for byte at build time.
#pragma once

#include <string_view>

#include "model/text.h"

namespace tarnwick {

// The raw text of a template file by its name, e.g. "Main.txt"; empty when unknown.
std::string_view templateText(std::string_view fileName);
// A template split into lines: CRs removed, cut at every LF, text after the last LF dropped.
Lines templateLines(std::string_view fileName);

}  // namespace tarnwick
