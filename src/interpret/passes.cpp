#include "interpret/passes.h"

namespace tarnwick {

bool PrefixObjectConstants(RunContext&) { return true; }
void AttachToParentWindow(FormModel&) {}
void IgnoreWindowPosition(FormModel&) {}
void ConvertMenuItemTabs(FormModel&) {}
void WrapLanguageTexts(FormModel&) {}
Lines BuildFontSection(const FormModel&) { return {}; }
void ReplaceProcedureImageLoads(FormModel&) {}
void ClearImageGadgetImages(FormModel&) {}

}  // namespace tarnwick
