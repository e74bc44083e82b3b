// The passes that rewrite the form code, in the order step 1 runs them.
#pragma once

#include "model/stage.h"

namespace tarnwick {

// Before the prefixing: fills GadgetProcedureSet with the form code's own procedures
// that create a gadget for their caller.
void FindGadgetProcedures(FormModel& model);
bool PrefixObjectConstants(StageContext& ctx);
// After the duplicate checks: references to a window's objects get the prefix of the
// calls that create them.
void PrefixObjectReferences(FormModel& model);
void AttachToParentWindow(FormModel& model);
void IgnoreWindowPosition(FormModel& model);
void ConvertMenuItemTabs(FormModel& model);
void WrapLanguageTexts(FormModel& model);
Lines BuildFontSection(const FormModel& model);
void ReplaceProcedureImageLoads(FormModel& model);
void ClearImageGadgetImages(FormModel& model);

}  // namespace tarnwick
