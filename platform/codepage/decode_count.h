#pragma once

#include <cstddef>

namespace tambrel::platform {

// What the Unicode decoders put in place of bytes they cannot decode.
inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

// What a decode into the caller's buffer did: the units it wrote, and how many of them are
// substitutes for bytes it could not decode.
struct DecodeCount {
  std::size_t written = 0;
  std::size_t undecodable = 0;
};

}  // namespace tambrel::platform
