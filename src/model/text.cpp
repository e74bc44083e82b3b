#include "model/text.h"

#include <iterator>

namespace tarnwick {

Text fromUtf8(std::string_view s) {
  Text out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    if (ok) {
      // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
      static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) ok = false;
    }
    if (ok) {
      out.push_back(cp);
      i += len;
    } else {
      // A byte that starts no valid sequence keeps its value as an ISO 8859-1 character,
      // so no byte of the user's text is dropped.
      out.push_back(b);
      ++i;
    }
  }
  return out;
}

std::string toUtf8(TextView t) {
  std::string out;
  out.reserve(t.size());
  for (char32_t c : t) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c <= 0x10FFFF) {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out += "\xEF\xBF\xBD";
    }
  }
  return out;
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
  for (char32_t& c : out) c = upperChar(c);
  return out;
}

std::size_t findFrom(TextView text, TextView pattern, std::size_t start) {
  if (start < 1) start = 1;
  if (start - 1 > text.size()) return 0;
  std::size_t p = text.find(pattern, start - 1);
  return p == TextView::npos ? 0 : p + 1;
}

std::size_t FindNoCase(TextView text, TextView pattern, std::size_t start) {
  // Compares character by character in upper case instead of upper-casing copies of
  // both texts, since every keyword test of every line comes through here.
  char32_t small[64];
  const std::size_t m = pattern.size();
  if (m > std::size(small)) return findFrom(upper(text), upper(pattern), start);
  if (start < 1) start = 1;
  if (start - 1 > text.size()) return 0;
  if (m == 0) return start;
  if (m > text.size()) return 0;
  // ASCII letters are upper-cased inline; only other characters go through upperChar.
  auto up = [](char32_t c) { return c < 0x80 ? (c >= U'a' && c <= U'z' ? c - 32 : c) : upperChar(c); };
  for (std::size_t k = 0; k < m; ++k) small[k] = upperChar(pattern[k]);
  const std::size_t last = text.size() - m;
  for (std::size_t i = start - 1; i <= last; ++i) {
    if (up(text[i]) != small[0]) continue;
    std::size_t k = 1;
    while (k < m && up(text[i + k]) == small[k]) ++k;
    if (k == m) return i + 1;
  }
  return 0;
}

Text trimBlanks(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && t[a] == U' ') ++a;
  while (b > a && t[b - 1] == U' ') --b;
  return Text(t.substr(a, b - a));
}

Text trimBlanksTabs(TextView t) {
  std::size_t a = 0, b = t.size();
  while (a < b && (t[a] == U' ' || t[a] == U'\t')) ++a;
  while (b > a && (t[b - 1] == U' ' || t[b - 1] == U'\t')) --b;
  return Text(t.substr(a, b - a));
}

bool startsWith(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool equalsNoCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperChar(a[i]) != upperChar(b[i])) return false;
  return true;
}

Text SeparatorLine() { return U"; " + Text(87, U'*'); }

Text fileErrorText() { return U"Errorcode: 1"; }

Text directoryOf(TextView path) {
  std::size_t p = path.rfind(U'/');
  return p == TextView::npos ? Text() : Text(path.substr(0, p + 1));
}

Text fileNameOf(TextView path) {
  std::size_t p = path.rfind(U'/');
  return p == TextView::npos ? Text(path) : Text(path.substr(p + 1));
}

Text numberText(long long n) { return T(std::to_string(n)); }

}  // namespace tarnwick
