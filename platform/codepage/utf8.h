#pragma once

#include <cstddef>
#include <string_view>

#include "platform/codepage/decode_count.h"

// Strict UTF-8 to UTF-16: only well-formed sequences in the sense of the Unicode standard, so no
// overlong forms, no surrogates and nothing above U+10FFFF.
namespace tambrel::platform::utf8 {

// How far DecodeWellFormed got: the bytes it took and the units it wrote.
struct Progress {
  std::size_t read = 0;
  std::size_t written = 0;
};

// Decodes into out, which has room for bytes.size() units, and stops before the first sequence
// that is not well formed or is cut short by the end. All of bytes is well formed when read is
// bytes.size().
Progress DecodeWellFormed(std::string_view bytes, char16_t* out);
// The same into `room` units, never writing past them: for a stretch decoded into its exact place
// while its neighbours are written by other threads. Stops, like at a malformed sequence, where
// the next character does not fit.
Progress DecodeWellFormed(std::string_view bytes, char16_t* out, std::size_t room);

// How many units the bytes give when they are UTF-8: one for every byte that starts a character,
// two for a character beyond the basic plane. Exact for well-formed UTF-8, a guess for anything
// else, and far quicker than a decode.
std::size_t CountUnits(std::string_view bytes);

// The length of the maximal subpart at the start of bytes, which must not be empty nor start
// with a well-formed sequence: the longest start of a well-formed sequence there, or 1 when there
// is none.
std::size_t MaximalSubpart(std::string_view bytes);

// Decodes all of bytes into out, which has room for bytes.size() units. Each maximal subpart
// that is not a whole sequence becomes one U+FFFD and counts as undecodable.
DecodeCount DecodeReplacing(std::string_view bytes, char16_t* out);

}  // namespace tambrel::platform::utf8
