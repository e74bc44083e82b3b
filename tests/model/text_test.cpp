#include "model/text.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(FindNoCase, FindsAtStartMiddleEndAndNotPastTheEnd) {
  const Text line = U"OpenWindow(#Window_0, 0, 0)";
  EXPECT_EQ(FindNoCase(line, U"openwindow(#"), 1u);
  EXPECT_EQ(FindNoCase(line, U"#WINDOW_0"), 12u);
  EXPECT_EQ(FindNoCase(line, U"0)"), 26u);
  EXPECT_EQ(FindNoCase(line, U"0)", 27), 0u);      // start past the only match
  EXPECT_EQ(FindNoCase(line, U"x", 100), 0u);      // start beyond the end
  EXPECT_EQ(FindNoCase(line, U"window", 2), 5u);   // the first match at or after start
  EXPECT_EQ(FindNoCase(line, U"window", 5), 5u);
  EXPECT_EQ(FindNoCase(line, U"window", 6), 13u);
  EXPECT_EQ(FindNoCase(U"", U"a"), 0u);
}

// FindNoCase compares in place; it must agree with searching the upper-cased copies.
TEST(FindNoCase, AgreesWithSearchingUpperCasedCopies) {
  const Text texts[] = {U"", U"a", U"OpenWindow(#Window_0)", U"ääÄÄ ÿŸ straße STRASSE", U"aaaab aab AAB",
                        U"ωΩ жЖ ıI"};
  const Text patterns[] = {U"", U"A", U"aab", U"window", U"ÄÄ", U"ÿ", U"Ÿ", U"Ω", U"Ж", U"i", U"B",
                           U"OpenWindow(#Window_0)x", Text(70, U'a')};
  for (const Text& text : texts)
    for (const Text& pattern : patterns)
      for (std::size_t start = 0; start <= text.size() + 2; ++start)
        EXPECT_EQ(FindNoCase(text, pattern, start), findFrom(upper(text), upper(pattern), start))
            << toUtf8(text) << " / " << toUtf8(pattern) << " / " << start;
  const Text longText = Text(80, U'x') + Text(70, U'A');
  EXPECT_EQ(FindNoCase(longText, Text(70, U'a')), 81u);  // a pattern longer than the fast path holds
}

TEST(Upper, KeepsTheLengthOfNonAsciiText) {
  const Text text = U"Größe straße ÿ ä é ł ж ω";
  const Text up = upper(text);
  EXPECT_EQ(up.size(), text.size());
  EXPECT_EQ(up, U"GRÖßE STRAßE Ÿ Ä É Ł Ж Ω");
  // Positions found in the upper-cased text are positions in the original.
  EXPECT_EQ(FindNoCase(U"ß-Öffnen", U"öFF"), 3u);
  EXPECT_EQ(upperChar(U'÷'), U'÷');
}

TEST(Trim, BlanksAndTabs) {
  EXPECT_EQ(trimBlanks(U"  a b  "), U"a b");
  EXPECT_EQ(trimBlanks(U"\ta\t"), U"\ta\t");
  EXPECT_EQ(trimBlanksTabs(U" \t a \t "), U"a");
  EXPECT_EQ(trimBlanks(U"   "), U"");
}

TEST(Utf8, RoundTripsAndKeepsInvalidBytes) {
  const std::string s = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(fromUtf8(s), U"aä€😀");
  EXPECT_EQ(toUtf8(fromUtf8(s)), s);
  // A stray Latin-1 byte stays one character with the byte's value.
  EXPECT_EQ(fromUtf8("x\xE4y"), U"xäy");
  // An overlong encoding is not taken as UTF-8.
  EXPECT_EQ(fromUtf8("\xC0\xAF").size(), 2u);
}

TEST(Paths, DirectoryAndSeparator) {
  EXPECT_EQ(directoryOf(U"/home/u/p.pbm"), U"/home/u/");
  EXPECT_EQ(directoryOf(U"p.pbm"), U"");
  EXPECT_EQ(fileNameOf(U"/home/u/p.pbm"), U"p.pbm");
  EXPECT_EQ(SeparatorLine().size(), 89u);
  EXPECT_EQ(SeparatorLine().substr(0, 3), U"; *");
  EXPECT_EQ(SeparatorLine().find_first_not_of(U'*', 2), Text::npos);
}

}  // namespace
}  // namespace tarnwick
