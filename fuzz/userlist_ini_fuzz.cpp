// The UserList.INI reader and the command sets built from its names.
#include <cstdint>

#include "model/encoding.h"
#include "project/settings.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Lines names = parseUserGadgets(decodeFile(bytes).lines);
  FormModel model;
  buildCommandSets(names, model.PrefixCommandSet, model.GadgetCommandSet);
  // The names written out read back as the same names. A name that begins with "["
  // reads back as a section header: such a name is no command name, and is left out.
  for (const Text& name : names)
    if (name[0] == '[') return 0;
  std::string written = userGadgetFileBytes(names);
  if (parseUserGadgets(decodeFile(written).lines) != names) __builtin_trap();
  return 0;
}
