// The passes that rewrite the form code, in the order step 1 runs them.
#pragma once

#include "model/stage.h"

namespace tarnwick {

bool PrefixObjectConstants(StageContext& ctx);
void AttachToParentWindow(FormModel& model);
void IgnoreWindowPosition(FormModel& model);
void ConvertMenuItemTabs(FormModel& model);
void WrapLanguageTexts(FormModel& model);
Lines BuildFontSection(const FormModel& model);
void ReplaceProcedureImageLoads(FormModel& model);
void ClearImageGadgetImages(FormModel& model);

}  // namespace tarnwick
