#include "generate/file_set.h"

#include "generate/templates.h"

namespace tarnwick {

namespace {

// Reads a file into lines in the encoding its mark names; false when it cannot be read.
bool readLines(FileSystem& fs, const std::string& path, Lines& lines) {
  std::string bytes;
  if (!fs.readFile(path, bytes)) return false;
  lines = decodeFile(bytes).lines;
  return true;
}

// Removes every leading and trailing double quote.
Text trimQuotes(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && t[a] == U'"') ++a;
  while (b > a && t[b - 1] == U'"') --b;
  return Text(t.substr(a, b - a));
}

// Writes one file in the run's encoding and logs the result. A file meant for 8 bits
// that holds characters beyond ISO 8859-1 is written as UTF-8 instead, since those
// characters would otherwise be lost.
// keepUnreadable marks a file whose lines were read back in step 1: when it is there
// but cannot be read, its buffer was built without the user's lines, and writing it
// would wipe them, so it is left alone and reported.
bool writeOne(RunContext& ctx, const char* name, const Lines& lines, bool keepUnreadable) {
  const FormModel& m = ctx.model;
  Text path = m.projectDirectory() + T(name);
  std::string bytesOnDisk;
  if (keepUnreadable && ctx.fs.exists(toUtf8(path)) && !ctx.fs.readFile(toUtf8(path), bytesOnDisk)) {
    ctx.logFileError(U" -> Error File " + path + U" / " + fileErrorText());
    return false;
  }
  bool utf8 = m.WriteFormat == TextFormat::FormatUtf8;
  bool widened = !utf8 && !fitsLatin1(lines);
  std::string bytes = (utf8 || widened) ? encodeLines(lines, TextFormat::FormatUtf8, true)
                                        : encodeLines(lines, TextFormat::FormatAnsi, false);
  if (!ctx.fs.writeFile(toUtf8(path), bytes)) {
    ctx.logFileError(U" -> Error File " + path + U" / " + fileErrorText());
    return false;
  }
  ctx.log(U" -> Write File " + path);
  if (widened) ctx.log(U" -> Warning: " + path + U" holds characters beyond ISO 8859-1; written as UTF-8.");
  return true;
}

}  // namespace

void trimTrailingComments(FileBuffer& buffer) {
  while (!buffer.empty() && !buffer.back().empty() && buffer.back()[0] == U';') buffer.pop_back();
}

void readCatalog(const Lines& lines, LanguageMap& language) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const Text& line = lines[i];
    std::size_t first = line.find(U';');
    Text key = trimQuotes(TextView(line).substr(0, first));
    if (key.empty()) continue;
    Text text;
    if (first != Text::npos) {
      std::size_t second = line.find(U';', first + 1);
      text = trimQuotes(TextView(line).substr(first + 1, second == Text::npos ? Text::npos : second - first - 1));
    }
    language.set(key, text.empty() ? key : text);
  }
}

Lines catalogLines(const LanguageMap& language) {
  Lines out{U"Default;Language"};
  for (const auto& [key, text] : language.entries())
    out.push_back(U"\"" + key + U"\";\"" + (text == key ? Text() : text) + U"\"");
  return out;
}

void prepareFileBuffers(RunContext& ctx) {
  FormModel& m = ctx.model;
  FileBuffers& b = m.buffers;
  if (!readLines(ctx.fs, m.projectFile("Main.pb"), b.main)) b.main = templateLines("Main.txt");
  b.eventMain = templateLines(m.switches.UseCallFast == 1 ? "EventMainCallTable.txt" : "EventMainPlain.txt");
  if (!readLines(ctx.fs, m.projectFile("LoadLanguage.pb"), b.loadLanguage))
    b.loadLanguage = templateLines("LoadLanguage.txt");
  struct EventFile {
    const char* name;
    FileBuffer* buffer;
  } eventFiles[] = {{"EventMenu.pb", &b.eventMenu}, {"EventGadget.pb", &b.eventGadget},
                    {"EventWindow.pb", &b.eventWindow}};
  for (const EventFile& f : eventFiles) {
    if (!readLines(ctx.fs, m.projectFile(f.name), *f.buffer)) f.buffer->clear();
    trimTrailingComments(*f.buffer);
  }
  Lines catalog;
  if (readLines(ctx.fs, m.projectFile("Catalog"), catalog)) readCatalog(catalog, m.Language);
}

bool writeGeneratedFiles(RunContext& ctx) {
  const FormModel& m = ctx.model;
  const FileBuffers& b = m.buffers;
  bool ok = true;
  // CommonFile.pb and EventMain.pb are rebuilt from nothing; the others carry lines
  // read back from disk.
  ok &= writeOne(ctx, "Main.pb", b.main, true);
  ok &= writeOne(ctx, "CommonFile.pb", b.common, false);
  ok &= writeOne(ctx, "EventMain.pb", b.eventMain, false);
  ok &= writeOne(ctx, "EventMenu.pb", b.eventMenu, true);
  ok &= writeOne(ctx, "EventGadget.pb", b.eventGadget, true);
  ok &= writeOne(ctx, "EventWindow.pb", b.eventWindow, true);
  if (m.switches.Multilang == 1) {
    ok &= writeOne(ctx, "LoadLanguage.pb", b.loadLanguage, true);
    ok &= writeOne(ctx, "Catalog", catalogLines(m.Language), true);
  }
  return ok;
}

}  // namespace tarnwick
