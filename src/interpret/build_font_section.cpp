// The font section of CommonFile.pb: the global LoadFont lines of the sources.
#include "interpret/passes.h"

namespace tarnwick {

Lines BuildFontSection(const FormModel& model) {
  Lines section{";- Load Font"};
  for (const FontEntry& font : model.FontList) section.push_back(font.line);
  section.push_back(Text());
  return section;
}

}  // namespace tarnwick
