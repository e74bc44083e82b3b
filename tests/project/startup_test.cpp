#include "project/startup.h"

#include <gtest/gtest.h>

#include "project/project_file.h"
#include "project/settings.h"

namespace tarnwick {
namespace {

const SettingsFiles kFiles = settingsFiles("/bin");

// Runs the start-up sequence against fs, loading projects with the real reader.
struct Startup {
  explicit Startup(MemoryFileSystem& f) : fs(f) {}
  MemoryFileSystem& fs;
  FormModel model;
  ProjectState state;
  std::vector<std::string> loaded;
  std::vector<std::string> messages;
  Lines rows;

  void run(const std::string& commandLine) {
    loadSettings(
        fs, kFiles, commandLine, model, state,
        [this](const std::string& path) {
          loaded.push_back(path);
          bool ok = readProjectFile(fs, path, rows, model);
          state.hasFile = ok;
          return ok;
        },
        [this](const std::string& title, const std::string& text) { messages.push_back(title + ": " + text); });
  }
};

const char* kProject = "[FILES]\n/p/a.pb\n\n[SWITCH]\nParend=0\nUtf8=0\n";
const char* kIni = "\xEF\xBB\xBF[path]\nlast = /last/ \nPROJECT = /p/remembered.pbm\n[Default]\nMultilang = 1\n";

TEST(Startup, ProjectChoiceOrder) {
  struct Case {
    const char* name;
    std::string commandLine;
    bool rememberedExists;
    std::string expectLoaded;  // empty: a new project
    const char* why = nullptr;  // a command-line project that cannot be opened: the reason shown
    std::string shown = "";     // its name in the message (text) when it is not the path (bytes)
  };
  const Case cases[] = {
      {"command line wins", "/p/cli.pbm", true, "/p/cli.pbm"},
      {"missing command-line file", "/p/missing.pbm", true, "", "there is no such file"},
      {"empty command-line file", "/p/empty.pbm", true, "", "the file is empty"},
      {"directory on the command line", "/p", true, "", "it is a folder"},
      {"8-bit name on the command line", "/p/caf\xE9.pbm", true, "", "there is no such file", "/p/caf\\xE9.pbm"},
      {"remembered project", "", true, "/p/remembered.pbm"},
      {"nothing usable", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    fs.files[kFiles.tw4] = kIni;
    fs.files["/p/cli.pbm"] = kProject;
    fs.files["/p/empty.pbm"] = "";
    fs.directories.insert("/p");
    if (c.rememberedExists) fs.files["/p/remembered.pbm"] = kProject;
    Startup s{fs};
    s.run(c.commandLine);
    if (c.expectLoaded.empty()) {
      EXPECT_TRUE(s.loaded.empty());
      EXPECT_EQ(s.model.ProjectPath, "Unbekannt.pbm");
      EXPECT_FALSE(s.state.hasFile);
      EXPECT_TRUE(s.state.saved);
      EXPECT_EQ(s.state.lastDirectory, "/last/");
      // Switches from group "Default", built-in defaults for the missing keys.
      EXPECT_EQ(s.model.switches, (Switches{1, 1, 1, 0, 0, 1, 1}));
    } else {
      EXPECT_EQ(s.loaded, std::vector<std::string>{c.expectLoaded});
      EXPECT_EQ(s.model.ProjectPath, fromUtf8(c.expectLoaded));
      EXPECT_EQ(s.model.switches.Parend, 0);  // from the project, not from TW4.INI
      EXPECT_EQ(s.model.switches.Multilang, 0);
    }
    if (c.why)
      EXPECT_EQ(s.messages, std::vector<std::string>{"Load project: Cannot open the project " +
                                                     (c.shown.empty() ? c.commandLine : c.shown) + ": " +
                                                     c.why + ".\nTarnwick starts with a new project."});
    else
      EXPECT_TRUE(s.messages.empty());
  }
}

TEST(Startup, CommandLineProjectTakesOnlyTheRecentProjectsFromSettings) {
  MemoryFileSystem fs;
  fs.files[kFiles.tw4] = std::string(kIni) + "[Recent]\nProject1 = /p/cli.pbm\nProject2 = /p/gone.pbm\n"
                         "Project3 = /p/remembered.pbm\nProject4 = /p/cli.pbm\nProject5 = \n";
  fs.files["/p/cli.pbm"] = kProject;
  fs.files["/p/remembered.pbm"] = kProject;
  Startup s{fs};
  s.run("/p/cli.pbm");
  EXPECT_EQ(s.loaded, std::vector<std::string>{"/p/cli.pbm"});
  EXPECT_EQ(s.state.lastDirectory, "");
  EXPECT_EQ(s.model.switches.Multilang, 0);
  // Missing files and repeats are left out.
  EXPECT_EQ(s.state.recentProjects, (std::vector<std::string>{"/p/cli.pbm", "/p/remembered.pbm"}));
}

TEST(Startup, RecentProjectsKeepTheLatestFiveOnce) {
  std::vector<std::string> recent;
  for (const char* p : {"/1", "/2", "/3", "/4", "/5", "/6", "/3", ""}) rememberRecentProject(recent, p);
  EXPECT_EQ(recent, (std::vector<std::string>{"/3", "/6", "/5", "/4", "/2"}));
}

TEST(Startup, SettingsFolderChoice) {
  EXPECT_EQ(userSettingsFolder("/x/conf", "/home/u"), "/x/conf/tarnwick/");
  EXPECT_EQ(userSettingsFolder("/x/conf/", nullptr), "/x/conf/tarnwick/");
  EXPECT_EQ(userSettingsFolder(nullptr, "/home/u"), "/home/u/.config/tarnwick/");
  EXPECT_EQ(userSettingsFolder("", "/home/u/"), "/home/u/.config/tarnwick/");
  EXPECT_EQ(userSettingsFolder("relative/conf", "/home/u"), "/home/u/.config/tarnwick/");  // ignored
  EXPECT_EQ(userSettingsFolder(nullptr, nullptr), "");

  EXPECT_EQ(chooseSettingsFolder("/cfg", "/opt/tw/", true, false, "/home/u/.config/tarnwick/"), "/cfg");
  EXPECT_EQ(chooseSettingsFolder("", "/opt/tw/", true, false, "/home/u/.config/tarnwick/"), "/opt/tw/");
  EXPECT_EQ(chooseSettingsFolder("", "/opt/tw/", false, false, "/home/u/.config/tarnwick/"), "/home/u/.config/tarnwick/");
  EXPECT_EQ(chooseSettingsFolder("", "/usr/bin/", false, true, ""), "/usr/bin/");
  // An installed program never writes beside itself, even where it may (as root).
  EXPECT_EQ(chooseSettingsFolder("", "/usr/bin/", true, true, "/root/.config/tarnwick/"), "/root/.config/tarnwick/");
  EXPECT_EQ(installShareFolder("/usr/bin/"), "/usr/share");
  EXPECT_EQ(installShareFolder("/tmp/prefix/bin"), "/tmp/prefix/share");
  EXPECT_EQ(installShareFolder("/home/u/tools/binaries/"), "");
  EXPECT_EQ(installShareFolder("/home/u/robin/"), "");
}

TEST(Startup, MissingSettingsFolderIsCreatedOnFirstStart) {
  MemoryFileSystem fs;
  fs.directories.insert("/home/u");
  SettingsFiles files = settingsFiles("/home/u/.config/tarnwick");
  FormModel model;
  ProjectState state;
  loadSettings(fs, files, "", model, state, [](const std::string&) { return false; },
               [](const std::string&, const std::string&) { ADD_FAILURE(); });
  EXPECT_TRUE(fs.isDirectory("/home/u/.config"));
  EXPECT_TRUE(fs.isDirectory("/home/u/.config/tarnwick"));
  EXPECT_EQ(fs.files["/home/u/.config/tarnwick/UserList.INI"], "[USERGADGET]\n");
  saveSettings(fs, files.tw4, model, state);
  EXPECT_TRUE(fs.isRegularFile("/home/u/.config/tarnwick/TW4.INI"));
}

TEST(Startup, FailedLoadKeepsThePathAndGoesOn) {
  MemoryFileSystem fs;
  fs.files["/p/cli.pbm"] = kProject;
  fs.unreadable.insert("/p/cli.pbm");
  Startup s{fs};
  s.run("/p/cli.pbm");
  EXPECT_EQ(s.model.ProjectPath, "/p/cli.pbm");
  EXPECT_FALSE(s.state.hasFile);
}

TEST(Startup, UserGadgetFileIsCreatedReadAndFeedsBothSets) {
  MemoryFileSystem fs;
  Startup first{fs};
  first.run("");
  EXPECT_EQ(fs.files[kFiles.userList], "[USERGADGET]\n");
  EXPECT_TRUE(first.model.UserGadgetList.empty());

  fs.files[kFiles.userList] = "[USERGADGET]\n  MyChartGadget  \n";
  Startup second{fs};
  second.run("");
  EXPECT_EQ(second.model.UserGadgetList, (Lines{"MyChartGadget"}));
  EXPECT_TRUE(second.model.PrefixCommandSet.contains("MYCHARTGADGET"));
  EXPECT_TRUE(second.model.GadgetCommandSet.contains("mychartgadget"));
  EXPECT_TRUE(second.model.GadgetCommandSet.contains("ButtonGadget"));
  EXPECT_TRUE(second.messages.empty());

  MemoryFileSystem broken;
  broken.readOnly.insert(kFiles.userList);
  Startup third{broken};
  third.run("");
  EXPECT_EQ(third.messages, std::vector<std::string>{"UserGadgetList: Error open file usergadgetlist"});
  EXPECT_TRUE(third.model.PrefixCommandSet.contains("ButtonGadget"));  // start-up goes on
}

TEST(SaveSettings, NineKeysInOrderAndTheyReadBack) {
  MemoryFileSystem fs;
  FormModel model;
  ProjectState state;
  model.switches = Switches{0, 1, 1, 0, 1, 0, 0};
  state.lastDirectory = "/work/";
  state.recentProjects = {"/p/a.pbm", "/p/b.pbm"};
  fs.files["/p/a.pbm"] = fs.files["/p/b.pbm"] = kProject;
  saveSettings(fs, kFiles.tw4, model, state);
  const std::string recent = "[Recent]\nProject1 = /p/a.pbm\nProject2 = /p/b.pbm\nProject3 = \nProject4 = \nProject5 = \n";
  EXPECT_EQ(fs.files[kFiles.tw4],
            "\xEF\xBB\xBF[Path]\nLast = /work/\nProject = Unbekannt.pbm\n[Default]\nParend = 0\nPB_Ignore = 1\n"
            "Multilang = 1\nImage_Include = 0\nImage_Null = 1\nUseCallFast = 0\nUtf8 = 0\n" + recent);

  Startup s{fs};
  s.run("");
  EXPECT_EQ(s.model.switches, model.switches);
  EXPECT_EQ(s.state.lastDirectory, "/work/");
  EXPECT_EQ(s.state.recentProjects, state.recentProjects);

  // An existing file without a mark keeps having none, and foreign keys stay.
  fs.files[kFiles.tw4] = "[Other]\nk = v\n[PATH]\nproject = /old.pbm\n";
  saveSettings(fs, kFiles.tw4, model, state);
  EXPECT_EQ(fs.files[kFiles.tw4],
            "[Other]\nk = v\n[PATH]\nProject = Unbekannt.pbm\nLast = /work/\n[Default]\nParend = 0\nPB_Ignore = 1\n"
            "Multilang = 1\nImage_Include = 0\nImage_Null = 1\nUseCallFast = 0\nUtf8 = 0\n" + recent);

  // A settings file that cannot be written is skipped silently.
  fs.readOnly.insert(kFiles.tw4);
  std::string before = fs.files[kFiles.tw4];
  saveSettings(fs, kFiles.tw4, model, state);
  EXPECT_EQ(fs.files[kFiles.tw4], before);

  // Paths keep their bytes: a folder name in ISO 8859-1 comes back as it was written.
  fs.readOnly.clear();
  fs.files.erase(kFiles.tw4);
  const std::string latin = "/caf\xE9/p.pbm";
  fs.files[latin] = kProject;
  model.ProjectPath = latin;
  state.lastDirectory = "/caf\xE9/";
  state.recentProjects = {latin};
  saveSettings(fs, kFiles.tw4, model, state);
  Startup again{fs};
  again.run("");
  EXPECT_EQ(again.loaded, std::vector<std::string>{latin});
  EXPECT_EQ(again.model.ProjectPath, latin);
  EXPECT_EQ(again.state.lastDirectory, "/caf\xE9/");
  EXPECT_EQ(again.state.recentProjects, std::vector<std::string>{latin});
}

}  // namespace
}  // namespace tarnwick
