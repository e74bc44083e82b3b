// The Catalog reader, and writing the language map back out: what was read reads back
// the same, ";" in keys and texts included.
#include <cstdint>

#include "generate/file_set.h"
#include "model/encoding.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LanguageMap language;
  readCatalog(decodeFile(bytes).lines, language);
  Lines out = catalogLines(language);
  if (out.size() != language.size() + 1) __builtin_trap();
  LanguageMap again;
  readCatalog(out, again);
  if (again.entries() != language.entries()) __builtin_trap();
  return 0;
}
