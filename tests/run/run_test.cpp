#include "run/run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::RecordingHost;

TEST(Run, EmptyFileListCancelsAfterStepOne) {
  FormModel m;
  m.ProjectPath = "/p/x.pbm";
  MemoryFileSystem fs;
  RecordingHost host;
  RunContext ctx{m, host, fs, {}};
  EXPECT_EQ(runGeneration(ctx), RunEnd::Cancelled);
  EXPECT_EQ(host.log, L({"Generate Code Step 1 ...", "- Check Main.pb", " -> Main.pb not found.", "- Load Files...",
                         "None Files to Generate.", "Cancel.", ""}));
  EXPECT_EQ(host.startDialogClosed, 1);
  EXPECT_GE(host.mainWindowEnabled, 1);
  EXPECT_TRUE(fs.files.empty());  // a cancelled run writes nothing
}

TEST(Run, MainMarkDecidesTheOutputEncoding) {
  struct Case {
    std::string main;
    int utf8;
    const char* line;
    TextFormat format;
  } cases[] = {
      {"\xEF\xBB\xBFx", 0, " -> UTF-8 BOM found.", TextFormat::FormatUtf8},
      {"x", 0, " -> No BOM found.", TextFormat::FormatAnsi},
      {"x", 1, " -> No BOM found.", TextFormat::FormatUtf8},
      {std::string("\xFF\xFE\x00\x00", 4), 0, " -> UTF-32 (Little Endian) BOM found.", TextFormat::FormatAnsi},
      {"\xFE\xFF", 1, " -> UTF-16 (Big Endian) BOM found.", TextFormat::FormatUtf8},
  };
  for (const Case& c : cases) {
    FormModel m;
    m.ProjectPath = "/p/x.pbm";
    m.switches.Utf8 = c.utf8;
    MemoryFileSystem fs;
    fs.files["/p/Main.pb"] = c.main;
    RecordingHost host;
    RunContext ctx{m, host, fs, {}};
    runGeneration(ctx);
    ASSERT_GE(host.log.size(), 3u);
    EXPECT_EQ(host.log[2], T(c.line));
    EXPECT_EQ(m.WriteFormat, c.format) << c.line;
  }
}

// A translation whose key and text hold ";" survives the run and adds no key; an event
// file of UTF-8 and 8-bit lines keeps both, written back as UTF-8 in an 8-bit project.
TEST(Run, LanguageTextsWithSemicolonsAndMixedEncodingsSurvive) {
  FormModel m;
  m.ProjectPath = "/p/x.pbm";
  m.switches.Multilang = 1;
  m.switches.Utf8 = 0;
  buildCommandSets({}, m.PrefixCommandSet, m.GadgetCommandSet);
  MemoryFileSystem fs;
  fs.directories.insert("/p");
  fs.files["/p/form.pb"] =
      "Procedure Open_W()\n  OpenWindow(#W, 0, 0, 9, 9, \"Demo\")\n"
      "  ButtonGadget(#B, 0, 0, 9, 9, \"Save;Load\")\nEndProcedure\n";
  const std::string catalog = "Default;Language\n\"Save;Load\";\"Speichern;Laden\"\n\"Demo\";\"\"\n";
  fs.files["/p/Catalog"] = catalog;
  const std::string userLines = "  ; \xE4\xBD\xA0\n  ; caf\xE9\n";
  fs.files["/p/EventGadget.pb"] = "; Tarnwick Event Gadget\n" + userLines;
  RecordingHost host;
  RunContext ctx{m, host, fs, {"/p/form.pb"}};
  ASSERT_EQ(runGeneration(ctx), RunEnd::Ready);

  auto logged = [&](const char* line) { return std::count(host.log.begin(), host.log.end(), T(line)); };
  EXPECT_EQ(logged(" -> Warning: mixed encodings in /p/EventGadget.pb"), 1);
  EXPECT_EQ(logged(" -> Warning: language text holds ';', its translation cannot be read: Save;Load"), 1);
  EXPECT_EQ(fs.files["/p/Catalog"], catalog);
  const std::string& language = fs.files["/p/LoadLanguage.pb"];
  EXPECT_NE(language.find("  Data.s \"Save;Load\"\n"), std::string::npos);
  EXPECT_EQ(language.find("  Data.s \"Save\""), std::string::npos);
  EXPECT_EQ(fs.files["/p/EventGadget.pb"].rfind("\xEF\xBB\xBF; Tarnwick Event Gadget\n"
                                                "  ; \xE4\xBD\xA0\n  ; caf\xC3\xA9\n", 0),
            0u);
}

}  // namespace
}  // namespace tarnwick
