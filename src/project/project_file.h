// The *.pbm project file: its text layout, parsing and writing. The file list rows are
// passed in and out as plain texts, so the same code serves the window and the command
// line.
#pragma once

#include <string>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// PureBasic-style integer parse: leading blanks and tabs skipped, optional sign,
// "$" hexadecimal, "%" base 2, otherwise decimal; no digits give 0.
int64_t parseNumber(TextView text);

// Applies the lines of a project file: file rows appended to files, switches set,
// name sections appended to the previous lists. The previous lists are emptied first.
void parseProject(const Lines& lines, Lines& files, FormModel& model);

// The lines of a project file. With useCurrentModel the name sections come from this
// run's object lists, otherwise from the previous lists.
Lines projectLines(const Lines& files, const FormModel& model, bool useCurrentModel);

// Reads a project file (any line end). False when it cannot be read; files and the
// previous lists are emptied in any case, as a load does.
bool readProjectFile(FileSystem& fs, const std::string& path, Lines& files, FormModel& model);

// The bytes of a project file: UTF-8 without mark, LF.
std::string projectFileBytes(const Lines& files, const FormModel& model, bool useCurrentModel);

// Writes a project file (UTF-8 without mark, LF). False when the file list is empty
// (nothing is written) or the file cannot be written.
bool writeProjectFile(FileSystem& fs, const std::string& path, const Lines& files, const FormModel& model,
                      bool useCurrentModel);

// True when the file at path holds exactly what writeProjectFile writes for files and
// the previous names of model: tells whether a save really reached the disk.
bool projectFileHolds(FileSystem& fs, const std::string& path, const Lines& files, const FormModel& model);

// The path of a file list row: a relative row counts from the project's folder (the
// directory part of the project file's path, ending in "/"), never from the working
// directory; an absolute row, or any row of a project without a folder, stays as it is.
Text resolveFileRow(const Text& row, const Text& projectDirectory);

// The rows as a project file in the folder toDirectory keeps them: a file below that
// folder as a path relative to it, so that the project can be copied or moved with its
// folder; any other file absolute. Rows are read from fromDirectory, the folder of the
// project file they were read from (the same folder unless the project is saved
// elsewhere); a relative row that stays in its folder is kept as written.
Lines storedFileRows(const Lines& rows, const Text& fromDirectory, const Text& toDirectory);

// The name lists of this run become the previous names.
void adoptCurrentNames(FormModel& model);

}  // namespace tarnwick
