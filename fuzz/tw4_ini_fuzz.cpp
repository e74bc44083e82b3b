// The TW4.INI reader: the switch defaults, lookups, and updating a key in place.
#include <cstdint>

#include "project/settings.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryFileSystem fs;
  fs.files["/c/TW4.INI"] = std::string(reinterpret_cast<const char*>(data), size);
  IniText ini = readIni(fs, "/c/TW4.INI");
  readDefaultSwitches(ini);
  ini.get("Default", "LastProject", "");
  ini.get("Default", "LastPath", "");

  updateIniKey(fs, "/c/TW4.INI", "Default", "LastPath", "/home/user/");
  IniText updated = readIni(fs, "/c/TW4.INI");
  if (updated.get("Default", "LastPath", "") != "/home/user/") __builtin_trap();
  return 0;
}
