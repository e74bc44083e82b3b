// Complete generated projects compared byte for byte with the files kept under
// tests/golden/<case>/expected. When they differ the run's output is written to
// tests/golden/<case>/actual for review (tests/golden/accept.sh promotes it).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "generate_fixture.h"

namespace tarnwick {
namespace {

using namespace tarnwick::testing;
namespace fsys = std::filesystem;
using FileMap = std::map<std::string, std::string>;

struct GoldenCase {
  const char* name;
  std::function<void(FormModel&)> form;
  FileMap existing;  // files in the project folder before the run
};

FileMap runOnce(const GoldenCase& c, MemoryFileSystem& fs) {
  FormModel m;
  m.ProjectPath = T(kDir) + "demo.pbm";
  c.form(m);
  RecordingHost host;
  RunContext ctx{m, host, fs, {T(kDir) + "form.pb"}};
  prepareAsStepOne(ctx);
  generateStep4(ctx);
  FileMap out;
  for (const auto& [path, bytes] : fs.files)
    if (path.rfind(kDir, 0) == 0) out[path.substr(std::string(kDir).size())] = bytes;
  std::string log;
  for (const Text& line : host.log) log += toUtf8(line) + "\n";
  out["log.txt"] = log;
  return out;
}

FileMap readFolder(const fsys::path& dir) {
  FileMap files;
  if (!fsys::is_directory(dir)) return files;
  for (const auto& entry : fsys::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().filename().string()] = bytes.str();
  }
  return files;
}

void compareWithExpected(const std::string& name, const FileMap& actual) {
  fsys::path base = fsys::path(TARNWICK_SOURCE_DIR) / "tests" / "golden" / name;
  FileMap expected = readFolder(base / "expected");
  for (const auto& [file, bytes] : expected) {
    auto it = actual.find(file);
    EXPECT_TRUE(it != actual.end() && it->second == bytes) << name << ": " << file << " differs";
  }
  for (const auto& [file, bytes] : actual) EXPECT_TRUE(expected.count(file)) << name << ": unexpected " << file;
  fsys::remove_all(base / "actual");
  if (expected == actual) return;
  fsys::create_directories(base / "actual");
  for (const auto& [file, bytes] : actual) std::ofstream(base / "actual" / file, std::ios::binary) << bytes;
  ADD_FAILURE() << "actual output kept in " << (base / "actual").string();
}

std::string latin1(const char* utf8) { return encodeLines({T(utf8)}, TextFormat::FormatAnsi, false); }

const GoldenCase kCases[] = {
    // One window with one button and one image, everything at its defaults.
    {"one_button",
     [](FormModel& m) {
       m.FormCodeLines = L({"Procedure Open_Window_0()",
                            "  OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, 300, 200, \"Demo\", #PB_Window_SystemMenu)",
                            "  ButtonGadget(#Window_0_Button_0, 10, 10, 100, 20, \"OK\")", "EndProcedure", "",
                            ("; " + std::string(87, '*')).c_str(), ""});
       m.WindowList = {"Window_0"};
       m.GadgetList = {{"Window_0_Button_0", "BUTTONGADGET"}};
       m.ImageList = {{"#Image_0", "ok.png"}};
     },
     {}},
    // Every switch on: call tables, language files, embedded images, UTF-8. The
    // Catalog on disk holds a translation and a key that the form no longer uses.
    {"all_switches_on",
     [](FormModel& m) {
       m.switches = Switches{1, 1, 1, 1, 1, 1, 1};
       fillDemoForm(m, true);
       m.FontList = {{"#Font_0", "LoadFont(#Font_0, \"Arial\", 10)"}};
     },
     {{"Catalog", "Default;Language\n\"Open\";\"\xC3\x96" "ffnen\"\n\"Old\";\"\"\n"}}},
    // Every switch off: Select dispatch, loaded images, 8-bit files; the Catalog is read
    // but no language file is written.
    {"all_switches_off",
     [](FormModel& m) {
       m.switches = Switches{0, 0, 0, 0, 0, 0, 0};
       fillDemoForm(m, false);
       m.FontList = {{"#Font_0", "LoadFont(#Font_0, \"Arial\", 10)"}};
     },
     {{"Catalog", "Default;Language\n\"Open\";\"" + latin1("Öffnen") + "\"\n"}}},
};

TEST(Golden, GeneratedProjects) {
  for (const GoldenCase& c : kCases) {
    MemoryFileSystem fs;
    for (const auto& [name, bytes] : c.existing) fs.files[kDir + name] = bytes;
    FileMap first = runOnce(c, fs);
    compareWithExpected(c.name, first);
    // A second run over its own output finds every file as it would write it: it
    // writes nothing, and its log says so instead of claiming writes.
    FileMap second = runOnce(c, fs);
    const std::string log = second["log.txt"];
    second.erase("log.txt");
    first.erase("log.txt");
    EXPECT_EQ(second, first) << c.name;
    EXPECT_EQ(log.find(" -> Write File"), std::string::npos) << log;
    EXPECT_NE(log.find(" -> Unchanged File /p/EventGadget.pb\n"), std::string::npos) << log;
    EXPECT_NE(log.find("- Every file was up to date: no file was changed.\nReady.\n\n"), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace tarnwick
