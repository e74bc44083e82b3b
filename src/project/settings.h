// The two settings files next to the executable: TW4.INI (last project, last folder,
// switch defaults) and UserList.INI (user gadget commands).
#pragma once

#include <string>

#include "model/filesystem.h"
#include "model/form_model.h"

namespace tarnwick {

// An INI text held as lines. Group and key names match regardless of case; values
// are trimmed of blanks and tabs when read.
struct IniText {
  Lines lines;
  bool hasMark = false;

  // The value of group/key, or def when either is missing.
  Text get(TextView group, TextView key, TextView def) const;
  // Replaces the value in place, adds a missing key to its group, or appends a
  // missing group at the end. Lines are written as key + " = " + value.
  void set(TextView group, TextView key, TextView value);
};

// Reads an INI file; an unreadable file gives an empty text (no mark).
IniText readIni(FileSystem& fs, const std::string& path, bool* existed = nullptr);
// Writes the text back, UTF-8, with the mark when hasMark is set.
bool writeIni(FileSystem& fs, const std::string& path, const IniText& ini);
// One key update as its own open-update-close; a missing file is created with a mark.
bool updateIniKey(FileSystem& fs, const std::string& path, TextView group, TextView key, TextView value);

// The switch defaults of group "Default" (missing keys take the built-in defaults).
Switches readDefaultSwitches(const IniText& ini);

// Parses UserList.INI lines: names of section [USERGADGET], spaces trimmed (tabs stay).
Lines parseUserGadgets(const Lines& lines);
// The bytes of UserList.INI for the given names: header and one name a line, each
// ended by LF, no empty line after them.
std::string userGadgetFileBytes(const Lines& names);

}  // namespace tarnwick
