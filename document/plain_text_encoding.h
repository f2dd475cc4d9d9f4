#pragma once

#include <cstddef>
#include <string_view>

#include "document/decoded_text.h"
#include "platform/codepage/cp936.h"

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

// A watch sees the decoding of code page 936 go by, and can stop it (see cp936::DecodeInParts).
DecodedText DecodePlainText(std::string_view bytes,
                            const platform::cp936::DecodeWatch& watch = {});

// Whether the bytes start with a byte-order mark, which names their encoding.
bool HasByteOrderMark(std::string_view bytes);

// Whether the start of the bytes, beyond their ASCII, is well-formed UTF-8: a GBK file rarely
// gets past its first few characters.
bool LooksLikeUtf8(std::string_view bytes);

// A place at or soon after `at` where plain bytes can be cut so that the bytes before it read as
// they read within the whole: just after an ASCII byte, which ends a character in UTF-8 and in
// code page 936 alike, or on a unit's boundary for UTF-16. Failing an ASCII byte nearby, a place
// where no UTF-8 sequence is cut. bytes.size() when `at` is past the end.
std::size_t PlainTextCut(std::string_view bytes, std::size_t at);

}  // namespace tambrel::document
