// The TW4.INI reader: the switch defaults, lookups, and updating a key in place.
#include <cstdint>

#include "project/settings.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryFileSystem fs;
  fs.files["/c/TW4.INI"] = std::string(reinterpret_cast<const char*>(data), size);
  IniText ini = readIni(fs, "/c/TW4.INI");
  readDefaultSwitches(ini);
  ini.get(U"Default", U"LastProject", U"");
  ini.get(U"Default", U"LastPath", U"");

  updateIniKey(fs, "/c/TW4.INI", U"Default", U"LastPath", U"/home/user/");
  IniText updated = readIni(fs, "/c/TW4.INI");
  if (updated.get(U"Default", U"LastPath", U"") != U"/home/user/") __builtin_trap();
  return 0;
}
