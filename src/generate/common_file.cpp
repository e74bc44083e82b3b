#include "generate/common_file.h"

namespace tarnwick {

void ScanLanguageKeys(FormModel&, const Lines&) {}
void fillLanguageData(FormModel&) {}
void buildImageSection(FormModel&) {}
void buildConstantsSection(FormModel&) {}

}  // namespace tarnwick
