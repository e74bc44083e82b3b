#include "app/cli/cli.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <deque>
#include <memory>
#include <ostream>
#include <unordered_map>
#include <unordered_set>

#include "model/overlay_file_system.h"
#include "project/project_file.h"
#include "project/project_locator.h"
#include "project/settings.h"
#include "project/startup.h"
#include "run/preview.h"
#include "run/restore.h"

namespace tarnwick {

// The build sets the version once, for the program, its title and its package alike.
const char* const kProgramTitle = "Tarnwick Orlenta Version v" TARNWICK_VERSION;
const char* const kVersion = TARNWICK_VERSION;

std::string usageText() {
  return "Tarnwick writes the event-handling layer of a PureBasic application from its form code.\n"
         "\n"
         "Usage: tarnwick [--config-dir DIR] [PROJECT.pbm]\n"
         "       tarnwick --generate PROJECT.pbm [--bind [KIND:]OLD=NEW]... [--allow-unbound] [--config-dir DIR]\n"
         "                [--dry-run | --diff | --check]\n"
         "       tarnwick --restore PROJECT.pbm [--force]\n"
         "       tarnwick --ide [FILE] [--config-dir DIR]\n"
         "\n"
         "Without --generate the main window opens, with PROJECT.pbm as the project when given.\n"
         "\n"
         "  --generate PROJECT.pbm  run the four generation steps on the project and print the log;\n"
         "                          PROJECT may also be a folder (its one *.pbm), a form file (the *.pbm\n"
         "                          of its folder that lists it) or a PureBasic project App.pbp (App.pbm\n"
         "                          beside it, made from the .pbp's form files when missing)\n"
         "  --ide [FILE]            the PureBasic IDE's tool entry (arguments: --ide \"%FILE\"): generates\n"
         "                          the project of FILE (a form, a source or a .pbp), else of the IDE's\n"
         "                          project in PB_TOOL_Project; asks for bindings in a window and shows\n"
         "                          the log when the run cancelled or warned; without a display as --generate\n"
         "  --bind [KIND:]OLD=NEW   bind the vanished name OLD to the new name NEW; KIND is one of\n"
         "                          Window, MenuBar, MenuItem, StatusBar, ToolBar, Gadget (any case).\n"
         "                          An object's names may leave out its window's prefix: Button_0=Button_Buy\n"
         "                          binds Window_0_Button_0 to Window_0_Button_Buy. A binding that matches\n"
         "                          no vanished or no new name is an error (exit status 2)\n"
         "  --allow-unbound         go on although some vanished names stay unbound\n"
         "  --config-dir DIR        keep TW4.INI and UserList.INI in DIR (default: $XDG_CONFIG_HOME/tarnwick,\n"
         "                          ~/.config/tarnwick; a copy outside a bin folder keeps them beside itself\n"
         "                          when you can write its folder)\n"
         "  --dry-run               run as usual but write nothing; then list each file the run would\n"
         "                          change as \"would change: PATH\"\n"
         "  --diff                  write nothing; print a unified diff of every file the run would change\n"
         "                          (apply it with patch -p1 in the project folder); the log goes to stderr\n"
         "  --check                 write nothing; exit 3 when the run would change a file (named on stderr)\n"
         "  --restore PROJECT.pbm   put the files of the last run's backup back, keeping the versions they\n"
         "                          replace in the backup, so that a second restore redoes the run\n"
         "  --force                 with --restore: also replace files that changed after the run\n"
         "  --help                  show this text\n"
         "  --version               show the version\n"
         "\n"
         "Exit status: 0 after \"Ready.\", 1 after \"Cancel.\" (a file that cannot be written cancels the run\n"
         "and changes nothing), 2 on bad arguments, a --bind that matches nothing, an unreadable project,\n"
         "a path that leads to no project (or to several), or a project that another run is generating;\n"
         "with --check 3 when the run would change a file; --ide as --generate. A run that reaches \"Ready.\"\n"
         "although a file could not be read says so on stderr. --restore: 0 restored, 1 a file could not\n"
         "be written or files changed after the run (each named on stderr; --force replaces them), nothing\n"
         "changed; 2 no backup made by a run, or the project is busy.\n";
}

namespace {

std::optional<ObjectKind> kindFromWord(const Text& word) {
  for (ObjectKind k : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                       ObjectKind::ToolBar, ObjectKind::Gadget})
    if (equalsNoCase(word, kindWord(k))) return k;
  return std::nullopt;
}

bool parseBinding(const std::string& arg, Binding& b, std::string& error) {
  Text text = fromUtf8(arg);
  std::size_t eq = text.find('=');
  if (eq == Text::npos) {
    error = "--bind needs OLD=NEW, got '" + arg + "'";
    return false;
  }
  Text left = text.substr(0, eq);
  b.newName = text.substr(eq + 1);
  std::size_t colon = left.find(':');
  if (colon != Text::npos) {
    b.kind = kindFromWord(left.substr(0, colon));
    if (!b.kind) {
      error = "--bind: unknown kind '" + toUtf8(left.substr(0, colon)) +
              "' (Window, MenuBar, MenuItem, StatusBar, ToolBar or Gadget)";
      return false;
    }
    left = left.substr(colon + 1);
  }
  b.oldName = left;
  if (b.oldName.empty() || b.newName.empty()) {
    error = "--bind needs a name on both sides of '=', got '" + arg + "'";
    return false;
  }
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& cl, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    if (a == "--generate") {
      if (!value(cl.project)) return false;
      cl.generate = true;
    } else if (a == "--bind") {
      std::string v;
      if (!value(v)) return false;
      Binding b;
      if (!parseBinding(v, b, error)) return false;
      cl.bindings.push_back(b);
    } else if (a == "--allow-unbound") {
      cl.allowUnbound = true;
    } else if (a == "--dry-run") {
      cl.dryRun = true;
    } else if (a == "--diff") {
      cl.dryRun = cl.diff = true;
    } else if (a == "--check") {
      cl.dryRun = cl.check = true;
    } else if (a == "--restore") {
      if (!value(cl.project)) return false;
      cl.restore = true;
    } else if (a == "--ide") {
      cl.ide = true;
      // The file is optional: without it the IDE's open project is used.
      if (i + 1 < args.size() && !(args[i + 1].size() > 1 && args[i + 1][0] == '-')) cl.project = args[++i];
    } else if (a == "--force") {
      cl.force = true;
    } else if (a == "--config-dir") {
      if (!value(cl.configDir)) return false;
    } else if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (a.size() > 1 && a[0] == '-') {
      error = "unknown option " + a;
      return false;
    } else if (cl.project.empty()) {
      cl.project = a;
    } else {
      error = "unexpected argument " + a;
      return false;
    }
  }
  if (!cl.generate && (!cl.bindings.empty() || cl.allowUnbound || cl.dryRun) && !cl.help && !cl.version) {
    error = "--bind, --allow-unbound, --dry-run, --diff and --check belong to --generate";
    return false;
  }
  if (cl.diff && cl.check) {
    error = "--diff and --check cannot be given together";
    return false;
  }
  if (cl.force && !cl.restore && !cl.help && !cl.version) {
    error = "--force belongs to --restore";
    return false;
  }
  if (int(cl.generate) + int(cl.restore) + int(cl.ide) > 1) {
    error = "--generate, --restore and --ide cannot be given together";
    return false;
  }
  return true;
}

std::string executableDirectory() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

std::string settingsFolder(const std::string& given) {
  std::string program = executableDirectory();
  const char* home = getenv("HOME");
  if (!home || !*home) {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  const std::string share = installShareFolder(program);
  const bool installed = !share.empty() && access(share.c_str(), X_OK) == 0;
  return chooseSettingsFolder(given, program, access(program.c_str(), W_OK) == 0, installed,
                              userSettingsFolder(getenv("XDG_CONFIG_HOME"), home));
}

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return path;
  std::string cwd(buf);
  if (cwd.empty() || cwd.back() != '/') cwd += '/';
  std::string rel = path;
  while (rel.rfind("./", 0) == 0) rel = rel.substr(2);
  return cwd + rel;
}

bool chooseIdeProject(CommandLine& cl, const char* toolProject, std::string& error) {
  const std::string open = toolProject ? toolProject : "";
  if (cl.project.empty()) cl.project = open;
  else if (open != cl.project) cl.fallbackProject = open;
  if (!cl.project.empty()) return true;
  error = "--ide needs a file, or the PureBasic project in PB_TOOL_Project (the IDE sets it for its tools)";
  return false;
}

void CommandLineHost::logLine(const Text& line) { out_ << toUtf8(line) << '\n' << std::flush; }

namespace {

// One side of the binding lists: the names in order, and for each name the places it
// still holds, so that taking the first occurrence of a name needs no search.
class NameQueue {
 public:
  explicit NameQueue(const Lines& names) : names_(names), taken_(names.size(), false) {
    for (std::size_t i = 0; i < names.size(); ++i) places_[names[i]].push_back(i);
  }
  // The first place of name that is not taken yet, or none.
  std::optional<std::size_t> first(const Text& name) const {
    auto it = places_.find(name);
    if (it == places_.end() || it->second.empty()) return std::nullopt;
    return it->second.front();
  }
  void take(const Text& name) {
    std::deque<std::size_t>& q = places_[name];
    taken_[q.front()] = true;
    q.pop_front();
  }
  bool allTaken() const { return std::find(taken_.begin(), taken_.end(), false) == taken_.end(); }
  // The names left, space-separated, or "(none)".
  std::string joinLeft() const {
    std::string s;
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (taken_[i]) continue;
      if (!s.empty()) s += ' ';
      s += toUtf8(names_[i]);
    }
    return s.empty() ? std::string("(none)") : s;
  }

 private:
  const Lines& names_;
  std::vector<bool> taken_;
  std::unordered_map<Text, std::deque<std::size_t>> places_;
};

// The spelling of a binding as it was given.
std::string bindingText(const Binding& b) {
  return (b.kind ? toUtf8(kindWord(*b.kind)) + ":" : std::string()) + toUtf8(b.oldName) + "=" + toUtf8(b.newName);
}

// True when full is name with a window's prefix before it: ends in "_" + name.
bool prefixedName(const Text& full, const Text& name) {
  return full.size() > name.size() + 1 && full.compare(full.size() - name.size(), name.size(), name) == 0 &&
         full[full.size() - name.size() - 1] == '_';
}

std::string joined(const Lines& names) {
  std::string s;
  for (const Text& n : names) s += (s.empty() ? "" : " ") + toUtf8(n);
  return s;
}

}  // namespace

BindAnswer CommandLineHost::askBindings(ObjectKind kind, const Lines& oldEntries, const Lines& newEntries) {
  asked_.push_back({kind, {oldEntries, newEntries}});
  NameQueue oldList(oldEntries), newList(newEntries);
  std::unordered_set<Text> pairs;
  BindAnswer answer;
  // Each binding acts as the dialog's "Bind" would: the pair goes to the Todo list
  // once, and both names leave their lists.
  auto bindPair = [&](const Text& oldName, const Text& newName, Use& use) {
    use.oldSeen = true;
    Text pair = oldName + " > " + newName;
    if (pairs.count(pair)) {
      use.bound = true;  // the same pair again
      return;
    }
    if (!oldList.first(oldName) || !newList.first(newName)) {
      use.takenBefore = oldList.first(oldName) ? newName : oldName;
      return;
    }
    pairs.insert(pair);
    answer.todo.push_back(pair);
    oldList.take(oldName);
    newList.take(newName);
    use.bound = true;
  };
  for (std::size_t i = 0; i < bindings_.size(); ++i) {
    const Binding& b = bindings_[i];
    Use& use = uses_[i];
    if (b.kind && *b.kind != kind) continue;
    const bool oldThere = std::find(oldEntries.begin(), oldEntries.end(), b.oldName) != oldEntries.end();
    if (oldThere && std::find(newEntries.begin(), newEntries.end(), b.newName) != newEntries.end()) {
      bindPair(b.oldName, b.newName, use);
      continue;
    }
    use.oldSeen = use.oldSeen || oldThere;
    // The objects of a window carry its name and "_" before their own: the names may
    // be given without it, and then bind in every window that has both.
    if (kind == ObjectKind::Window) continue;
    for (const Text& old : oldEntries) {
      if (!prefixedName(old, b.oldName)) continue;
      use.oldSeen = true;
      const Text prefixed = old.substr(0, old.size() - b.oldName.size()) + b.newName;
      if (std::find(newEntries.begin(), newEntries.end(), prefixed) != newEntries.end()) bindPair(old, prefixed, use);
    }
  }
  if (oldList.allTaken() || allowUnbound_) {
    answer.answer = 0;
    return answer;
  }
  // The run stops here: a binding meant for this kind that matched nothing is the
  // likelier mistake, and is named first.
  for (std::size_t i = 0; i < bindings_.size(); ++i)
    if (bindings_[i].kind == kind && !uses_[i].bound) refuse(bindings_[i], uses_[i]);
  std::string word = toUtf8(kindWord(kind));
  err_ << "Unbound old " << word << " names: " << oldList.joinLeft() << "\n"
       << "New " << word << " names: " << newList.joinLeft() << "\n"
       << "Bind them with --bind " << word << ":OLD=NEW, or pass --allow-unbound to leave them unbound.\n";
  answer.answer = 2;
  return answer;
}

bool CommandLineHost::refuse(const Binding& b, const Use& use) {
  bindingFailed_ = true;
  const std::string kind = b.kind ? toUtf8(kindWord(*b.kind)) + " " : std::string();
  const Lines* names = nullptr;
  for (const auto& [k, lists] : asked_)
    if (b.kind && k == *b.kind) names = use.oldSeen ? &lists.second : &lists.first;
  err_ << "Error: --bind " << bindingText(b) << ": ";
  if (!use.takenBefore.empty()) {
    err_ << toUtf8(use.takenBefore) << " is bound already by an earlier --bind.\n";
    return false;
  }
  if (use.oldSeen) err_ << toUtf8(b.newName) << " is no new " << kind << "name";
  else err_ << toUtf8(b.oldName) << " is no vanished " << kind << "name";
  if (names) err_ << " (" << (use.oldSeen ? "new: " : "vanished: ") << joined(*names) << ")";
  else if (b.kind) err_ << " (no " << kind << "name vanished)";
  err_ << ".\n";
  return false;
}

namespace {

// True when a name of the list is name, or, beyond the windows, ends in "_" + name.
bool holdsName(const Lines& names, ObjectKind kind, const Text& name) {
  for (const Text& n : names)
    if (n == name || (kind != ObjectKind::Window && prefixedName(n, name))) return true;
  return false;
}

}  // namespace

bool CommandLineHost::finishBindings(const FormModel& model) {
  for (std::size_t i = 0; i < bindings_.size(); ++i) {
    const Binding& b = bindings_[i];
    if (uses_[i].bound) continue;
    // The same command run again finds its renames done: the new name is there and the
    // old one is gone.
    bool inPlace = false;
    for (ObjectKind k : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                         ObjectKind::ToolBar, ObjectKind::Gadget}) {
      if (b.kind && *b.kind != k) continue;
      const Lines current = model.currentNames(k);
      inPlace = inPlace || (holdsName(current, k, b.newName) && !holdsName(current, k, b.oldName));
    }
    if (!inPlace) return refuse(b, uses_[i]);
  }
  return true;
}

namespace {

// The model of a command-line run is kept until the process ends, as a compiler keeps
// its trees: the system takes its memory back at exit at once, where freeing every line
// one by one is a noticeable part of a large run.
FormModel& keptModel() {
  static auto* kept = new std::vector<std::unique_ptr<FormModel>>;
  kept->push_back(std::make_unique<FormModel>());
  return *kept->back();
}

}  // namespace

int loadCommandLineProject(const CommandLine& cl, FileSystem& fs, FileSystem& writeFs, FormModel& model,
                           Lines& files, std::string& note, std::ostream& err) {
  const SettingsFiles settings = settingsFiles(settingsFolder(cl.configDir));

  // Settings are only read here: the command line never writes into the folder.
  std::string userBytes;
  if (fs.readFile(settings.userList, userBytes))
    model.UserGadgetList = parseUserGadgets(decodeFile(userBytes).lines);
  buildCommandSets(model.UserGadgetList, model.PrefixCommandSet, model.GadgetCommandSet);
  model.switches = readDefaultSwitches(readIni(fs, settings.tw4));

  LocatedProject located;
  std::string error;
  LocateEnd end = locateProject(fs, absolutePath(cl.project), located, error);
  if (end == LocateEnd::NotFound && !cl.fallbackProject.empty()) {
    std::string fallbackError;
    if (locateProject(fs, absolutePath(cl.fallbackProject), located, fallbackError) == LocateEnd::Found)
      end = LocateEnd::Found;
  }
  if (end != LocateEnd::Found) {
    err << "tarnwick: " << error << "\n";
    return 2;
  }
  if (located.fromPureBasicProject &&
      !makeProjectFromPureBasicProject(writeFs, located, model.switches, note, error)) {
    err << "tarnwick: " << error << "\n";
    return 2;
  }
  if (!readProjectFile(writeFs, located.projectPath, files, model)) {
    err << "Error open file project: " << located.projectPath << "\n";
    return 2;
  }
  model.ProjectPath = located.projectPath;  // bytes, as the shell gave them: never re-spelled
  return 0;
}

std::string fileErrorWarning(int count) {
  return "Warning: " + std::to_string(count) + (count == 1 ? " file error" : " file errors") +
         " during the run; the log names each file, which keeps its old content.";
}

int runCommandLineGeneration(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err) {
  FormModel& model = keptModel();
  // A dry run goes through exactly as a real one, but every write stays in memory.
  OverlayFileSystem overlay(fs);
  FileSystem& runFs = cl.dryRun ? overlay : fs;
  Lines files;
  std::string note;
  if (int status = loadCommandLineProject(cl, fs, runFs, model, files, note, err)) return status;

  CommandLineHost host(cl.diff ? err : out, err, cl.bindings, cl.allowUnbound);
  if (!note.empty()) host.logLine(readableText(note));
  RunContext ctx{model, host, runFs, files};
  ctx.dryRun = cl.dryRun;
  switch (runGeneration(ctx)) {
    case RunEnd::Busy:
      err << kBusyMessage << "\n";
      return 2;
    case RunEnd::Cancelled:
      return host.bindingFailed() ? 2 : 1;
    case RunEnd::Ready:
      break;
  }
  // Every file the run meant to write was written (a failed write cancels the run); a
  // file it could not read did not get its share of the work, so a script learns of it.
  if (ctx.fileErrors > 0) err << fileErrorWarning(ctx.fileErrors) << "\n";
  if (!cl.dryRun) return 0;
  const std::vector<FileChange> changes =
      previewChanges(previewedChanges(ctx), toUtf8(model.projectDirectory()), fs, overlay);
  for (const FileChange& c : changes) {
    if (cl.diff) out << changeDiff(c);
    else (cl.check ? err : out) << "would change: " << c.shown << "\n";
  }
  return cl.check && !changes.empty() ? 3 : 0;
}

int runCommandLineRestore(const CommandLine& cl, FileSystem& fs, std::ostream& out, std::ostream& err) {
  FormModel model;
  model.ProjectPath = absolutePath(cl.project);
  CommandLineHost host(out, err, {}, false);
  RunContext ctx{model, host, fs};
  auto confirm = [&](const std::vector<std::string>& files) {
    if (cl.force) return true;
    for (const std::string& file : files) err << "Changed after the run: " << file << "\n";
    err << "Nothing was restored; pass --force to replace these files (their present versions go into Backup).\n";
    return false;
  };
  switch (restoreBackup(ctx, confirm)) {
    case RestoreEnd::Restored:
      return 0;
    case RestoreEnd::Failed:
    case RestoreEnd::Declined:
      return 1;
    case RestoreEnd::Busy:
      err << kBusyMessage << "\n";
      return 2;
    case RestoreEnd::NoBackup:
      err << kNoBackupMessage << "\n";
      return 2;
  }
  return 2;
}

}  // namespace tarnwick
