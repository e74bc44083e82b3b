#include "generate/common_file.h"

#include <algorithm>
#include <iterator>

namespace tarnwick {

namespace {

void appendSeparatorBlock(Lines& lines) {
  lines.emplace_back();
  lines.push_back(SeparatorLine());
  lines.emplace_back();
}

// An enumeration block; the objects of its kind that live in variables are declared
// right after it, "Global " and up to ten names a line.
void appendEnumeration(Lines& out, const char* header, const Lines& members, const Lines& variables = {}) {
  out.push_back(header);
  out.push_back(";");
  out.push_back("Enumeration");
  for (const Text& m : members) out.push_back(m);
  out.push_back("EndEnumeration");
  for (std::size_t i = 0; i < variables.size(); ++i) {
    if (i % 10 == 0) out.push_back("Global " + variables[i]);
    else out.back() += ", " + variables[i];
  }
  out.emplace_back();
}

Lines hashMembers(const Lines& names) {
  Lines out;
  for (const Text& n : names) out.push_back("  #" + n);
  return out;
}

bool isNumber(const Text& t) {
  if (t.empty()) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  return true;
}

// The extension of an image file in upper case: the text after its last ".".
Text extensionOf(const Text& file) {
  std::size_t dot = file.rfind('.');
  return dot == Text::npos ? Text() : upper(TextView(file).substr(dot + 1));
}

// Replaces every occurrence of pattern in line, compared ignoring case.
Text replaceNoCase(const Text& line, TextView pattern, const Text& replacement) {
  Text out;
  std::size_t from = 1;
  for (std::size_t p = FindNoCase(line, pattern, from); p != 0; p = FindNoCase(line, pattern, from)) {
    out += line.substr(from - 1, p - from);
    out += replacement;
    from = p + pattern.size();
  }
  out += line.substr(from - 1);
  return out;
}

bool startsDataLine(const Text& line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  return TextView(line).substr(i, 6) == "Data.s";
}

// The label that opens the default language data. "EndDefaultLanguage:" holds the
// same text but closes the block: taking it for the opening label would delete the
// lines behind it and put the data after the block.
bool isDataStartLabel(const Text& line) {
  static const Text label = "DefaultLanguage:";
  for (std::size_t p = line.find(label); p != Text::npos; p = line.find(label, p + 1))
    if (p < 3 || TextView(line).substr(p - 3, 3) != "End") return true;
  return false;
}

// The name that a test line of the main program (blanks and tabs trimmed) tests:
// "If WindowID(#" + a name + ")", or "If IsWindow(" + a name + ")" for a window opened
// into a variable, and nothing else on the line. Empty for any other line. The line is replaced whole, so a line of
// the user's that merely holds the text (a condition with more in it, a trailing
// comment) is left as written.
Text windowTestName(TextView trimmed, const char* head) {
  if (!startsWith(trimmed, head) || trimmed.back() != ')') return Text();
  const std::size_t length = std::char_traits<char>::length(head);
  TextView name = trimmed.substr(length, trimmed.size() - length - 1);
  return name.find_first_of("()") == TextView::npos ? Text(name) : Text();
}

// True for the test line of the main program. The IsWindow form counts only for a
// window of this run or the previous one, which a run wrote there: a user's own
// IsWindow test stays as written.
bool isWindowTestLine(const Text& line, const FormModel& model) {
  const Text trimmed = trimBlanksTabs(line);
  if (!windowTestName(trimmed, "If WindowID(#").empty()) return true;
  Text name = windowTestName(trimmed, "If IsWindow(");
  if (name.empty()) return false;
  for (const Lines* list : {&model.WindowList, &model.PreviousWindowList})
    for (const Text& window : *list)
      if (equalsNoCase(window, name)) return true;
  return false;
}

}  // namespace

void ScanLanguageKeys(FormModel& model, const Lines& lines) {
  for (const Text& line : lines) {
    std::size_t open = line.find('"');
    if (open == Text::npos || FindNoCase(line, "MyLanguage(") == 0) continue;
    std::size_t close = line.find('"', open + 1);
    if (close == Text::npos || close == open + 1) continue;
    Text key = line.substr(open + 1, close - open - 1);
    if (!model.Language.contains(key)) model.Language.set(key, key);
  }
}

void fillLanguageData(FormModel& model) {
  FileBuffer& buffer = model.buffers.loadLanguage;
  std::size_t start = buffer.size();
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    if (buffer[i].find("#MaxLanguage =") != Text::npos)
      buffer[i] = "#MaxLanguage = " + numberText(static_cast<long long>(model.Language.size()));
    if (isDataStartLabel(buffer[i])) {
      start = i;
      break;
    }
  }
  if (start == buffer.size()) return;

  std::size_t end = start + 1;
  while (end < buffer.size() && buffer[end].find("EndDefaultLanguage:") == Text::npos &&
         buffer[end].find("EndDataSection") == Text::npos)
    ++end;
  if (end == buffer.size()) {
    // Without an end marker only the data lines right after the label are the old
    // data; everything behind them is the user's and stays.
    end = start + 1;
    while (end < buffer.size() && startsDataLine(buffer[end])) ++end;
  }
  buffer.erase(buffer.begin() + static_cast<std::ptrdiff_t>(start + 1),
               buffer.begin() + static_cast<std::ptrdiff_t>(end));

  Lines data;
  for (const auto& [key, text] : model.Language.entries()) data.push_back("  Data.s \"" + key + "\"");
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(start + 1), data.begin(), data.end());
}

Text imageLabel(const Text& constant) {
  Text t = trimBlanksTabs(constant);
  if (!t.empty() && t[0] == '#') return t.substr(1);
  if (isNumber(t)) return "Image_" + t;
  return t;
}

bool isNamedConstant(const Text& constant) {
  Text t = trimBlanksTabs(constant);
  return !t.empty() && t[0] == '#';
}

void buildImageSection(FormModel& model) {
  Lines& out = model.sections.images;
  out.clear();
  out.push_back(";- Image Plugin");
  out.emplace_back();

  struct Decoder {
    std::vector<const char*> extensions;
    std::vector<const char*> lines;
  };
  static const Decoder decoders[] = {
      {{"JPG", "JPEG"}, {"UseJPEGImageDecoder()", "UseJPEG2000ImageDecoder()"}},
      {{"PNG"}, {"UsePNGImageDecoder()"}},
      {{"TIF", "TIFF"}, {"UseTIFFImageDecoder()"}},
      {{"TGA"}, {"UseTGAImageDecoder()"}},
  };
  bool anyDecoder = false;
  for (const Decoder& d : decoders) {
    bool used = false;
    for (const ImageEntry& image : model.ImageList) {
      Text ext = extensionOf(image.file);
      for (const char* e : d.extensions) used = used || ext == e;
    }
    if (!used) continue;
    for (const char* line : d.lines) out.push_back(line);
    anyDecoder = true;
  }
  if (anyDecoder) out.emplace_back();

  if (model.switches.Image_Include != 1) {
    out.push_back(";- Load Images");
    for (const ImageEntry& image : model.ImageList)
      out.push_back("LoadImage(" + image.constant + ", \"" + image.file + "\")");
    out.emplace_back();
    return;
  }
  out.push_back(";- Catch Images");
  for (const ImageEntry& image : model.ImageList)
    out.push_back("CatchImage(" + image.constant + ", ?" + imageLabel(image.constant) + ")");
  out.emplace_back();
  out.push_back(";- Images");
  out.push_back("DataSection");
  for (const ImageEntry& image : model.ImageList) {
    out.push_back("  " + imageLabel(image.constant) + ":");
    out.push_back("  IncludeBinary \"" + image.file + "\"");
  }
  out.push_back("EndDataSection");
}

void buildConstantsSection(FormModel& model) {
  Lines& out = model.sections.constants;
  out.clear();
  Lines windows, windowVariables, gadgets, gadgetVariables, fonts, images;
  for (std::size_t i = 0; i < model.WindowList.size(); ++i)
    (model.isVariableWindow(i) ? windowVariables : windows).push_back(model.WindowList[i]);
  for (const GadgetEntry& g : model.GadgetList) {
    if (g.variable) gadgetVariables.push_back(g.name);
    else gadgets.push_back("  #" + g.name);
  }
  for (const FontEntry& f : model.FontList)
    if (isNamedConstant(f.constant)) fonts.push_back("  " + f.constant);
  for (const ImageEntry& i : model.ImageList)
    if (isNamedConstant(i.constant)) images.push_back("  " + i.constant);
  appendEnumeration(out, ";- Window Constants", hashMembers(windows), windowVariables);
  appendEnumeration(out, ";- Menubar Constants", hashMembers(model.MenuBarList));
  appendEnumeration(out, ";- MenuItem Constants", hashMembers(model.MenuItemList));
  appendEnumeration(out, ";- Gadget Constants", gadgets, gadgetVariables);
  appendEnumeration(out, ";- StatusBar Constants", hashMembers(model.StatusBarList));
  appendEnumeration(out, ";- ToolBar Constants", hashMembers(model.ToolBarList));
  appendEnumeration(out, ";- Font Constants", fonts);
  appendEnumeration(out, ";- Image Constants", images);
}

void rewriteFirstWindowLines(StageContext& ctx) {
  FormModel& model = ctx.model;
  if (model.WindowList.empty()) return;
  const Text& first = model.WindowList.front();
  const Text openCall = "Open_" + first + "()";
  // Hand-written and other designers' forms name their window procedures freely
  // (Window_Main, CreateGUI): Main.pb calls the procedure that opens the window, when
  // it can be called without arguments.
  const WindowProcedure* procedure = model.WindowProcedureList.empty() ? nullptr : &model.WindowProcedureList.front();
  Text call = openCall;
  if (procedure && !procedure->name.empty() && !procedure->needsArguments &&
      !equalsNoCase(procedure->name, "Open_" + first))
    call = procedure->name + "()";
  Lines& main = model.buffers.main;
  std::size_t test = 0;
  while (test < main.size() && !isWindowTestLine(main[test], model)) ++test;
  // The window the test line named so far: when it is no longer the first window (its
  // rename left unbound, or another window came first), the call that an earlier run
  // wrote for it must follow, or Main.pb would open one window and test another.
  Text tested;
  if (test < main.size()) {
    const Text trimmed = trimBlanksTabs(main[test]);
    tested = windowTestName(trimmed, "If WindowID(#");
    if (tested.empty()) tested = windowTestName(trimmed, "If IsWindow(");
    main[test] = model.isVariableWindow(0) ? "  If IsWindow(" + first + ")" : "  If WindowID(#" + first + ")";
  }
  const bool follow = !tested.empty() && !equalsNoCase(tested, first);
  bool replaced = false;
  for (std::size_t i = 0; i < test; ++i) {
    Text& line = main[i];
    if (line.find("Open_WindowXY()") != Text::npos) {
      line = replaceNoCase(line, "Open_WindowXY()", call);
      replaced = true;
    } else if (follow && equalsNoCase(trimBlanksTabs(line), "Open_" + tested + "()")) {
      line = line.substr(0, line.find_first_not_of(" \t")) + call;
      replaced = true;
    }
  }
  if (replaced && procedure && procedure->needsArguments)
    ctx.log(" -> Warning: window " + first + " opened by procedure " + procedure->name +
            ", which needs arguments; Main.pb calls " + openCall + ".");
}

void assembleCommonFile(FormModel& model) {
  Lines& out = model.buffers.common;
  CommonSections& s = model.sections;
  // The sections and the form code are moved, not copied: nothing after this reads
  // them, and a large form would otherwise be held twice at the run's peak.
  auto take = [&out](Lines& from) {
    out.insert(out.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
    Lines().swap(from);
  };
  out.clear();
  // The title, up to five separator blocks of three lines and the include line.
  out.reserve(17 + s.constants.size() + s.declarations.size() + s.fonts.size() + s.images.size() +
              model.FormCodeLines.size());
  out.push_back("; Tarnwick Commonfile (Do Not Edit - Allways Overwrite)");
  appendSeparatorBlock(out);
  take(s.constants);
  appendSeparatorBlock(out);
  // What the form files declare besides their objects, ahead of the font and image
  // loads and the form code that may use it.
  if (!s.declarations.empty()) {
    // A decoder that the image section loads already is not loaded twice.
    for (const Text& decoder : s.images)
      if (startsWith(decoder, "Use"))
        s.declarations.erase(std::remove(s.declarations.begin(), s.declarations.end(), decoder),
                             s.declarations.end());
    take(s.declarations);
    appendSeparatorBlock(out);
  }
  take(s.fonts);
  take(s.images);
  appendSeparatorBlock(out);
  if (model.switches.Multilang == 1) {
    out.push_back("IncludeFile \"LoadLanguage.pb\"");
    appendSeparatorBlock(out);
  }
  take(model.FormCodeLines);
}

void reportUnreadableTranslations(StageContext& ctx) {
  // The generated LoadLanguage procedure splits each Catalog line at every ";".
  for (const auto& [key, text] : ctx.model.Language.entries())
    if (key.find(';') != Text::npos || text.find(';') != Text::npos)
      ctx.log(" -> Warning: language text holds ';', its translation cannot be read: " + key);
}

void ScanIncludeFilesForLanguage(StageContext& ctx) {
  for (const Text& path : ctx.model.IncludeFileList) {
    const std::string file = toUtf8(path);
    std::string bytes;
    // A missing include file holds no text yet; the source update creates it.
    if (!ctx.fs.readFile(file, bytes)) {
      if (ctx.fs.exists(file)) ctx.logFileError(" -> Error OpenFile " + path + " / " + fileErrorText());
      continue;
    }
    Lines scratch = ctx.decodeRead(path, bytes).lines;
    ScanLanguageKeys(ctx.model, scratch);
  }
}

}  // namespace tarnwick
