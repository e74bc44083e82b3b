// The form model: the project's sources, the form code taken out of them, the object
// lists that the checks fill, the switches, the command-name sets and the per-run
// working data (generated file buffers, section lines, bindings). One value of it is
// passed to every step; nothing here is global.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/encoding.h"
#include "model/text.h"

namespace tarnwick {

struct GadgetEntry {
  Text name;  // constant without "#", window prefix included; or the variable's name
  Text kind;  // creating command in upper case, e.g. BUTTONGADGET
  // Created with #PB_Any into the variable name ("Button_0 = ButtonGadget(#PB_Any, ...")
  // rather than as the constant #name; such a name carries no window prefix.
  bool variable = false;
  bool operator==(const GadgetEntry&) const = default;
};

struct ImageEntry {
  Text constant;  // with its "#" as written, or "#MyImage_" + n for procedure images
  Text file;
  bool operator==(const ImageEntry&) const = default;
};

struct FontEntry {
  Text constant;
  Text line;  // the whole LoadFont line, copied into CommonFile.pb
  bool operator==(const FontEntry&) const = default;
};

// The procedure that opens a window: the one whose lines hold its OpenWindow line.
struct WindowProcedure {
  Text name;                    // empty when the window line stands in no procedure
  bool needsArguments = false;  // one of its parameters has no default value
  bool operator==(const WindowProcedure&) const = default;
};

// Where the form code names an object constant: the line (an index of FormCodeLines)
// and the 1-based position of the "#".
struct ConstantMark {
  std::size_t line = 0;
  std::size_t hash = 0;
};
// A constant that the prefixing pass gave the prefix of its window.
struct PrefixedConstant {
  ConstantMark at;
  Text prefix;  // the window name and "_" inserted behind the "#"
};
// The constant of a call that creates an object: a window, or one of the objects that
// take a window prefix (menu, menu item, toolbar button, status bar, toolbar, gadget).
struct CreatingCall {
  ConstantMark at;
  bool window = false;
};
// Where the loader took a line of the form code from: the file (its 1-based place in
// SourceFileList) and the 1-based line number; 0 for a line that no file holds.
struct LinePlace {
  std::size_t file = 0;
  std::size_t line = 0;
};
// What the loader, the prefixing pass and the duplicate checks leave for the passes
// after them, in form code order. Positions hold until a later pass changes a line.
struct FormCodeMarks {
  // One per line of the form code, filled by the loader; a check that stops the run
  // names the file and line from it.
  std::vector<LinePlace> places;
  std::vector<PrefixedConstant> prefixed;
  std::vector<CreatingCall> creating;
  // One per line of the form code: the line belongs to a window opened with #PB_Any
  // into a variable, whose gadgets may be variables too.
  std::vector<bool> inVariableWindow;
};

// The seven project switches, each 0 or 1 (held wide, as the project file parses them).
struct Switches {
  int64_t Parend = 1;
  int64_t PB_Ignore = 1;
  int64_t Multilang = 0;
  int64_t Image_Include = 0;
  int64_t Image_Null = 0;
  int64_t UseCallFast = 1;
  int64_t Utf8 = 1;
  bool operator==(const Switches&) const = default;
};

// Names of the switches in their fixed order, with a pointer to each field.
struct SwitchField {
  const char* name;
  int64_t Switches::*field;
};
extern const SwitchField kSwitchFields[7];

// Upper-cased command names; lookups upper-case the searched name.
class CommandSet {
 public:
  void insert(TextView name) { names_.insert(upper(name)); }
  bool contains(TextView name) const { return names_.count(upper(name)) > 0; }
  bool containsUpper(const Text& upperName) const { return names_.count(upperName) > 0; }
  // For the upper-cased command word of a call, which may name a module procedure
  // ("LISTEX::GADGET"): the word as it stands, or else its name without the module.
  bool containsCall(const Text& upperWord) const {
    if (containsUpper(upperWord)) return true;
    std::size_t colons = upperWord.rfind("::");
    return colons != Text::npos && names_.count(upperWord.substr(colons + 2)) > 0;
  }
  std::size_t size() const { return names_.size(); }

 private:
  std::unordered_set<Text> names_;
};

// The built-in command tables, in the mixed case in which PureBasic spells them.
extern const char* const kPrefixCommands[139];
extern const char* const kGadgetCommands[36];
// Builds both sets from the built-in tables and the user gadget names.
void buildCommandSets(const Lines& userGadgets, CommandSet& prefixCommands, CommandSet& gadgetCommands);

// Key text to translated text, iterated in insertion order: keys keep the place of
// their first insertion; setting an existing key changes only its text.
class LanguageMap {
 public:
  void set(const Text& key, const Text& text);
  bool contains(const Text& key) const { return index_.count(key) > 0; }
  const Text* find(const Text& key) const;
  std::size_t size() const { return entries_.size(); }
  const std::vector<std::pair<Text, Text>>& entries() const { return entries_; }
  void clear() {
    entries_.clear();
    index_.clear();
  }

 private:
  std::vector<std::pair<Text, Text>> entries_;
  std::unordered_map<Text, std::size_t> index_;
};

enum class ObjectKind { Window = 1, MenuBar = 2, MenuItem = 3, StatusBar = 4, ToolBar = 5, Gadget = 6 };
Text kindWord(ObjectKind kind);  // "Window", "MenuBar", ...

struct ReplaceEntry {
  Text oldName;
  Text newName;
  ObjectKind kind = ObjectKind::Window;
  bool operator==(const ReplaceEntry&) const = default;
};
using ReplaceList = std::vector<ReplaceEntry>;

// The in-memory lines of one generated file.
using FileBuffer = Lines;

struct FileBuffers {
  FileBuffer main, common, eventMain, eventMenu, eventGadget, eventWindow, loadLanguage;
  // Files of the project folder that were there when they were read back but could not
  // be read: their buffers lack the user's lines, so they must not be written.
  std::unordered_set<std::string> unreadable;
  // Files read back that mixed UTF-8 and 8-bit lines: written back as UTF-8.
  std::unordered_set<std::string> mixed;
  // A finished buffer already staged for the commit, by file name, so that its lines
  // and bytes need not be held to the end of the run: whether its temporary file could
  // be written, and whether an 8-bit file was written as UTF-8.
  struct Staged {
    bool written = false;
    bool changed = false;  // its content differs from the file's
    bool widened = false;
  };
  std::unordered_map<std::string, Staged> staged;
  void clear() { *this = FileBuffers(); }
};

// Section line lists of CommonFile.pb, prepared in step 1 and assembled in step 4.
// The declarations are what the form files declare outside their procedures.
struct CommonSections {
  Lines constants, fonts, images, declarations;
};

// A line of a form file that stands outside its procedures, with its line number.
struct GlobalLine {
  std::size_t number = 0;  // 1-based
  Text text;
};
// The lines of one form file outside its procedures, in file order.
struct FormFileGlobals {
  Text path;
  std::vector<GlobalLine> lines;
  // Windows of the file that the run cannot take: each stops the run.
  Lines refusals;
  // Windows of the file's global code that stay unseen, each with what to change: an
  // error when no window is found at all, else a warning.
  Lines notes;
  // The file opens a window with a number (OpenWindow(0, ...)).
  bool numberedWindows = false;
};

struct FormModel {
  // Source side. The paths of both lists, like ProjectPath, are bytes as the file
  // system names the files, not texts: a name that is not UTF-8 is never re-spelled.
  std::vector<std::string> SourceFileList;
  std::vector<std::string> IncludeFileList;
  Lines FormCodeLines;
  // What the form files hold outside their procedures, one entry per file read.
  std::vector<FormFileGlobals> FormGlobals;

  // Object lists, in order of first appearance.
  Lines WindowList, MenuBarList, MenuItemList, StatusBarList, ToolBarList;
  std::vector<GadgetEntry> GadgetList;
  // One per entry of WindowList, in its order.
  std::vector<WindowProcedure> WindowProcedureList;
  // One per entry of WindowList, or empty: the designer's procedure that fits the
  // window's gadgets to its size, "ResizeGadgets" + window name, when the form code
  // defines one without arguments; empty for a window without one.
  Lines ResizeProcedureList;
  // One per entry of WindowList, in its order: true for a window opened with #PB_Any
  // into the variable of its name ("Window_0 = OpenWindow(#PB_Any, ..."), false for a
  // window constant.
  std::vector<bool> WindowVariableList;
  std::vector<ImageEntry> ImageList;
  std::vector<FontEntry> FontList;

  // Built once at start-up.
  CommandSet PrefixCommandSet, GadgetCommandSet;
  // The procedures of this run's form code that create a gadget whose constant they
  // take as their first argument (Procedure MyGrid(id, x, y, w, h) holding a gadget
  // call for id): a call of one creates a gadget as a gadget command does.
  CommandSet GadgetProcedureSet;
  Lines UserGadgetList;

  LanguageMap Language;

  // Names of the previous successful run, as the project file keeps them.
  Lines PreviousWindowList, PreviousMenuBarList, PreviousMenuItemList, PreviousStatusBarList,
      PreviousToolBarList, PreviousGadgetList;

  Switches switches;
  TextFormat WriteFormat = TextFormat::FormatUtf8;
  std::string ProjectPath = "Unbekannt.pbm";

  // Per-run working data of the generators and the binding step.
  FileBuffers buffers;
  CommonSections sections;
  FormCodeMarks marks;
  ReplaceList replaceList;
  Lines oldEntryList, newEntryList;

  // Empties everything that a run rebuilds; user gadgets, command sets, previous
  // names, switches and the project path survive.
  void resetRun();
  // Empties the previous names and the working lists of the binding step, as a new
  // or loaded project does.
  void resetProjectNames();

  // The project directory: the directory part of ProjectPath, ending in "/" (bytes).
  std::string projectDirectory() const { return directoryOf(ProjectPath); }
  std::string projectFile(const char* name) const { return projectDirectory() + name; }

  Lines& previousList(ObjectKind kind);
  const Lines& previousList(ObjectKind kind) const { return const_cast<FormModel*>(this)->previousList(kind); }
  // The current names of a kind (gadget names for the gadget kind).
  Lines currentNames(ObjectKind kind) const;
  // The list of current names of a kind other than the gadgets.
  const Lines& nameList(ObjectKind kind) const;
  // True when the window at this index of WindowList is a variable.
  bool isVariableWindow(std::size_t index) const {
    return index < WindowVariableList.size() && WindowVariableList[index];
  }
};

}  // namespace tarnwick
