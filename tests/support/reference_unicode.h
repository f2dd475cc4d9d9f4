#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reference UTF-8 and UTF-16 decoders for tests, written from the definitions and built another
// way than the program's: they check the program, so they share none of its code.
namespace tambrel::testing {

// UTF-16 of one code point.
inline std::u16string Utf16Of(char32_t code_point) {
  if (code_point < 0x10000) return std::u16string(1, static_cast<char16_t>(code_point));
  const char32_t above = code_point - 0x10000;
  return {static_cast<char16_t>(0xD800 + (above >> 10)),
          static_cast<char16_t>(0xDC00 + (above & 0x3FF))};
}

// UTF-8 of one code point.
inline std::string Utf8Of(char32_t code_point) {
  const auto byte = [](char32_t value) { return static_cast<char>(value); };
  if (code_point < 0x80) return std::string(1, byte(code_point));
  if (code_point < 0x800) return {byte(0xC0 | code_point >> 6), byte(0x80 | (code_point & 0x3F))};
  if (code_point < 0x10000) {
    return {byte(0xE0 | code_point >> 12), byte(0x80 | (code_point >> 6 & 0x3F)),
            byte(0x80 | (code_point & 0x3F))};
  }
  return {byte(0xF0 | code_point >> 18), byte(0x80 | (code_point >> 12 & 0x3F)),
          byte(0x80 | (code_point >> 6 & 0x3F)), byte(0x80 | (code_point & 0x3F))};
}

// What a reference decoder made of some bytes.
struct ReferenceText {
  std::u16string text;
  std::size_t undecodable = 0;
  // Where the first replacement went, in bytes and in units; the ends when there is none.
  std::size_t first_bad_byte = 0;
  std::size_t first_bad_unit = 0;
};

namespace reference_detail {

// The length a first byte announces by its high bits alone; 0 for one that starts nothing.
inline std::size_t AnnouncedLength(unsigned char byte) {
  if (byte < 0x80) return 1;
  if (byte >= 0xC0 && byte < 0xE0) return 2;
  if (byte >= 0xE0 && byte < 0xF0) return 3;
  if (byte >= 0xF0 && byte < 0xF8) return 4;
  return 0;
}

// Whether part, the first bytes of a sequence, can still be completed to a well-formed one: the
// code points its completions span must hold a scalar value that takes exactly that many bytes.
inline bool CanComplete(std::string_view part) {
  const auto first = static_cast<unsigned char>(part[0]);
  const std::size_t length = AnnouncedLength(first);
  if (length == 0 || part.size() > length) return false;
  char32_t low = length == 1 ? first : first & (0xFF >> (length + 1));
  for (std::size_t k = 1; k < part.size(); ++k) {
    const auto byte = static_cast<unsigned char>(part[k]);
    if ((byte & 0xC0) != 0x80) return false;
    low = low << 6 | (byte & 0x3F);
  }
  char32_t high = low;
  for (std::size_t k = part.size(); k < length; ++k) {
    low = low << 6;
    high = high << 6 | 0x3F;
  }
  constexpr char32_t kFewest[] = {0, 0x80, 0x800, 0x10000};
  low = std::max(low, kFewest[length - 1]);
  high = std::min(high, char32_t{0x10FFFF});
  return low <= high && !(low >= 0xD800 && high <= 0xDFFF);
}

inline char32_t CodePointOf(std::string_view sequence) {
  const auto first = static_cast<unsigned char>(sequence[0]);
  char32_t value = sequence.size() == 1 ? first : first & (0xFF >> (sequence.size() + 1));
  for (std::size_t k = 1; k < sequence.size(); ++k) {
    value = value << 6 | (static_cast<unsigned char>(sequence[k]) & 0x3F);
  }
  return value;
}

inline void Replace(ReferenceText& result, std::size_t at_byte) {
  if (result.undecodable++ == 0) {
    result.first_bad_byte = at_byte;
    result.first_bad_unit = result.text.size();
  }
  result.text += u'\uFFFD';
}

inline void Finish(ReferenceText& result, std::size_t size) {
  if (result.undecodable > 0) return;
  result.first_bad_byte = size;
  result.first_bad_unit = result.text.size();
}

}  // namespace reference_detail

// UTF-8 from the code points each start of a sequence can still reach; each maximal subpart
// that is no whole sequence becomes U+FFFD.
inline ReferenceText ReferenceUtf8(std::string_view bytes) {
  using namespace reference_detail;
  ReferenceText result;
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t reach = 0;
    while (reach < 4 && i + reach < bytes.size() && CanComplete(bytes.substr(i, reach + 1))) {
      ++reach;
    }
    if (reach > 0 && reach == AnnouncedLength(static_cast<unsigned char>(bytes[i]))) {
      result.text += Utf16Of(CodePointOf(bytes.substr(i, reach)));
      i += reach;
      continue;
    }
    Replace(result, i);
    i += std::max<std::size_t>(reach, 1);
  }
  Finish(result, bytes.size());
  return result;
}

// UTF-16 in either byte order: the units first, then the pairs among them.
inline ReferenceText ReferenceUtf16(std::string_view bytes, bool little_endian) {
  using namespace reference_detail;
  std::vector<char16_t> units;
  for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
    const auto a = static_cast<unsigned char>(bytes[k]);
    const auto b = static_cast<unsigned char>(bytes[k + 1]);
    units.push_back(static_cast<char16_t>(little_endian ? b * 256 + a : a * 256 + b));
  }
  ReferenceText result;
  for (std::size_t k = 0; k < units.size(); ++k) {
    const char16_t unit = units[k];
    if (unit < 0xD800 || unit > 0xDFFF) {
      result.text += unit;
    } else if (unit < 0xDC00 && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
               units[k + 1] <= 0xDFFF) {
      result.text += unit;
      result.text += units[++k];
    } else {
      Replace(result, 2 * k);
    }
  }
  if (bytes.size() % 2 == 1) Replace(result, bytes.size() - 1);
  Finish(result, bytes.size());
  return result;
}

}  // namespace tambrel::testing
