#include "generate/templates.h"

#include <cstddef>
#include <utility>

namespace tarnwick {

extern const std::pair<std::string_view, std::string_view> EmbeddedTemplates[];
extern const std::size_t EmbeddedTemplatesCount;

std::string_view templateText(std::string_view fileName) {
  for (std::size_t i = 0; i < EmbeddedTemplatesCount; ++i)
    if (EmbeddedTemplates[i].first == fileName) return EmbeddedTemplates[i].second;
  return {};
}

Lines templateLines(std::string_view fileName) {
  Text text;
  for (char c : fromUtf8(templateText(fileName)))
    if (c != '\r') text.push_back(c);
  Lines lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

}  // namespace tarnwick
