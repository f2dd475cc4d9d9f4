#include "platform/codepage/cp936.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <numeric>
#include <stdexcept>
#include <thread>

#include "platform/codepage/ascii_run.h"
#include "platform/large_buffer.h"
#include "text/for_each_part.h"

namespace tambrel::platform::cp936 {
namespace {

constexpr std::size_t kUnitCount = 0x10000;

std::size_t PairIndex(std::uint8_t lead, std::uint8_t trail) {
  return static_cast<std::size_t>(lead - kLeadByteFirst) * 256 + trail;
}

// Every defined byte and pair round-trips and no two decode to the same character, so the
// encoder is the decoder turned round. Undefined pairs hold "?" and "?" has its own byte, so
// skipping "?" skips exactly the undefined pairs.
std::vector<std::uint16_t> BuildUnitCodes() {
  std::vector<std::uint16_t> codes(kUnitCount, kDefaultChar);
  for (int byte = 0; byte < 256; ++byte) {
    if (!IsLeadByte(static_cast<std::uint8_t>(byte))) codes[kSingleByteTable[byte]] = byte;
  }
  for (int lead = kLeadByteFirst; lead <= kLeadByteLast; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      const char16_t unit = kDoubleByteTable[PairIndex(lead, trail)];
      if (unit != kDefaultChar) codes[unit] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
  }
  return codes;
}

const std::vector<std::uint16_t>& UnitCodes() {
  static const std::vector<std::uint16_t> codes = BuildUnitCodes();
  return codes;
}

std::string BytesOfCode(std::uint16_t code) {
  if (code <= 0xFF) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

const EncodeMap& PlainEncodeMap() {
  static const EncodeMap map =
      MakeEncodeMap([](char16_t unit) { return BytesOfCode(EncodeUnit(unit)); });
  return map;
}

Expansion Pack(const std::u16string& units) {
  if (units.empty() || units.size() > 2 || (units.size() == 2 && units[1] == kNoSecondUnit)) {
    throw std::invalid_argument("cp936: a decode transform must give one or two units");
  }
  const char16_t second = units.size() == 2 ? units[1] : kNoSecondUnit;
  return static_cast<Expansion>(units[0]) | static_cast<Expansion>(second) << 16;
}

// The steps of DecodeInto. Counting looks only at the steps past the ASCII runs: a substitute
// always comes from a byte of 0x80 or above, and only "?" itself decodes to "?" on its own.
// The output holds `room` units: a run of 16 is widened only where 16 fit, which the whole decode
// (room for a unit a byte) always has, but a piece decoded into its exact place may not.
template <bool kCount>
DecodeCount DecodeSteps(std::string_view bytes, char16_t* out, std::size_t room) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  std::size_t o = 0;
  std::size_t undecodable = 0;
  // Every step before the last byte may look at the byte after it.
  const std::size_t last = size > 0 ? size - 1 : 0;
  while (i < last) {
    const unsigned char byte = in[i];
    if (byte < 0x80) {
      // The text is never ahead of the bytes, so 16 units fit wherever 16 bytes are left.
      if (i + kAsciiRunWidth <= size && o + kAsciiRunWidth <= room) {
        const std::size_t run = AsciiRun(in + i, out + o, 0x80, 0);
        i += run;
        o += run;
      } else {
        out[o++] = kSingleByteTable[byte];
        i += 1;
      }
      continue;
    }
    const unsigned char next = in[i + 1];
    // A lead byte before a NUL stands alone, as "?", and Windows keeps the NUL.
    if (IsLeadByte(byte) && next != 0) {
      out[o++] = kDoubleByteTable[PairIndex(byte, next)];
      i += 2;
    } else {
      out[o++] = kSingleByteTable[byte];
      i += 1;
    }
    if constexpr (kCount) undecodable += out[o - 1] == kDefaultChar;
  }
  if (i < size) {
    // A lead byte here has nothing after it.
    out[o++] = kSingleByteTable[in[i]];
    if constexpr (kCount) undecodable += out[o - 1] == kDefaultChar && in[i] >= 0x80;
  }
  return {o, undecodable};
}

std::size_t UnitsOf(Expansion expansion) { return (expansion >> 16) == kNoSecondUnit ? 1 : 2; }

// The steps of Decode with a map, into exactly `room` units, counting what cannot be decoded.
DecodeCount MappedSteps(std::string_view bytes, const DecodeMap& map, char16_t* out,
                        std::size_t room) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const std::size_t last = size > 0 ? size - 1 : 0;
  std::size_t i = 0;
  std::size_t o = 0;
  std::size_t undecodable = 0;
  while (i < last) {
    const unsigned char byte = in[i];
    if (byte < map.ascii_limit && i + kAsciiRunWidth <= size && o + kAsciiRunWidth <= room) {
      const std::size_t run = AsciiRun(in + i, out + o, map.ascii_limit, map.ascii_delta);
      i += run;
      o += run;
      continue;
    }
    const unsigned char next = in[i + 1];
    if (IsLeadByte(byte) && next != 0) {
      const std::size_t pair = PairIndex(byte, next);
      const Expansion expansion = map.pair[pair];
      AppendExpansion(out, o, expansion);
      undecodable += map.undefined_pair ? expansion == *map.undefined_pair
                                        : kDoubleByteTable[pair] == kDefaultChar;
      i += 2;
    } else {
      AppendExpansion(out, o, map.single[byte]);
      undecodable += byte >= 0x80 && kSingleByteTable[byte] == kDefaultChar;
      i += 1;
    }
  }
  if (i < size) {
    AppendExpansion(out, o, map.single[in[i]]);
    undecodable += in[i] >= 0x80 && kSingleByteTable[in[i]] == kDefaultChar;
  }
  return {o, undecodable};
}

// Cuts the bytes into pieces, measures each, makes the text exactly as long as their sum, and
// decodes each piece into its place. `length(piece)` counts a piece's units and
// `steps(piece, out, room)` decodes it.
// How much of a piece is measured or decoded between two reports to a watch: a few milliseconds.
constexpr std::size_t kWatchedStretch = std::size_t{4} << 20;

// Hands the piece to `each` in stretches cut where characters start, each reported to the watch
// once done with the bytes it held (twice the piece in all, for the measuring and the decoding);
// answers false as soon as the watch says to stop. Unwatched, the piece is one stretch.
template <typename Each>
bool InStretches(std::string_view piece, const DecodeWatch& watch, const Each& each) {
  if (!watch) {
    each(piece);
    return true;
  }
  for (std::size_t from = 0; from < piece.size();) {
    const std::size_t to =
        CharacterStartFrom(piece, std::min(piece.size(), from + kWatchedStretch));
    each(piece.substr(from, to - from));
    if (!watch(to - from)) return false;
    from = to;
  }
  return true;
}

template <typename Length, typename Steps>
std::u16string DecodePieces(std::string_view bytes, std::size_t parts, std::size_t* undecodable,
                            const DecodeWatch& watch, const Length& length, const Steps& steps) {
  std::vector<std::size_t> cuts{0};
  for (std::size_t k = 1; k < parts; ++k) {
    const std::size_t near = bytes.size() / parts * k + bytes.size() % parts * k / parts;
    const std::size_t cut = CharacterStartFrom(bytes, std::max(near, cuts.back() + 1));
    if (cut >= bytes.size()) break;
    cuts.push_back(cut);
  }
  cuts.push_back(bytes.size());
  const std::size_t count = cuts.size() - 1;
  const auto piece = [&](std::size_t k) { return bytes.substr(cuts[k], cuts[k + 1] - cuts[k]); };
  std::vector<std::size_t> offsets(count + 1, 0);
  std::atomic<bool> stopped{false};
  text::ForEachPart(count, [&](std::size_t k) {
    if (!InStretches(piece(k), watch,
                     [&](std::string_view stretch) { offsets[k + 1] += length(stretch); })) {
      stopped = true;
    }
  });
  if (stopped) return std::u16string();
  std::partial_sum(offsets.begin(), offsets.end(), offsets.begin());
  std::u16string text;
  ResizeLarge(text, offsets[count]);
  std::vector<std::size_t> lost(count, 0);
  text::ForEachPart(count, [&](std::size_t k) {
    std::size_t at = offsets[k];
    if (!InStretches(piece(k), watch, [&](std::string_view stretch) {
          const DecodeCount done = steps(stretch, text.data() + at, offsets[k + 1] - at);
          at += done.written;
          lost[k] += done.undecodable;
        })) {
      stopped = true;
    }
  });
  if (stopped) return std::u16string();
  if (undecodable != nullptr)
    *undecodable += std::accumulate(lost.begin(), lost.end(), std::size_t{0});
  return text;
}

// The steps of DecodedLength one character at a time.
std::size_t CountCharacters(std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const std::size_t last = size > 0 ? size - 1 : 0;
  std::size_t i = 0;
  std::size_t units = 0;
  // The steps of DecodeSteps, each of which writes one unit.
  while (i < last) {
    const unsigned char byte = in[i];
    if (byte < 0x80 && i + kAsciiRunWidth <= size) {
      const std::size_t run = AsciiRunLength(in + i, 0x80);
      i += run;
      units += run;
      continue;
    }
    i += IsLeadByte(byte) && in[i + 1] != 0 ? 2 : 1;
    ++units;
  }
  return units + (i < size ? 1 : 0);
}

#ifdef TAMBREL_ASCII_RUN_SSE2
// Bits for the 64 bytes at `in`: which are lead bytes, which are NUL and which are `wide`.
struct BlockBits {
  std::uint64_t leads = 0;
  std::uint64_t nuls = 0;
  std::uint64_t wide = 0;
};

BlockBits BitsOf(const unsigned char* in, std::uint8_t wide) {
  const __m128i first_lead = _mm_set1_epi8(static_cast<char>(kLeadByteFirst));
  const __m128i past_last_lead = _mm_set1_epi8(static_cast<char>(0xFF));
  const __m128i wide_byte = _mm_set1_epi8(static_cast<char>(wide));
  const __m128i zero = _mm_setzero_si128();
  const auto bits = [](__m128i matches, int k) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(matches)))
           << (16 * k);
  };
  BlockBits block;
  for (int k = 0; k < 4; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in) + k);
    const __m128i at_least_first = _mm_cmpeq_epi8(_mm_max_epu8(bytes, first_lead), bytes);
    block.leads |= bits(_mm_andnot_si128(_mm_cmpeq_epi8(bytes, past_last_lead), at_least_first), k);
    block.nuls |= bits(_mm_cmpeq_epi8(bytes, zero), k);
    block.wide |= bits(_mm_cmpeq_epi8(bytes, wide_byte), k);
  }
  return block;
}

// What CountInBlocks found.
struct BlockCount {
  // The bytes counted: up to the run of lead bytes that reaches the end of the blocks.
  std::size_t counted = 0;
  std::size_t pairs = 0;
  // How many of the `wide` bytes stand alone rather than as the trail of a pair.
  std::size_t lone_wide = 0;
};

// The pairs among `blocks` (a multiple of 64 bytes) before the run of lead bytes that reaches
// their end, and how many `wide` bytes stand alone there.
//
// Each run of lead bytes begins a character, since the byte before it ends one. Within a run of r
// lead bytes, r / 2 pairs lie wholly inside; an odd run's last lead byte pairs with the byte after
// the run unless that is NUL. Which runs are odd follows from where they start and end: adding a
// run's first bit to the run's bits carries out just past its end, so a run that starts on an even
// bit and ends before an odd one (or the other way round) is odd. A run that crosses into the next
// block carries its oddness over, as if it began there.
BlockCount CountInBlocks(std::string_view blocks, std::uint8_t wide) {
  constexpr std::uint64_t kEvenBits = 0x5555555555555555;
  const auto* in = reinterpret_cast<const unsigned char*>(blocks.data());
  std::uint64_t odd_so_far = 0;
  std::size_t leads = 0;
  std::size_t odd_runs = 0;
  std::size_t trails_after_odd_runs = 0;
  BlockCount count;
  for (std::size_t i = 0; i < blocks.size(); i += 64) {
    const BlockBits block = BitsOf(in + i, wide);
    const std::uint64_t lead_bits = block.leads;
    const std::uint64_t run_starts = lead_bits & ~(lead_bits << 1);
    // A run going on from the last block starts at bit 0 with the parity it had so far.
    const std::uint64_t even_start_bits = kEvenBits ^ odd_so_far;
    const std::uint64_t even_starts = run_starts & even_start_bits;
    const std::uint64_t odd_starts = run_starts & ~even_start_bits;
    const std::uint64_t past_even_started = (lead_bits + even_starts) & ~lead_bits;
    const std::uint64_t odd_started_sum = lead_bits + odd_starts;
    const bool odd_at_end = odd_started_sum < lead_bits;  // the addition carried out of bit 63
    const std::uint64_t past_odd_started = (odd_started_sum | odd_so_far) & ~lead_bits;
    odd_so_far = odd_at_end ? 1 : 0;
    // Just past an odd run: an odd bit after an even start, an even bit after an odd one.
    const std::uint64_t past_odd_runs =
        (past_even_started & ~kEvenBits) | (past_odd_started & kEvenBits);
    leads += static_cast<std::size_t>(std::popcount(lead_bits));
    odd_runs += static_cast<std::size_t>(std::popcount(past_odd_runs));
    trails_after_odd_runs += static_cast<std::size_t>(std::popcount(past_odd_runs & ~block.nuls));
    // A byte that never leads is a trail only just past an odd run.
    count.lone_wide += static_cast<std::size_t>(std::popcount(block.wide & ~past_odd_runs));
  }
  // The run that reaches the end is left to the steps one by one, with its lead bytes.
  count.counted = blocks.size();
  while (count.counted > 0 && IsLeadByte(in[count.counted - 1])) --count.counted;
  leads -= blocks.size() - count.counted;
  count.pairs = (leads - odd_runs) / 2 + trails_after_odd_runs;
  return count;
}
#endif

// The steps of DecodedLength with a map, one character at a time.
std::size_t CountMappedUnits(std::string_view bytes, const DecodeMap& map) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const std::size_t last = size > 0 ? size - 1 : 0;
  std::size_t i = 0;
  std::size_t units = 0;
  while (i < last) {
    const unsigned char byte = in[i];
    if (byte < map.ascii_limit && i + kAsciiRunWidth <= size) {
      const std::size_t run = AsciiRunLength(in + i, map.ascii_limit);
      i += run;
      units += run;
      continue;
    }
    const unsigned char next = in[i + 1];
    if (IsLeadByte(byte) && next != 0) {
      units += UnitsOf(map.pair[PairIndex(byte, next)]);
      i += 2;
    } else {
      units += UnitsOf(map.single[byte]);
      i += 1;
    }
  }
  return units + (i < size ? UnitsOf(map.single[in[i]]) : 0);
}

// A character is one unit, so the length of a text is its bytes less its pairs. The pairs are
// told apart 64 bytes at a time from where the runs of lead bytes begin and end, up to the last
// byte that does not lead: the run after it is left to the steps one by one. Without SSE2
// nothing is counted here.
BlockCount CountWholeBlocks(std::string_view bytes, std::uint8_t wide) {
#ifdef TAMBREL_ASCII_RUN_SSE2
  const std::size_t blocks = bytes.size() / 64 * 64;
  if (blocks > 0) return CountInBlocks(bytes.substr(0, blocks), wide);
#endif
  (void)bytes;
  (void)wide;
  return {};
}

}  // namespace

std::size_t CharacterStartFrom(std::string_view bytes, std::size_t at) {
  for (std::size_t p = std::max<std::size_t>(at, 1); p < bytes.size(); ++p) {
    if (!IsLeadByte(static_cast<std::uint8_t>(bytes[p - 1]))) return p;
  }
  return bytes.size();
}

std::size_t DecodedLength(std::string_view bytes) {
  const BlockCount blocks = CountWholeBlocks(bytes, 0);
  return blocks.counted - blocks.pairs + CountCharacters(bytes.substr(blocks.counted));
}

std::size_t DecodedLength(std::string_view bytes, const DecodeMap& map) {
  if (map.all_narrow) return DecodedLength(bytes);
  BlockCount blocks;
  if (map.only_wide_byte) {
    blocks = CountWholeBlocks(bytes, *map.only_wide_byte);
    bytes = bytes.substr(blocks.counted);
  }
  return blocks.counted - blocks.pairs + blocks.lone_wide + CountMappedUnits(bytes, map);
}

std::u16string DecodeInParts(std::string_view bytes, std::size_t parts, std::size_t* undecodable,
                             const DecodeWatch& watch) {
  return DecodePieces(
      bytes, parts, undecodable, watch, [](std::string_view piece) { return DecodedLength(piece); },
      [](std::string_view piece, char16_t* out, std::size_t room) {
        return DecodeSteps<true>(piece, out, room);
      });
}

std::u16string DecodeInParts(std::string_view bytes, const DecodeMap& map, std::size_t parts,
                             std::size_t* undecodable, const DecodeWatch& watch) {
  return DecodePieces(
      bytes, parts, undecodable, watch,
      [&map](std::string_view piece) { return DecodedLength(piece, map); },
      [&map](std::string_view piece, char16_t* out, std::size_t room) {
        return MappedSteps(piece, map, out, room);
      });
}

std::size_t DecodePartsFor(std::size_t byte_count) {
  // Below this a decode takes about a millisecond.
  constexpr std::size_t kPieceMinimum = std::size_t{1} << 20;
  const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
  return std::clamp<std::size_t>(byte_count / kPieceMinimum, 1, processors);
}

std::uint16_t EncodeUnit(char16_t unit) { return UnitCodes()[unit]; }

std::size_t DecodeInto(std::string_view bytes, char16_t* out) {
  return DecodeSteps<false>(bytes, out, bytes.size()).written;
}

DecodeCount DecodeCountingInto(std::string_view bytes, char16_t* out) {
  return DecodeSteps<true>(bytes, out, bytes.size());
}

DecodeCount DecodeCountingInto(std::string_view bytes, char16_t* out, std::size_t room) {
  return DecodeSteps<true>(bytes, out, room);
}

DecodeCount DecodeCountingInto(std::string_view bytes, const DecodeMap& map, char16_t* out,
                               std::size_t room) {
  return MappedSteps(bytes, map, out, room);
}

std::u16string Decode(std::string_view bytes) {
  std::u16string text;
  ResizeLarge(text, bytes.size());
  text.resize(DecodeInto(bytes, text.data()));
  return text;
}

std::string Encode(std::u16string_view text) { return Encode(text, PlainEncodeMap()); }

DecodeMap MakeDecodeMap(const std::function<std::u16string(char16_t)>& transform) {
  DecodeMap map;
  map.single.resize(256);
  for (int byte = 0; byte < 256; ++byte) map.single[byte] = Pack(transform(kSingleByteTable[byte]));
  map.pair.resize(static_cast<std::size_t>(kLeadByteCount) * 256);
  for (std::size_t index = 0; index < map.pair.size(); ++index) {
    map.pair[index] = Pack(transform(kDoubleByteTable[index]));
  }
  const auto delta = static_cast<char16_t>(map.single[0] - kSingleByteTable[0]);
  int limit = 0;
  while (limit < 0x80 &&
         map.single[limit] == Pack(std::u16string(1, static_cast<char16_t>(limit + delta)))) {
    ++limit;
  }
  map.ascii_limit = static_cast<std::uint8_t>(limit);
  map.ascii_delta = delta;
  const bool pairs_narrow = std::none_of(map.pair.begin(), map.pair.end(),
                                         [](Expansion pair) { return UnitsOf(pair) == 2; });
  std::vector<std::uint8_t> wide;
  for (int byte = 0; byte < 256; ++byte) {
    if (UnitsOf(map.single[byte]) == 2) wide.push_back(static_cast<std::uint8_t>(byte));
  }
  map.all_narrow = pairs_narrow && wide.empty();
  const Expansion undefined = Pack(transform(kDefaultChar));
  bool undefined_told_apart = true;
  for (std::size_t index = 0; index < map.pair.size(); ++index) {
    if (kDoubleByteTable[index] != kDefaultChar && map.pair[index] == undefined) {
      undefined_told_apart = false;
    }
  }
  if (undefined_told_apart) map.undefined_pair = undefined;
  if (pairs_narrow && wide.size() == 1 && !IsLeadByte(wide[0])) map.only_wide_byte = wide[0];
  return map;
}

std::u16string Decode(std::string_view bytes, const DecodeMap& map, std::size_t* undecodable) {
  // A byte can turn into two units, but rarely does: size for one unit per byte and make room
  // for the worst case chunk by chunk, checking once per chunk rather than once per character.
  constexpr std::size_t kChunk = 1 << 14;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const std::size_t last = size > 0 ? size - 1 : 0;
  // Each step writes at most two units and takes at least one byte; a step may start on the
  // chunk's last byte, and the last byte of all has a step of its own.
  const auto room_for = [](std::size_t chunk) { return 2 * chunk + 2 * kAsciiRunWidth; };
  std::u16string text;
  ResizeLarge(text, size + room_for(std::min(size, kChunk)));
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < last) {
    const std::size_t chunk_end = std::min(last, i + kChunk);
    const std::size_t room = room_for(chunk_end - i);
    if (text.size() - o < room) ResizeLarge(text, o + (size - i) + room);
    char16_t* out = text.data();
    while (i < chunk_end) {
      // The same steps as DecodeInto.
      const unsigned char byte = in[i];
      if (byte < map.ascii_limit && i + kAsciiRunWidth <= size) {
        const std::size_t run = AsciiRun(in + i, out + o, map.ascii_limit, map.ascii_delta);
        i += run;
        o += run;
        continue;
      }
      const unsigned char next = in[i + 1];
      if (IsLeadByte(byte) && next != 0) {
        const std::size_t pair = PairIndex(byte, next);
        const Expansion expansion = map.pair[pair];
        AppendExpansion(out, o, expansion);
        if (undecodable != nullptr) {
          *undecodable += map.undefined_pair ? expansion == *map.undefined_pair
                                             : kDoubleByteTable[pair] == kDefaultChar;
        }
        i += 2;
      } else {
        AppendExpansion(out, o, map.single[byte]);
        // Only "?" itself decodes to "?" below 0x80.
        if (undecodable != nullptr && byte >= 0x80) {
          *undecodable += kSingleByteTable[byte] == kDefaultChar;
        }
        i += 1;
      }
    }
  }
  if (i < size) {
    AppendExpansion(text.data(), o, map.single[in[i]]);
    if (undecodable != nullptr && in[i] >= 0x80) {
      *undecodable += kSingleByteTable[in[i]] == kDefaultChar;
    }
  }
  text.resize(o);
  return text;
}

EncodeMap MakeEncodeMap(const std::function<std::string(char16_t)>& transform) {
  EncodeMap map;
  map.units.resize(kUnitCount);
  for (std::size_t unit = 0; unit < kUnitCount; ++unit) {
    const std::string bytes = transform(static_cast<char16_t>(unit));
    if (bytes.size() > 2) throw std::invalid_argument("cp936: an encode transform gives 2 bytes");
    std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 16;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
      packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << (8 * k);
    }
    map.units[unit] = packed;
  }
  return map;
}

std::string Encode(std::u16string_view text, const EncodeMap& map) {
  std::string bytes;
  EncodeAppend(text, map, bytes);
  return bytes;
}

void EncodeAppend(std::u16string_view text, const EncodeMap& map, std::string& bytes) {
  // At most two bytes per unit; both are written every time and the count says which stay.
  std::size_t o = bytes.size();
  ResizeLarge(bytes, o + 2 * text.size());
  char* out = bytes.data();
  for (const char16_t unit : text) {
    const std::uint32_t packed = map.units[unit];
    out[o] = static_cast<char>(packed & 0xFF);
    out[o + 1] = static_cast<char>((packed >> 8) & 0xFF);
    o += packed >> 16;
  }
  bytes.resize(o);
}

}  // namespace tambrel::platform::cp936
