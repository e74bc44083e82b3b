#include "generate/common_file.h"

namespace tarnwick {

namespace {

void appendSeparatorBlock(Lines& lines) {
  lines.emplace_back();
  lines.push_back(SeparatorLine());
  lines.emplace_back();
}

// An enumeration block; the objects of its kind that live in variables are declared
// right after it, "Global " and up to ten names a line.
void appendEnumeration(Lines& out, const char32_t* header, const Lines& members, const Lines& variables = {}) {
  out.push_back(header);
  out.push_back(U";");
  out.push_back(U"Enumeration");
  for (const Text& m : members) out.push_back(m);
  out.push_back(U"EndEnumeration");
  for (std::size_t i = 0; i < variables.size(); ++i) {
    if (i % 10 == 0) out.push_back(U"Global " + variables[i]);
    else out.back() += U", " + variables[i];
  }
  out.emplace_back();
}

Lines hashMembers(const Lines& names) {
  Lines out;
  for (const Text& n : names) out.push_back(U"  #" + n);
  return out;
}

bool isNumber(const Text& t) {
  if (t.empty()) return false;
  for (char32_t c : t)
    if (c < U'0' || c > U'9') return false;
  return true;
}

// The extension of an image file in upper case: the text after its last ".".
Text extensionOf(const Text& file) {
  std::size_t dot = file.rfind(U'.');
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
  while (i < line.size() && line[i] == U' ') ++i;
  return TextView(line).substr(i, 6) == U"Data.s";
}

// The label that opens the default language data. "EndDefaultLanguage:" holds the
// same text but closes the block: taking it for the opening label would delete the
// lines behind it and put the data after the block.
bool isDataStartLabel(const Text& line) {
  static const Text label = U"DefaultLanguage:";
  for (std::size_t p = line.find(label); p != Text::npos; p = line.find(label, p + 1))
    if (p < 3 || TextView(line).substr(p - 3, 3) != U"End") return true;
  return false;
}

// The name that a test line of the main program tests: "If WindowID(#" + a name + ")",
// or "If IsWindow(" + a name + ")" for a window opened into a variable, and nothing
// else on the line. Empty for any other line. The line is replaced whole, so a line of
// the user's that merely holds the text (a condition with more in it, a trailing
// comment) is left as written.
Text windowTestName(const Text& line, const char32_t* head) {
  Text t = trimBlanksTabs(line);
  if (!startsWith(t, head) || t.back() != U')') return Text();
  const std::size_t length = std::char_traits<char32_t>::length(head);
  TextView name = TextView(t).substr(length, t.size() - length - 1);
  return name.find_first_of(U"()") == TextView::npos ? Text(name) : Text();
}

// True for the test line of the main program. The IsWindow form counts only for a
// window of this run or the previous one, which a run wrote there: a user's own
// IsWindow test stays as written.
bool isWindowTestLine(const Text& line, const FormModel& model) {
  if (!windowTestName(line, U"If WindowID(#").empty()) return true;
  Text name = windowTestName(line, U"If IsWindow(");
  if (name.empty()) return false;
  for (const Lines* list : {&model.WindowList, &model.PreviousWindowList})
    for (const Text& window : *list)
      if (equalsNoCase(window, name)) return true;
  return false;
}

}  // namespace

void ScanLanguageKeys(FormModel& model, const Lines& lines) {
  for (const Text& line : lines) {
    if (FindNoCase(line, U"MyLanguage(") == 0) continue;
    std::size_t open = line.find(U'"');
    if (open == Text::npos) continue;
    std::size_t close = line.find(U'"', open + 1);
    if (close == Text::npos || close == open + 1) continue;
    Text key = line.substr(open + 1, close - open - 1);
    if (!model.Language.contains(key)) model.Language.set(key, key);
  }
}

void fillLanguageData(FormModel& model) {
  FileBuffer& buffer = model.buffers.loadLanguage;
  std::size_t start = buffer.size();
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    if (buffer[i].find(U"#MaxLanguage =") != Text::npos)
      buffer[i] = U"#MaxLanguage = " + numberText(static_cast<long long>(model.Language.size()));
    if (isDataStartLabel(buffer[i])) {
      start = i;
      break;
    }
  }
  if (start == buffer.size()) return;

  std::size_t end = start + 1;
  while (end < buffer.size() && buffer[end].find(U"EndDefaultLanguage:") == Text::npos &&
         buffer[end].find(U"EndDataSection") == Text::npos)
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
  for (const auto& [key, text] : model.Language.entries()) data.push_back(U"  Data.s \"" + key + U"\"");
  buffer.insert(buffer.begin() + static_cast<std::ptrdiff_t>(start + 1), data.begin(), data.end());
}

Text imageLabel(const Text& constant) {
  Text t = trimBlanksTabs(constant);
  if (!t.empty() && t[0] == U'#') return t.substr(1);
  if (isNumber(t)) return U"Image_" + t;
  return t;
}

bool isNamedConstant(const Text& constant) {
  Text t = trimBlanksTabs(constant);
  return !t.empty() && t[0] == U'#';
}

void buildImageSection(FormModel& model) {
  Lines& out = model.sections.images;
  out.clear();
  out.push_back(U";- Image Plugin");
  out.emplace_back();

  struct Decoder {
    std::vector<const char32_t*> extensions;
    std::vector<const char32_t*> lines;
  };
  static const Decoder decoders[] = {
      {{U"JPG", U"JPEG"}, {U"UseJPEGImageDecoder()", U"UseJPEG2000ImageDecoder()"}},
      {{U"PNG"}, {U"UsePNGImageDecoder()"}},
      {{U"TIF", U"TIFF"}, {U"UseTIFFImageDecoder()"}},
      {{U"TGA"}, {U"UseTGAImageDecoder()"}},
  };
  bool anyDecoder = false;
  for (const Decoder& d : decoders) {
    bool used = false;
    for (const ImageEntry& image : model.ImageList) {
      Text ext = extensionOf(image.file);
      for (const char32_t* e : d.extensions) used = used || ext == e;
    }
    if (!used) continue;
    for (const char32_t* line : d.lines) out.push_back(line);
    anyDecoder = true;
  }
  if (anyDecoder) out.emplace_back();

  if (model.switches.Image_Include != 1) {
    out.push_back(U";- Load Images");
    for (const ImageEntry& image : model.ImageList)
      out.push_back(U"LoadImage(" + image.constant + U", \"" + image.file + U"\")");
    out.emplace_back();
    return;
  }
  out.push_back(U";- Catch Images");
  for (const ImageEntry& image : model.ImageList)
    out.push_back(U"CatchImage(" + image.constant + U", ?" + imageLabel(image.constant) + U")");
  out.emplace_back();
  out.push_back(U";- Images");
  out.push_back(U"DataSection");
  for (const ImageEntry& image : model.ImageList) {
    out.push_back(U"  " + imageLabel(image.constant) + U":");
    out.push_back(U"  IncludeBinary \"" + image.file + U"\"");
  }
  out.push_back(U"EndDataSection");
}

void buildConstantsSection(FormModel& model) {
  Lines& out = model.sections.constants;
  out.clear();
  Lines windows, windowVariables, gadgets, gadgetVariables, fonts, images;
  for (std::size_t i = 0; i < model.WindowList.size(); ++i)
    (model.isVariableWindow(i) ? windowVariables : windows).push_back(model.WindowList[i]);
  for (const GadgetEntry& g : model.GadgetList) {
    if (g.variable) gadgetVariables.push_back(g.name);
    else gadgets.push_back(U"  #" + g.name);
  }
  for (const FontEntry& f : model.FontList)
    if (isNamedConstant(f.constant)) fonts.push_back(U"  " + f.constant);
  for (const ImageEntry& i : model.ImageList)
    if (isNamedConstant(i.constant)) images.push_back(U"  " + i.constant);
  appendEnumeration(out, U";- Window Constants", hashMembers(windows), windowVariables);
  appendEnumeration(out, U";- Menubar Constants", hashMembers(model.MenuBarList));
  appendEnumeration(out, U";- MenuItem Constants", hashMembers(model.MenuItemList));
  appendEnumeration(out, U";- Gadget Constants", gadgets, gadgetVariables);
  appendEnumeration(out, U";- StatusBar Constants", hashMembers(model.StatusBarList));
  appendEnumeration(out, U";- ToolBar Constants", hashMembers(model.ToolBarList));
  appendEnumeration(out, U";- Font Constants", fonts);
  appendEnumeration(out, U";- Image Constants", images);
}

void rewriteFirstWindowLines(StageContext& ctx) {
  FormModel& model = ctx.model;
  if (model.WindowList.empty()) return;
  const Text& first = model.WindowList.front();
  const Text openCall = U"Open_" + first + U"()";
  // Hand-written and other designers' forms name their window procedures freely
  // (Window_Main, CreateGUI): Main.pb calls the procedure that opens the window, when
  // it can be called without arguments.
  const WindowProcedure* procedure = model.WindowProcedureList.empty() ? nullptr : &model.WindowProcedureList.front();
  Text call = openCall;
  if (procedure && !procedure->name.empty() && !procedure->needsArguments &&
      !equalsNoCase(procedure->name, U"Open_" + first))
    call = procedure->name + U"()";
  bool replaced = false;
  for (Text& line : model.buffers.main) {
    if (line.find(U"Open_WindowXY()") != Text::npos) {
      line = replaceNoCase(line, U"Open_WindowXY()", call);
      replaced = true;
    } else if (isWindowTestLine(line, model)) {
      line = model.isVariableWindow(0) ? U"  If IsWindow(" + first + U")" : U"  If WindowID(#" + first + U")";
      break;
    }
  }
  if (replaced && procedure && procedure->needsArguments)
    ctx.log(U" -> Warning: window " + first + U" opened by procedure " + procedure->name +
            U", which needs arguments; Main.pb calls " + openCall + U".");
}

void assembleCommonFile(FormModel& model) {
  Lines& out = model.buffers.common;
  const CommonSections& s = model.sections;
  out.clear();
  out.push_back(U"; Tarnwick Commonfile (Do Not Edit - Allways Overwrite)");
  appendSeparatorBlock(out);
  out.insert(out.end(), s.constants.begin(), s.constants.end());
  appendSeparatorBlock(out);
  out.insert(out.end(), s.fonts.begin(), s.fonts.end());
  out.insert(out.end(), s.images.begin(), s.images.end());
  appendSeparatorBlock(out);
  if (model.switches.Multilang == 1) {
    out.push_back(U"IncludeFile \"LoadLanguage.pb\"");
    appendSeparatorBlock(out);
  }
  out.insert(out.end(), model.FormCodeLines.begin(), model.FormCodeLines.end());
}

void reportUnreadableTranslations(StageContext& ctx) {
  // The generated LoadLanguage procedure splits each Catalog line at every ";".
  for (const auto& [key, text] : ctx.model.Language.entries())
    if (key.find(U';') != Text::npos || text.find(U';') != Text::npos)
      ctx.log(U" -> Warning: language text holds ';', its translation cannot be read: " + key);
}

void ScanIncludeFilesForLanguage(StageContext& ctx) {
  for (const Text& path : ctx.model.IncludeFileList) {
    const std::string file = toUtf8(path);
    std::string bytes;
    // A missing include file holds no text yet; the source update creates it.
    if (!ctx.fs.readFile(file, bytes)) {
      if (ctx.fs.exists(file)) ctx.logFileError(U" -> Error OpenFile " + path + U" / " + fileErrorText());
      continue;
    }
    Lines scratch = ctx.decodeRead(path, bytes).lines;
    ScanLanguageKeys(ctx.model, scratch);
  }
}

}  // namespace tarnwick
