// The generated file set: preparing the buffers in step 1 and writing them in step 4.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

// Fills the seven buffers from disk or the templates and reads Catalog.
void prepareFileBuffers(RunContext& ctx);
// Writes the generated files, each with its own log line. False when any of them
// could not be written.
bool writeGeneratedFiles(RunContext& ctx);

}  // namespace tarnwick
