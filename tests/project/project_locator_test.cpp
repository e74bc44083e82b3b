#include "project/project_locator.h"

#include <gtest/gtest.h>

#include "project/project_file.h"

namespace tarnwick {
namespace {

const char* const kPbp =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
    "<project xmlns=\"http://www.purebasic.com/namespace\" version=\"1.0\">\n"
    "  <section name=\"config\">\n    <options closefiles=\"1\" name=\"App\"/>\n  </section>\n"
    "  <section name=\"files\">\n"
    "    <file name=\"main.pb\">\n      <config load=\"0\" scan=\"1\"/>\n    </file>\n"
    "    <file name=\"forms\\Second &amp; Last.pbf\">\n      <fingerprint md5=\"0\"/>\n    </file>\n"
    "    <file name=\"First.PBF\"/>\n"
    "  </section>\n"
    "  <section name=\"targets\">\n"
    "    <target name=\"Default\" enabled=\"1\">\n      <inputfile value=\"main.pb\"/>\n"
    "      <file name=\"not-a-source.pbf\"/>\n    </target>\n"
    "  </section>\n"
    "</project>\n";

TEST(PureBasicProject, SourcesOfTheFilesSectionInOrderAndMalformedFilesRefused) {
  PureBasicProject pbp;
  std::string error;
  ASSERT_TRUE(parsePureBasicProject(kPbp, pbp, error)) << error;
  EXPECT_EQ(pbp.files, (std::vector<std::string>{"main.pb", "forms\\Second & Last.pbf", "First.PBF"}));

  EXPECT_FALSE(parsePureBasicProject("<project>\n<section name=\"files\">\n<file name=\"a.pbf\">\n</project>", pbp,
                                     error));
  EXPECT_EQ(error.rfind("line 4: ", 0), 0u) << error;
  EXPECT_TRUE(pbp.files.empty());
  EXPECT_FALSE(parsePureBasicProject("", pbp, error));
  EXPECT_FALSE(parsePureBasicProject("<projekt/>", pbp, error));
  EXPECT_NE(error.find("<projekt>"), std::string::npos) << error;
}

MemoryFileSystem ideFolder() {
  MemoryFileSystem fs;
  fs.directories = {"/w", "/w/one", "/w/two", "/w/none", "/w/forms"};
  fs.files["/w/one/form.pbf"] = "";
  fs.files["/w/one/other.pbf"] = "";
  fs.files["/w/one/code.pb"] = "";
  fs.files["/w/one/App.pbm"] = "[FILES]\n./form.pbf\n\n";
  fs.files["/w/two/a.pbm"] = "[FILES]\n/w/two/form.pbf\n\n";
  fs.files["/w/two/b.pbm"] = "[FILES]\nform.pbf\n\n";
  fs.files["/w/two/form.pbf"] = "";
  fs.files["/w/two/tool.pbi"] = "";
  fs.files["/w/none/x.pbf"] = "";
  return fs;
}

TEST(LocateProject, FolderFormAndSourceFile) {
  MemoryFileSystem fs = ideFolder();
  LocatedProject at;
  std::string error;
  struct Case {
    const char* path;
    LocateEnd end;
    const char* project;  // or a part of the message
  } cases[] = {
      {"/w/one/.", LocateEnd::Found, "/w/one/App.pbm"},
      {"/w/one/form.pbf", LocateEnd::Found, "/w/one/App.pbm"},   // listed as "./form.pbf"
      {"/w/one/code.pb", LocateEnd::Found, "/w/one/App.pbm"},    // a source: the folder's project
      {"/w/one/other.pbf", LocateEnd::NotFound, "lists /w/one/other.pbf"},
      {"/w/one/gone.pbf", LocateEnd::NotFound, "No such file"},
      {"/w/two", LocateEnd::Refused, "a.pbm, b.pbm"},
      {"/w/two/form.pbf", LocateEnd::Refused, "list /w/two/form.pbf: a.pbm, b.pbm"},
      {"/w/two/tool.pbi", LocateEnd::Refused, "a.pbm, b.pbm"},
      {"/w/none", LocateEnd::NotFound, "No Tarnwick project (*.pbm) in /w/none/"},
      {"/w/none/x.pbf", LocateEnd::NotFound, "in /w/none/ lists"},
      {"/w/odd.name", LocateEnd::Found, "/w/odd.name"},  // taken as a project file, as before
  };
  for (const Case& c : cases) {
    error.clear();
    EXPECT_EQ(locateProject(fs, c.path, at, error), c.end) << c.path;
    if (c.end == LocateEnd::Found) {
      EXPECT_EQ(at.projectPath, c.project) << c.path;
      EXPECT_FALSE(at.fromPureBasicProject);
    } else {
      EXPECT_NE(error.find(c.project), std::string::npos) << c.path << ": " << error;
    }
  }
}

TEST(LocateProject, PureBasicProjectWithAndWithoutItsProject) {
  MemoryFileSystem fs = ideFolder();
  fs.files["/w/App.pbp"] = kPbp;
  LocatedProject at;
  std::string error, note;
  ASSERT_EQ(locateProject(fs, "/w/App.pbp", at, error), LocateEnd::Found) << error;
  EXPECT_TRUE(at.fromPureBasicProject);
  EXPECT_EQ(at.projectPath, "/w/App.pbm");
  EXPECT_EQ(at.newRows, (Lines{"forms/Second & Last.pbf", "First.PBF"}));

  Switches defaults;
  defaults.Utf8 = 0;
  ASSERT_TRUE(makeProjectFromPureBasicProject(fs, at, defaults, note, error)) << error;
  EXPECT_EQ(note, "New project /w/App.pbm made from App.pbp with 2 form files.");
  Lines rows;
  FormModel read;
  ASSERT_TRUE(readProjectFile(fs, "/w/App.pbm", rows, read));
  EXPECT_EQ(rows, at.newRows);
  EXPECT_EQ(read.switches, defaults);
  EXPECT_EQ(resolveFileRow(rows[0], "/w/"), "/w/forms/Second & Last.pbf");
  EXPECT_EQ(fs.files["/w/App.pbp"], kPbp);  // only ever read

  // Now the project beside it is found, and the .pbp is not read again.
  fs.files["/w/App.pbp"] = "broken";
  ASSERT_EQ(locateProject(fs, "/w/App.pbp", at, error), LocateEnd::Found);
  EXPECT_FALSE(at.fromPureBasicProject);
  EXPECT_EQ(at.projectPath, "/w/App.pbm");

  fs.files["/w/Bad.pbp"] = "<project><section name=\"files\"></project>";
  EXPECT_EQ(locateProject(fs, "/w/Bad.pbp", at, error), LocateEnd::Refused);
  EXPECT_NE(error.find("/w/Bad.pbp cannot be read: line 1"), std::string::npos) << error;
  fs.files["/w/NoForms.pbp"] = "<project><section name=\"files\"><file name=\"main.pb\"/></section></project>";
  EXPECT_EQ(locateProject(fs, "/w/NoForms.pbp", at, error), LocateEnd::Refused);
  EXPECT_NE(error.find("lists no form file"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarnwick
