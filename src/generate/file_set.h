// The generated file set: preparing the buffers in step 1 and writing them in step 4.
#pragma once

#include "model/stage.h"

namespace tarnwick {

// The source files a run writes beside the project besides Catalog, in the order of the
// commit; LoadLanguage.pb only for a project in several languages.
inline constexpr const char* kGeneratedSourceFiles[] = {"Main.pb",        "CommonFile.pb",  "EventMain.pb",
                                                        "EventMenu.pb",   "EventGadget.pb", "EventWindow.pb",
                                                        "LoadLanguage.pb"};

// Fills the seven buffers from disk or the templates and reads Catalog.
void prepareFileBuffers(StageContext& ctx);
// Stages a finished buffer for the commit right away and frees its lines; its log line
// comes when the files are written, in their order.
void stageFinished(StageContext& ctx, const char* name, FileBuffer& buffer);
// Stages Catalog, then puts every staged file in the commit's order, each with its own
// log line. False when any of them could not be written.
bool writeGeneratedFiles(StageContext& ctx);

// Reads the lines of a Catalog file into the language map, in file order.
void readCatalog(const Lines& lines, LanguageMap& language);
// The lines of a Catalog file for the language map.
Lines catalogLines(const LanguageMap& language);

}  // namespace tarnwick
