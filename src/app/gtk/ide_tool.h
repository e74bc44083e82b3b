// The PureBasic IDE's tool entry with a display: the run of --ide, its binding
// questions in the program's own dialog, and its log in a small window when the run
// did not simply succeed.
#pragma once

#include <string>

#include "app/cli/cli.h"

namespace tarnwick {

// What runIdeTool returns when there is no display to open: the caller then runs as
// --generate does.
constexpr int kNoDisplay = -1;

// Runs the generation for cl (cl.ide set, cl.project chosen) and returns the exit
// status of --generate. problem, when not empty, is shown instead of a run (exit 2).
int runIdeTool(int argc, char** argv, const CommandLine& cl, const std::string& problem);

}  // namespace tarnwick
