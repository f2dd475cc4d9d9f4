#pragma once

#include <cstddef>
#include <optional>

#include "text/line_scan.h"
#include "text/units.h"

namespace tambrel::document {

// The encodings a document's bytes are read in.
enum class TextEncoding {
  kUtf8WithBom,
  kUtf8,
  kUtf16Le,
  kUtf16Be,
  kCodePage936,
  // A Windows whose ANSI code page is not 936: plain text the way that system writes it.
  kSystemCodePage,
  // The program's own form, code page 936 underneath.
  kScrambled,
};

// The text of a file's bytes, the encoding it was read in, and how many places in the text stand
// for bytes that could not be decoded: each shows as U+FFFD, or as "?" in code page 936.
struct DecodedText {
  text::Units text;
  TextEncoding encoding = TextEncoding::kCodePage936;
  std::size_t undecodable = 0;
  // The text's line starts and breaks, when the decoder found them on its way.
  std::optional<text::ScannedLines> lines;
};

}  // namespace tambrel::document
