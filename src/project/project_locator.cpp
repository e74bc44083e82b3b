#include "project/project_locator.h"

#include <expat.h>

#include <algorithm>
#include <climits>

#include "project/project_file.h"

namespace tarnwick {

namespace {

// The state of one parse: where in the document the parser stands.
struct PbpParse {
  PureBasicProject* project = nullptr;
  int depth = 0;
  std::string rootName;
  int filesDepth = 0;  // depth of the open <section name="files">, 0 outside it
};

const char* attribute(const XML_Char** attributes, const char* name) {
  for (int i = 0; attributes[i]; i += 2)
    if (std::string(attributes[i]) == name) return attributes[i + 1];
  return nullptr;
}

void XMLCALL onStart(void* data, const XML_Char* element, const XML_Char** attributes) {
  auto* p = static_cast<PbpParse*>(data);
  const std::string name = element;
  ++p->depth;
  if (p->depth == 1) {
    p->rootName = name;
    return;
  }
  if (p->rootName != "project") return;
  if (p->depth == 2 && name == "section") {
    const char* section = attribute(attributes, "name");
    if (section && std::string(section) == "files") p->filesDepth = 2;
  } else if (p->filesDepth && p->depth == 3 && name == "file") {
    const char* file = attribute(attributes, "name");
    if (file && *file) p->project->files.emplace_back(file);
  }
}

void XMLCALL onEnd(void* data, const XML_Char*) {
  auto* p = static_cast<PbpParse*>(data);
  if (p->depth == p->filesDepth) p->filesDepth = 0;
  --p->depth;
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The extension of a file name, lower case, with its dot; empty when it has none.
std::string extensionOf(const std::string& path) {
  std::string name = toUtf8(fileNameOf(path));
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : lower(name.substr(dot));
}

std::string withSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// The *.pbm files of a folder, as full paths, sorted by name.
std::vector<std::string> projectFilesIn(FileSystem& fs, const std::string& folder) {
  std::vector<DirEntry> entries;
  std::vector<std::string> found;
  if (!fs.listDirectory(folder, entries)) return found;
  for (const DirEntry& e : entries)
    if (e.isRegular && extensionOf(e.name) == ".pbm") found.push_back(withSlash(folder) + e.name);
  std::sort(found.begin(), found.end());
  return found;
}

std::string joinNames(const std::vector<std::string>& paths) {
  std::string s;
  for (const std::string& p : paths) s += (s.empty() ? "" : ", ") + toUtf8(fileNameOf(p));
  return s;
}

// True when a row of the project file names the file at path.
bool projectLists(FileSystem& fs, const std::string& projectPath, const std::string& path) {
  Lines rows;
  FormModel scratch;
  if (!readProjectFile(fs, projectPath, rows, scratch)) return false;
  const Text folder = directoryOf(projectPath);
  const std::string wanted = lexicallyNormal(path);
  return std::any_of(rows.begin(), rows.end(), [&](const Text& row) {
    return lexicallyNormal(toUtf8(resolveFileRow(row, folder))) == wanted;
  });
}

LocateEnd theOneProjectIn(FileSystem& fs, const std::string& folder, LocatedProject& located, std::string& error) {
  const std::vector<std::string> projects = projectFilesIn(fs, folder);
  if (projects.size() == 1) {
    located.projectPath = projects.front();
    return LocateEnd::Found;
  }
  if (projects.empty()) {
    error = "No Tarnwick project (*.pbm) in " + withSlash(folder);
    return LocateEnd::NotFound;
  }
  error = "Several Tarnwick projects in " + withSlash(folder) + ": " + joinNames(projects) + "; name one of them";
  return LocateEnd::Refused;
}

LocateEnd projectListing(FileSystem& fs, const std::string& path, bool folderWide, LocatedProject& located,
                         std::string& error) {
  const std::string folder = toUtf8(directoryOf(path));
  std::vector<std::string> listing;
  for (const std::string& project : projectFilesIn(fs, folder))
    if (projectLists(fs, project, path)) listing.push_back(project);
  if (listing.size() == 1) {
    located.projectPath = listing.front();
    return LocateEnd::Found;
  }
  if (listing.size() > 1) {
    error = "Several Tarnwick projects in " + folder + " list " + path + ": " + joinNames(listing) +
            "; name one of them";
    return LocateEnd::Refused;
  }
  // A source file that no project lists belongs to the project of its folder.
  if (folderWide) return theOneProjectIn(fs, folder, located, error);
  error = "No Tarnwick project (*.pbm) in " + folder + " lists " + path;
  return LocateEnd::NotFound;
}

LocateEnd fromPureBasicProject(FileSystem& fs, const std::string& path, LocatedProject& located, std::string& error) {
  const std::string stem = path.substr(0, path.size() - extensionOf(path).size());
  located.projectPath = stem + ".pbm";
  if (fs.isRegularFile(located.projectPath)) return LocateEnd::Found;

  std::string bytes;
  if (!fs.readFile(path, bytes)) {
    error = "Cannot read the PureBasic project " + path;
    return LocateEnd::NotFound;
  }
  PureBasicProject pbp;
  std::string why;
  if (!parsePureBasicProject(bytes, pbp, why)) {
    error = "The PureBasic project " + path + " cannot be read: " + why;
    return LocateEnd::Refused;
  }
  for (std::string name : pbp.files) {
    // Written on Windows, the folders are parted by "\".
    std::replace(name.begin(), name.end(), '\\', '/');
    if (extensionOf(name) == ".pbf") located.newRows.push_back(fromUtf8(name));
  }
  if (located.newRows.empty()) {
    error = "The PureBasic project " + path + " lists no form file (*.pbf)";
    return LocateEnd::Refused;
  }
  located.fromPureBasicProject = true;
  located.pureBasicProject = path;
  return LocateEnd::Found;
}

}  // namespace

bool parsePureBasicProject(const std::string& bytes, PureBasicProject& project, std::string& error) {
  project = {};
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    error = "the file is too large";
    return false;
  }
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    error = "out of memory";
    return false;
  }
  PbpParse state;
  state.project = &project;
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, onStart, onEnd);
  bool ok = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK;
  if (!ok)
    error = "line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
            XML_ErrorString(XML_GetErrorCode(parser));
  XML_ParserFree(parser);
  if (ok && state.rootName != "project") {
    error = "its root element is <" + state.rootName + ">, not <project>";
    ok = false;
  }
  if (!ok) project = {};
  return ok;
}

LocateEnd locateProject(FileSystem& fs, const std::string& given, LocatedProject& located, std::string& error) {
  located = {};
  // "." given as the folder: its project's path, and every path of the run, without "/.".
  std::string path = given;
  while (path.size() > 2 && path.ends_with("/.")) path.resize(path.size() - 2);
  if (fs.isDirectory(path)) return theOneProjectIn(fs, path, located, error);
  const std::string ext = extensionOf(path);
  if (ext == ".pbp") return fromPureBasicProject(fs, path, located, error);
  if (ext == ".pbf" || ext == ".pb" || ext == ".pbi") {
    if (!fs.isRegularFile(path)) {
      error = "No such file: " + path;
      return LocateEnd::NotFound;
    }
    return projectListing(fs, path, ext != ".pbf", located, error);
  }
  located.projectPath = path;
  return LocateEnd::Found;
}

bool makeProjectFromPureBasicProject(FileSystem& fs, const LocatedProject& located, const Switches& switches,
                                     std::string& note, std::string& error) {
  FormModel model;
  model.switches = switches;
  if (!writeProjectFile(fs, located.projectPath, located.newRows, model, false)) {
    error = "Error save file project: " + located.projectPath;
    return false;
  }
  const std::size_t n = located.newRows.size();
  note = "New project " + located.projectPath + " made from " + toUtf8(fileNameOf(located.pureBasicProject)) +
         " with " + std::to_string(n) + (n == 1 ? " form file." : " form files.");
  return true;
}

}  // namespace tarnwick
