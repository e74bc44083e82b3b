// Image loads inside the form code become references to image constants that
// CommonFile.pb loads once; the same file always gets the same constant.
#include <unordered_map>

#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

void ReplaceProcedureImageLoads(FormModel& model) {
  // Upper-cased file name to constant; the first entry of a file wins.
  std::unordered_map<Text, Text> byFile;
  for (const ImageEntry& image : model.ImageList) byFile.emplace(upper(image.file), image.constant);
  long long counter = 0;
  for (Text& line : model.FormCodeLines) {
    std::size_t p = FindNoCase(line, U"LOADIMAGE(");
    if (p == 0) continue;
    // The file name must be a literal inside the call, and the call must be closed on
    // this line; otherwise the line is left as it is.
    std::size_t close = closingParenthesis(line, p + 9);
    std::size_t q1 = findChar(line, U'"', p);
    std::size_t q2 = q1 ? findChar(line, U'"', q1 + 1) : 0;
    if (close == 0 || q2 == 0 || q2 > close) continue;
    Text file = textBetween(line, q1 + 1, q2);
    auto [it, isNew] = byFile.emplace(upper(file), Text());
    if (isNew) {
      it->second = U"#MyImage_" + numberText(counter++);
      model.ImageList.push_back({it->second, file});
    }
    line = textBetween(line, 1, p) + U"ImageID(" + it->second + U")" + textFrom(line, close + 1);
  }
}

}  // namespace tarnwick
