#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "document/line_breaks.h"
#include "text/line_scan.h"
#include "text/text_buffer.h"
#include "text/text_chunks.h"
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
  // A large document is decoded in parts, each into storage of its own and with its lines found
  // on the way. Then the parts hold the text, `runs` of them make it in order (or, with no runs,
  // the parts whole), `text` is empty, and `breaks` counts the breaks of them all.
  std::vector<text::TextPart> parts;
  std::vector<text::PartRun> runs;
  text::BreakCounts breaks;

  bool InParts() const { return !parts.empty(); }
  std::size_t Length() const;
  // The whole text in one string: a copy when it is in parts.
  std::u16string Whole() const;
};

// The break the text uses most, from the counts the decode made when it made them.
LineBreak DominantLineBreak(const DecodedText& decoded);

// The text as a document's buffer: the parts kept where they are, with the line starts found while
// decoding, or the whole text, indexed now.
text::TextBuffer BufferOf(DecodedText&& decoded);

}  // namespace tambrel::document
