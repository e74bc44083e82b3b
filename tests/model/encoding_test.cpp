#include "model/encoding.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

std::string bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s.push_back(static_cast<char>(x));
  return s;
}

TEST(Marks, LongerMarksFirst) {
  struct Case {
    std::string data;
    TextFormat format;
    std::size_t length;
    const char* log;
  } cases[] = {
      {bytes({0xEF, 0xBB, 0xBF, 'a'}), TextFormat::FormatUtf8, 3, " -> UTF-8 BOM found."},
      {bytes({0xFF, 0xFE, 0, 0, 'a', 0, 0, 0}), TextFormat::FormatUtf32Le, 4, " -> UTF-32 (Little Endian) BOM found."},
      {bytes({0, 0, 0xFE, 0xFF}), TextFormat::FormatUtf32Be, 4, " -> UTF-32 (Big Endian) BOM found."},
      {bytes({0xFF, 0xFE, 'a', 0}), TextFormat::FormatUtf16Le, 2, " -> UTF-16 (Little Endian) BOM found."},
      {bytes({0xFE, 0xFF, 0, 'a'}), TextFormat::FormatUtf16Be, 2, " -> UTF-16 (Big Endian) BOM found."},
      {"abc", TextFormat::FormatAnsi, 0, " -> No BOM found."},
      {bytes({0xEF, 0xBB}), TextFormat::FormatAnsi, 0, " -> No BOM found."},
      {"", TextFormat::FormatAnsi, 0, " -> No BOM found."},
  };
  for (const Case& c : cases) {
    MarkInfo m = detectMark(c.data);
    EXPECT_EQ(m.format, c.format) << toUtf8(c.log);
    EXPECT_EQ(m.length, c.length) << toUtf8(c.log);
    EXPECT_EQ(markLogLine(m), c.log);
  }
}

TEST(Decode, EachFormat) {
  EXPECT_EQ(decode(bytes({'a', 0xE4, 0xFF}), TextFormat::FormatAnsi), "aäÿ");
  EXPECT_EQ(decode(bytes({'a', 0, 0xE4, 0, 0x3D, 0xD8, 0x00, 0xDE}), TextFormat::FormatUtf16Le), "aä😀");
  EXPECT_EQ(decode(bytes({0, 'a', 0x20, 0xAC}), TextFormat::FormatUtf16Be), "a€");
  EXPECT_EQ(decode(bytes({'a', 0, 0, 0, 0x00, 0xF6, 0x01, 0x00}), TextFormat::FormatUtf32Le), "a😀");
  EXPECT_EQ(decode(bytes({0, 0, 0, 'a'}), TextFormat::FormatUtf32Be), "a");
}

TEST(Decode, OddByteCountsEndInAReplacementCharacter) {
  EXPECT_EQ(decode(bytes({'a', 0, 'b'}), TextFormat::FormatUtf16Le), "a\uFFFD");
  EXPECT_EQ(decode(bytes({0, 0, 0, 'a', 0, 0}), TextFormat::FormatUtf32Be), "a\uFFFD");
  // A lone surrogate is not a character.
  EXPECT_EQ(decode(bytes({0x00, 0xD8, 'a', 0}), TextFormat::FormatUtf16Le), "\uFFFDa");
}

// The first byte (1-based, mark included) that does not decode in the encoding the
// mark names; every byte of a file without a mark reads as something.
TEST(Decode, FirstInvalidByteOfAMarkedFile) {
  struct Case {
    std::string data;
    std::size_t at;
  } cases[] = {
      {bytes({'a', 0xE4, 0xFF}), 0},                                 // no mark
      {bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA4, 'b'}), 0},
      {bytes({0xEF, 0xBB, 0xBF, '#', 'A', ' ', 0xE4, '\n'}), 7},     // a stray 8-bit byte
      {bytes({0xEF, 0xBB, 0xBF, 0xC3}), 4},                          // cut short
      {bytes({0xFF, 0xFE, 'a', 0, 0x3D, 0xD8, 0x00, 0xDE}), 0},
      {bytes({0xFF, 0xFE, 'a', 0, 'b'}), 5},                         // an odd byte at the end
      {bytes({0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'a', 0}), 5},          // a lone high surrogate
      {bytes({0xFE, 0xFF, 0xDC, 0x00}), 3},                          // a lone low surrogate
      {bytes({0x00, 0x00, 0xFE, 0xFF, 0, 0, 0, 'a', 0x7F, 0, 0, 0}), 9},
      {bytes({0xFF, 0xFE, 0, 0, 'a', 0, 0, 0, 'b'}), 9},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(invalidByteAt(c.data), c.at) << ::testing::PrintToString(c.data);
    EXPECT_EQ(decodeFile(c.data).invalidAt, c.at) << ::testing::PrintToString(c.data);
  }
}

TEST(Lines, LfCrAndCrLfEndALineAndNoEmptyLineAfterTheLast) {
  EXPECT_EQ(splitLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(splitLines("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(splitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(splitLines("\n"), (Lines{""}));
  EXPECT_TRUE(splitLines("").empty());
}

TEST(DecodeFile, FilesWithoutAMarkAreSniffed) {
  // Valid UTF-8 with non-ASCII text is UTF-8, not double-decoded Latin-1.
  DecodedText utf = decodeFile("Titel \xC3\x96" "ffnen\r\n");
  EXPECT_EQ(utf.format, TextFormat::FormatUtf8);
  EXPECT_FALSE(utf.hasMark);
  EXPECT_EQ(utf.lines, (Lines{"Titel Öffnen"}));
  // Real Latin-1 stays Latin-1.
  DecodedText latin = decodeFile("Gr\xF6\xDF" "e\n");
  EXPECT_EQ(latin.format, TextFormat::FormatAnsi);
  EXPECT_EQ(latin.lines, (Lines{"Größe"}));
  // Pure ASCII reads as before.
  EXPECT_EQ(decodeFile("x\ny").format, TextFormat::FormatAnsi);
  // One pasted 8-bit character garbles no UTF-8 line: each line is read on its own.
  DecodedText mixed = decodeFile("a = \"\xE4\xBD\xA0\"\r\n; caf\xE9\nx\n");
  EXPECT_TRUE(mixed.mixed);
  EXPECT_EQ(mixed.format, TextFormat::FormatUtf8);
  EXPECT_EQ(mixed.lines, (Lines{"a = \"你\"", "; café", "x"}));
  EXPECT_FALSE(utf.mixed || latin.mixed || decodeFile("\xEF\xBB\xBF\xC3\xA4\n\xE4").mixed);
  // A mark decides, and is not part of the text.
  DecodedText marked = decodeFile(bytes({0xFF, 0xFE, 'h', 0, 'i', 0, '\n', 0}));
  EXPECT_EQ(marked.format, TextFormat::FormatUtf16Le);
  EXPECT_TRUE(marked.hasMark);
  EXPECT_EQ(marked.lines, (Lines{"hi"}));
}

// Lines of 8-bit and UTF-8 files are split before they are decoded; they must come out
// as splitting the whole decoded text would give them, broken sequences included.
TEST(DecodeFile, LineByLineDecodingMatchesWholeText) {
  const std::string cases[] = {
      "a\nb\r\nc\rd",        "a\r\n",          "a\n\n",         "a\r\r\nb", "\n", "", "\r",
      "\xC3\x96\n\xC3\n\x96",  // a sequence cut by a line end
      "\xE2\x82\r\n\xAC \xF0\x9F\x98\x80\n\xF0\x9F\x98",  // cut sequences, one at the very end
      "\xC3\xA9t\xE9\n",        // valid UTF-8 next to a Latin-1 byte: not UTF-8 at all
      "Gr\xF6\xDF" "e\r\nx",     "\xEF\xBB\xBF" "\xC3\n\xBC\r\r",  // marked UTF-8
  };
  for (const std::string& bytes : cases) {
    DecodedText d = decodeFile(bytes);
    MarkInfo mark = detectMark(bytes);
    EXPECT_EQ(d.lines, splitLines(decode(std::string_view(bytes).substr(mark.length), d.format))) << bytes;
  }
}

TEST(Encode, Utf8OfMixedLinesMatchesCharacterByCharacter) {
  const Lines lines{"", "plain", "é", "aé€😀b", "😀", "ends in ü", "\u007F\u0080"};
  std::string expected;
  for (const Text& line : lines) expected += toUtf8(line) + "\n";
  EXPECT_EQ(encodeLines(lines, TextFormat::FormatUtf8, false), expected);
  EXPECT_EQ(encodeLines(lines, TextFormat::FormatUtf8, true), "\xEF\xBB\xBF" + expected);
}

TEST(Encode, Latin1RoundTripAndLossReport) {
  Lines lines{"Grüße", "ÿ"};
  bool lossy = true;
  std::string out = encodeLines(lines, TextFormat::FormatAnsi, true, &lossy);
  EXPECT_FALSE(lossy);
  EXPECT_EQ(out, "Gr\xFC\xDF" "e\n\xFF\n");  // no mark in 8-bit files, LF only
  EXPECT_EQ(decodeFile(out).lines, lines);
  EXPECT_TRUE(fitsLatin1(lines));

  Lines wide{"a€b"};
  EXPECT_FALSE(fitsLatin1(wide));
  EXPECT_EQ(encodeLines(wide, TextFormat::FormatAnsi, false, &lossy), "ab\n");
  EXPECT_TRUE(lossy);
}

TEST(Encode, MarksAndWideFormatsRoundTrip) {
  Lines lines{"Öffnen 😀", "", "x"};
  EXPECT_EQ(encodeLines({"a"}, TextFormat::FormatUtf8, true), "\xEF\xBB\xBF" "a\n");
  EXPECT_EQ(encodeLines({"a"}, TextFormat::FormatUtf8, false), "a\n");
  for (TextFormat f : {TextFormat::FormatUtf8, TextFormat::FormatUtf16Le, TextFormat::FormatUtf16Be,
                       TextFormat::FormatUtf32Le, TextFormat::FormatUtf32Be}) {
    DecodedText back = decodeFile(encodeLines(lines, f, true));
    EXPECT_EQ(back.format, f);
    EXPECT_EQ(back.lines, lines);
  }
}

}  // namespace
}  // namespace tarnwick
