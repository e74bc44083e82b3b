// Small projects in an in-memory folder, and a run over them as the command line
// does it, for the tests of whole runs.
#pragma once

#include "model/filesystem.h"
#include "project/project_file.h"
#include "run/run.h"
#include "support/recording_host.h"

namespace tarnwick::testing {

// A project whose window Window_0 became Frame, with user code in an event file and in
// two include files, one of them in a subfolder.
inline MemoryFileSystem renamedProject() {
  MemoryFileSystem fs;
  fs.directories = {"/p", "/p/sub"};
  fs.files["/p/form.pb"] =
      "Enumeration\n  #Frame\nEndEnumeration\nEnumeration\n  #Button_0\nEndEnumeration\n"
      "Procedure Open_Frame()\n  If OpenWindow(#Frame, 0, 0, 300, 200, \"T\")\n"
      "    ButtonGadget(#Button_0, 10, 10, 100, 20, \"OK\")\n  EndIf\nEndProcedure\n";
  fs.files["/p/x.pbm"] = "[FILES]\n/p/form.pb\n\n[WINDOW]\nWindow_0\n\n[GADGET]\nWindow_0_Button_0\n\n";
  fs.files["/p/Main.pb"] = "IncludeFile \"user.pbi\"\nIncludeFile \"sub/deep.pbi\"\n";
  fs.files["/p/user.pbi"] = "SetGadgetText(#Window_0_Button_0, \"x\")\n";
  fs.files["/p/sub/deep.pbi"] = "Open_Window_0()\n";
  fs.files["/p/EventGadget.pb"] = "Procedure EventGadget_Window_0_Button_0(EventType)\n  Debug 1\nEndProcedure\n";
  return fs;
}

struct GenerationRun {
  FormModel model;
  RecordingHost host;
  RunEnd end;
  std::vector<PendingChange> committed;  // what the run's commit put in place
  // Loads the project as the command line does and runs it, binding Window_0 to Frame.
  explicit GenerationRun(FileSystem& fs) {
    model.ProjectPath = "/p/x.pbm";
    buildCommandSets({}, model.PrefixCommandSet, model.GadgetCommandSet);
    std::string bytes;
    fs.readFile("/p/x.pbm", bytes);
    Lines rows;
    parseProject(splitLines(T(bytes)), rows, model);
    host.answers.push_back({0, L({"Window_0 > Frame"})});
    RunContext ctx{model, host, fs, rows};
    end = runGeneration(ctx);
    committed = ctx.committed;
  }
};

}  // namespace tarnwick::testing
