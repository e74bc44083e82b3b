// Image gadgets start without an image: the image argument becomes 0, and what stood
// after it on the line is dropped.
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void ClearImageGadgetImages(FormModel& model) {
  for (Text& line : model.FormCodeLines) {
    std::size_t p = FindNoCase(line, "IMAGEGADGET(#");
    if (p == 0) continue;
    std::size_t comma = p;
    for (int n = 0; n < 5 && comma != 0; ++n) comma = findChar(line, ',', n == 0 ? p : comma + 1);
    if (comma == 0) continue;  // fewer than six arguments: nothing to clear
    // Keep the comma and the blanks behind it, then the new image argument.
    std::size_t keep = comma;
    while (keep < line.size() && (line[keep] == ' ' || line[keep] == '\t')) ++keep;
    line = textBetween(line, 1, keep + 1) + "0)";
  }
}

}  // namespace tarnwick
