// Finding the Tarnwick project from what the PureBasic IDE has at hand: a project file,
// a folder, a form or source file, or a PureBasic project (*.pbp), whose file list
// makes a new project when none stands beside it. A .pbp is only ever read.
#pragma once

#include <string>
#include <vector>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// What a PureBasic project lists: its source files in its order, as written in it
// (relative to its folder, with "\" or "/" between the folders).
struct PureBasicProject {
  std::vector<std::string> files;
};

// Parses the XML of a PureBasic project. False with a message naming the line on
// malformed XML or a document that is no PureBasic project.
bool parsePureBasicProject(const std::string& bytes, PureBasicProject& project, std::string& error);

// The project to open for a path.
struct LocatedProject {
  std::string projectPath;    // the *.pbm
  // Set when the project was found through a .pbp that has no project beside it yet:
  // the project is to be made with these rows (relative to its folder).
  bool fromPureBasicProject = false;
  std::string pureBasicProject;  // the .pbp
  Lines newRows;
};

// How a path could not lead to a project. NotFound: nothing there names a project;
// Refused: there is one to blame (several projects, a malformed .pbp, ...).
enum class LocateEnd { Found, NotFound, Refused };

// Finds the project for an absolute path:
// - a folder: the one *.pbm in it;
// - a *.pbp: the project of the same name beside it (App.pbp, App.pbm), or one to be
//   made from the .pbp's form files (*.pbf) in its order;
// - a form file (*.pbf): the *.pbm of its folder that lists it;
// - a source file (*.pb, *.pbi): the *.pbm of its folder that lists it, else the one
//   *.pbm of its folder;
// - anything else: the path itself, as a project file.
// Otherwise error holds a message that names the path and what was found.
LocateEnd locateProject(FileSystem& fs, const std::string& path, LocatedProject& located, std::string& error);

// Writes the project that a .pbp makes: its rows, the given switches, no names. The
// line for the log goes to note. False with a message when it cannot be written.
bool makeProjectFromPureBasicProject(FileSystem& fs, const LocatedProject& located, const Switches& switches,
                                     std::string& note, std::string& error);

}  // namespace tarnwick
