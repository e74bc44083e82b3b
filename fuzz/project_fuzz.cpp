// The project file reader. Whatever it reads must be written back in a form that
// reads back to the same file list, switches and names.
#include <cstdint>
#include <cstdlib>

#include "project/project_file.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryFileSystem fs;
  fs.files["/p/x.pbm"] = std::string(reinterpret_cast<const char*>(data), size);
  FormModel model;
  Lines files;
  readProjectFile(fs, "/p/x.pbm", files, model);

  if (!writeProjectFile(fs, "/p/y.pbm", files, model, false)) return 0;
  FormModel again;
  Lines filesAgain;
  readProjectFile(fs, "/p/y.pbm", filesAgain, again);
  if (projectLines(filesAgain, again, false) != projectLines(files, model, false)) abort();
  return 0;
}
