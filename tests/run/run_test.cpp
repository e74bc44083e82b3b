#include "run/run.h"

#include <gtest/gtest.h>


#include "support/recording_host.h"

namespace tarnwick {
namespace {

using testing::L;
using testing::RecordingHost;

TEST(Run, EmptyFileListCancelsAfterStepOne) {
  FormModel m;
  m.ProjectPath = U"/p/x.pbm";
  MemoryFileSystem fs;
  RecordingHost host;
  RunContext ctx{m, host, fs, {}};
  EXPECT_FALSE(runGeneration(ctx));
  EXPECT_EQ(host.log, L({"Generate Code Step 1 ...", "- Check Main.pb", " -> Main.pb not found.", "- Load Files...",
                         "None Files to Generate.", "Cancel.", ""}));
  EXPECT_EQ(host.startDialogClosed, 1);
  EXPECT_GE(host.mainWindowEnabled, 1);
  EXPECT_TRUE(fs.files.empty());  // a cancelled run writes nothing
}

// A file list that yields no window, or holds a file that cannot be read, ends the run
// in step 1: there is nothing sound to bind or generate.
TEST(Run, NothingToGenerateCancelsInStepOneAndWritesNothing) {
  const std::string form =
      "Procedure Open_W()\n  OpenWindow(#W, 0, 0, 1, 1, \"\")\n  ButtonGadget(#B, 0, 0, 1, 1, \"\")\nEndProcedure\n";
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // listed, in order; "" content: missing
    Lines tail;
  } cases[] = {
      {"a picture in the list",
       {{"/p/logo.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}},
       L({" -> Error: no window found in the form code. Stop!", "Cancel.", ""})},
      {"a form without a window",
       {{"/p/tools.pb", "Procedure Helper()\n  ButtonGadget(#B, 0, 0, 1, 1, \"\")\nEndProcedure\n"}},
       L({" -> Error: no window found in the form code. Stop!", "Cancel.", ""})},
      {"a form gone from disk",
       {{"/p/a.pb", form}, {"/p/gone.pb", ""}, {"/p/also.pb", ""}},
       L({"Error /p/gone.pb: Open file error", "Error /p/also.pb: Open file error",
          " -> Error: a source file could not be read. Stop!", "Cancel.", ""})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormModel m;
    m.ProjectPath = U"/p/x.pbm";
    MemoryFileSystem fs;
    fs.directories.insert("/p");
    fs.files["/p/x.pbm"] = "[FILES]\n";
    Lines rows;
    for (const auto& [path, bytes] : c.files) {
      if (!bytes.empty()) fs.files[path] = bytes;
      rows.push_back(T(path));
    }
    const auto before = fs.files;
    RecordingHost host;
    RunContext ctx{m, host, fs, rows};
    EXPECT_FALSE(runGeneration(ctx));
    ASSERT_GE(host.log.size(), c.tail.size());
    EXPECT_EQ(Lines(host.log.end() - static_cast<std::ptrdiff_t>(c.tail.size()), host.log.end()), c.tail);
    EXPECT_TRUE(host.requests.empty());
    EXPECT_EQ(fs.files, before);
  }
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
    m.ProjectPath = U"/p/x.pbm";
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

}  // namespace
}  // namespace tarnwick
