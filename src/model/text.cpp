#include "model/text.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstdint>
#include <cstring>
#include <iterator>

namespace tarnwick {

int utf8SequenceAt(std::string_view s, std::size_t i, char32_t& cp) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  int len = 0;
  if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; }
  else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; }
  else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; }
  if (len == 0 || i + len > s.size()) return 0;
  for (int k = 1; k < len; ++k) {
    unsigned char c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
  static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

Text fromUtf8(std::string_view s) {
  // Nearly every text is valid already: it is taken as it is.
  if (isAscii(s)) return Text(s);
  std::size_t i = 0;
  const std::size_t n = s.size();
  char32_t cp = 0;
  while (i < n) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    int len = utf8SequenceAt(s, i, cp);
    if (len == 0) break;
    i += static_cast<std::size_t>(len);
  }
  if (i == n) return Text(s);
  Text out(s.substr(0, i));
  out.reserve(n + 8);
  while (i < n) {
    int len = utf8SequenceAt(s, i, cp);
    if (len > 0) {
      out.append(s.substr(i, static_cast<std::size_t>(len)));
      i += static_cast<std::size_t>(len);
    } else {
      appendCodePoint(out, static_cast<unsigned char>(s[i]));
      ++i;
    }
  }
  return out;
}

Text readableText(std::string_view s) {
  if (isAscii(s)) return Text(s);
  static const char digits[] = "0123456789ABCDEF";
  Text out;
  out.reserve(s.size() + 8);
  char32_t cp = 0;
  for (std::size_t i = 0; i < s.size();) {
    int len = utf8SequenceAt(s, i, cp);
    if (len > 0) {
      out.append(s.substr(i, static_cast<std::size_t>(len)));
      i += static_cast<std::size_t>(len);
    } else {
      const unsigned char b = static_cast<unsigned char>(s[i++]);
      out.append("\\x").push_back(digits[b >> 4]);
      out.push_back(digits[b & 0xF]);
    }
  }
  return out;
}

char32_t nextCodePoint(TextView text, std::size_t& i) {
  char32_t cp = 0;
  int len = utf8SequenceAt(text, i, cp);
  if (len == 0) {
    cp = static_cast<unsigned char>(text[i]);
    len = 1;
  }
  i += static_cast<std::size_t>(len);
  return cp;
}

void appendCodePoint(Text& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000 && !(c >= 0xD800 && c <= 0xDFFF)) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c >= 0x10000 && c <= 0x10FFFF) {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out += "\xEF\xBF\xBD";
  }
}

std::size_t characterCount(TextView text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

bool isAscii(TextView text) {
  // Eight bytes at a time: nearly every text of a run is ASCII.
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

char32_t upperChar(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  // Latin-1 letters; the division sign and y-diaeresis are not simple offsets.
  if (c >= 0xE0 && c <= 0xFE) return c == 0xF7 ? c : c - 0x20;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: pairs of upper and lower case letters.
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  // Greek and Cyrillic basic letters.
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

Text upper(TextView t) {
  Text out(t);
  for (std::size_t i = 0; i < out.size();) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (b < 0x80) {
      out[i] = upperAscii(out[i]);
      ++i;
      continue;
    }
    std::size_t at = i;
    char32_t c = nextCodePoint(out, i);
    char32_t u = upperChar(c);
    if (u == c) continue;
    // The upper case has a UTF-8 form of the same length: it takes the same bytes.
    Text bytes;
    appendCodePoint(bytes, u);
    if (bytes.size() == i - at) out.replace(at, bytes.size(), bytes);
  }
  return out;
}

std::size_t findFrom(TextView text, TextView pattern, std::size_t start) {
  if (start < 1) start = 1;
  if (start - 1 > text.size()) return 0;
  std::size_t p = text.find(pattern, start - 1);
  return p == TextView::npos ? 0 : p + 1;
}

namespace {

// One byte of a pattern as the search compares it: a letter in either case (its byte
// with 0x20 set, which maps exactly its two cases to one value), any other byte as it is.
struct PatternByte {
  unsigned char value, fold;  // text byte | fold == value
};

PatternByte patternByte(char c) {
  const char u = upperAscii(c);
  if (u >= 'A' && u <= 'Z') return {static_cast<unsigned char>(u | 0x20), 0x20};
  return {static_cast<unsigned char>(c), 0};
}

}  // namespace

std::size_t FindNoCase(TextView text, TextView pattern, std::size_t start) {
  if (start < 1) start = 1;
  if (start - 1 > text.size()) return 0;
  const std::size_t m = pattern.size();
  if (m == 0) return start;
  if (m > text.size()) return 0;
  // An ASCII pattern (every keyword) can only match ASCII bytes, whose upper case is
  // taken inline; no character beyond ASCII upper-cases into ASCII.
  char small[64];
  if (m > sizeof small || !isAscii(pattern)) return findFrom(upper(text), upper(pattern), start);
  for (std::size_t k = 0; k < m; ++k) small[k] = upperAscii(pattern[k]);
  const char* data = text.data();
  const std::size_t last = text.size() - m;  // the last place a match can start
  auto matchesAt = [&](std::size_t i) {
    for (std::size_t k = 1; k + 1 < m; ++k)
      if (upperAscii(data[i + k]) != small[k]) return false;
    return true;
  };
  // A place is tried only where the pattern's first and last bytes both fit, which
  // leaves few places to compare in full.
  const PatternByte first = patternByte(small[0]), end = patternByte(small[m - 1]);
  auto fits = [](unsigned char b, PatternByte p) { return static_cast<unsigned char>(b | p.fold) == p.value; };
  std::size_t i = start - 1;
#ifdef __SSE2__
  // Sixteen places at a time.
  const __m128i firstValue = _mm_set1_epi8(static_cast<char>(first.value));
  const __m128i firstFold = _mm_set1_epi8(static_cast<char>(first.fold));
  const __m128i endValue = _mm_set1_epi8(static_cast<char>(end.value));
  const __m128i endFold = _mm_set1_epi8(static_cast<char>(end.fold));
  for (; i + 16 <= last + 1; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1));
    const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstFold), firstValue),
                                      _mm_cmpeq_epi8(_mm_or_si128(b, endFold), endValue));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0; mask &= mask - 1) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (matchesAt(at)) return at + 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (fits(static_cast<unsigned char>(data[i]), first) && fits(static_cast<unsigned char>(data[i + m - 1]), end) &&
        matchesAt(i))
      return i + 1;
  return 0;
}

Text trimBlanks(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && t[a] == ' ') ++a;
  while (b > a && t[b - 1] == ' ') --b;
  return Text(t.substr(a, b - a));
}

Text trimBlanksTabs(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && (t[a] == ' ' || t[a] == '\t')) ++a;
  while (b > a && (t[b - 1] == ' ' || t[b - 1] == '\t')) --b;
  return Text(t.substr(a, b - a));
}

bool startsWith(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool equalsNoCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  if (isAscii(a) && isAscii(b)) {
    for (std::size_t i = 0; i < a.size(); ++i)
      if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
  }
  return upper(a) == upper(b);
}

Text SeparatorLine() {
  // Built at its exact size: a form holds one per procedure.
  Text line;
  line.reserve(89);
  return line.append("; ").append(87, '*');
}

Text fileErrorText() { return "Errorcode: 1"; }

Text directoryOf(TextView path) {
  std::size_t p = path.rfind('/');
  return p == TextView::npos ? Text() : Text(path.substr(0, p + 1));
}

Text fileNameOf(TextView path) {
  std::size_t p = path.rfind('/');
  return p == TextView::npos ? Text(path) : Text(path.substr(p + 1));
}

Text numberText(long long n) { return std::to_string(n); }

}  // namespace tarnwick
