// For multi-language projects: the first text literal of each form code line becomes
// a MyLanguage look-up, whose keys the language scan then collects.
#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void WrapLanguageTexts(FormModel& model) {
  for (Text& line : model.FormCodeLines) {
    std::size_t q1 = findChar(line, '"');
    std::size_t q2 = q1 ? findChar(line, '"', q1 + 1) : 0;
    if (q2 == 0) continue;  // no complete literal
    // Window titles and image file names stay literal; so do the default values of
    // procedure parameters, where a call is not allowed.
    const LineCalls calls(line);
    if (calls.find("OPENWINDOW(") != 0 || calls.find("LOADIMAGE(") != 0 || calls.find("CATCHIMAGE(") != 0 ||
        isProcedureHead(line))
      continue;
    Text wrapped;
    wrapped.reserve(line.size() + 13);
    wrapped.append(line, 0, q1 - 1).append("MyLanguage(\"").append(line, q1, q2 - q1 - 1).append("\")");
    wrapped.append(line, q2);
    line = std::move(wrapped);
  }
}

}  // namespace tarnwick
