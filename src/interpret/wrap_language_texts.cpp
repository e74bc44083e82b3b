// For multi-language projects: the first text literal of each form code line becomes
// a MyLanguage look-up, whose keys the language scan then collects.
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void WrapLanguageTexts(FormModel& model) {
  for (Text& line : model.FormCodeLines) {
    // Window titles and image file names stay literal; so do the default values of
    // procedure parameters, where a call is not allowed.
    if (FindNoCase(line, "OPENWINDOW(") != 0 || FindNoCase(line, "LOADIMAGE(") != 0 ||
        FindNoCase(line, "CATCHIMAGE(") != 0 || isProcedureHead(line))
      continue;
    std::size_t q1 = findChar(line, '"');
    std::size_t q2 = q1 ? findChar(line, '"', q1 + 1) : 0;
    if (q2 == 0) continue;  // no complete literal
    line = textBetween(line, 1, q1) + "MyLanguage(\"" + textBetween(line, q1 + 1, q2) + "\")" +
           textFrom(line, q2 + 1);
  }
}

}  // namespace tarnwick
