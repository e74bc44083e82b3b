// CommonFile.pb and what goes with it: enumerations, font and image sections, the
// language scan and data, the first-window lines of Main.pb.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

void ScanLanguageKeys(FormModel& model, const Lines& lines);
void fillLanguageData(FormModel& model);
void buildImageSection(FormModel& model);
void buildConstantsSection(FormModel& model);

}  // namespace tarnwick
