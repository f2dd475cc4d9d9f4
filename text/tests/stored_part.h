#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "text/line_scan.h"
#include "text/text_chunks.h"
#include "text/units.h"

namespace tambrel::text {

// How a decoder may keep a part's units.
enum class PartStorage {
  kUtf16,
  // A byte a unit when every unit is ASCII, otherwise UTF-16.
  kAsciiInBytes,
  // As the bytes of TestCode, below.
  kCoded,
};

// An encoding for tests: a unit below U+0080 is its own byte, any other three bytes, a lead of
// 0xC0 and up and two of 0x80 to 0xBF. Enough like a real one that characters have different
// lengths, and it holds every unit there is, lone surrogates included.
class TestCode : public UnitDecoder {
 public:
  static std::string Encode(std::u16string_view units) {
    std::string bytes;
    for (const char16_t unit : units) {
      if (unit < 0x80) {
        bytes += static_cast<char>(unit);
        continue;
      }
      bytes += static_cast<char>(0xC0 | unit >> 12);
      bytes += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
      bytes += static_cast<char>(0x80 | (unit & 0x3F));
    }
    return bytes;
  }
  static bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  }

  std::size_t DecodeUnits(std::string_view whole, char16_t* out, std::size_t room) const override {
    std::size_t written = 0;
    for (std::size_t i = 0; i < whole.size() && written < room; ++written) {
      const auto byte = static_cast<unsigned char>(whole[i]);
      if (byte < 0x80) {
        out[written] = byte;
        i += 1;
        continue;
      }
      out[written] = static_cast<char16_t>((byte & 0x0F) << 12 |
                                           (static_cast<unsigned char>(whole[i + 1]) & 0x3F) << 6 |
                                           (static_cast<unsigned char>(whole[i + 2]) & 0x3F));
      i += 3;
    }
    return written;
  }
  std::size_t MostUnitsPerByte() const override { return 1; }

  static const TestCode& Instance() {
    static const TestCode code;
    return code;
  }
};

// `units` as TestCode bytes in blocks of about `block_bytes`, each ending where a character does.
inline CodedUnits CodedOf(std::u16string_view units, std::size_t block_bytes) {
  const std::string bytes = TestCode::Encode(units);
  CodedUnits coded = CodedUnits::ForOverwrite(bytes.size(), TestCode::Instance());
  for (std::size_t from = 0; from < bytes.size();) {
    std::size_t to = std::min(bytes.size(), from + block_bytes);
    while (to < bytes.size() && !TestCode::StartsCharacter(bytes[to])) ++to;
    std::copy(bytes.begin() + from, bytes.begin() + to, coded.NextBlock());
    char16_t block_units[CodedUnits::kMostBlockBytes];
    coded.AddBlock(to - from,
                   TestCode::Instance().DecodeUnits(std::string_view(bytes).substr(from, to - from),
                                                    block_units, std::size(block_units)));
    from = to;
  }
  return coded;
}

// `units` as a large document's decode stores a part: in storage of its own (a short string would
// move with its object), kept as `storage` says, with its line starts listed.
inline TextPart StoredPart(std::u16string_view units, PartStorage storage,
                           std::size_t block_bytes = 7) {
  TextPart part;
  if (storage == PartStorage::kCoded) {
    part.coded = CodedOf(units, block_bytes);
  } else if (storage == PartStorage::kAsciiInBytes && !units.empty() &&
             std::ranges::all_of(units, [](char16_t unit) { return unit < 0x80; })) {
    part.ascii = AsciiUnits::ForOverwrite(units.size());
    std::ranges::transform(units, part.ascii.data(),
                           [](char16_t unit) { return static_cast<char>(unit); });
  } else {
    part.text = Units::ForOverwrite(units.size());
    std::ranges::copy(units, part.text.data());
  }
  ListLineStarts(units, part.starts);
  return part;
}

}  // namespace tambrel::text
