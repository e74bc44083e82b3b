// Menu texts write the tab before a shortcut as "\t"; PureBasic strings have no such
// escape, so the text is split into two literals joined by #TAB$.
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void ConvertMenuItemTabs(FormModel& model) {
  for (Text& line : model.FormCodeLines) {
    if (FindNoCase(line, "MENUITEM(#") == 0) continue;
    line = replaceAllNoCase(line, "\\t", "\" + #TAB$ + \"");
  }
}

}  // namespace tarnwick
