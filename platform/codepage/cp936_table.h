#pragma once

#include <cstdint>

namespace tambrel::platform::cp936 {

// Lead bytes of the double-byte characters; every other byte stands alone.
inline constexpr std::uint8_t kLeadByteFirst = 0x81;
inline constexpr std::uint8_t kLeadByteLast = 0xFE;
inline constexpr int kLeadByteCount = kLeadByteLast - kLeadByteFirst + 1;

// What Windows puts in place of anything it cannot convert, in either direction.
inline constexpr char16_t kDefaultChar = u'?';

constexpr bool IsLeadByte(std::uint8_t byte) {
  return byte >= kLeadByteFirst && byte <= kLeadByteLast;
}

// The character of each byte on its own. A lead byte holds the default character: that is what
// a lead byte with nothing usable after it turns into.
extern const char16_t kSingleByteTable[256];

// The character of each lead byte and following byte, at (lead - kLeadByteFirst) * 256 + trail.
// Pairs the code page does not define hold the default character. A NUL after a lead byte is
// never part of a pair; see cp936.cpp.
extern const char16_t kDoubleByteTable[kLeadByteCount * 256];

}  // namespace tambrel::platform::cp936
