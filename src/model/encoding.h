// Text file encodings: byte-order marks, decoding into Unicode lines, and encoding
// lines for writing.
#pragma once

#include <string>
#include <string_view>

#include "model/text.h"

namespace tarnwick {

enum class TextFormat { FormatAnsi, FormatUtf8, FormatUtf16Le, FormatUtf16Be, FormatUtf32Le, FormatUtf32Be };

struct MarkInfo {
  TextFormat format = TextFormat::FormatAnsi;
  std::size_t length = 0;  // bytes of the mark; 0 when the file has none
};

// Looks for a byte-order mark at the start of bytes, longer marks first, so that
// FF FE 00 00 is UTF-32 and not UTF-16.
MarkInfo detectMark(std::string_view bytes);

// The log line that names a detected mark, e.g. " -> UTF-8 BOM found.".
Text markLogLine(const MarkInfo& mark);

// Decodes bytes (without the mark) in the given format. FormatAnsi is ISO 8859-1:
// one byte, one character. A trailing incomplete code unit becomes U+FFFD.
Text decode(std::string_view bytes, TextFormat format);

// Splits at LF, CR and CR LF. The terminators are not part of the lines, and a
// final terminator does not start another, empty line.
Lines splitLines(TextView text);

// A decoded text file. format is the encoding the bytes were read in: the one the
// mark names, or, for a file without a mark, which is decoded line by line (a line
// that is valid UTF-8 as UTF-8, any other as ISO 8859-1), FormatUtf8 when a line holds
// non-ASCII UTF-8 and FormatAnsi otherwise. mixed is set for a file without a mark
// that holds both kinds of line; it is written back as UTF-8.
// invalidAt is the 1-based position in the file (mark included) of the first byte that
// does not decode in the encoding its mark names, 0 when every byte does; the lines
// then hold a stand-in for the bytes that do not, and must not be written back. A
// file without a mark always decodes.
struct DecodedText {
  TextFormat format = TextFormat::FormatAnsi;
  bool hasMark = false;
  bool mixed = false;
  std::size_t invalidAt = 0;
  Lines lines;
};
DecodedText decodeFile(std::string_view bytes);
// The 1-based position of the first byte of a file (mark included) that does not
// decode in the encoding its mark names; 0 when all do, and always for a file without
// a mark (one byte, one character, whatever does not read as UTF-8).
std::size_t invalidByteAt(std::string_view bytes);
// The name of an encoding for messages: "UTF-8", "UTF-16 (Little Endian)", ...
Text formatName(TextFormat format);
// True when the bytes are valid UTF-8 (ASCII included).
bool isValidUtf8(std::string_view bytes);

// Encodes lines, each followed by LF alone. UTF-8, UTF-16 and UTF-32 get their mark
// when withMark is set. In FormatAnsi characters above U+00FF cannot be written and
// are left out; lossy reports whether that happened.
std::string encodeLines(const Lines& lines, TextFormat format, bool withMark, bool* lossy = nullptr);
// True when every character fits into ISO 8859-1.
bool fitsLatin1(const Lines& lines);

}  // namespace tarnwick
