// Unicode text helpers shared by every part of the engine: the text type, UTF-8
// conversion, length-preserving upper-casing and the case-insensitive search.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Every text of the engine is a sequence of Unicode code points, so that 1-based
// character positions count characters, never bytes.
using Text = std::u32string;
using TextView = std::u32string_view;
using Lines = std::vector<Text>;

Text fromUtf8(std::string_view bytes);
std::string toUtf8(TextView text);
// Shorthand for literals and paths: T("abc") is fromUtf8("abc").
inline Text T(std::string_view utf8) { return fromUtf8(utf8); }

// Upper case of one character; never changes the number of characters.
char32_t upperChar(char32_t c);
Text upper(TextView text);

// Case-insensitive search: the 1-based position of the first occurrence of
// pattern in text at or after start (1-based), or 0 when there is none.
std::size_t FindNoCase(TextView text, TextView pattern, std::size_t start = 1);
// The same, for a pattern that is already upper case and a text already upper-cased.
std::size_t findFrom(TextView text, TextView pattern, std::size_t start = 1);

// Blanks (spaces) removed at both ends.
Text trimBlanks(TextView text);
// Blanks and tabs removed at both ends.
Text trimBlanksTabs(TextView text);
bool startsWith(TextView text, TextView prefix);
bool equalsNoCase(TextView a, TextView b);

// "; " followed by 87 asterisks: the separator of form code and event files.
Text SeparatorLine();
// The tail of every log line that reports a failed file operation.
Text fileErrorText();

// The directory part of a path, up to and including its last "/"; empty when it has none.
Text directoryOf(TextView path);
Text fileNameOf(TextView path);

Text numberText(long long n);

}  // namespace tarnwick
