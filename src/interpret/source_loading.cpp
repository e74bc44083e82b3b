#include "interpret/source_loading.h"

#include <unordered_map>

#include "interpret/form_globals.h"
#include "model/form_code.h"

namespace tarnwick {

std::optional<MarkInfo> CheckMainFile(FileSystem& fs, const FormModel& model) {
  std::string bytes;
  if (!fs.readFile(model.projectFile("Main.pb"), bytes)) return std::nullopt;
  return detectMark(bytes);
}

TextFormat WriteFormat(const std::optional<MarkInfo>& mainMark, const Switches& switches) {
  if (mainMark && mainMark->format == TextFormat::FormatUtf8 && mainMark->length > 0) return TextFormat::FormatUtf8;
  return switches.Utf8 == 1 ? TextFormat::FormatUtf8 : TextFormat::FormatAnsi;
}

namespace {

// The newer designer numbers its one menu, toolbar and status bar of a window 0 and
// names its window procedures "Open" + window name; these make them the constants
// and procedure names that the rest of the run works with.
const char* const kDesignerReplacements[][2] = {
    {"Procedure Open", "Procedure Open_"},
    {"CreateMenu(0", "CreateMenu(#Menu"},
    {"CreateToolBar(0", "CreateToolbar(#ToolBar"},
    {"ToolBarToolTip(0", "ToolBarToolTip(#ToolBar"},
    {"ToolBarHeight(0", "ToolBarHeight(#ToolBar"},
    {"GetToolBarButtonState(0", "GetToolBarButtonState(#ToolBar"},
    {"SetToolBarButtonState(0", "SetToolBarButtonState(#ToolBar"},
    {"CreateStatusBar(0", "CreateStatusBar(#StatusBar"},
    {"StatusBarText(0", "StatusBarText(#StatusBar"},
    {"StatusBarImage(0", "StatusBarImage(#StatusBar"},
    {"StatusBarProgress(0", "StatusBarProgress(#StatusBar"},
    {"StatusBarHeight(0", "StatusBarHeight(#StatusBar"},
};

// Calls that the later passes find by their word and "(" together, beyond the
// commands that take a window prefix.
const char* const kTightCalls[] = {"OPENWINDOW", "USEGADGETLIST", "CREATEGADGETLIST", "WINDOWID",
                                   "LOADIMAGE",  "LOADFONT",      "CATCHIMAGE",       "BALLOONTIP"};

bool isTightCall(const CommandSet& prefixCommands, TextView word) {
  Text up = upper(word);
  if (prefixCommands.containsUpper(up)) return true;
  for (const char* call : kTightCalls)
    if (up == call) return true;
  return false;
}

// Column-aligned code such as "OpenWindow   (#Main, ...)" is legal PureBasic; the
// passes look for a call word directly followed by its "(", so the blanks and tabs
// between them are removed for the calls they look for (outside strings and
// comments). A line without such a gap stays as it is.
void closeCallGaps(Text& line, const CommandSet& prefixCommands) {
  // Nearly every line has no blank in front of a "(": it is left at once.
  bool gap = false;
  for (std::size_t p = line.find('('); p != Text::npos && !gap; p = line.find('(', p + 1))
    gap = p > 0 && (line[p - 1] == ' ' || line[p - 1] == '\t');
  if (!gap) return;
  Text out;
  std::size_t copied = 0;  // line[0, copied) is in out
  for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
    if (!isIdentifierChar(line[i])) continue;
    std::size_t wordEnd = i;
    while (wordEnd < line.size() && isIdentifierChar(line[wordEnd])) ++wordEnd;
    std::size_t open = wordEnd;
    while (open < line.size() && (line[open] == ' ' || line[open] == '\t')) ++open;
    if (open > wordEnd && open < line.size() && line[open] == '(' &&
        isTightCall(prefixCommands, TextView(line).substr(i, wordEnd - i))) {
      out.append(line, copied, wordEnd - copied);
      copied = open;
    }
    i = open - 1;
  }
  if (copied == 0) return;
  out.append(line, copied);
  line = std::move(out);
}

Text designerToFormCode(Text line) {
  // All but the first replace a call whose first argument is 0.
  const bool numbered = line.find("(0") != Text::npos;
  for (const auto& r : kDesignerReplacements) {
    if (!numbered && &r != &kDesignerReplacements[0]) break;
    if (FindNoCase(line, r[0]) != 0) line = replaceAllNoCase(line, r[0], r[1]);
  }
  return line;
}

// The position of a call keyword (upper case, with its "(") that is not commented out:
// no ";" stands at or before it. A ";" inside a string literal counts as well.
std::size_t uncommentedCall(const Text& line, TextView keyword) {
  std::size_t p = FindNoCase(line, keyword);
  if (p == 0) return 0;
  std::size_t semicolon = findChar(line, ';');
  return (semicolon != 0 && semicolon <= p) ? 0 : p;
}

// The first argument of a load call whose "(" stands at open, as written: up to the
// first "," after it. Empty when there is no such comma.
Text firstArgument(const Text& line, std::size_t open) {
  std::size_t comma = findChar(line, ',', open + 1);
  if (comma == 0) return Text();
  return textBetween(line, open + 1, comma);
}

// An image or font constant worth keeping: not empty, and not #PB_Any, which asks
// PureBasic for a fresh number and cannot stand in an enumeration.
bool usableConstant(const Text& constant) {
  Text name = trimBlanksTabs(constant);
  if (name.empty()) return false;
  if (name[0] == '#' && isPbAnyName(name.substr(1))) return false;
  return true;
}

// Keywords that open, continue or close a block; a statement that begins with one of
// them, or with any Compiler... keyword, cannot stand alone in CommonFile.pb.
const char* const kBlockKeywords[] = {
    "IF",           "ELSE",           "ELSEIF",         "ENDIF",          "FOR",
    "FOREACH",      "NEXT",           "WHILE",          "WEND",           "REPEAT",
    "UNTIL",        "FOREVER",        "SELECT",         "CASE",           "DEFAULT",
    "ENDSELECT",    "WITH",           "ENDWITH",        "PROCEDURE",      "PROCEDUREC",
    "PROCEDUREDLL", "PROCEDURECDLL",  "ENDPROCEDURE",   "MACRO",          "ENDMACRO",
    "STRUCTURE",    "ENDSTRUCTURE",   "STRUCTUREUNION", "ENDSTRUCTUREUNION",
    "INTERFACE",    "ENDINTERFACE",   "ENUMERATION",    "ENUMERATIONBINARY",
    "ENDENUMERATION", "DATASECTION",  "ENDDATASECTION", "MODULE",         "ENDMODULE",
    "DECLAREMODULE", "ENDDECLAREMODULE", "IMPORT",      "IMPORTC",        "ENDIMPORT",
};

bool isBlockKeyword(const Text& upperWord) {
  if (startsWith(upperWord, "COMPILER")) return true;
  for (const char* keyword : kBlockKeywords)
    if (upperWord == keyword) return true;
  return false;
}

// True when one of the ":"-separated statements of the line's code begins with a block
// keyword, or the line holds the word Then: the line is part of a block.
bool holdsBlockStatement(const Text& line) {
  bool statementStart = true;
  for (std::size_t i = codeChar(line, 0); i < line.size(); i = codeChar(line, i + 1)) {
    char c = line[i];
    if (c == ':') statementStart = true;
    if (!isIdentifierChar(c)) {
      if (c != ' ' && c != '\t' && c != ':') statementStart = false;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && isIdentifierChar(line[end])) ++end;
    Text word = upper(TextView(line).substr(i, end - i));
    if (word == "THEN" || (statementStart && isBlockKeyword(word))) return true;
    statementStart = false;
    i = end - 1;
  }
  return false;
}

// Each capture reads the arguments of its own call, so that a line holding both a
// LoadImage and a LoadFont call yields the right constant for each.
void captureGlobalLoads(FormModel& model, const Text& line) {
  if (line.find('(') == Text::npos) return;
  if (std::size_t p = uncommentedCall(line, "LOADIMAGE(")) {
    std::size_t open = p + 9;
    Text constant = firstArgument(line, open);
    if (usableConstant(constant)) {
      std::size_t q1 = findChar(line, '"', open);
      std::size_t q2 = q1 ? findChar(line, '"', q1 + 1) : 0;
      model.ImageList.push_back({constant, q2 ? textBetween(line, q1 + 1, q2) : Text()});
    }
  }
  if (std::size_t p = uncommentedCall(line, "LOADFONT(")) {
    Text constant = firstArgument(line, p + 8);
    if (!usableConstant(constant)) return;
    // A load inside a block (If LoadFont(...) ... EndIf) would carry half a block into
    // the font section: only the call itself is taken.
    if (holdsBlockStatement(line)) {
      std::size_t close = closingParenthesis(line, p + 8);
      model.FontList.push_back({constant, close ? textBetween(line, p, close + 1) : textFrom(line, p)});
    } else {
      model.FontList.push_back({constant, line});
    }
  }
}

Text extensionOf(const Text& path) {
  Text name = fileNameOf(path);
  std::size_t dot = name.rfind('.');
  return dot == Text::npos ? Text() : upper(name.substr(dot + 1));
}

// The head of a procedure named "..._Events" (any case), as the designer writes one
// per window.
bool isEventProcedureHead(const Text& line) {
  Text name = upper(procedureHeadName(line));
  return name.size() >= 7 && name.compare(name.size() - 7, 7, "_EVENTS") == 0;
}

// True when the line, after blanks and tabs, begins with the word EndMacro.
bool startsWithEndMacro(const Text& line) {
  std::size_t i = line.find_first_not_of(" \t");
  if (i == Text::npos || (line[i] != 'E' && line[i] != 'e') || line.size() - i < 8) return false;
  return equalsNoCase(TextView(line).substr(i, 8), "ENDMACRO") && (line.size() - i == 8 || !isIdentifierChar(line[i + 8]));
}

// Loads the procedures of one file, the fileNumber-th of SourceFileList, and keeps its
// global lines for the declarations. Returns the stop line when a procedure has no end:
// the rest of the file would become part of it.
Text loadOneSource(StageContext& ctx, const Text& path, std::size_t fileNumber, Lines lines) {
  FormModel& model = ctx.model;
  const bool designerFile = extensionOf(path) == "PBF";
  const std::size_t firstFormLine = model.FormCodeLines.size();
  FormFileGlobals globals;
  globals.path = path;
  std::vector<Text> procedures;
  bool inProcedure = false;
  // The designer's own event procedures name its unprefixed constants and are
  // replaced by the generated event files; they are left out of the form code.
  bool skipping = false;
  // The procedure head that began the current procedure, its line number, and whether
  // a statement followed it: two heads in two CompilerIf branches share one body.
  Text head;
  std::size_t headLine = 0;
  bool body = false;
  auto missingEnd = [&]() {
    return " -> Error: Procedure " + head + " in " + fileNameOf(path) + " line " + std::to_string(headLine) +
           " has no EndProcedure. Stop!";
  };
  auto append = [&](Text line, std::size_t number) {
    model.FormCodeLines.push_back(std::move(line));
    model.marks.places.push_back({fileNumber, number});
  };
  for (std::size_t number = 1; number <= lines.size(); ++number) {
    Text& line = lines[number - 1];
    closeCallGaps(line, model.PrefixCommandSet);
    // A procedure starts only where a line begins with "Procedure": the word inside a
    // comment (the designer's header names "Event procedures") or a string starts
    // nothing, so the enumerations and global loads behind it stay global.
    if (!inProcedure && startsWithProcedure(line)) {
      inProcedure = true;
      skipping = designerFile && isEventProcedureHead(line);
      head = procedureHeadName(line);
      if (!head.empty()) procedures.push_back(head);
      headLine = number;
      body = false;
    } else if (inProcedure && isProcedureHead(line)) {
      if (body && !head.empty()) return missingEnd();
    } else if (inProcedure) {
      if (!body) {
        Text code = trimBlanksTabs(codePart(line));
        body = !code.empty() && !startsWith(upper(code.substr(0, 8)), "COMPILER");
      }
      // A head written inside a macro has its end outside the file's procedures.
      if (!head.empty() && startsWithEndMacro(line)) head.clear();
    }
    if (inProcedure) {
      const bool ends = endsProcedure(line);
      if (line.find('(') != Text::npos) noteUnseenWindow(globals, number, line);
      if (!skipping) append(designerFile ? designerToFormCode(std::move(line)) : std::move(line), number);
      if (ends) {
        if (!skipping) {
          append(Text(), 0);
          append(SeparatorLine(), 0);
          append(Text(), 0);
        }
        inProcedure = false;
        skipping = false;
      }
      continue;
    }
    captureGlobalLoads(model, line);
    globals.lines.push_back({number, std::move(line)});
  }
  if (inProcedure && !head.empty()) return missingEnd();
  // A window that the file's global code opens becomes a procedure of its own, ahead
  // of the file's procedures: the program opens it first. Its lines keep the places
  // they were lifted from, so that a stop names the line the user must change.
  const std::vector<std::size_t> lifted = liftGlobalWindows(ctx, globals, firstFormLine, procedures);
  std::vector<LinePlace> liftedPlaces;
  liftedPlaces.reserve(lifted.size());
  for (std::size_t number : lifted) liftedPlaces.push_back({fileNumber, number});
  model.marks.places.insert(model.marks.places.begin() + static_cast<std::ptrdiff_t>(firstFormLine),
                            liftedPlaces.begin(), liftedPlaces.end());
  nameNumberedWindows(ctx, globals, firstFormLine);
  model.FormGlobals.push_back(std::move(globals));
  return Text();
}

bool isGeneratedFileName(const Text& name) {
  static const char* const generated[] = {"COMMONFILE.PB", "EVENTMAIN.PB", "EVENTMENU.PB",
                                              "EVENTGADGET.PB", "EVENTWINDOW.PB"};
  Text up = upper(name);
  for (const char* g : generated)
    if (up == g) return true;
  return false;
}

// The text between the first double quote at or after start and the next one.
Text quotedFrom(const Text& line, std::size_t start) {
  std::size_t q1 = findChar(line, '"', start);
  if (q1 == 0) return Text();
  std::size_t q2 = findChar(line, '"', q1 + 1);
  return q2 == 0 ? Text() : textBetween(line, q1 + 1, q2);
}

// The position of a case-sensitive include keyword that is neither commented out nor
// inside a string: no ";" and no double quote before it.
std::size_t includeKeyword(const Text& line, TextView keyword) {
  std::size_t p = findFrom(line, keyword);
  if (p == 0) return 0;
  std::size_t semicolon = findChar(line, ';');
  std::size_t quote = findChar(line, '"');
  if ((semicolon != 0 && semicolon < p) || (quote != 0 && quote < p)) return 0;
  return p;
}

}  // namespace

SourceLoad LoadSourceFiles(StageContext& ctx) {
  FormModel& model = ctx.model;
  const std::string folder = toUtf8(model.projectDirectory());
  bool allRead = true;
  // A file listed twice, by another path or through a link, is loaded once: its
  // windows would otherwise stop the run as duplicates of themselves.
  std::unordered_map<std::string, Text> loaded;
  Lines files;
  for (const Text& path : model.SourceFileList) {
    auto [first, fresh] = loaded.emplace(ctx.fs.fileIdentity(toUtf8(path)), path);
    if (!fresh) {
      ctx.log(" -> Warning: " + path + " is the same file as " + first->second + "; it is loaded once.");
      continue;
    }
    files.push_back(path);
    ctx.log(" -> Load File " + path);
    // A project copied or moved elsewhere does not take such a file along.
    if (!folder.empty() && pathBelow(folder, toUtf8(path)).empty())
      ctx.log(" -> Warning: " + path + " lies outside the project folder.");
    std::string bytes;
    if (!ctx.fs.readFile(toUtf8(path), bytes)) {
      ctx.logFileError("Error " + path + ": " + "Open file error");
      allRead = false;
      continue;
    }
    const std::size_t start = model.FormCodeLines.size();
    // An image or another binary file added by mistake holds no form code at all.
    if (detectMark(bytes).length == 0 && bytes.find('\0') != std::string::npos) {
      ctx.log(" -> Warning: " + path + " is no text file; it holds no form code.");
      continue;
    }
    // A form file is only read, never written back: what does not decode is read as
    // U+FFFD, with a warning. Its number counts in the list as it is left (files).
    Text stop = loadOneSource(ctx, path, files.size(), ctx.decodeRead(path, bytes, StageContext::BadBytes::Warn).lines);
    if (!stop.empty()) {
      ctx.log(stop);
      model.SourceFileList = std::move(files);
      return SourceLoad::Broken;
    }
    if (model.FormCodeLines.size() == start)
      ctx.log(" -> Warning: " + path + " holds no form code (no procedure or window).");
  }
  model.SourceFileList = std::move(files);
  // The form code stays for the whole run: without the room its growth left behind.
  model.FormCodeLines.shrink_to_fit();
  model.marks.places.shrink_to_fit();
  return allRead ? SourceLoad::Loaded : SourceLoad::Unreadable;
}

bool CollectIncludeFiles(StageContext& ctx, const Text& name) {
  FormModel& model = ctx.model;
  if (name.empty()) return true;
  const std::string directory = model.projectDirectory();
  const std::string mainPath = directory + name;
  std::string bytes;
  if (!ctx.fs.readFile(mainPath, bytes)) {
    // A file that is there but cannot be read may name include files; a missing one, or
    // a folder in its place, names none.
    const PathKind kind = ctx.fs.inspect(ctx.fs.resolveLink(mainPath)).kind;
    return kind != PathKind::Regular && kind != PathKind::Unknown;
  }
  // An include name is a path: the bytes that stand between the quotes are the name of
  // the file the compiler opens, so a file without a mark or in UTF-8 is searched as it
  // is, without decoding an 8-bit name into another spelling. Only a UTF-16 or UTF-32
  // file needs decoding; its names come out in UTF-8, as the file system spells them.
  const MarkInfo mark = detectMark(bytes);
  Lines lines = mark.format == TextFormat::FormatAnsi || mark.format == TextFormat::FormatUtf8
                    ? splitLines(std::string_view(bytes).substr(mark.length))
                    : ctx.decodeRead(mainPath, bytes).lines;
  // The folder that a relative name counts from: the project folder, or the one the
  // last IncludePath statement named.
  std::string base = directory;
  for (const Text& line : lines) {
    Text include;
    if (std::size_t p = includeKeyword(line, "IncludePath")) {
      Text folder = quotedFrom(line, p + 12);
      base = folder.empty() ? directory : folder[0] == '/' ? folder : directory + folder;
      // An empty base is the current folder of a project named without one.
      if (!base.empty() && base.back() != '/') base += '/';
      continue;
    }
    // An XIncludeFile line also holds "IncludeFile" one character later; both give
    // the same name.
    if (std::size_t p = includeKeyword(line, "IncludeFile")) include = quotedFrom(line, p + 12);
    if (std::size_t p = includeKeyword(line, "XIncludeFile")) include = quotedFrom(line, p + 13);
    if (include.empty() || isGeneratedFileName(include)) continue;
    // An absolute name is that file; any other counts from the base folder, with its
    // folder part if it has one.
    std::string path = include[0] == '/' ? include : base + include;
    // A generated file named by another way (an absolute path, "./", an IncludePath) is
    // still the run's own, written in step 4, not an include file of the user's. A
    // project named without a folder lies in the current one: its paths are relative.
    if (isGeneratedFileName(directory.empty() ? lexicallyNormal(path) : pathBelow(directory, path))) continue;
    model.IncludeFileList.push_back(std::move(path));
  }
  return true;
}

void CheckIncludeFileEncodings(StageContext& ctx) {
  std::string bytes;
  // A file that is missing or cannot be read is the concern of the stages that use it.
  for (const std::string& path : ctx.model.IncludeFileList)
    if (ctx.fs.readFile(path, bytes)) ctx.checkDecodes(path, bytes);
}

}  // namespace tarnwick
