// A whole headless run on fuzzed input. The input holds up to four files separated
// by kSeparator: the form file, EventGadget.pb, Main.pb and extra project file lines
// (switches and the names of the previous run). Binding requests are answered with
// Continue and random pairs of the offered names, or with Cancel when the project
// lines hold "[CANCEL]".
#include <cstdint>

#include "fuzz_support.h"
#include "project/project_file.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = fuzz::splitParts(data, size, 4);
  MemoryFileSystem fs;
  fs.directories.insert("/p");
  fs.files["/p/form.pbf"] = parts[0];
  if (!parts[1].empty()) fs.files["/p/EventGadget.pb"] = parts[1];
  if (!parts[2].empty()) fs.files["/p/Main.pb"] = parts[2];
  fs.files["/p/demo.pbm"] = "[FILES]\n/p/form.pbf\n\n" + parts[3];

  FormModel model;
  buildCommandSets(model.UserGadgetList, model.PrefixCommandSet, model.GadgetCommandSet);
  Lines files;
  if (!readProjectFile(fs, "/p/demo.pbm", files, model)) __builtin_trap();
  model.ProjectPath = "/p/demo.pbm";

  fuzz::AnsweringHost host;
  host.continueBindings = parts[3].find("[CANCEL]") == std::string::npos;
  host.seed = fuzz::inputSeed(data, size);
  RunContext ctx{model, host, fs, files};
  runGeneration(ctx);
  return 0;
}
