#include "model/text.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(FindNoCase, FindsAtStartMiddleEndAndNotPastTheEnd) {
  const Text line = "OpenWindow(#Window_0, 0, 0)";
  EXPECT_EQ(FindNoCase(line, "openwindow(#"), 1u);
  EXPECT_EQ(FindNoCase(line, "#WINDOW_0"), 12u);
  EXPECT_EQ(FindNoCase(line, "0)"), 26u);
  EXPECT_EQ(FindNoCase(line, "0)", 27), 0u);      // start past the only match
  EXPECT_EQ(FindNoCase(line, "x", 100), 0u);      // start beyond the end
  EXPECT_EQ(FindNoCase(line, "window", 2), 5u);   // the first match at or after start
  EXPECT_EQ(FindNoCase(line, "window", 5), 5u);
  EXPECT_EQ(FindNoCase(line, "window", 6), 13u);
  EXPECT_EQ(FindNoCase("", "a"), 0u);
}

// FindNoCase compares in place; it must agree with searching the upper-cased copies.
TEST(FindNoCase, AgreesWithSearchingUpperCasedCopies) {
  const Text texts[] = {"", "a", "OpenWindow(#Window_0)", "ääÄÄ ÿŸ straße STRASSE", "aaaab aab AAB",
                        "ωΩ жЖ ıI",
                        // Long enough to be searched sixteen places at a time, with matches on and
                        // across the edges of those blocks.
                        "  If OpenWindow(#Window_0, 0, 0, 300, 200, \"x\") : openwindow(#b) : AAB aab Window Ω B"};
  const Text patterns[] = {"", "A", "aab", "window", "ÄÄ", "ÿ", "Ÿ", "Ω", "Ж", "i", "B",
                           "OpenWindow(#Window_0)x", Text(70, 'a')};
  for (const Text& text : texts)
    for (const Text& pattern : patterns)
      for (std::size_t start = 0; start <= text.size() + 2; ++start)
        EXPECT_EQ(FindNoCase(text, pattern, start), findFrom(upper(text), upper(pattern), start))
            << toUtf8(text) << " / " << toUtf8(pattern) << " / " << start;
  const Text longText = Text(80, 'x') + Text(70, 'A');
  EXPECT_EQ(FindNoCase(longText, Text(70, 'a')), 81u);  // a pattern longer than the fast path holds
}

TEST(Upper, KeepsTheLengthOfNonAsciiText) {
  const Text text = "Größe straße ÿ ä é ł ж ω";
  const Text up = upper(text);
  EXPECT_EQ(up.size(), text.size());
  EXPECT_EQ(up, "GRÖßE STRAßE Ÿ Ä É Ł Ж Ω");
  // Positions found in the upper-cased text are (byte) positions in the original.
  EXPECT_EQ(FindNoCase("ß-Öffnen", "öFF"), 4u);  // ß takes two bytes
  EXPECT_EQ(upperChar(U'÷'), U'÷');
}

TEST(Trim, BlanksAndTabs) {
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
  EXPECT_EQ(trimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(trimBlanksTabs(" \t a \t "), "a");
  EXPECT_EQ(trimBlanks("   "), "");
}

TEST(Utf8, RoundTripsAndKeepsInvalidBytes) {
  const std::string s = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(fromUtf8(s), "aä€😀");
  EXPECT_EQ(toUtf8(fromUtf8(s)), s);
  // A stray Latin-1 byte stays one character with the byte's value.
  EXPECT_EQ(fromUtf8("x\xE4y"), "xäy");
  // An overlong encoding is not taken as UTF-8: two ISO 8859-1 characters.
  EXPECT_EQ(fromUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
}

TEST(Paths, DirectoryAndSeparator) {
  EXPECT_EQ(directoryOf("/home/u/p.pbm"), "/home/u/");
  EXPECT_EQ(directoryOf("p.pbm"), "");
  EXPECT_EQ(fileNameOf("/home/u/p.pbm"), "p.pbm");
  EXPECT_EQ(SeparatorLine().size(), 89u);
  EXPECT_EQ(SeparatorLine().substr(0, 3), "; *");
  EXPECT_EQ(SeparatorLine().find_first_not_of('*', 2), Text::npos);
}

}  // namespace
}  // namespace tarnwick
