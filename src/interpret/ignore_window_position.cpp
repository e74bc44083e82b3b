// Lets the system place the windows: the x and y arguments of every OpenWindow call
// become #PB_Ignore.
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void IgnoreWindowPosition(FormModel& model) {
  for (Text& line : model.FormCodeLines) {
    if (FindNoCase(line, "OPENWINDOW(#") == 0) continue;
    std::size_t c1 = findChar(line, ',');
    std::size_t c2 = c1 ? findChar(line, ',', c1 + 1) : 0;
    std::size_t c3 = c2 ? findChar(line, ',', c2 + 1) : 0;
    if (c3 == 0) continue;  // no x and y to replace
    line = textBetween(line, 1, c1 + 1) + " #PB_Ignore, #PB_Ignore," + textFrom(line, c3 + 1);
  }
}

}  // namespace tarnwick
