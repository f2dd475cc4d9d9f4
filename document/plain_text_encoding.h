#pragma once

#include <cstddef>
#include <string_view>

#include "document/decoded_text.h"

// How the bytes of a plain-text file become text. A byte-order mark decides the encoding and is
// not part of the text; without one, bytes that are well-formed UTF-8 and hold something beyond
// ASCII are UTF-8, and everything else is code page 936.
namespace tambrel::document {

// What DecodePlainTextInto did.
struct PlainTextSummary {
  std::size_t written = 0;
  TextEncoding encoding = TextEncoding::kCodePage936;
  std::size_t undecodable = 0;
};

// The most units DecodePlainTextInto writes for bytes.
std::size_t MaxPlainTextLength(std::string_view bytes);

// Decodes into out, which has room for MaxPlainTextLength(bytes) units.
PlainTextSummary DecodePlainTextInto(std::string_view bytes, char16_t* out);

DecodedText DecodePlainText(std::string_view bytes);

}  // namespace tambrel::document
