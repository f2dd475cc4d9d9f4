#include "platform/codepage/utf8.h"

#include <array>
#include <cstdint>

#include "platform/codepage/ascii_run.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tambrel::platform::utf8 {
namespace {

// What a byte says as the first of a sequence: the length of the sequence (0 when it never
// starts one) and the range its second byte must lie in. That range is where overlong forms,
// surrogates and code points above U+10FFFF are turned away; later bytes are 80 to BF.
struct Lead {
  std::uint8_t length = 0;
  std::uint8_t low = 0;
  std::uint8_t high = 0;
};

constexpr std::array<Lead, 256> MakeLeads() {
  std::array<Lead, 256> leads{};
  for (int byte = 0xC2; byte <= 0xDF; ++byte) leads[byte] = {2, 0x80, 0xBF};
  for (int byte = 0xE0; byte <= 0xEF; ++byte) leads[byte] = {3, 0x80, 0xBF};
  for (int byte = 0xF0; byte <= 0xF4; ++byte) leads[byte] = {4, 0x80, 0xBF};
  leads[0xE0].low = 0xA0;   // below: overlong
  leads[0xED].high = 0x9F;  // above: surrogates
  leads[0xF0].low = 0x90;   // below: overlong
  leads[0xF4].high = 0x8F;  // above: past U+10FFFF
  return leads;
}

constexpr std::array<Lead, 256> kLeads = MakeLeads();

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool SecondFits(unsigned char byte, const Lead& lead) {
  return byte >= lead.low && byte <= lead.high;
}

}  // namespace

Progress DecodeWellFormed(std::string_view bytes, char16_t* out) {
  // The text is never ahead of the bytes, so room for a unit a byte is never short.
  return DecodeWellFormed(bytes, out, bytes.size());
}

Progress DecodeWellFormed(std::string_view bytes, char16_t* out, std::size_t room) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < size) {
    const unsigned char b0 = in[i];
    if (o == room) break;
    if (b0 < 0x80) {
      if (i + cp936::kAsciiRunWidth <= size && o + cp936::kAsciiRunWidth <= room) {
        const std::size_t run = cp936::AsciiRun(in + i, out + o, 0x80, 0);
        i += run;
        o += run;
      } else {
        out[o++] = b0;
        i += 1;
      }
      continue;
    }
    const Lead lead = kLeads[b0];
    if (lead.length == 0 || lead.length > size - i || !SecondFits(in[i + 1], lead)) break;
    const unsigned b1 = in[i + 1] & 0x3Fu;
    if (lead.length == 2) {
      out[o++] = static_cast<char16_t>((b0 & 0x1Fu) << 6 | b1);
      i += 2;
      continue;
    }
    if (!IsContinuation(in[i + 2])) break;
    const unsigned b2 = in[i + 2] & 0x3Fu;
    if (lead.length == 3) {
      out[o++] = static_cast<char16_t>((b0 & 0x0Fu) << 12 | b1 << 6 | b2);
      i += 3;
      continue;
    }
    if (!IsContinuation(in[i + 3])) break;
    if (o + 2 > room) break;
    const unsigned above_bmp =
        ((b0 & 0x07u) << 18 | b1 << 12 | b2 << 6 | (in[i + 3] & 0x3Fu)) - 0x10000u;
    out[o++] = static_cast<char16_t>(0xD800u + (above_bmp >> 10));
    out[o++] = static_cast<char16_t>(0xDC00u + (above_bmp & 0x3FFu));
    i += 4;
  }
  return {i, o};
}

std::size_t MaximalSubpart(std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const Lead lead = kLeads[in[0]];
  if (lead.length == 0 || bytes.size() < 2 || !SecondFits(in[1], lead)) return 1;
  std::size_t length = 2;
  while (length < lead.length && length < bytes.size() && IsContinuation(in[length])) ++length;
  return length;
}

DecodeCount DecodeReplacing(std::string_view bytes, char16_t* out) {
  // Each replacement takes at least one byte, so the text stays within bytes.size() units.
  DecodeCount count;
  std::size_t i = 0;
  for (;;) {
    const Progress progress = DecodeWellFormed(bytes.substr(i), out + count.written);
    i += progress.read;
    count.written += progress.written;
    if (i == bytes.size()) return count;
    out[count.written++] = kReplacementCharacter;
    ++count.undecodable;
    i += MaximalSubpart(bytes.substr(i));
  }
}

std::size_t CountUnits(std::string_view bytes) {
  std::size_t continuations = 0;
  std::size_t four_byte = 0;
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // Sixteen bytes at a time, the matches tallied per byte lane and summed every 255 blocks,
  // before a lane can overflow: a gigabyte is looked at in a fraction of a second.
  const __m128i top_two = _mm_set1_epi8(static_cast<char>(0xC0));
  const __m128i continuation = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i four_byte_lead = _mm_set1_epi8(static_cast<char>(0xF0));
  const __m128i zero = _mm_setzero_si128();
  const auto sum = [&zero](__m128i lanes) {
    const __m128i halves = _mm_sad_epu8(lanes, zero);
    return static_cast<std::size_t>(_mm_cvtsi128_si32(halves)) +
           static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(halves, halves)));
  };
  while (i + 16 <= bytes.size()) {
    __m128i continuing = zero;
    __m128i leads = zero;
    for (int block = 0; block < 255 && i + 16 <= bytes.size(); ++block, i += 16) {
      const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
      // A match is all ones, -1: subtracting it counts one.
      continuing =
          _mm_sub_epi8(continuing, _mm_cmpeq_epi8(_mm_and_si128(bytes16, top_two), continuation));
      leads = _mm_sub_epi8(leads, _mm_cmpeq_epi8(_mm_max_epu8(bytes16, four_byte_lead), bytes16));
    }
    continuations += sum(continuing);
    four_byte += sum(leads);
  }
#endif
  for (; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    continuations += (byte & 0xC0) == 0x80;
    four_byte += byte >= 0xF0;
  }
  return bytes.size() - continuations + four_byte;
}

}  // namespace tambrel::platform::utf8
