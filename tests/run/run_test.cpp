#include "run/run.h"

#include <gtest/gtest.h>


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

}  // namespace
}  // namespace tarnwick
