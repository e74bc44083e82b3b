// The passes that rewrite the form code, in the order step 1 runs them.
#pragma once

#include "app/core/run.h"

namespace tarnwick {

bool PrefixObjectConstants(RunContext& ctx);
void AttachToParentWindow(FormModel& model);
void IgnoreWindowPosition(FormModel& model);
void ConvertMenuItemTabs(FormModel& model);
void WrapLanguageTexts(FormModel& model);
Lines BuildFontSection(const FormModel& model);
void ReplaceProcedureImageLoads(FormModel& model);
void ClearImageGadgetImages(FormModel& model);

}  // namespace tarnwick
