#include "generate/common_file.h"

namespace tarnwick {

namespace {

void appendSeparatorBlock(Lines& lines) {
  lines.emplace_back();
  lines.push_back(SeparatorLine());
  lines.emplace_back();
}

void appendEnumeration(Lines& out, const char32_t* header, const Lines& members) {
  out.push_back(header);
  out.push_back(U";");
  out.push_back(U"Enumeration");
  for (const Text& m : members) out.push_back(m);
  out.push_back(U"EndEnumeration");
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

// The test line of the main program, "If WindowID(#" + a name + ")" and nothing else.
// The line is replaced whole, so a line of the user's that merely holds the text (a
// condition with more in it, a trailing comment) is left as written.
bool isWindowTestLine(const Text& line) {
  static const Text head = U"If WindowID(#";
  Text t = trimBlanksTabs(line);
  if (!startsWith(t, head) || t.back() != U')') return false;
  TextView name = TextView(t).substr(head.size(), t.size() - head.size() - 1);
  return !name.empty() && name.find_first_of(U"()") == TextView::npos;
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
  Lines gadgets, fonts, images;
  for (const GadgetEntry& g : model.GadgetList) gadgets.push_back(U"  #" + g.name);
  for (const FontEntry& f : model.FontList)
    if (isNamedConstant(f.constant)) fonts.push_back(U"  " + f.constant);
  for (const ImageEntry& i : model.ImageList)
    if (isNamedConstant(i.constant)) images.push_back(U"  " + i.constant);
  appendEnumeration(out, U";- Window Constants", hashMembers(model.WindowList));
  appendEnumeration(out, U";- Menubar Constants", hashMembers(model.MenuBarList));
  appendEnumeration(out, U";- MenuItem Constants", hashMembers(model.MenuItemList));
  appendEnumeration(out, U";- Gadget Constants", gadgets);
  appendEnumeration(out, U";- StatusBar Constants", hashMembers(model.StatusBarList));
  appendEnumeration(out, U";- ToolBar Constants", hashMembers(model.ToolBarList));
  appendEnumeration(out, U";- Font Constants", fonts);
  appendEnumeration(out, U";- Image Constants", images);
}

void rewriteFirstWindowLines(FormModel& model) {
  if (model.WindowList.empty()) return;
  const Text& first = model.WindowList.front();
  for (Text& line : model.buffers.main) {
    if (line.find(U"Open_WindowXY()") != Text::npos) {
      line = replaceNoCase(line, U"Open_WindowXY()", U"Open_" + first + U"()");
    } else if (isWindowTestLine(line)) {
      line = U"  If WindowID(#" + first + U")";
      return;
    }
  }
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
