// A whole headless run on fuzzed input, then a restore, in a project that may be
// hostile. The input holds up to six files separated by kSeparator: the form file,
// EventGadget.pb, Main.pb, extra project file lines (switches and the names of the
// previous run), a journal left in the project folder and a Backup/.restore. Binding
// requests are answered with Continue and random pairs of the offered names, or with
// Cancel when the project lines hold "[CANCEL]". Whatever the journal and the record
// say, no file outside the project changes unless Main.pb names it as an include file.
#include <cstdint>

#include "fuzz_support.h"
#include "project/project_file.h"
#include "run/commit.h"
#include "run/restore.h"

using namespace tarnwick;

namespace {

// The include files that Main.pb of the project names at this moment.
std::set<std::string> namedIncludes(MemoryFileSystem& fs) {
  FormModel model;
  model.ProjectPath = "/p/demo.pbm";
  fuzz::AnsweringHost host;
  StageContext ctx{model, host, fs};
  return includeFilesNamedNow(ctx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = fuzz::splitParts(data, size, 6);
  MemoryFileSystem fs;
  fs.directories.insert("/p");
  fs.files["/p/form.pbf"] = parts[0];
  if (!parts[1].empty()) fs.files["/p/EventGadget.pb"] = parts[1];
  if (!parts[2].empty()) fs.files["/p/Main.pb"] = parts[2];
  fs.files["/p/demo.pbm"] = "[FILES]\n/p/form.pbf\n\n" + parts[3];
  if (!parts[4].empty()) fs.files["/p/.tarnwick-journal"] = parts[4];
  if (!parts[5].empty()) {
    fs.directories.insert("/p/Backup");
    fs.files["/p/Backup/.restore"] = parts[5];
    fs.files["/p/Backup/external/home/u/.bashrc"] = "theirs";
  }
  // What lies outside the project, some of it named like a temporary of a run.
  fs.directories.insert("/home/u");
  fs.files["/home/u/.bashrc"] = "mine";
  fs.files["/home/u/..bashrc.tw-a1b2c3"] = "theirs";
  fs.directories.insert("/home/u/docs");
  fs.files["/home/u/docs/notes.txt"] = "notes";
  auto outside = [&fs] {
    std::map<std::string, std::string> out;
    for (const auto& [path, bytes] : fs.files)
      if (path.rfind("/p/", 0) != 0) out[path] = bytes;
    return out;
  };
  const auto before = outside();
  std::set<std::string> allowed = namedIncludes(fs);

  FormModel model;
  buildCommandSets(model.UserGadgetList, model.PrefixCommandSet, model.GadgetCommandSet);
  Lines files;
  if (!readProjectFile(fs, "/p/demo.pbm", files, model)) __builtin_trap();
  model.ProjectPath = "/p/demo.pbm";

  fuzz::AnsweringHost host;
  host.continueBindings = parts[3].find("[CANCEL]") == std::string::npos;
  host.seed = fuzz::inputSeed(data, size);
  {
    RunContext ctx{model, host, fs, files};
    runGeneration(ctx);
  }
  for (const std::string& include : namedIncludes(fs)) allowed.insert(include);
  {
    FormModel place;
    place.ProjectPath = "/p/demo.pbm";
    StageContext ctx{place, host, fs};
    restoreBackup(ctx, [](const std::vector<std::string>&) { return true; });
  }
  for (const std::string& include : namedIncludes(fs)) allowed.insert(include);

  const auto after = outside();
  for (const auto& [path, bytes] : before) {
    auto now = after.find(path);
    if ((now == after.end() || now->second != bytes) && !allowed.count(path)) __builtin_trap();
  }
  for (const auto& [path, bytes] : after)
    if (!before.count(path) && !allowed.count(path)) __builtin_trap();
  if (!fs.directories.count("/home/u/docs")) __builtin_trap();
  return 0;
}
