// Unicode text helpers shared by every part of the engine: the text type, UTF-8
// repair, length-preserving upper-casing and the case-insensitive search.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Every text of the engine is UTF-8, and always valid UTF-8: a byte that starts no
// valid sequence was taken as an ISO 8859-1 character when the text was made.
// Positions are 1-based byte positions. Every pattern searched for is itself valid
// UTF-8, and upper-casing keeps the byte length of each character, so a match found
// in an upper-cased copy lies at the same bytes of the original and always on whole
// characters: every search, test and splice gives what it would give counted in
// characters.
using Text = std::string;
using TextView = std::string_view;
using Lines = std::vector<Text>;

// A text from bytes meant as UTF-8: a byte that starts no valid sequence is taken as
// the ISO 8859-1 character of its value, so that no byte of the user's text is lost.
Text fromUtf8(std::string_view bytes);
inline std::string toUtf8(TextView text) { return std::string(text); }
// Shorthand for literals: T("abc") is fromUtf8("abc"). Paths are bytes and stay as
// they are; only readableText makes them a text, for showing.
inline Text T(std::string_view utf8) { return fromUtf8(utf8); }
// Bytes shown as a text: valid UTF-8 as it is, every byte that starts no valid
// sequence as "\x" and two hex digits. How a path, which is bytes and may be in
// another encoding, appears in log lines and titles: a folder "caf\xE9" is never shown
// as its UTF-8 twin "café". (A name that holds a backslash and "x" itself reads alike.)
Text readableText(std::string_view bytes);

// The length (1 to 4) of the valid UTF-8 sequence that begins at byte i of s, with its
// code point in cp; 0 when none begins there (overlong forms, surrogates and values
// past U+10FFFF are not valid).
int utf8SequenceAt(std::string_view s, std::size_t i, char32_t& cp);
// The code point that starts at byte i of a valid UTF-8 text; i moves past it.
char32_t nextCodePoint(TextView text, std::size_t& i);
// Appends the UTF-8 bytes of a code point (U+FFFD for one that UTF-8 cannot hold).
void appendCodePoint(Text& out, char32_t c);
// True when every byte is ASCII.
bool isAscii(TextView text);

// Upper case of an ASCII byte; every other byte as it is.
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
// The number of characters in a valid UTF-8 text.
std::size_t characterCount(TextView text);

// Upper case of one character; never changes the number of characters, nor the
// number of bytes of its UTF-8 form.
char32_t upperChar(char32_t c);
Text upper(TextView text);

// The upper case of a text byte by byte, computed only for a text that is not ASCII,
// whose upper case needs the whole characters.
class UpperBytes {
 public:
  explicit UpperBytes(TextView text) : text_(text), ascii_(isAscii(text)) {
    if (!ascii_) upper_ = upper(text);
  }
  char operator[](std::size_t i) const { return ascii_ ? upperAscii(text_[i]) : upper_[i]; }

 private:
  TextView text_;
  bool ascii_;
  Text upper_;
};

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
