#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "model/filesystem.h"
#include "model/read_stamps.h"

namespace tarnwick {
namespace {

// A fresh folder on disk, removed with everything in it at the end.
class DiskFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/tw-disk-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = std::string(templ) + "/";
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }

  std::string read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(fs.readFile(path, bytes)) << path;
    return bytes;
  }
  // The names in a folder, hidden ones included.
  std::string names(const std::string& folder) {
    std::vector<DirEntry> entries;
    EXPECT_TRUE(fs.listDirectory(folder, entries));
    std::string all;
    for (const DirEntry& e : entries) all += e.name + " ";
    return all;
  }

  DiskFileSystem fs;
  std::string dir;
};

TEST_F(DiskFolder, WritingThroughALinkReplacesItsTargetAndKeepsTheLink) {
  ASSERT_EQ(mkdir((dir + "shared").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir + "project").c_str(), 0755), 0);
  ASSERT_TRUE(fs.writeFile(dir + "shared/common.pbi", "old\n"));
  ASSERT_EQ(symlink("../shared/common.pbi", (dir + "project/common.pbi").c_str()), 0);

  ASSERT_TRUE(fs.writeFile(dir + "project/common.pbi", "new\n"));
  struct stat st;
  ASSERT_EQ(lstat((dir + "project/common.pbi").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(read(dir + "shared/common.pbi"), "new\n");
  EXPECT_EQ(names(dir + "shared"), "common.pbi ");
  EXPECT_EQ(names(dir + "project"), "common.pbi ");
}

// Two hard links of one file are one file, also to a run, which sees the disk through
// its stamping layer; two files with the same content are two.
TEST_F(DiskFolder, HardLinksShareTheirIdentity) {
  ASSERT_TRUE(fs.writeFile(dir + "a.pb", "x\n"));
  ASSERT_TRUE(fs.writeFile(dir + "c.pb", "x\n"));
  ASSERT_EQ(link((dir + "a.pb").c_str(), (dir + "b.pb").c_str()), 0);
  StampingFileSystem run(fs);
  EXPECT_EQ(run.fileIdentity(dir + "b.pb"), run.fileIdentity(dir + "a.pb"));
  EXPECT_NE(run.fileIdentity(dir + "c.pb"), run.fileIdentity(dir + "a.pb"));
}

TEST_F(DiskFolder, AReplacedFileKeepsItsRightsAndARefusedOneLeavesNothingBehind) {
  ASSERT_TRUE(fs.writeFile(dir + "Main.pb", "one"));
  ASSERT_EQ(chmod((dir + "Main.pb").c_str(), 0640), 0);
  ASSERT_TRUE(fs.writeFile(dir + "Main.pb", "two"));
  struct stat st;
  ASSERT_EQ(stat((dir + "Main.pb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(read(dir + "Main.pb"), "two");

  ASSERT_EQ(mkdir((dir + "EventGadget.pb").c_str(), 0755), 0);
  EXPECT_FALSE(fs.writeFile(dir + "EventGadget.pb", "x"));
  EXPECT_TRUE(fs.isDirectory(dir + "EventGadget.pb"));
  EXPECT_FALSE(fs.writeFile(dir + "nowhere/Main.pb", "x"));
  EXPECT_EQ(names(dir).find(".tw-"), std::string::npos) << names(dir);
}

}  // namespace
}  // namespace tarnwick
