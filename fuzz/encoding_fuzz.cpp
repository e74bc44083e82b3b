// Byte-order marks, decoding and line splitting. A file read and written again in
// the encoding it was read in must read back to the same lines, and a marked file
// that decodes whole must write back to the same bytes.
#include <cstdint>

#include "model/encoding.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MarkInfo mark = detectMark(bytes);
  if (mark.length > bytes.size()) __builtin_trap();
  markLogLine(mark);
  for (TextFormat f : {TextFormat::FormatAnsi, TextFormat::FormatUtf8, TextFormat::FormatUtf16Le,
                       TextFormat::FormatUtf16Be, TextFormat::FormatUtf32Le, TextFormat::FormatUtf32Be})
    splitLines(decode(bytes, f));

  DecodedText d = decodeFile(bytes);
  fitsLatin1(d.lines);
  bool lossy = false;
  std::string written = encodeLines(d.lines, d.format, true, &lossy);
  if (!lossy && decodeFile(written).lines != d.lines) __builtin_trap();
  // A marked file found valid decodes to a text that encodes back to its very bytes:
  // what the run refuses to write back is exactly what would not.
  if (d.invalidAt > bytes.size()) __builtin_trap();
  if (d.hasMark && d.invalidAt == 0) {
    std::string_view body = bytes.substr(mark.length);
    if (encodeLines({decode(body, mark.format)}, mark.format, false) !=
        std::string(body) + encodeLines({Text()}, mark.format, false))
      __builtin_trap();
  }
  return 0;
}
