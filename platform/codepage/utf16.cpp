#include "platform/codepage/utf16.h"

#include "text/utf16.h"

namespace tambrel::platform::utf16 {
namespace {

using text::IsHighSurrogate;
using text::IsLowSurrogate;

bool IsSurrogate(char16_t unit) { return IsHighSurrogate(unit) || IsLowSurrogate(unit); }

// One loop per byte order, so that the order is not asked again for every unit.
template <ByteOrder kOrder>
DecodeCount DecodeUnits(const unsigned char* in, std::size_t units, char16_t* out) {
  const auto unit_at = [in](std::size_t k) {
    const unsigned first = in[2 * k];
    const unsigned second = in[2 * k + 1];
    return static_cast<char16_t>(kOrder == ByteOrder::kLittleEndian ? second << 8 | first
                                                                    : first << 8 | second);
  };
  DecodeCount count;
  for (std::size_t k = 0; k < units; ++k) {
    const char16_t unit = unit_at(k);
    if (!IsSurrogate(unit)) [[likely]] {
      out[count.written++] = unit;
    } else if (IsHighSurrogate(unit) && k + 1 < units && IsLowSurrogate(unit_at(k + 1))) {
      out[count.written++] = unit;
      out[count.written++] = unit_at(++k);
    } else {
      out[count.written++] = kReplacementCharacter;
      ++count.undecodable;
    }
  }
  return count;
}

}  // namespace

DecodeCount DecodeReplacing(std::string_view bytes, ByteOrder order, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  DecodeCount count = order == ByteOrder::kLittleEndian
                          ? DecodeUnits<ByteOrder::kLittleEndian>(in, units, out)
                          : DecodeUnits<ByteOrder::kBigEndian>(in, units, out);
  if (bytes.size() % 2 != 0) {
    out[count.written++] = kReplacementCharacter;
    ++count.undecodable;
  }
  return count;
}

}  // namespace tambrel::platform::utf16
