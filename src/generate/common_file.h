// CommonFile.pb and what goes with it: enumerations, font and image sections, the
// language scan and data, the first-window lines of Main.pb.
#pragma once

#include "model/stage.h"

namespace tarnwick {

// Adds the first quoted text of every line that calls MyLanguage as a key, its own
// text; keys already there (e.g. translations from Catalog) are left alone.
void ScanLanguageKeys(FormModel& model, const Lines& lines);
// Hands the lines of every include file to the language scan.
void ScanIncludeFilesForLanguage(StageContext& ctx);
// Logs a warning for each language key whose key or text holds ";": the generated
// program cuts Catalog lines at every ";", so it cannot read that translation.
void reportUnreadableTranslations(StageContext& ctx);
// Rewrites the key count and the default language data of LoadLanguage.pb.
void fillLanguageData(FormModel& model);
// The image section of CommonFile.pb: decoders, then load or embed lines.
void buildImageSection(FormModel& model);
// The eight enumeration blocks of CommonFile.pb.
void buildConstantsSection(FormModel& model);

// Points the start-up lines of Main.pb at the first window: the placeholder call
// becomes a call of the procedure that opens it, the window test names it.
void rewriteFirstWindowLines(StageContext& ctx);
// Builds the whole CommonFile.pb buffer from the prepared sections and the form code,
// which it moves into the buffer: both are empty afterwards.
void assembleCommonFile(FormModel& model);

// The label under which an embedded image is stored: the constant without blanks and
// "#", or "Image_" + the number for a numbered image.
Text imageLabel(const Text& constant);
// A font or image constant gets an enumeration member only when it is a "#" constant;
// a numbered one (LoadFont(1, ...)) would put a bare number into the enumeration.
bool isNamedConstant(const Text& constant);

}  // namespace tarnwick
