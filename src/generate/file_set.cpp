#include "generate/file_set.h"

#include "generate/templates.h"

namespace tarnwick {

namespace {

// Reads a file of the project folder into lines in the encoding its mark names; false
// when it cannot be read. A file that is there but cannot be read is remembered, so
// that step 4 does not write over the user's lines, and so is one of UTF-8 and 8-bit
// lines, which step 4 writes as UTF-8.
bool readBack(StageContext& ctx, const char* name, Lines& lines) {
  std::string path = ctx.model.projectFile(name);
  std::string bytes;
  if (!ctx.fs.readFile(path, bytes)) {
    if (ctx.fs.exists(path)) ctx.model.buffers.unreadable.insert(name);
    return false;
  }
  // A file the run writes back must decode whole; LoadLanguage.pb and Catalog are
  // written only for a project in several languages.
  const bool writtenBack = ctx.model.switches.Multilang == 1 ||
                           (std::string_view(name) != "LoadLanguage.pb" && std::string_view(name) != "Catalog");
  DecodedText text =
      ctx.decodeRead(path, bytes, writtenBack ? StageContext::BadBytes::Refuse : StageContext::BadBytes::Warn);
  if (text.mixed) ctx.model.buffers.mixed.insert(name);
  lines = std::move(text.lines);
  return true;
}

// Removes every leading and trailing double quote.
Text trimQuotes(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && t[a] == '"') ++a;
  while (b > a && t[b - 1] == '"') --b;
  return Text(t.substr(a, b - a));
}

// Splits a line written as "key";"text" at its quotes: the key runs from the first
// quote to the ";" framed by quotes that closes it, the text from there to the last
// quote, so that either may hold ";". False for a line of another shape.
bool splitQuotedEntry(TextView line, Text& key, Text& text) {
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
  std::size_t close = line.find("\";\"", 1);
  if (close == TextView::npos || close + 3 > line.size() - 1) return false;
  key = Text(line.substr(1, close - 1));
  text = Text(line.substr(close + 3, line.size() - 1 - (close + 3)));
  return true;
}

// A line of another shape: the first two ";"-separated fields with their double
// quotes at either end removed.
void splitFields(TextView line, Text& key, Text& text) {
  std::size_t first = line.find(';');
  key = trimQuotes(line.substr(0, first));
  text.clear();
  if (first == TextView::npos) return;
  std::size_t second = line.find(';', first + 1);
  text = trimQuotes(line.substr(first + 1, second == TextView::npos ? TextView::npos : second - first - 1));
}

// Encodes and stages one file in the run's encoding. A file meant for 8 bits that holds
// characters beyond ISO 8859-1 is written as UTF-8 instead, since those characters would
// otherwise be lost, and so is one that was read as UTF-8 and 8-bit lines. A file that
// step 1 found but could not read was prepared without the user's lines; writing it
// would wipe them, so it is not staged.
FileBuffers::Staged stageOne(StageContext& ctx, const char* name, const Lines& lines) {
  const FormModel& m = ctx.model;
  FileBuffers::Staged result;
  if (m.buffers.unreadable.count(name)) return result;
  bool utf8 = m.WriteFormat == TextFormat::FormatUtf8 || m.buffers.mixed.count(name);
  result.widened = !utf8 && !fitsLatin1(lines);
  const std::string bytes = (utf8 || result.widened) ? encodeLines(lines, TextFormat::FormatUtf8, true)
                                                     : encodeLines(lines, TextFormat::FormatAnsi, false);
  const StageResult staged = ctx.changes.stageFile(ctx.fs, m.projectFile(name), bytes);
  result.written = staged != StageResult::Failed;
  result.changed = staged == StageResult::Changed;
  return result;
}

// Puts a staged file in its place among the run's changes and logs how staging went:
// a file written, one left as it was, and one that could not be staged (or was left
// alone, unreadable). A run into memory says what it would write.
bool writeOne(StageContext& ctx, const char* name) {
  FormModel& m = ctx.model;
  Text path = m.projectDirectory() + T(name);
  const FileBuffers::Staged staged = m.buffers.staged[name];
  ctx.changes.moveToEnd(ctx.fs, m.projectFile(name));
  if (!staged.written) {
    ctx.logFileError(" -> Error File " + path + " / " + fileErrorText());
    return false;
  }
  if (!staged.changed) {
    ctx.log(" -> Unchanged File " + path);
    return true;
  }
  ctx.log((ctx.dryRun ? " -> Would Write File " : " -> Write File ") + path);
  if (staged.widened) ctx.log(" -> Warning: " + path + " holds characters beyond ISO 8859-1; written as UTF-8.");
  return true;
}

}  // namespace

void stageFinished(StageContext& ctx, const char* name, FileBuffer& buffer) {
  ctx.model.buffers.staged[name] = stageOne(ctx, name, buffer);
  FileBuffer().swap(buffer);
}

void readCatalog(const Lines& lines, LanguageMap& language) {
  // The first line is the header.
  for (std::size_t i = 1; i < lines.size(); ++i) {
    Text key, text;
    if (!splitQuotedEntry(lines[i], key, text)) splitFields(lines[i], key, text);
    // No text the language scan finds is empty or made of double quotes only.
    if (trimQuotes(key).empty()) continue;
    language.set(key, text.empty() ? key : text);
  }
}

Lines catalogLines(const LanguageMap& language) {
  Lines out{"Default;Language"};
  for (const auto& [key, text] : language.entries())
    out.push_back("\"" + key + "\";\"" + (text == key ? Text() : text) + "\"");
  return out;
}

void prepareFileBuffers(StageContext& ctx) {
  FormModel& m = ctx.model;
  FileBuffers& b = m.buffers;
  b.unreadable.clear();
  b.mixed.clear();
  if (!readBack(ctx, "Main.pb", b.main)) b.main = templateLines("Main.txt");
  b.eventMain = templateLines(m.switches.UseCallFast == 1 ? "EventMainCallTable.txt" : "EventMainPlain.txt");
  if (!readBack(ctx, "LoadLanguage.pb", b.loadLanguage))
    b.loadLanguage = templateLines("LoadLanguage.txt");
  struct EventFile {
    const char* name;
    FileBuffer* buffer;
  } eventFiles[] = {{"EventMenu.pb", &b.eventMenu}, {"EventGadget.pb", &b.eventGadget},
                    {"EventWindow.pb", &b.eventWindow}};
  // Every line of an event file is the user's and is kept, comments at its end too.
  for (const EventFile& f : eventFiles)
    if (!readBack(ctx, f.name, *f.buffer)) f.buffer->clear();
  Lines catalog;
  if (readBack(ctx, "Catalog", catalog)) readCatalog(catalog, m.Language);
}

bool writeGeneratedFiles(StageContext& ctx) {
  FormModel& m = ctx.model;
  if (m.switches.Multilang == 1) {
    Lines catalog = catalogLines(m.Language);
    stageFinished(ctx, "Catalog", catalog);
  }
  bool ok = true;
  for (const char* name : kGeneratedSourceFiles)
    if (m.switches.Multilang == 1 || std::string_view(name) != "LoadLanguage.pb") ok &= writeOne(ctx, name);
  if (m.switches.Multilang == 1) ok &= writeOne(ctx, "Catalog");
  return ok;
}

}  // namespace tarnwick
