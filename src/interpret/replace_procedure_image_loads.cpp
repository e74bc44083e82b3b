// Image loads inside the form code become references to image constants that
// CommonFile.pb loads once; the same file always gets the same constant.
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/form_code.h"
#include "interpret/passes.h"

namespace tarnwick {

namespace {

// The first LoadImage call of a line, when its file name is a literal inside the call
// and the call is closed on the line; `at` is 0 otherwise.
struct LoadCall {
  std::size_t at = 0, close = 0;
  Text file;
  // The "#" constant of its first argument, trimmed; empty for a number, a variable
  // or #PB_Any.
  Text constant;
};

LoadCall findLoadCall(const Text& line) {
  LoadCall call;
  std::size_t p = FindNoCase(line, "LOADIMAGE(");
  if (p == 0) return call;
  std::size_t open = p + 9;
  std::size_t close = closingParenthesis(line, open);
  std::size_t q1 = findChar(line, '"', p);
  std::size_t q2 = q1 ? findChar(line, '"', q1 + 1) : 0;
  if (close == 0 || q2 == 0 || q2 > close) return call;
  call.at = p;
  call.close = close;
  call.file = textBetween(line, q1 + 1, q2);
  std::size_t comma = findChar(line, ',', open);
  if (comma == 0 || comma > q1) return call;
  Text first = trimBlanksTabs(textBetween(line, open + 1, comma));
  if (first.size() >= 2 && first[0] == '#' && !isPbAnyName(first.substr(1))) call.constant = first;
  return call;
}

}  // namespace

void ReplaceProcedureImageLoads(FormModel& model) {
  // Upper-cased file name to constant; the first entry of a file wins.
  std::unordered_map<Text, Text> byFile;
  // Upper-cased constants of the image list, and every name the form loads an image
  // into: a numbered load must not get a name that stands for another image.
  std::unordered_set<Text> listed, taken;
  for (const ImageEntry& image : model.ImageList) {
    byFile.emplace(upper(image.file), image.constant);
    listed.insert(upper(trimBlanksTabs(image.constant)));
  }
  taken = listed;
  // The lines that load an image, each found once.
  std::vector<std::pair<std::size_t, LoadCall>> loads;
  for (std::size_t i = 0; i < model.FormCodeLines.size(); ++i) {
    LoadCall call = findLoadCall(model.FormCodeLines[i]);
    if (call.at == 0) continue;
    taken.insert(upper(call.constant));
    loads.emplace_back(i, std::move(call));
  }

  long long counter = 0;
  for (const auto& [index, call] : loads) {
    Text& line = model.FormCodeLines[index];
    // A load into a constant of the form's own keeps that constant: later ImageID
    // calls of the form name it, so it must be loaded and declared under that name.
    Text constant = call.constant;
    if (!constant.empty()) {
      if (listed.insert(upper(constant)).second) model.ImageList.push_back({constant, call.file});
      byFile.emplace(upper(call.file), constant);
    } else {
      auto [it, isNew] = byFile.emplace(upper(call.file), Text());
      if (isNew) {
        do it->second = "#MyImage_" + numberText(counter++);
        while (!taken.insert(upper(it->second)).second);
        listed.insert(upper(it->second));
        model.ImageList.push_back({it->second, call.file});
      }
      constant = it->second;
    }
    line = textBetween(line, 1, call.at) + "ImageID(" + constant + ")" + textFrom(line, call.close + 1);
  }
}

}  // namespace tarnwick
