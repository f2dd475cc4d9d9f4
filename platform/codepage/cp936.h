#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/cp936_table.h"
#include "platform/codepage/decode_count.h"

// Code page 936 exactly as Windows converts it, without best fit: a character with no exact
// mapping becomes "?", and so does an undefined or broken byte sequence. Identical on every
// operating system, because it never asks the system.
namespace tambrel::platform::cp936 {

// The code of one UTF-16 unit: the byte of a single-byte character (0x00 to 0xFF) or
// lead << 8 | trail of a double-byte one. A unit without an exact mapping, a lone surrogate
// among them, gives the code of "?".
std::uint16_t EncodeUnit(char16_t unit);

// Whole-string conversions.
std::u16string Decode(std::string_view bytes);
// Decode into a buffer with room for bytes.size() units (a character takes at least one byte);
// answers the number of units written.
std::size_t DecodeInto(std::string_view bytes, char16_t* out);
// DecodeInto that also counts the "?" put in for bytes the code page cannot decode: a pair it
// does not define, a lead byte before a NUL or at the end. A "?" byte of the text is not counted.
DecodeCount DecodeCountingInto(std::string_view bytes, char16_t* out);
std::string Encode(std::u16string_view text);

// Conversions that replace every character on the way by one or two others, in the same pass.
// An expansion packs the first unit in its low half and the second in its high half, or
// kNoSecondUnit there when there is only one.
using Expansion = std::uint32_t;
inline constexpr char16_t kNoSecondUnit = 0xFFFF;

// Appends an expansion at out[o] and moves o past it. The second unit is rare, so a branch on
// it (rightly predicted) keeps the next write from waiting for this table look-up.
inline void AppendExpansion(char16_t* out, std::size_t& o, Expansion expansion) {
  out[o++] = static_cast<char16_t>(expansion & 0xFFFF);
  if ((expansion >> 16) != kNoSecondUnit) [[unlikely]] {
    out[o++] = static_cast<char16_t>(expansion >> 16);
  }
}

// For decoding: what each byte on its own and each byte pair finally turn into.
struct DecodeMap {
  std::vector<Expansion> single;  // 256 entries
  std::vector<Expansion> pair;    // kLeadByteCount * 256 entries
  // Every byte below ascii_limit turns into the one unit byte + ascii_delta, which lets runs of
  // them skip the table.
  std::uint8_t ascii_limit = 0;
  char16_t ascii_delta = 0;
  // What lets a text be measured without looking up each character: whether every character
  // turns into one unit, or else the one byte that does not (taking two on its own) while it
  // never leads a pair.
  bool all_narrow = false;
  std::optional<std::uint8_t> only_wide_byte;
  // What an undefined pair turns into, when no defined pair turns into the same: then a pair's own
  // entry tells whether it was defined, without a second look-up.
  std::optional<Expansion> undefined_pair;
};

// Builds the map that decodes and then applies `transform` to each decoded character. The
// transform must give one or two units, and the second never kNoSecondUnit.
DecodeMap MakeDecodeMap(const std::function<std::u16string(char16_t)>& transform);

// With `undecodable`, adds to it how many characters the bytes stood for could not be decoded
// (before the transform): an undefined pair, or a lead byte with nothing usable after it.
std::u16string Decode(std::string_view bytes, const DecodeMap& map,
                      std::size_t* undecodable = nullptr);

// The first place at or after `at`, and after the first byte, where a character starts, as the
// byte before it shows: a byte that never leads a pair ends a character, alone or as the trail of
// a pair. bytes.size() when there is no such place before the end. The bytes on either side of it
// decode, each on their own, to exactly what they decode to within the whole.
std::size_t CharacterStartFrom(std::string_view bytes, std::size_t at);

// How many units Decode gives for bytes, without or with a map, counted without writing them.
std::size_t DecodedLength(std::string_view bytes);
std::size_t DecodedLength(std::string_view bytes, const DecodeMap& map);

// DecodeCountingInto, without and with a map, into a place of exactly `room` units, which must
// hold what the bytes decode to (DecodedLength). Units past the text are never written, which
// keeps a piece decoded into its measured place from touching its neighbour's.
DecodeCount DecodeCountingInto(std::string_view bytes, char16_t* out, std::size_t room);
DecodeCount DecodeCountingInto(std::string_view bytes, const DecodeMap& map, char16_t* out,
                               std::size_t room);

// Decode, and Decode with a map, in up to `parts` pieces at once: the bytes are cut where
// characters start, each piece is measured and then decoded on a thread of its own straight into
// its place, so the text takes exactly the room it needs and is written once. The text and the
// count added to `undecodable` are those of the whole decode.
// With a watch, each piece is measured and then decoded in stretches, and after each the watch is
// told how many bytes that stretch held, from whichever thread did it: the decode counts every
// byte twice in all. When the watch answers false the decode stops and gives an empty text.
using DecodeWatch = std::function<bool(std::size_t bytes)>;
std::u16string DecodeInParts(std::string_view bytes, std::size_t parts,
                             std::size_t* undecodable = nullptr, const DecodeWatch& watch = {});
std::u16string DecodeInParts(std::string_view bytes, const DecodeMap& map, std::size_t parts,
                             std::size_t* undecodable = nullptr, const DecodeWatch& watch = {});

// How many pieces a decode of this many bytes is worth cutting into: one for small files, where
// starting a thread costs more than it saves, otherwise one for each processor.
std::size_t DecodePartsFor(std::size_t byte_count);

// For encoding: the bytes each UTF-16 unit finally turns into, packed as first byte, second byte,
// count (0 to 2) from the low end.
struct EncodeMap {
  std::vector<std::uint32_t> units;  // 65536 entries
};

// Builds the map that gives `transform(unit)` for each unit; the transform gives at most 2 bytes.
EncodeMap MakeEncodeMap(const std::function<std::string(char16_t)>& transform);

std::string Encode(std::u16string_view text, const EncodeMap& map);
// Appends the bytes of the text to `bytes`, needing room for two bytes a unit on the way.
void EncodeAppend(std::u16string_view text, const EncodeMap& map, std::string& bytes);

}  // namespace tambrel::platform::cp936
