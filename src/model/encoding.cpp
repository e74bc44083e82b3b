#include "model/encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarnwick {

MarkInfo detectMark(std::string_view b) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(b[i]); };
  const std::size_t n = b.size();
  if (n >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) return {TextFormat::FormatUtf8, 3};
  if (n >= 4 && at(0) == 0xFF && at(1) == 0xFE && at(2) == 0x00 && at(3) == 0x00)
    return {TextFormat::FormatUtf32Le, 4};
  if (n >= 4 && at(0) == 0x00 && at(1) == 0x00 && at(2) == 0xFE && at(3) == 0xFF)
    return {TextFormat::FormatUtf32Be, 4};
  if (n >= 2 && at(0) == 0xFF && at(1) == 0xFE) return {TextFormat::FormatUtf16Le, 2};
  if (n >= 2 && at(0) == 0xFE && at(1) == 0xFF) return {TextFormat::FormatUtf16Be, 2};
  return {TextFormat::FormatAnsi, 0};
}

Text markLogLine(const MarkInfo& mark) {
  switch (mark.format) {
    case TextFormat::FormatUtf8: return " -> UTF-8 BOM found.";
    case TextFormat::FormatUtf16Le: return " -> UTF-16 (Little Endian) BOM found.";
    case TextFormat::FormatUtf16Be: return " -> UTF-16 (Big Endian) BOM found.";
    case TextFormat::FormatUtf32Le: return " -> UTF-32 (Little Endian) BOM found.";
    case TextFormat::FormatUtf32Be: return " -> UTF-32 (Big Endian) BOM found.";
    case TextFormat::FormatAnsi: break;
  }
  return " -> No BOM found.";
}

namespace {

Text decodeUtf16(std::string_view b, bool little) {
  Text out;
  out.reserve(b.size() / 2);
  std::size_t i = 0;
  auto unit = [&](std::size_t k) -> char32_t {
    unsigned char x = static_cast<unsigned char>(b[k]), y = static_cast<unsigned char>(b[k + 1]);
    return little ? (char32_t(y) << 8 | x) : (char32_t(x) << 8 | y);
  };
  while (i + 1 < b.size()) {
    char32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < b.size()) {
        char32_t v = unit(i);
        if (v >= 0xDC00 && v <= 0xDFFF) {
          appendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
          i += 2;
          continue;
        }
      }
      appendCodePoint(out, 0xFFFD);
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      appendCodePoint(out, 0xFFFD);
    } else {
      appendCodePoint(out, u);
    }
  }
  if (i < b.size()) appendCodePoint(out, 0xFFFD);
  return out;
}

Text decodeUtf32(std::string_view b, bool little) {
  Text out;
  out.reserve(b.size() / 4);
  std::size_t i = 0;
  for (; i + 3 < b.size(); i += 4) {
    char32_t c = 0;
    for (int k = 0; k < 4; ++k) {
      unsigned char x = static_cast<unsigned char>(b[i + (little ? 3 - k : k)]);
      c = (c << 8) | x;
    }
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    appendCodePoint(out, c);
  }
  if (i < b.size()) appendCodePoint(out, 0xFFFD);
  return out;
}

Text decodeLatin1(std::string_view b) {
  Text out;
  out.reserve(b.size());
  for (char ch : b) {
    appendCodePoint(out, static_cast<unsigned char>(ch));
  }
  return out;
}

void putUnit16(std::string& out, char32_t u, bool little) {
  char hi = static_cast<char>((u >> 8) & 0xFF), lo = static_cast<char>(u & 0xFF);
  if (little) { out.push_back(lo); out.push_back(hi); }
  else { out.push_back(hi); out.push_back(lo); }
}

void putChar(std::string& out, char32_t c, TextFormat f, bool& lossy) {
  switch (f) {
    case TextFormat::FormatAnsi:
      if (c <= 0xFF) out.push_back(static_cast<char>(c));
      else lossy = true;
      break;
    case TextFormat::FormatUtf8: appendCodePoint(out, c); break;
    case TextFormat::FormatUtf16Le:
    case TextFormat::FormatUtf16Be: {
      bool little = f == TextFormat::FormatUtf16Le;
      if (c >= 0x10000 && c <= 0x10FFFF) {
        putUnit16(out, 0xD800 + ((c - 0x10000) >> 10), little);
        putUnit16(out, 0xDC00 + ((c - 0x10000) & 0x3FF), little);
      } else {
        putUnit16(out, c > 0x10FFFF ? 0xFFFD : c, little);
      }
      break;
    }
    case TextFormat::FormatUtf32Le:
    case TextFormat::FormatUtf32Be: {
      bool little = f == TextFormat::FormatUtf32Le;
      for (int k = 0; k < 4; ++k) {
        int shift = little ? 8 * k : 8 * (3 - k);
        out.push_back(static_cast<char>((c >> shift) & 0xFF));
      }
      break;
    }
  }
}

}  // namespace

Text decode(std::string_view b, TextFormat f) {
  switch (f) {
    case TextFormat::FormatAnsi: return decodeLatin1(b);
    case TextFormat::FormatUtf8: return fromUtf8(b);
    case TextFormat::FormatUtf16Le: return decodeUtf16(b, true);
    case TextFormat::FormatUtf16Be: return decodeUtf16(b, false);
    case TextFormat::FormatUtf32Le: return decodeUtf32(b, true);
    case TextFormat::FormatUtf32Be: return decodeUtf32(b, false);
  }
  return Text();
}

Lines splitLines(TextView t) {
  Lines lines;
  std::size_t start = 0;
  const std::size_t n = t.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (t[i] == '\n' || t[i] == '\r') {
      lines.emplace_back(t.substr(start, i - start));
      if (t[i] == '\r' && i + 1 < n && t[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) lines.emplace_back(t.substr(start));
  return lines;
}

bool isValidUtf8(std::string_view b) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < b.size();) {
    if (static_cast<unsigned char>(b[i]) < 0x80) {
      ++i;
      continue;
    }
    int len = utf8SequenceAt(b, i, cp);
    if (len == 0) return false;
    i += static_cast<std::size_t>(len);
  }
  return true;
}

std::size_t invalidByteAt(std::string_view bytes) {
  const MarkInfo mark = detectMark(bytes);
  const std::string_view b = bytes.substr(mark.length);
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
  std::size_t bad = std::string_view::npos;
  switch (mark.format) {
    case TextFormat::FormatAnsi:
      break;
    case TextFormat::FormatUtf8: {
      char32_t cp = 0;
      for (std::size_t i = 0; i < b.size() && bad == std::string_view::npos;) {
        const int len = at(i) < 0x80 ? 1 : utf8SequenceAt(b, i, cp);
        if (len == 0) bad = i;
        i += static_cast<std::size_t>(len);
      }
      break;
    }
    case TextFormat::FormatUtf16Le:
    case TextFormat::FormatUtf16Be: {
      const bool little = mark.format == TextFormat::FormatUtf16Le;
      auto unit = [&](std::size_t k) -> char32_t {
        return little ? (char32_t(at(k + 1)) << 8 | at(k)) : (char32_t(at(k)) << 8 | at(k + 1));
      };
      std::size_t i = 0;
      for (; i + 1 < b.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xDC00 && u <= 0xDFFF) break;  // a low surrogate without its high one
        if (u >= 0xD800 && u <= 0xDBFF) {
          if (i + 3 >= b.size()) break;
          const char32_t v = unit(i + 2);
          if (v < 0xDC00 || v > 0xDFFF) break;
          i += 2;
        }
      }
      if (i < b.size()) bad = i;  // a broken pair, or an odd byte at the end
      break;
    }
    case TextFormat::FormatUtf32Le:
    case TextFormat::FormatUtf32Be: {
      const bool little = mark.format == TextFormat::FormatUtf32Le;
      std::size_t i = 0;
      for (; i + 3 < b.size(); i += 4) {
        char32_t c = 0;
        for (int k = 0; k < 4; ++k) c = (c << 8) | at(i + static_cast<std::size_t>(little ? 3 - k : k));
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) break;
      }
      if (i < b.size()) bad = i;
      break;
    }
  }
  return bad == std::string_view::npos ? 0 : mark.length + bad + 1;
}

Text formatName(TextFormat format) {
  switch (format) {
    case TextFormat::FormatAnsi: return "ISO 8859-1";
    case TextFormat::FormatUtf8: return "UTF-8";
    case TextFormat::FormatUtf16Le: return "UTF-16 (Little Endian)";
    case TextFormat::FormatUtf16Be: return "UTF-16 (Big Endian)";
    case TextFormat::FormatUtf32Le: return "UTF-32 (Little Endian)";
    case TextFormat::FormatUtf32Be: return "UTF-32 (Big Endian)";
  }
  return Text();
}

DecodedText decodeFile(std::string_view bytes) {
  DecodedText d;
  MarkInfo mark = detectMark(bytes);
  std::string_view body = bytes.substr(mark.length);
  if (mark.length > 0) {
    d.hasMark = true;
    d.format = mark.format;
    d.invalidAt = invalidByteAt(bytes);
    if (d.format != TextFormat::FormatUtf8) {
      d.lines = splitLines(decode(body, d.format));
      return d;
    }
  }
  // Line ends are single bytes that no UTF-8 sequence contains, so the bytes are split
  // first and each line decoded on its own, without holding the text twice.
  // Without a mark each line is read as UTF-8 when it is valid UTF-8 and as ISO 8859-1
  // otherwise: a file saved as UTF-8 would be double-encoded if it were taken for
  // ISO 8859-1, and one pasted 8-bit character must not turn the other lines of a
  // UTF-8 file into 8-bit text. Pure ASCII reads the same either way.
  const bool marked = d.hasMark;
  bool sawUtf8 = false, saw8Bit = false;
  auto add = [&](std::string_view line) {
    if (isAscii(line)) {
      d.lines.emplace_back(line);  // nearly every line: the same in every reading
    } else if (marked) {
      d.lines.push_back(fromUtf8(line));
    } else if (isValidUtf8(line)) {
      sawUtf8 = true;
      d.lines.emplace_back(line);
    } else {
      saw8Bit = true;
      d.lines.push_back(decode(line, TextFormat::FormatAnsi));
    }
  };
  d.lines.reserve(static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')) + 1);
  // LF, CR LF and a lone CR each end a line; memchr finds them.
  std::size_t start = 0;
  const std::size_t n = body.size();
  const char* data = body.data();
  while (start < n) {
    const char* lf = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
    const std::size_t lfAt = lf ? static_cast<std::size_t>(lf - data) : n;
    if (const char* cr = static_cast<const char*>(std::memchr(data + start, '\r', lfAt - start))) {
      const std::size_t crAt = static_cast<std::size_t>(cr - data);
      add(body.substr(start, crAt - start));
      start = crAt + 1;
      if (start < n && data[start] == '\n') ++start;
      continue;
    }
    add(body.substr(start, lfAt - start));
    start = lfAt + 1;
  }
  if (!marked) {
    d.mixed = sawUtf8 && saw8Bit;
    d.format = sawUtf8 ? TextFormat::FormatUtf8 : TextFormat::FormatAnsi;
  }
  return d;
}

std::string encodeLines(const Lines& lines, TextFormat f, bool withMark, bool* lossy) {
  std::string out;
  bool lost = false;
  std::size_t estimate = 4;
  for (const Text& line : lines) estimate += line.size() + 1;
  out.reserve(estimate);
  if (withMark && f != TextFormat::FormatAnsi) putChar(out, 0xFEFF, f, lost);
  for (const Text& line : lines) {
    if (f == TextFormat::FormatUtf8) {
      // The text is UTF-8 already.
      out += line;
      out.push_back('\n');
      continue;
    }
    for (std::size_t i = 0; i < line.size();) {
      // ASCII runs are copied as they are; other characters go through the converter.
      if (f == TextFormat::FormatAnsi && static_cast<unsigned char>(line[i]) < 0x80) {
        out.push_back(line[i++]);
        continue;
      }
      putChar(out, nextCodePoint(line, i), f, lost);
    }
    putChar(out, '\n', f, lost);
  }
  if (lossy) *lossy = lost;
  return out;
}

bool fitsLatin1(const Lines& lines) {
  // U+0100 and above start with a lead byte of 0xC4 or more.
  for (const Text& line : lines)
    for (char c : line)
      if (static_cast<unsigned char>(c) >= 0xC4) return false;
  return true;
}

}  // namespace tarnwick
