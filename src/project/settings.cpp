#include "project/settings.h"

#include "project/project_file.h"

namespace tarnwick {

namespace {

bool isGroupLine(const Text& line) {
  Text t = trimBlanksTabs(line);
  return !t.empty() && t[0] == '[';
}

Text groupName(const Text& line) {
  Text t = trimBlanksTabs(line);
  std::size_t close = t.find(']');
  return trimBlanksTabs(t.substr(1, close == Text::npos ? Text::npos : close - 1));
}

// Splits "key = value"; false for lines without "=".
bool splitKey(const Text& line, Text& key, Text& value) {
  std::size_t eq = line.find('=');
  if (eq == Text::npos) return false;
  key = trimBlanksTabs(line.substr(0, eq));
  value = trimBlanksTabs(line.substr(eq + 1));
  return true;
}

}  // namespace

Text IniText::get(TextView group, TextView key, TextView def) const {
  bool inGroup = false;
  for (const Text& line : lines) {
    if (isGroupLine(line)) {
      inGroup = equalsNoCase(groupName(line), group);
      continue;
    }
    Text k, v;
    if (inGroup && splitKey(line, k, v) && equalsNoCase(k, key)) return v;
  }
  return Text(def);
}

void IniText::set(TextView group, TextView key, TextView value) {
  Text newLine = Text(key) + " = " + Text(value);
  std::size_t groupStart = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isGroupLine(lines[i]) && equalsNoCase(groupName(lines[i]), group)) {
      groupStart = i;
      break;
    }
  }
  if (groupStart == lines.size()) {
    lines.push_back(Text("[").append(group).append("]"));
    lines.push_back(newLine);
    return;
  }
  std::size_t lastKey = groupStart;
  for (std::size_t i = groupStart + 1; i < lines.size() && !isGroupLine(lines[i]); ++i) {
    Text k, v;
    if (splitKey(lines[i], k, v)) {
      if (equalsNoCase(k, key)) {
        lines[i] = newLine;
        return;
      }
      lastKey = i;
    }
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey + 1), newLine);
}

IniText readIni(FileSystem& fs, const std::string& path, bool* existed) {
  IniText ini;
  std::string bytes;
  bool ok = fs.readFile(path, bytes);
  if (existed) *existed = ok;
  if (!ok) return ini;
  MarkInfo mark = detectMark(bytes);
  ini.hasMark = mark.length > 0;
  // The values of TW4.INI are paths, which are bytes: a UTF-8 file is split as it is,
  // so that a folder name in another encoding comes back as it was written.
  const std::string_view body = std::string_view(bytes).substr(mark.length);
  ini.lines = mark.length == 0 || mark.format == TextFormat::FormatUtf8 ? splitLines(body)
                                                                        : splitLines(decode(body, mark.format));
  return ini;
}

bool writeIni(FileSystem& fs, const std::string& path, const IniText& ini) {
  return fs.writeFile(path, encodeLines(ini.lines, TextFormat::FormatUtf8, ini.hasMark));
}

bool updateIniKey(FileSystem& fs, const std::string& path, TextView group, TextView key, TextView value) {
  bool existed = false;
  IniText ini = readIni(fs, path, &existed);
  if (!existed) {
    if (fs.exists(path)) return false;  // there, but unreadable: leave it alone
    ini.hasMark = true;
  }
  ini.set(group, key, value);
  return writeIni(fs, path, ini);
}

Switches readDefaultSwitches(const IniText& ini) {
  Switches s;  // the built-in defaults
  static const char* defaults[7] = {"1", "1", "0", "0", "0", "1", "1"};
  for (int i = 0; i < 7; ++i)
    s.*kSwitchFields[i].field = parseNumber(ini.get("Default", T(kSwitchFields[i].name), defaults[i]));
  return s;
}

Lines parseUserGadgets(const Lines& lines) {
  Lines names;
  Text section;
  for (const Text& line : lines) {
    if (!line.empty() && line[0] == '[') {
      section = line;
    } else if (line.empty()) {
      section.clear();
    } else if (section == "[USERGADGET]") {
      Text name = trimBlanks(line);
      if (!name.empty()) names.push_back(name);
    }
  }
  return names;
}

std::string userGadgetFileBytes(const Lines& names) {
  Lines lines{"[USERGADGET]"};
  lines.insert(lines.end(), names.begin(), names.end());
  return encodeLines(lines, TextFormat::FormatUtf8, false);
}

}  // namespace tarnwick
