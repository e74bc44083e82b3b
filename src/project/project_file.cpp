#include "project/project_file.h"

namespace tarnwick {

int64_t parseNumber(TextView t) {
  std::size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
    negative = t[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < t.size() && t[i] == '$') { base = 16; ++i; }
  else if (i < t.size() && t[i] == '%') { base = 2; ++i; }
  uint64_t value = 0;
  for (; i < t.size(); ++i) {
    char c = t[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = int(c - '0');
    else if (c >= 'a' && c <= 'f') digit = int(c - 'a') + 10;
    else if (c >= 'A' && c <= 'F') digit = int(c - 'A') + 10;
    if (digit < 0 || digit >= base) break;
    value = value * uint64_t(base) + uint64_t(digit);
  }
  // Switch values are 32-bit numbers in the file.
  int32_t narrow = static_cast<int32_t>(static_cast<uint32_t>(value));
  return negative ? -int64_t(narrow) : int64_t(narrow);
}

void parseProject(const Lines& lines, Lines& files, FormModel& model) {
  model.resetProjectNames();
  Text section;
  for (const Text& line : lines) {
    if (!line.empty() && line[0] == '[') {
      section = line;
      continue;
    }
    if (line.empty()) {
      section.clear();
      continue;
    }
    if (section == "[FILES]") {
      files.push_back(line);
    } else if (section == "[SWITCH]") {
      Text clean;
      for (char c : line)
        if (c != ';') clean.push_back(c);
      std::size_t eq = clean.find('=');
      if (eq == Text::npos) continue;
      // Blanks and tabs around the key are no part of it ("Parend = 0"), as in TW4.INI.
      Text key = trimBlanksTabs(clean.substr(0, eq));
      std::size_t eq2 = clean.find('=', eq + 1);
      Text value = clean.substr(eq + 1, eq2 == Text::npos ? Text::npos : eq2 - eq - 1);
      for (const SwitchField& f : kSwitchFields)
        if (key == T(f.name)) model.switches.*f.field = parseNumber(value);
    } else if (section == "[WINDOW]") {
      model.PreviousWindowList.push_back(line);
    } else if (section == "[MENU]") {
      model.PreviousMenuBarList.push_back(line);
    } else if (section == "[MENUITEM]") {
      model.PreviousMenuItemList.push_back(line);
    } else if (section == "[STATUSBAR]") {
      model.PreviousStatusBarList.push_back(line);
    } else if (section == "[TOOLBAR]") {
      model.PreviousToolBarList.push_back(line);
    } else if (section == "[GADGET]") {
      model.PreviousGadgetList.push_back(line);
    }
  }
}

Lines projectLines(const Lines& files, const FormModel& model, bool useCurrentModel) {
  Lines out;
  out.push_back("[FILES]");
  out.insert(out.end(), files.begin(), files.end());
  out.emplace_back();
  out.push_back("[SWITCH]");
  for (const SwitchField& f : kSwitchFields) out.push_back(T(f.name) + "=" + numberText(model.switches.*f.field));
  out.emplace_back();
  struct Section {
    const char* header;
    ObjectKind kind;
  };
  static const Section sections[] = {
      {"[WINDOW]", ObjectKind::Window},       {"[MENU]", ObjectKind::MenuBar},
      {"[MENUITEM]", ObjectKind::MenuItem},   {"[STATUSBAR]", ObjectKind::StatusBar},
      {"[TOOLBAR]", ObjectKind::ToolBar},     {"[GADGET]", ObjectKind::Gadget},
  };
  for (const Section& s : sections) {
    out.push_back(s.header);
    Lines names = useCurrentModel ? model.currentNames(s.kind)
                                  : model.previousList(s.kind);
    out.insert(out.end(), names.begin(), names.end());
    out.emplace_back();
  }
  return out;
}

bool readProjectFile(FileSystem& fs, const std::string& path, Lines& files, FormModel& model) {
  files.clear();
  model.resetProjectNames();
  std::string bytes;
  if (!fs.readFile(path, bytes)) return false;
  // The project file is UTF-8 without a mark; a mark written by another editor is skipped.
  // The rows of [FILES] are paths, which are bytes: a UTF-8 file is split as it is, so
  // that a name in another encoding keeps its bytes; the names of the other sections
  // are texts and are made valid UTF-8.
  MarkInfo mark = detectMark(bytes);
  if (mark.length != 0 && mark.format != TextFormat::FormatUtf8) {
    parseProject(splitLines(decode(std::string_view(bytes).substr(mark.length), mark.format)), files, model);
    return true;
  }
  parseProject(splitLines(std::string_view(bytes).substr(mark.length)), files, model);
  for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                          ObjectKind::ToolBar, ObjectKind::Gadget})
    for (Text& name : model.previousList(kind)) name = fromUtf8(name);
  return true;
}

std::string projectFileBytes(const Lines& files, const FormModel& model, bool useCurrentModel) {
  return encodeLines(projectLines(files, model, useCurrentModel), TextFormat::FormatUtf8, false);
}

bool writeProjectFile(FileSystem& fs, const std::string& path, const Lines& files, const FormModel& model,
                      bool useCurrentModel) {
  if (files.empty()) return false;
  return fs.writeFile(path, projectFileBytes(files, model, useCurrentModel));
}

bool projectFileHolds(FileSystem& fs, const std::string& path, const Lines& files, const FormModel& model) {
  std::string bytes;
  if (files.empty() || !fs.readFile(path, bytes)) return false;
  return bytes == projectFileBytes(files, model, false);
}

Text resolveFileRow(const Text& row, const Text& projectDirectory) {
  if (row.empty() || row[0] == '/' || projectDirectory.empty()) return row;
  TextView rest = row;
  while (rest.size() > 2 && rest.substr(0, 2) == "./") rest.remove_prefix(2);
  return projectDirectory + Text(rest);
}

Lines storedFileRows(const Lines& rows, const Text& fromDirectory, const Text& toDirectory) {
  Lines out;
  out.reserve(rows.size());
  for (const Text& row : rows) {
    const bool relative = !row.empty() && row[0] != '/';
    if (toDirectory.empty() || (relative && fromDirectory == toDirectory)) {
      out.push_back(row);
      continue;
    }
    const Text path = resolveFileRow(row, fromDirectory);
    const std::string below = path.empty() || path[0] != '/' ? std::string() : pathBelow(toUtf8(toDirectory), toUtf8(path));
    out.push_back(below.empty() ? path : Text(below));
  }
  return out;
}

void adoptCurrentNames(FormModel& model) {
  for (ObjectKind kind : {ObjectKind::Window, ObjectKind::MenuBar, ObjectKind::MenuItem, ObjectKind::StatusBar,
                          ObjectKind::ToolBar, ObjectKind::Gadget})
    model.previousList(kind) = model.currentNames(kind);
}

}  // namespace tarnwick
